// The client over real UDP sockets: against the test run's snmpd on
// 127.0.0.1:161, and against scripted agents bound to other loopback
// addresses, for the cases snmpd cannot be made to produce.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <utility>

#include "snmp/testing/test_bytes.h"
#include "snmp/tsnmp_send.h"

namespace plovex {
namespace {

using testing::Binding;
using testing::Element;
using testing::Reply;

constexpr char kIfInOctets2[] = "1.3.6.1.2.1.2.2.1.10.2";

std::int64_t ElapsedMs(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                               since)
      .count();
}

// Datagrams handed to UDP sockets in this network namespace (InDatagrams),
// which the test run keeps to itself.
std::int64_t UdpDelivered() {
  std::ifstream counters("/proc/net/snmp");
  std::string line;
  for (bool names = true; std::getline(counters, line);) {
    if (line.rfind("Udp: ", 0) != 0) continue;
    if (std::exchange(names, false)) continue;
    std::int64_t delivered = -1;
    std::istringstream(line.substr(5)) >> delivered;
    return delivered;
  }
  return -1;
}

// Returns once a datagram more than `before` counted has reached its socket,
// or after two seconds.
void AwaitDelivery(std::int64_t before) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  while (UdpDelivered() <= before && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

TEST(AgentExchange, GetRequestThroughLocalhost) {
  TSNMPSend client;  // default Host "localhost"
  client.Timeout = 2000;
  client.Request.Community = "tamrel";
  client.Request.PduType = 0xA0;
  client.Request.AddVarBind("1.3.6.1.2.1.1.1.0", "", 5);
  client.Request.AddVarBind("1.3.6.1.2.1.1.5.0", "", 5);
  client.Request.AddVarBind("1.3.6.1.2.1.1.3.0", "", 5);
  ASSERT_TRUE(client.Exchange()) << client.ErrorCode();
  EXPECT_EQ(client.ErrorCode(), 0);
  EXPECT_EQ(client.Response.PduType, 0xA2);
  EXPECT_EQ(client.Response.RequestId, 1);
  EXPECT_EQ(client.Response.ErrorStatus, 0);
  EXPECT_EQ(client.Response.FindValue("1.3.6.1.2.1.1.1.0"), "Test agent");
  EXPECT_EQ(client.Response.FindValue("1.3.6.1.2.1.1.5.0"), "test-agent");
  ASSERT_EQ(client.Response.VarBinds().size(), 3u);
  EXPECT_EQ(client.Response.VarBinds()[2].Tag, 0x43);
}

TEST(AgentExchange, CounterResetSetRequestIsAnsweredWithNoSuchName) {
  TSNMPSend client;
  client.Request.Reset();
  client.Request.Community = "tamrel";
  client.Request.PduType = 0xA3;
  client.Request.AddVarBind(kIfInOctets2, "0", 2);
  client.Host = "127.0.0.1";
  ASSERT_TRUE(client.Exchange());
  EXPECT_EQ(client.Response.ErrorStatus, 2);
  EXPECT_EQ(client.Response.ErrorIndex, 1);
  ASSERT_EQ(client.Response.VarBinds().size(), 1u);
  EXPECT_EQ(client.Response.VarBinds()[0].Oid, kIfInOctets2);
}

TEST(AgentExchange, WrongCommunityGetsNoAnswer) {
  TSNMPSend client;
  client.Host = "127.0.0.1";
  client.Timeout = 300;
  client.Request.Community = "wrong";
  client.Request.PduType = 0xA0;
  client.Request.AddVarBind("1.3.6.1.2.1.1.5.0", "", 5);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(client.Exchange());
  EXPECT_EQ(client.ErrorCode(), 10060);
  EXPECT_GE(ElapsedMs(start), 290);
  EXPECT_LT(ElapsedMs(start), 5000);  // room for a loaded machine
}

// A UDP socket bound to address:161 that plays the agent.
class ScriptedAgent {
 public:
  explicit ScriptedAgent(const char* address) {
    fd_ = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(161);
    ::inet_pton(AF_INET, address, &sa.sin_addr);
    bound_ = ::bind(fd_, reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0;
  }
  ~ScriptedAgent() { ::close(fd_); }
  bool bound() const { return bound_; }

  // Waits for one request and remembers where it came from.
  bool Receive() {
    char buf[2048];
    timeval tv{3, 0};
    ::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    socklen_t len = sizeof client_;
    return ::recvfrom(fd_, buf, sizeof buf, 0, reinterpret_cast<sockaddr*>(&client_), &len) >= 0;
  }
  void SendTo(const ScriptedAgent& asker, const std::string& bytes) const {
    ::sendto(fd_, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&asker.client_),
             sizeof asker.client_);
  }

 private:
  int fd_ = -1;
  bool bound_ = false;
  sockaddr_in client_{};
};

std::string NameReply(const std::string& name) {
  return Reply(Binding("2B 06 01 02 01 01 05 00", Element(0x04, name)));
}

class ScriptedExchange : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(agent_.bound());
    ASSERT_TRUE(stranger_.bound());
    client_.Host = "127.0.0.5";
    client_.Timeout = 300;
    client_.Request.PduType = 0xA0;
    client_.Request.AddVarBind("1.3.6.1.2.1.1.5.0", "", 5);
  }

  ScriptedAgent agent_{"127.0.0.5"};
  ScriptedAgent stranger_{"127.0.0.6"};
  TSNMPSend client_;
};

TEST_F(ScriptedExchange, LateReplyIsDiscardedBeforeTheNextRequest) {
  EXPECT_FALSE(client_.Exchange());  // the agent keeps quiet in time
  ASSERT_TRUE(agent_.Receive());
  const std::int64_t delivered = UdpDelivered();
  agent_.SendTo(agent_, NameReply("late"));
  AwaitDelivery(delivered);  // the late reply is waiting

  std::thread answer([this] {
    if (agent_.Receive()) agent_.SendTo(agent_, NameReply("fresh"));
  });
  const bool ok = client_.Exchange();
  answer.join();
  ASSERT_TRUE(ok) << client_.ErrorCode();
  EXPECT_EQ(client_.Response.FindValue("1.3.6.1.2.1.1.5.0"), "fresh");
}

TEST_F(ScriptedExchange, OtherSendersAreIgnoredUntilTheAgentAnswers) {
  std::thread answer([this] {
    if (!agent_.Receive()) return;
    const std::int64_t delivered = UdpDelivered();
    stranger_.SendTo(agent_, NameReply("stranger"));
    AwaitDelivery(delivered);  // the stranger's comes first
    agent_.SendTo(agent_, NameReply("agent"));
  });
  const bool ok = client_.Exchange();
  answer.join();
  ASSERT_TRUE(ok) << client_.ErrorCode();
  EXPECT_EQ(client_.Response.FindValue("1.3.6.1.2.1.1.5.0"), "agent");

  std::thread only_stranger([this] {
    if (agent_.Receive()) stranger_.SendTo(agent_, NameReply("stranger"));
  });
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(client_.Exchange());
  only_stranger.join();
  EXPECT_EQ(client_.ErrorCode(), 10060);
  EXPECT_GE(ElapsedMs(start), 290);
  EXPECT_LT(ElapsedMs(start), 5000);  // room for a loaded machine
}

TEST_F(ScriptedExchange, EmptyDatagramIs10054) {
  std::thread answer([this] {
    if (agent_.Receive()) agent_.SendTo(agent_, "");
  });
  EXPECT_FALSE(client_.Exchange());
  answer.join();
  EXPECT_EQ(client_.ErrorCode(), 10054);
}

}  // namespace
}  // namespace plovex
