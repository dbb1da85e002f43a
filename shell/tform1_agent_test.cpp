// The desktop window against the local SNMP agent (udp 127.0.0.1:161): the
// real poll over the window's own client, and the counter reset with the real
// settings store. The hive is a temporary one pointing at 127.0.0.1.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <cstdlib>
#include <string>

#include "core/testing/tick_test_doubles.h"
#include "shell/testing/desktop_test_support.h"
#include "shell/tform1.h"

namespace plovex {
namespace {

void Traffic(int pings) {
  const char* dir = std::getenv("PLOVEX_AGENT_DIR");
  ASSERT_NE(dir, nullptr);
  const std::string cmd = std::string(PLOVEX_SOURCE_DIR "/tests/fixtures/snmp_agent.sh traffic ") +
                          dir + " " + std::to_string(pings);
  ASSERT_EQ(std::system(cmd.c_str()), 0);
}

class FormAgentTest : public ::testing::Test {
 protected:
  FormAgentTest() {
    // Interface 2's counters start at 0 with the agent: some traffic first,
    // so that a first reading is one whichever test runs first.
    Traffic(2);
    hive.Seed([](TPlovexSettings& s) {
      s.Oid1.Total = 12;
      s.Oid2.Total = 34;
    });
    form = std::make_unique<TForm1>(TForm1Seams{.hive = &hive.Hive(), .writer = &writer});
    form->Errors().SetPresenter(
        [this](const QString&, const QString& text) { shown.push_back(text.toStdString()); });
    form->FormCreate();
    form->ConfigPanel()->SetQuestion([](const QString&) { return true; });
  }

  TestHive hive;
  RecordingPictureWriter writer;
  std::vector<std::string> shown;
  std::unique_ptr<TForm1> form;
};

TEST_F(FormAgentTest, TheWindowPollsTheAgentAndDrawsItsTraffic) {
  TPlovexSettings& s = form->Settings();
  EXPECT_THAT(shown, ::testing::IsEmpty());
  EXPECT_FALSE(s.SnmpFailed);
  EXPECT_GT(s.Oid1.Value, 0);
  Traffic(20);
  form->Timer1Timer();
  EXPECT_GT(s.Oid1.Rate, 15000);  // 20 pings of 1000 bytes: about 21 kB
  EXPECT_GT(s.Oid2.Rate, 15000);
  EXPECT_THAT(form->TrayIcon()->toolTip().toStdString(),
              ::testing::MatchesRegex(".+ kB/s / .+ kB/s\nToday .+B \u00b7 this period .+B"));
  EXPECT_NE(form->TrayIcon()->toolTip(), "0 kB/s / 0 kB/s");
  int anywhere = 0;
  for (int y = 13; y < 147; ++y)
    for (int x = 0; x < 400; ++x) anywhere += form->Picture().Pixel(x, y) == 0x008000;
  EXPECT_GT(anywhere, 0);
}

TEST_F(FormAgentTest, ARefusedResetSaysSoAndTheNextTickDrawsNoSpike) {
  // The agent's ifInOctets is read-only: it refuses the set.
  TPlovexSettings& s = form->Settings();
  const std::int64_t value1 = s.Oid1.Value;
  ASSERT_GT(value1, 0);
  form->findChild<QPushButton*>("BtnResetOID1")->click();
  EXPECT_THAT(shown, ::testing::ElementsAre("The agent did not reset OID1: noSuchName."));
  EXPECT_EQ(s.Oid1.Total, 12);
  EXPECT_EQ(s.Oid1.Value, value1);
  form->Timer1Timer();
  // No traffic was made since: at most a stray packet, not the whole count.
  EXPECT_LT(s.Oid1.Rate, 5000);
  EXPECT_LT(s.LastBarHeight[1], 135);
  EXPECT_EQ(hive.Stored().Oid1.Total, 12);
}

TEST_F(FormAgentTest, ResettingACounterZeroesItAndRewritesBothTotals) {
  // A writable INTEGER of the agent (its interface table's cache time-out)
  // stands in for a counter that can be reset.
  TPlovexSettings& s = form->Settings();
  auto* edit = form->findChild<QLineEdit*>("edtOID1");
  ASSERT_NE(edit, nullptr);
  edit->setText("1.3.6.1.4.1.8072.1.5.3.1.2.1.3.6.1.2.1.2.2");
  ASSERT_EQ(s.Oid1.Total, 12);
  ASSERT_EQ(s.Oid2.Total, 34);
  ASSERT_GT(s.Oid1.Value, 0);
  const std::int64_t value2 = s.Oid2.Value;
  form->findChild<QPushButton*>("BtnResetOID1")->click();
  EXPECT_THAT(shown, ::testing::IsEmpty());
  EXPECT_EQ(s.Oid1.Total, 0);
  EXPECT_EQ(s.Oid1.Value, 0);
  EXPECT_EQ(s.Oid1.PrevValue, 0);
  EXPECT_EQ(s.Oid2.Total, 34);
  EXPECT_EQ(s.Oid2.Value, value2);

  QFile file(QString::fromStdString(hive.Hive().path()));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray text = file.readAll();
  EXPECT_TRUE(text.contains("\"OID1Last\"=\"0\"")) << text.toStdString();
  EXPECT_TRUE(text.contains("\"OID2Last\"=\"34\"")) << text.toStdString();
  const TPlovexSettings stored = hive.Stored();
  EXPECT_EQ(stored.Oid1.Total, 0);
  EXPECT_EQ(stored.Oid2.Total, 34);
}

}  // namespace
}  // namespace plovex
