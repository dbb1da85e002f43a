// The counter reset against the local SNMP agent (udp 127.0.0.1:161,
// community "tamrel").
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <chrono>
#include <cstdio>
#include <string>

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
};

TEST_F(CounterReset, SendsASetOfZeroToTheTypedHostAndClearsOnlyItsCounter) {
  ASSERT_NE(std::getenv("PLOVEX_AGENT_DIR"), nullptr);
  Shell(std::string("snmpset -v1 -c tamrel -t 1 -r 0 127.0.0.1 ") + kWritableInteger + " i 7");
  ASSERT_EQ(AgentValue(kWritableInteger), "7\n");

  // The texts in the edits count, applied or not.
  Type("edtOID1", kWritableInteger);
  panel.findChild<QPushButton*>("BtnResetOID1")->click();

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
