#include "snmp/tsnmp_send.h"

#include <gtest/gtest.h>

#include "snmp/testing/memory_udp_transport.h"
#include "snmp/testing/test_bytes.h"

namespace plovex {
namespace {

using testing::Binding;
using testing::Bytes;
using testing::Element;
using testing::Reply;

constexpr std::uint32_t kLoopback = 0x7F000001;
const UdpEndpoint kAgent{kLoopback, 161};

// A client over an in-memory network, with the agent at 127.0.0.1.
class ExchangeTest : public ::testing::Test {
 protected:
  ExchangeTest() {
    auto net = std::make_unique<MemoryUdpTransport>();
    net_ = net.get();
    client_ = std::make_unique<TSNMPSend>(std::move(net));
    client_->Host = "127.0.0.1";
    client_->Timeout = 1000;
    client_->Request.Community = "tamrel";
    client_->Request.PduType = 0xA0;
    client_->Request.AddVarBind("1.3.6.1.2.1.1.5.0", "", 5);
  }

  // The agent answers every request after delay_ms with this reply.
  void AnswerWith(std::string reply, std::int64_t delay_ms = 5) {
    net_->responder = [reply, delay_ms](const MemoryUdpTransport::Datagram&,
                                        MemoryUdpTransport& net) {
      net.Deliver(kAgent, reply, delay_ms);
    };
  }

  static std::string NameReply(const std::string& name) {
    return Reply(Binding("2B 06 01 02 01 01 05 00", Element(0x04, name)));
  }

  MemoryUdpTransport* net_;
  std::unique_ptr<TSNMPSend> client_;
};

TEST_F(ExchangeTest, SendsTheEncodedRequestToPort161AndDecodesTheReply) {
  AnswerWith(NameReply("router"), 40);
  ASSERT_TRUE(client_->Exchange());
  EXPECT_EQ(client_->ErrorCode(), 0);
  EXPECT_TRUE(client_->LastStatus().ok());
  ASSERT_EQ(net_->sent.size(), 1u);
  EXPECT_EQ(net_->sent[0].peer, kAgent);
  EXPECT_EQ(net_->sent[0].bytes, client_->Request.Encode());
  EXPECT_EQ(client_->Response.FindValue("1.3.6.1.2.1.1.5.0"), "router");
  EXPECT_EQ(net_->now_ms, 40);
}

TEST_F(ExchangeTest, NoReplyTimesOutAfterTimeout) {
  EXPECT_FALSE(client_->Exchange());
  EXPECT_EQ(client_->ErrorCode(), 10060);
  EXPECT_EQ(client_->LastStatus(), Status::TimedOut("time-out"));
  EXPECT_EQ(net_->now_ms, 1000);
  EXPECT_EQ(client_->Response.VarBinds().size(), 0u);
  EXPECT_EQ(net_->sent.size(), 1u);  // one attempt, no retry
}

TEST_F(ExchangeTest, EmptyDatagramIs10054) {
  AnswerWith("");
  EXPECT_FALSE(client_->Exchange());
  EXPECT_EQ(client_->ErrorCode(), 10054);
  EXPECT_EQ(client_->LastStatus(), Status::IoError("no readable reply"));  // no system errno
}

TEST_F(ExchangeTest, DatagramsThatAreNoMessageFailWithoutAnErrorCode) {
  for (const std::string& bad : {Bytes("30"), Bytes("02 01 00"), Bytes("30 7F 02 01 00")}) {
    AnswerWith(bad);
    EXPECT_FALSE(client_->Exchange());
    EXPECT_EQ(client_->ErrorCode(), 0);
    EXPECT_EQ(client_->LastStatus().code(), StatusCode::kIoError);
  }
}

TEST_F(ExchangeTest, StaleReplyOfATimedOutExchangeIsNotTakenForTheNextOne) {
  AnswerWith(NameReply("late"), 1500);  // arrives after the time-out
  EXPECT_FALSE(client_->Exchange());
  net_->now_ms = 2000;  // the next tick: the late reply is waiting
  AnswerWith(NameReply("fresh"), 30);
  ASSERT_TRUE(client_->Exchange());
  EXPECT_EQ(client_->Response.FindValue("1.3.6.1.2.1.1.5.0"), "fresh");
  EXPECT_EQ(net_->Queued(), 0u);
}

TEST_F(ExchangeTest, AReplyNamingOtherIdentifiersIsAnEarlierRequestsAnswer) {
  // A slow agent answers the previous request (sysDescr) after our send; the
  // answer to ours (sysName) follows. Only a GetRequest's or SetRequest's
  // bindings are checked: a GetNextRequest's reply names other identifiers.
  const std::string previous = Reply(Binding("2B 06 01 02 01 01 01 00", Element(0x04, "old")));
  net_->responder = [&previous](const MemoryUdpTransport::Datagram&, MemoryUdpTransport& net) {
    net.Deliver(kAgent, previous, 100);
    net.Deliver(kAgent, Reply(""), 150);  // no bindings and no error: no answer either
    net.Deliver(kAgent, NameReply("fresh"), 300);
  };
  ASSERT_TRUE(client_->Exchange());
  EXPECT_EQ(client_->Response.FindValue("1.3.6.1.2.1.1.5.0"), "fresh");
  EXPECT_EQ(client_->Response.VarBinds().size(), 1u);
  EXPECT_EQ(net_->now_ms, 300);

  // Nothing but stale answers: a time-out at the same deadline.
  net_->responder = [&previous](const MemoryUdpTransport::Datagram&, MemoryUdpTransport& net) {
    net.Deliver(kAgent, previous, 100);
  };
  const std::int64_t start = net_->now_ms;
  EXPECT_FALSE(client_->Exchange());
  EXPECT_EQ(client_->ErrorCode(), 10060);
  EXPECT_EQ(net_->now_ms - start, 1000);

  // The names are compared as the agent writes them back, in order, and an
  // error reply may leave the bindings out.
  client_->Request.Reset();
  client_->Request.PduType = 0xA3;
  client_->Request.AddVarBind("1.3.6.1.2.1.1.5.0.", "0", 2);  // the user's trailing dot
  AnswerWith(NameReply("set"));
  ASSERT_TRUE(client_->Exchange());
  EXPECT_EQ(client_->Response.FindValue("1.3.6.1.2.1.1.5.0"), "set");
  AnswerWith(Reply("", 1));
  ASSERT_TRUE(client_->Exchange());
  EXPECT_EQ(client_->Response.ErrorStatus, 1);
  client_->Request.AddVarBind("1.3.6.1.2.1.1.1.0", "0", 2);
  AnswerWith(Reply(Binding("2B 06 01 02 01 01 01 00", Bytes("05 00")) +
                       Binding("2B 06 01 02 01 01 05 00", Bytes("05 00")),
                   2, 1));
  EXPECT_FALSE(client_->Exchange());  // the right names in the wrong order

  client_->Request.PduType = 0xA1;
  AnswerWith(previous);
  EXPECT_TRUE(client_->Exchange());
}

TEST_F(ExchangeTest, ForeignSendersAreDiscardedWithinTheSameDeadline) {
  net_->responder = [](const MemoryUdpTransport::Datagram&, MemoryUdpTransport& net) {
    net.Deliver({0x7F000009, 161}, NameReply("other host"), 100);
    net.Deliver({kLoopback, 162}, NameReply("other port"), 200);
    net.Deliver({kLoopback, 161}, NameReply("agent"), 300);
  };
  ASSERT_TRUE(client_->Exchange());
  EXPECT_EQ(client_->Response.FindValue("1.3.6.1.2.1.1.5.0"), "agent");
  EXPECT_EQ(net_->now_ms, 300);

  net_->responder = [](const MemoryUdpTransport::Datagram&, MemoryUdpTransport& net) {
    net.Deliver({0x7F000009, 161}, NameReply("other host"), 900);
    net.Deliver({kLoopback, 161}, NameReply("too late"), 1001);
  };
  const std::int64_t start = net_->now_ms;
  EXPECT_FALSE(client_->Exchange());
  EXPECT_EQ(client_->ErrorCode(), 10060);
  EXPECT_EQ(net_->now_ms - start, 1000);  // the deadline did not move
}

TEST_F(ExchangeTest, ErrorRepliesOtherIdsAndCommunitiesAreStillReplies) {
  std::string reply = Reply(Binding("2B 06 01 02 01 01 05 00", Bytes("05 00")), 2, 1);
  reply[7] = 'x';  // community "x" instead of the request's
  reply[12] = 7;   // request-id 7
  AnswerWith(reply);
  ASSERT_TRUE(client_->Exchange());
  EXPECT_EQ(client_->Response.Community, "x");
  EXPECT_EQ(client_->Response.RequestId, 7);
  EXPECT_EQ(client_->Response.ErrorStatus, 2);
  ASSERT_EQ(client_->Response.VarBinds().size(), 1u);
  EXPECT_EQ(client_->Response.VarBinds()[0].Tag, 5);
  EXPECT_EQ(client_->Response.VarBinds()[0].Value, "");
}

TEST_F(ExchangeTest, EveryRequestCarriesVersion0AndRequestId1) {
  AnswerWith(NameReply("a"));
  for (int i = 0; i < 3; ++i) {
    client_->Request.Reset();
    client_->Request.PduType = 0xA1;
    client_->Request.AddVarBind("1.3", "", 5);
    client_->Exchange();
  }
  ASSERT_EQ(net_->sent.size(), 3u);
  for (const auto& d : net_->sent) {
    TSNMPRec sent;
    ASSERT_TRUE(sent.Decode(d.bytes).ok());
    EXPECT_EQ(sent.Version, 0);
    EXPECT_EQ(sent.RequestId, 1);
  }
}

TEST_F(ExchangeTest, ResponseIsResetEvenWhenTheExchangeFails) {
  AnswerWith(NameReply("router"));
  ASSERT_TRUE(client_->Exchange());
  net_->responder = nullptr;
  EXPECT_FALSE(client_->Exchange());
  EXPECT_EQ(client_->Response.VarBinds().size(), 0u);
}

TEST_F(ExchangeTest, DestinationIsWorkedOutAtEveryExchange) {
  const auto v6 = [](std::uint8_t first, std::uint8_t second, std::uint8_t last,
                     std::uint32_t scope = 0) {
    UdpEndpoint e{0, 161, true};
    e.address6[0] = first;
    e.address6[1] = second;
    e.address6[15] = last;
    e.scope_id = scope;
    return e;
  };
  UdpEndpoint documentation = v6(0x20, 0x01, 1);  // 2001:db8::1
  documentation.address6[2] = 0x0D;
  documentation.address6[3] = 0xB8;
  net_->hosts["agent.test"] = {0x0A000001};
  net_->hosts["v6only.test"] = documentation;
  const UdpEndpoint broadcast{0xFFFFFFFF, 161};
  const struct {
    const char* host;
    UdpEndpoint to;
  } rows[] = {
      {"127.0.0.1", {kLoopback, 161}},
      {"agent.test", {0x0A000001, 161}},
      {"255.255.255.255", broadcast},
      {"no.such.host", broadcast},  // stays at the parser's failure value
      {"", broadcast},
      {"2001:db8::1", documentation},
      {"[2001:db8::1]", documentation},
      {"v6only.test", documentation},
      {"::1", v6(0, 0, 1)},
      {"::ffff:127.0.0.1", {kLoopback, 161}},
      {"fe80::1%7", v6(0xFE, 0x80, 1, 7)},
      {"fe80::1%lo", v6(0xFE, 0x80, 1, 1)},  // loopback is interface 1
      {"fe80::1%no-such-if0", broadcast},
      {"2001:db8::1%", broadcast},
      {"2001:db8::g", broadcast},
  };
  for (const auto& row : rows) {
    client_->Host = row.host;
    client_->Timeout = 10;
    client_->Exchange();
    ASSERT_FALSE(net_->sent.empty());
    EXPECT_TRUE(net_->sent.back().peer == row.to) << row.host;
  }
  // A name that cannot be found is told apart from an agent that is silent.
  for (const auto& [host, code] : {std::pair{"no.such.host", StatusCode::kNotFound},
                                   std::pair{"agent.test", StatusCode::kTimedOut}}) {
    client_->Host = host;
    EXPECT_FALSE(client_->Exchange());
    EXPECT_EQ(client_->LastStatus().code(), code) << host;
  }
  client_->Host = std::string("127.0.0.1\0.9", 12);  // no silent truncation at the zero byte
  client_->Exchange();
  EXPECT_EQ(net_->sent.back().peer.address, 0xFFFFFFFFu);
}

TEST(TSNMPSend, SocketThatFailedToOpenFailsEveryExchange) {
  auto net = std::make_unique<MemoryUdpTransport>();
  net->open_error = 24;  // EMFILE
  MemoryUdpTransport* raw = net.get();
  TSNMPSend client(std::move(net));
  EXPECT_EQ(client.ErrorCode(), 24);
  EXPECT_EQ(client.Timeout, 5000);
  EXPECT_EQ(client.Host, "localhost");
  EXPECT_FALSE(client.Exchange());
  EXPECT_EQ(client.ErrorCode(), 24);
  EXPECT_EQ(client.LastStatus(), Status::IoError("no readable reply", 24));
  EXPECT_TRUE(raw->sent.empty());
  EXPECT_EQ(raw->now_ms, 0);
}

}  // namespace
}  // namespace plovex
