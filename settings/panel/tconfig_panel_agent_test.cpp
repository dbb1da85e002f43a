// The counter reset, the interface list and the connection test against the
// local SNMP agent (udp 127.0.0.1:161, community "tamrel").
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "settings/panel/tconfig_panel.h"
#include "settings/panel/testing/recording_panel_host.h"

namespace plovex {
namespace {

// The agent's cache time-out for the interface table: a writable INTEGER, so a
// SetRequest of 0 to it is visible afterwards.
constexpr const char* kWritableInteger = "1.3.6.1.4.1.8072.1.5.3.1.2.1.3.6.1.2.1.2.2";

std::string Shell(const std::string& command) {
  std::string out;
  if (FILE* p = popen(command.c_str(), "r")) {
    char buf[256];
    while (fgets(buf, sizeof buf, p) != nullptr) out += buf;
    pclose(p);
  }
  return out;
}

std::string AgentValue(const char* oid) {
  return Shell(std::string("snmpget -v1 -c tamrel -Oqv -t 1 -r 0 127.0.0.1 ") + oid + " 2>&1");
}

class CounterReset : public ::testing::Test {
 protected:
  CounterReset() {
    ApplyDefaultSettings(s);
    s.Ip = "127.0.0.1";
    panel.SettingsToControls();
    s.Oid1 = {.Value = 5'000'000, .PrevValue = 4'000'000, .Total = 12};
    s.Oid2 = {.Value = 7'000'000, .PrevValue = 6'000'000, .Total = 34};
    host.calls.clear();
    panel.SetQuestion([this](const QString& q) {
      asked.push_back(q.toStdString());
      return true;
    });
  }
  void Type(const char* name, const QString& text) {
    auto* e = panel.findChild<QLineEdit*>(name);
    ASSERT_NE(e, nullptr) << name;
    e->selectAll();
    QTest::keyClicks(e, text);
  }

  TPlovexSettings s;
  RecordingPanelHost host{s};
  TConfigPanel panel{s, host, nullptr};
  std::vector<std::string> asked;
};

TEST_F(CounterReset, SendsASetOfZeroToTheTypedHostAndClearsOnlyItsCounter) {
  ASSERT_NE(std::getenv("PLOVEX_AGENT_DIR"), nullptr);
  Shell(std::string("snmpset -v1 -c tamrel -t 1 -r 0 127.0.0.1 ") + kWritableInteger + " i 7");
  ASSERT_EQ(AgentValue(kWritableInteger), "7\n");

  // The texts in the edits count, applied or not.
  Type("edtOID1", kWritableInteger);
  panel.findChild<QPushButton*>("BtnResetOID1")->click();

  EXPECT_THAT(asked, ::testing::ElementsAre("Reset counter OID1 on 127.0.0.1? The router's own "
                                            "count starts again from 0."));
  EXPECT_EQ(AgentValue(kWritableInteger), "0\n");
  EXPECT_EQ(s.Oid1.Value, 0);
  EXPECT_EQ(s.Oid1.PrevValue, 0);
  EXPECT_EQ(s.Oid1.Total, 0);
  EXPECT_TRUE(s.Oid1.NewBaseline);  // the next reading is no interval's growth
  EXPECT_EQ(s.Oid2.Value, 7'000'000);
  EXPECT_EQ(s.Oid2.Total, 34);
  EXPECT_THAT(host.calls, ::testing::ElementsAre("SaveTotals"));
  EXPECT_THAT(host.errors, ::testing::IsEmpty());
}

TEST_F(CounterReset, ARefusedSetOnAReadOnlyCounterSaysSoAndKeepsTheTotals) {
  const auto before = std::chrono::steady_clock::now();
  panel.findChild<QPushButton*>("BtnResetOID2")->click();
  // The agent answers (noSuchName) at once; no wait for the time-out.
  EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(4900));
  EXPECT_THAT(host.errors, ::testing::ElementsAre("The agent did not reset OID2: noSuchName."));
  EXPECT_EQ(s.Oid2.Value, 7'000'000);
  EXPECT_EQ(s.Oid2.PrevValue, 6'000'000);
  EXPECT_EQ(s.Oid2.Total, 34);
  EXPECT_EQ(s.Oid1.Total, 12);
  EXPECT_THAT(host.calls, ::testing::IsEmpty());
}

TEST_F(CounterReset, AWrongCommunityWaitsOutTheTimeOutAndSaysSo) {
  Type("edtCommunity", "wrong");
  const auto before = std::chrono::steady_clock::now();
  panel.findChild<QPushButton*>("BtnResetOID1")->click();
  const auto waited = std::chrono::steady_clock::now() - before;
  EXPECT_GE(waited, std::chrono::milliseconds(4900));
  EXPECT_LT(waited, std::chrono::milliseconds(9000));  // one time-out, on a loaded machine
  EXPECT_THAT(host.errors, ::testing::ElementsAre("No answer from 127.0.0.1 within 5 s."));
  EXPECT_EQ(s.Oid1.Total, 12);
}

}  // namespace
}  // namespace plovex

namespace plovex {
namespace {

// The interface list and the connection test against the same agent, whose
// interfaces are lo, veth0, wan0 (3, with the WAN address) and lan0.
class AgentPanel : public CounterReset {
 protected:
  template <typename W>
  W* Child(const char* name) {
    auto* w = panel.findChild<W*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  void Choose(const char* version) { Child<QComboBox>("cbSnmpVersion")->setCurrentText(version); }
};

TEST_F(AgentPanel, TheListOffersWan0AndChoosingItFillsTheCountersAndTheFullScale) {
  Choose("2c");
  std::vector<std::array<std::string, 6>> shown;
  std::optional<int> offered;
  panel.SetDialogRunner([&](QDialog& dialog) {
    auto* list = dialog.findChild<QTableWidget*>("lstInterfaces");
    for (int r = 0; r < list->rowCount(); ++r) {
      std::array<std::string, 6> row;
      for (int c = 0; c < 6; ++c) row[c] = list->item(r, c)->text().toStdString();
      shown.push_back(row);
    }
    if (!list->selectedRanges().isEmpty()) offered = list->selectedRanges().first().topRow();
    return int{QDialog::Accepted};
  });
  Child<QPushButton>("btnInterfacesOID2")->click();
  ASSERT_THAT(host.errors, ::testing::IsEmpty());
  // wan0 is index 3 until a test renumbers it, as a reconnecting router would.
  ASSERT_TRUE(offered.has_value());
  const std::string wan = shown.at(*offered)[0];
  using Row = std::array<std::string, 6>;
  EXPECT_THAT(shown,
              ::testing::IsSupersetOf({Row{wan, "wan0", "", "ethernet", "up", "10 Gbit/s"},
                                       Row{"4", "lan0", "", "ethernet", "up", "10 Gbit/s"}}));
  EXPECT_EQ(Child<QLineEdit>("edtOID1")->text(),
            QString::fromStdString("1.3.6.1.2.1.31.1.1.1.6." + wan));
  EXPECT_EQ(Child<QLineEdit>("edtOID2")->text(),
            QString::fromStdString("1.3.6.1.2.1.31.1.1.1.10." + wan));
  EXPECT_EQ(Child<QLineEdit>("edtInterface")->text(), "wan0");
  EXPECT_EQ(Child<QLineEdit>("edtMax")->text(), "1250000000");
  EXPECT_EQ(Child<QLabel>("lblMaxRate")->text(), "= 10000 Mbit/s");
  EXPECT_EQ(s.Interface, "") << "only Apply takes it";
}

TEST_F(AgentPanel, TestAnswersInWords) {
  struct Case {
    const char* ip;
    const char* version;
    const char* passphrase;
    const char* answer;
  } cases[] = {
      {"127.0.0.1", "1", "", "127.0.0.1 answers: Test agent (name test-agent)."},
      {"127.0.0.9", "2c", "",
       "No answer from 127.0.0.9: a wrong address, SNMP switched off on the device, or a wrong "
       "community (an agent does not answer a wrong community at all)."},
      {"no-such-host.invalid", "1", "", "Unknown host \"no-such-host.invalid\"."},
      {"127.0.0.1", "3", "wrongpass123", "127.0.0.1 refused: wrong authentication key."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ip);
    Type("edtIP", c.ip);
    Choose(c.version);
    Type("edtSnmpUser", "plovex");
    Child<QComboBox>("cbSnmpAuth")->setCurrentText("SHA");
    Child<QComboBox>("cbSnmpPriv")->setCurrentText("AES");
    Type("edtAuthPass", c.passphrase);
    Type("edtPrivPass", c.passphrase);
    Child<QPushButton>("btnTest")->click();
    EXPECT_THAT(host.errors, ::testing::IsEmpty());
    // The label shows one line of it; its tooltip the whole answer.
    EXPECT_EQ(Child<QLabel>("lblTestResult")->toolTip().toStdString(), c.answer);
  }
}

}  // namespace
}  // namespace plovex
