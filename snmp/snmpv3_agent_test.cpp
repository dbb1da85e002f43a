// The version 3 client against the test run's snmpd and its users plovex
// (SHA/AES), plovex256 (SHA-256/AES) and plovexauth (SHA, authNoPriv), all
// with the passphrases "authpass123" and "privpass123".
#include <gtest/gtest.h>

#include <cstdlib>

#include "snmp/testing/capturing_transport.h"
#include "snmp/testing/test_bytes.h"
#include "snmp/tsnmp_send.h"
#include "snmp/usm_keys.h"

namespace plovex {
namespace {

constexpr char kSysDescr[] = "1.3.6.1.2.1.1.1.0";
constexpr char kSysName[] = "1.3.6.1.2.1.1.5.0";
constexpr char kEngineBoots[] = "1.3.6.1.6.3.10.2.1.2.0";

UsmUser User(const char* name, UsmAuthProtocol auth, UsmPrivProtocol priv,
             const char* auth_pass = "authpass123") {
  UsmUser u;
  u.Name = name;
  u.Auth = auth;
  u.Priv = priv;
  u.AuthKey = *PasswordToKey(auth, auth_pass);
  if (priv != UsmPrivProtocol::kNone) u.PrivKey = *PasswordToKey(auth, "privpass123");
  return u;
}

class AgentV3 : public ::testing::Test {
 protected:
  AgentV3() : client_(std::make_unique<testing::CapturingTransport>(&wire_)) {
    client_.Host = "127.0.0.1";
    client_.Timeout = 2000;
  }

  bool Get(const UsmUser& user, std::initializer_list<const char*> oids) {
    client_.Usm = user;
    client_.Request.Reset();
    client_.Request.Version = 3;
    client_.Request.PduType = 0xA0;
    for (const char* oid : oids) client_.Request.AddVarBind(oid, "", 5);
    return client_.Exchange();
  }

  std::vector<std::string> wire_;
  TSNMPSend client_;
};

TEST_F(AgentV3, EachUserReadsAtItsLevel) {
  const UsmUser users[] = {
      User("plovex", UsmAuthProtocol::kSha1, UsmPrivProtocol::kAes128),
      User("plovex256", UsmAuthProtocol::kSha256, UsmPrivProtocol::kAes128),
      User("plovexauth", UsmAuthProtocol::kSha1, UsmPrivProtocol::kNone),
  };
  for (const UsmUser& user : users) {
    ASSERT_TRUE(Get(user, {kSysDescr, kSysName}))
        << user.Name << ": " << client_.LastStatus().message();
    EXPECT_EQ(client_.Response.ErrorStatus, 0) << user.Name;
    EXPECT_EQ(client_.Response.FindValue(kSysDescr), "Test agent") << user.Name;
    EXPECT_EQ(client_.Response.FindValue(kSysName), "test-agent") << user.Name;
  }
  // snmpd tells the engine ID it was discovered with.
  ASSERT_NE(client_.Session(), nullptr);
  EXPECT_GE(client_.Session()->EngineId().size(), 5u);
}

TEST_F(AgentV3, NoValueAndNoPassphraseCrossesTheWireInAuthPriv) {
  const UsmUser user = User("plovex", UsmAuthProtocol::kSha1, UsmPrivProtocol::kAes128);
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(Get(user, {kSysDescr, kSysName, "1.3.6.1.2.1.1.6.0"}))
        << client_.LastStatus().message();
    EXPECT_EQ(client_.Response.FindValue("1.3.6.1.2.1.1.6.0"), "Lab rack 7");
  }
  ASSERT_GE(wire_.size(), 6u);  // discovery, then a request and a reply each
  const std::string secrets[] = {
      "Test agent",  "test-agent", "Lab rack 7", "authpass123",
      "privpass123", user.AuthKey, user.PrivKey, testing::Bytes("2B 06 01 02 01 01 05 00")};
  for (const std::string& datagram : wire_) {
    for (const std::string& secret : secrets) {
      EXPECT_EQ(datagram.find(secret), std::string::npos) << testing::Hex(secret);
    }
  }
}

TEST_F(AgentV3, RefusalsAreToldApart) {
  EXPECT_FALSE(Get(User("plovex", UsmAuthProtocol::kSha1, UsmPrivProtocol::kAes128, "wrongpass1"),
                   {kSysDescr}));
  EXPECT_EQ(client_.LastStatus().message(), "wrong authentication key");
  EXPECT_FALSE(Get(User("nobody", UsmAuthProtocol::kSha1, UsmPrivProtocol::kAes128), {kSysDescr}));
  EXPECT_EQ(client_.LastStatus().message(), "unknown user");
  EXPECT_FALSE(
      Get(User("plovexauth", UsmAuthProtocol::kSha1, UsmPrivProtocol::kAes128), {kSysDescr}));
  EXPECT_EQ(client_.LastStatus().message(), "unsupported security level");
  // The right key again: nothing of the refusals sticks.
  EXPECT_TRUE(Get(User("plovex", UsmAuthProtocol::kSha1, UsmPrivProtocol::kAes128), {kSysDescr}));
}

TEST_F(AgentV3, AnAgentRestartIsFollowedWithoutHelp) {
  const UsmUser user = User("plovex", UsmAuthProtocol::kSha1, UsmPrivProtocol::kAes128);
  ASSERT_TRUE(Get(user, {kEngineBoots})) << client_.LastStatus().message();
  const std::string boots = client_.Response.FindValue(kEngineBoots);
  const std::string engine = client_.Session()->EngineId();

  const char* dir = std::getenv("PLOVEX_AGENT_DIR");
  ASSERT_NE(dir, nullptr);
  const std::string restart =
      std::string(PLOVEX_SOURCE_DIR) + "/tests/fixtures/snmp_agent.sh restart '" + dir + "'";
  ASSERT_EQ(std::system(restart.c_str()), 0);

  const std::size_t before = wire_.size();
  ASSERT_TRUE(Get(user, {kEngineBoots})) << client_.LastStatus().message();
  EXPECT_EQ(std::stoi(client_.Response.FindValue(kEngineBoots)), std::stoi(boots) + 1);
  EXPECT_EQ(client_.Session()->EngineId(), engine);
  EXPECT_EQ(client_.Session()->EngineBoots(), std::stoi(boots) + 1);
  // The request, the agent's report of the new boots, the request again, the reply.
  EXPECT_EQ(wire_.size() - before, 4u);
}

}  // namespace
}  // namespace plovex
