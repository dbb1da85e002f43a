// The poll against the test run's snmpd (127.0.0.1:161, community "tamrel",
// interface 2 = veth0, addresses 127.0.0.1, 198.51.100.7 and 203.0.113.5).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <regex>

#include "core/counter_reset.h"
#include "core/poll_agent.h"
#include "core/snmp_security.h"
#include "core/tick_cycle.h"
#include "snmp/tudp_socket.h"

namespace plovex {
namespace {

constexpr char kAddresses[] = "1.3.6.1.2.1.4.20.1.1";

// The real socket, counting the datagrams sent through it.
class CountingSocket final : public UdpTransport {
 public:
  explicit CountingSocket(int* sent) : sent_(sent) {}
  Status Opened() const override { return socket_.Opened(); }
  Result<UdpEndpoint> LookUpHost(const std::string& name) override {
    return socket_.LookUpHost(name);
  }
  Status SendTo(const UdpEndpoint& to, std::string_view datagram) override {
    ++*sent_;
    return socket_.SendTo(to, datagram);
  }
  Status WaitReadable(std::int64_t timeout_ms) override { return socket_.WaitReadable(timeout_ms); }
  Status ReceiveFrom(std::string& datagram, UdpEndpoint& from) override {
    return socket_.ReceiveFrom(datagram, from);
  }
  std::int64_t NowMs() override { return socket_.NowMs(); }

 private:
  TUDPSocket socket_;
  int* sent_;
};

class AgentPoll : public ::testing::Test {
 protected:
  AgentPoll() : client_(std::make_unique<CountingSocket>(&sent_)) {
    ApplyDefaultSettings(s_);
    s_.Ip = "127.0.0.1";  // never the default host
  }

  // Overlay 4 as an existing instance, so that the GetRequest is answered.
  void AddressInstanceForOverlay4() { s_.Texts[4].Oid = std::string(kAddresses) + ".198.51.100.7"; }

  // 20 pings of 1000 bytes each way through interface 2.
  static void MakeTraffic() {
    const char* dir = std::getenv("PLOVEX_AGENT_DIR");
    ASSERT_NE(dir, nullptr);
    const std::string traffic =
        std::string(PLOVEX_SOURCE_DIR) + "/tests/fixtures/snmp_agent.sh traffic '" + dir + "' 20";
    ASSERT_EQ(std::system(traffic.c_str()), 0);
  }
  // They move each counter by well over 20,000 bytes.
  void ExpectCountersMovedWithTheTraffic() const {
    EXPECT_GE(s_.Oid1.Value - s_.Oid1.PrevValue, 20000);
    EXPECT_GE(s_.Oid2.Value - s_.Oid2.PrevValue, 20000);
  }

  // The client set up for the settings as they are, as every Start does.
  bool Poll() { return PollAgent(s_, client_, ConfigureClient(s_, client_), texts_); }

  TPlovexSettings s_;
  int sent_ = 0;
  TSNMPSend client_;
  PollTexts texts_;
};

TEST_F(AgentPoll, OneGetRequestWithSevenBindingsDecodesEveryValue) {
  AddressInstanceForOverlay4();
  ASSERT_TRUE(Poll());
  // The GetRequest and one GetNextRequest, whose answer is outside the
  // instance's own identifier, so the GetRequest's address stands.
  EXPECT_EQ(sent_, 2);
  EXPECT_FALSE(s_.SnmpFailed);
  EXPECT_TRUE(std::regex_match(texts_[0], std::regex("[0-9]+"))) << texts_[0];
  EXPECT_TRUE(std::regex_match(texts_[1], std::regex("[0-9]+"))) << texts_[1];
  EXPECT_EQ(s_.Oid1.Value, std::stoll(texts_[0]));
  EXPECT_EQ(s_.Oid2.Value, std::stoll(texts_[1]));
  EXPECT_EQ(texts_[2], "Test agent");
  EXPECT_TRUE(std::regex_match(texts_[3], std::regex("[0-9]+ Days [0-9]+h[0-5][0-9]m[0-5][0-9]s")))
      << texts_[3];
  EXPECT_EQ(texts_[4], "test-agent");
  EXPECT_EQ(texts_[5], "198.51.100.7");
  EXPECT_EQ(texts_[6], "Lab rack 7");
}

TEST_F(AgentPoll, CountersMoveWithTrafficOverInterface2) {
  AddressInstanceForOverlay4();
  ASSERT_TRUE(Poll());
  ASSERT_NO_FATAL_FAILURE(MakeTraffic());
  ASSERT_TRUE(Poll());
  ExpectCountersMovedWithTheTraffic();
}

TEST_F(AgentPoll, TheDefaultSettingsReadEveryValue) {
  // Default overlays: the column identifier itself has no instance, so the
  // agent refuses it; the request goes again without it, and the walk finds
  // the address.
  ASSERT_TRUE(Poll());
  EXPECT_EQ(texts_[5], "203.0.113.5");
  EXPECT_EQ(sent_, 2 + 4);  // two GetRequests, three rows and one step past the column
  EXPECT_TRUE(std::regex_match(texts_[0], std::regex("[0-9]+"))) << texts_[0];
  EXPECT_TRUE(std::regex_match(texts_[1], std::regex("[0-9]+"))) << texts_[1];
  EXPECT_EQ(texts_[2], "Test agent");
  EXPECT_TRUE(std::regex_match(texts_[3], std::regex("[0-9]+ Days [0-9]+h[0-5][0-9]m[0-5][0-9]s")))
      << texts_[3];
  EXPECT_EQ(texts_[4], "test-agent");
  EXPECT_EQ(texts_[6], "Lab rack 7");
  EXPECT_FALSE(s_.SnmpFailed);

  // From then on one GetRequest a tick, and one GetNextRequest that asks for
  // the rows the walk knows; the counters move with traffic.
  ASSERT_NO_FATAL_FAILURE(MakeTraffic());
  sent_ = 0;
  ASSERT_TRUE(Poll());
  EXPECT_EQ(sent_, 1 + 1);
  ExpectCountersMovedWithTheTraffic();
  EXPECT_EQ(texts_[5], "203.0.113.5");
}

TEST_F(AgentPoll, Version2cReadsThe64BitCountersAndAMissingOverlayAlone) {
  s_.SnmpVersion = "2c";
  s_.Oid1.Oid = "1.3.6.1.2.1.31.1.1.1.6.2";   // ifHCInOctets.2
  s_.Oid2.Oid = "1.3.6.1.2.1.31.1.1.1.10.2";  // ifHCOutOctets.2
  s_.Texts[3].Oid = "1.3.6.1.2.1.1.99.0";     // not on the agent
  ASSERT_TRUE(Poll());
  EXPECT_EQ(sent_, 1 + 1) << "one GetRequest, one GetBulkRequest for the whole column";
  EXPECT_TRUE(std::regex_match(texts_[0], std::regex("[0-9]+"))) << texts_[0];
  EXPECT_TRUE(std::regex_match(texts_[1], std::regex("[0-9]+"))) << texts_[1];
  EXPECT_EQ(texts_[2], "Test agent");
  EXPECT_EQ(texts_[4], "N/A");
  EXPECT_EQ(texts_[5], "203.0.113.5");
  EXPECT_EQ(texts_[6], "Lab rack 7");

  ASSERT_NO_FATAL_FAILURE(MakeTraffic());
  ASSERT_TRUE(Poll());
  ExpectCountersMovedWithTheTraffic();
}

TEST_F(AgentPoll, UptimeReadsAsDaysAndClockTime) {
  for (int i = 1; i <= 5; ++i) s_.Texts[i].Enabled = i == 2;
  ASSERT_TRUE(Poll());
  // The agent started with this test run.
  EXPECT_TRUE(std::regex_match(texts_[3], std::regex("0 Days 0h[0-5][0-9]m[0-5][0-9]s")))
      << texts_[3];
  s_.Texts[2].Kind = "String";
  ASSERT_TRUE(Poll());
  EXPECT_TRUE(std::regex_match(texts_[3], std::regex("[0-9]+"))) << texts_[3];
}

TEST_F(AgentPoll, AnOverlayTheAgentLacksSilencesOnlyThatOverlay) {
  AddressInstanceForOverlay4();
  ASSERT_TRUE(Poll());
  const PollTexts good = texts_;
  s_.Texts[3].Oid = "1.3.6.1.2.1.1.99.0";
  EXPECT_TRUE(Poll());
  EXPECT_TRUE(std::regex_match(texts_[0], std::regex("[0-9]+"))) << texts_[0];
  EXPECT_EQ(texts_[2], good[2]);
  EXPECT_EQ(texts_[4], "N/A");
  EXPECT_EQ(texts_[5], good[5]);
  EXPECT_EQ(texts_[6], good[6]);
  EXPECT_FALSE(s_.SnmpFailed);
  EXPECT_EQ(s_.SnmpMemory.Refused, std::vector<std::string>{"1.3.6.1.2.1.1.99.0"});
}

TEST_F(AgentPoll, AHostThatDoesNotAnswerStopsThePolling) {
  s_.Ip = "127.0.0.2";  // nothing listens there
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(Poll());
  const auto waited = std::chrono::steady_clock::now() - start;
  // One time-out of a second; upper bounds leave a loaded machine room.
  EXPECT_GE(waited, std::chrono::milliseconds(990));
  EXPECT_LT(waited, std::chrono::milliseconds(4000));
  EXPECT_TRUE(s_.SnmpFailed);
  EXPECT_EQ(client_.ErrorCode(), 10060);
  EXPECT_EQ(sent_, 1);

  const auto again = std::chrono::steady_clock::now();
  EXPECT_FALSE(Poll());
  EXPECT_LT(std::chrono::steady_clock::now() - again, std::chrono::milliseconds(900));  // no wait
  EXPECT_EQ(sent_, 1);  // nothing sent
  EXPECT_EQ(texts_, PollTexts{});
}

// The settings of a version 3 user of the test agent, keys made from the
// passphrases as the panel makes them.
void UseVersion3(TPlovexSettings& s, const char* user, const char* auth, const char* priv,
                 const char* auth_pass = "authpass123") {
  s.SnmpVersion = "3";
  s.Community = "";  // not needed, and never sent in version 3
  s.SnmpUser = user;
  s.SnmpAuthProtocol = auth;
  s.SnmpPrivProtocol = priv;
  s.SnmpAuthKey = *PassphraseKey(auth, auth_pass);
  s.SnmpPrivKey = *priv ? *PassphraseKey(auth, "privpass123") : "";
}

TEST_F(AgentPoll, Version3AuthPrivReadsRatesAndOverlays) {
  UseVersion3(s_, "plovex", "SHA", "AES");
  s_.Oid1.Oid = "1.3.6.1.2.1.31.1.1.1.6.2";   // ifHCInOctets.2
  s_.Oid2.Oid = "1.3.6.1.2.1.31.1.1.1.10.2";  // ifHCOutOctets.2
  ASSERT_TRUE(Poll()) << s_.SnmpMemory.FailureReason;
  EXPECT_EQ(sent_, 1 + 1 + 1) << "discovery, the GetRequest, one GetBulkRequest";
  EXPECT_TRUE(std::regex_match(texts_[0], std::regex("[0-9]+"))) << texts_[0];
  EXPECT_EQ(texts_[2], "Test agent");
  EXPECT_TRUE(std::regex_match(texts_[3], std::regex("[0-9]+ Days [0-9]+h[0-5][0-9]m[0-5][0-9]s")))
      << texts_[3];
  EXPECT_EQ(texts_[4], "test-agent");
  EXPECT_EQ(texts_[5], "203.0.113.5");
  EXPECT_EQ(texts_[6], "Lab rack 7");

  ASSERT_NO_FATAL_FAILURE(MakeTraffic());
  sent_ = 0;
  ASSERT_TRUE(Poll());
  EXPECT_EQ(sent_, 2);
  ExpectCountersMovedWithTheTraffic();
  EXPECT_FALSE(s_.SnmpFailed);
}

TEST_F(AgentPoll, Version3WithSha256AndWithoutPrivacy) {
  UseVersion3(s_, "plovex256", "SHA-256", "AES");
  ASSERT_TRUE(Poll()) << s_.SnmpMemory.FailureReason;
  EXPECT_EQ(texts_[2], "Test agent");
  EXPECT_EQ(texts_[5], "203.0.113.5");
  UseVersion3(s_, "plovexauth", "SHA", "");
  ASSERT_TRUE(Poll()) << s_.SnmpMemory.FailureReason;
  EXPECT_EQ(texts_[2], "Test agent");
  EXPECT_TRUE(std::regex_match(texts_[0], std::regex("[0-9]+"))) << texts_[0];
}

TEST_F(AgentPoll, Version3WrongPassphraseIsToldInTheHint) {
  s_.Ip = "127.0.0.1";
  UseVersion3(s_, "plovex", "SHA", "AES", "not the passphrase");
  EXPECT_FALSE(Poll());
  EXPECT_TRUE(s_.SnmpFailed);
  EXPECT_EQ(s_.SnmpMemory.FailureReason, "wrong authentication key");
  EXPECT_EQ(TrayHint(s_, texts_),
            "- kB/s / - kB/s (no answer from 127.0.0.1: wrong authentication key)");
  EXPECT_EQ(texts_[2], "N/A");
}

TEST_F(AgentPoll, Version3CounterResetIsAuthenticated) {
  UseVersion3(s_, "plovex", "SHA", "AES");
  TSNMPSend reset_client;
  ASSERT_TRUE(ConfigureClient(s_, reset_client).ok());
  // The agent takes the user's SetRequest and refuses the read-only counter.
  EXPECT_EQ(ResetAgentCounter(reset_client, "127.0.0.1", "", s_.Oid1.Oid, 1, 3).message(),
            "The agent did not reset OID1: notWritable.");
  reset_client.Usm.AuthKey[0] ^= 1;
  EXPECT_EQ(ResetAgentCounter(reset_client, "127.0.0.1", "", s_.Oid1.Oid, 1, 3).message(),
            "No answer from 127.0.0.1: wrong authentication key.");
}

}  // namespace
}  // namespace plovex
