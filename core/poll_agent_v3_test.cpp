// The poll in version 3 over an in-memory network: the settings' user, and
// why the host is "not answering" when a version 3 agent refuses.
#include <gtest/gtest.h>

#include "core/poll_agent.h"
#include "core/snmp_security.h"
#include "core/tick_cycle.h"
#include "snmp/testing/memory_udp_transport.h"
#include "snmp/testing/usm_test_agent.h"

namespace plovex {
namespace {

class PollV3Test : public ::testing::Test {
 protected:
  PollV3Test() {
    ApplyDefaultSettings(s_);
    s_.Ip = "127.0.0.1";
    for (int i = 1; i <= 5; ++i) s_.Texts[i].Enabled = i == 1;
    s_.SnmpVersion = "3";
    s_.SnmpUser = "plovex";
    s_.SnmpAuthProtocol = "SHA";
    s_.SnmpPrivProtocol = "AES";
    s_.SnmpAuthKey = *PassphraseKey("SHA", "authpass123");
    s_.SnmpPrivKey = *PassphraseKey("SHA", "privpass123");
    auto net = std::make_unique<MemoryUdpTransport>();
    net_ = net.get();
    client_ = std::make_unique<TSNMPSend>(std::move(net));
    agent_.user = *SettingsUsmUser(s_);
    agent_.values[s_.Oid1.Oid] = {"1000", 0x41};
    agent_.values[s_.Oid2.Oid] = {"2000", 0x41};
    agent_.values[s_.Texts[1].Oid] = {"Test agent", 4};
    agent_.Serve(*net_);
  }

  // The client set up for the settings as they are, as every Start does.
  bool Poll() { return PollAgent(s_, *client_, ConfigureClient(s_, *client_), texts_); }

  TPlovexSettings s_;
  MemoryUdpTransport* net_;
  std::unique_ptr<TSNMPSend> client_;
  testing::UsmTestAgent agent_;
  PollTexts texts_;
};

TEST_F(PollV3Test, ReadsAsTheSettingsUser) {
  ASSERT_TRUE(Poll()) << s_.SnmpMemory.FailureReason;
  EXPECT_EQ(texts_[0], "1000");
  EXPECT_EQ(texts_[1], "2000");
  EXPECT_EQ(texts_[2], "Test agent");
  EXPECT_EQ(s_.Oid1.Value, 1000);
  EXPECT_EQ(agent_.last->Security.UserName, "plovex");
  EXPECT_EQ(agent_.last->Header.MsgFlags, 0x07);
}

TEST_F(PollV3Test, ARefusalIsTheReasonUntilTheHostAnswers) {
  s_.SnmpUser = "nobody";
  EXPECT_FALSE(Poll());
  EXPECT_TRUE(s_.SnmpFailed);
  EXPECT_EQ(s_.SnmpMemory.FailureReason, "unknown user");
  EXPECT_EQ(TrayHint(s_, texts_), "- kB/s / - kB/s (no answer from 127.0.0.1: unknown user)");
  EXPECT_EQ(texts_[2], "N/A");

  // Put right, the next retry answers and the reason goes.
  s_.SnmpUser = "plovex";
  net_->now_ms = s_.SnmpMemory.RetryAtMs;
  ASSERT_TRUE(Poll());
  EXPECT_FALSE(s_.SnmpFailed);
  EXPECT_EQ(s_.SnmpMemory.FailureReason, "");
  EXPECT_EQ(TrayHint(s_, texts_), "0 kB/s / 0 kB/s");
}

TEST_F(PollV3Test, SettingsThatMakeNoUserSendNothing) {
  s_.SnmpAuthProtocol = "MD5";
  EXPECT_FALSE(Poll());
  EXPECT_TRUE(net_->sent.empty());
  EXPECT_TRUE(s_.SnmpFailed);
  EXPECT_EQ(TrayHint(s_, texts_),
            "- kB/s / - kB/s (no answer from 127.0.0.1: unknown authentication protocol \"MD5\")");
  EXPECT_EQ(texts_[2], "N/A");
}

TEST_F(PollV3Test, PlainSilenceHasNoReason) {
  net_->responder = nullptr;
  EXPECT_FALSE(Poll());
  EXPECT_TRUE(s_.SnmpFailed);
  EXPECT_EQ(s_.SnmpMemory.FailureReason, "");
  EXPECT_EQ(TrayHint(s_, texts_), "- kB/s / - kB/s (no answer from 127.0.0.1)");
}

}  // namespace
}  // namespace plovex
