#include "core/counter_reset.h"

#include <gtest/gtest.h>

#include "snmp/testing/memory_udp_transport.h"

namespace plovex {
namespace {

const UdpEndpoint kAgentAt{0x7F000001, 161};

class CounterResetTest : public ::testing::Test {
 protected:
  CounterResetTest() {
    auto net = std::make_unique<MemoryUdpTransport>();
    net_ = net.get();
    client_ = std::make_unique<TSNMPSend>(std::move(net));
  }

  // The agent answers each SetRequest with its bindings and `status`.
  void AnswerWith(std::int32_t status) {
    net_->responder = [status](const MemoryUdpTransport::Datagram& d, MemoryUdpTransport& net) {
      TSNMPRec request;
      ASSERT_TRUE(request.Decode(d.bytes).ok());
      TSNMPRec reply;
      reply.PduType = 0xA2;
      reply.ErrorStatus = status;
      reply.ErrorIndex = status == 0 ? 0 : 1;
      for (const TSNMPMib& b : request.VarBinds()) reply.AddVarBind(b.Oid, b.Value, b.Tag);
      net.Deliver(d.peer, reply.Encode(), 3);
    };
  }

  // The message of a failed reset; "" when the agent accepted it.
  std::string Reset(int channel = 1) {
    return ResetAgentCounter(*client_, "127.0.0.1", "tamrel", "1.3.6.1.2.1.2.2.1.10.2", channel)
        .message();
  }

  MemoryUdpTransport* net_;
  std::unique_ptr<TSNMPSend> client_;
};

TEST_F(CounterResetTest, SendsOneSetRequestOfZeroAndReportsAcceptance) {
  AnswerWith(0);
  EXPECT_EQ(Reset(), "");
  ASSERT_EQ(net_->sent.size(), 1u);
  EXPECT_EQ(net_->sent[0].peer, kAgentAt);
  // The SetRequest byte for byte: version 0, the community, request-id 1.
  const std::string community = "tamrel";
  const std::string expected =
      std::string("\x30") + char(35 + community.size()) + std::string("\x02\x01\x00\x04", 4) +
      char(community.size()) + community +
      std::string(
          "\xA3\x1C\x02\x01\x01\x02\x01\x00\x02\x01\x00\x30\x11\x30\x0F\x06\x0A"
          "\x2B\x06\x01\x02\x01\x02\x02\x01\x0A\x02\x02\x01\x00",
          30);
  EXPECT_EQ(net_->sent[0].bytes, expected);
}

TEST_F(CounterResetTest, Version2cSetsTheVersionFieldOnly) {
  AnswerWith(0);
  EXPECT_TRUE(
      ResetAgentCounter(*client_, "127.0.0.1", "tamrel", "1.3.6.1.2.1.2.2.1.10.2", 1, 1).ok());
  ASSERT_EQ(net_->sent.size(), 1u);
  TSNMPRec sent;
  ASSERT_TRUE(sent.Decode(net_->sent[0].bytes).ok());
  EXPECT_EQ(sent.Version, 1);
  EXPECT_EQ(sent.PduType, 0xA3);
  ASSERT_EQ(sent.VarBinds().size(), 1u);
  EXPECT_EQ(sent.VarBinds()[0].Tag, 2);
  EXPECT_EQ(sent.VarBinds()[0].Value, "0");
}

TEST_F(CounterResetTest, ARefusalOrSilenceIsToldApart) {
  const struct {
    std::int32_t status;
    const char* message;
  } rows[] = {
      {2, "The agent did not reset OID1: noSuchName."},
      {4, "The agent did not reset OID1: readOnly."},
      {17, "The agent did not reset OID1: notWritable."},
      {99, "The agent did not reset OID1: error 99."},
  };
  for (const auto& row : rows) {
    AnswerWith(row.status);
    EXPECT_EQ(Reset(), row.message);
  }
  AnswerWith(6);
  EXPECT_EQ(Reset(2), "The agent did not reset OID2: noAccess.");

  net_->responder = nullptr;
  const std::int64_t start = net_->now_ms;
  EXPECT_EQ(Reset(), "No answer from 127.0.0.1 within 5 s.");
  EXPECT_EQ(net_->now_ms - start, 5000);
}

TEST_F(CounterResetTest, OnlyAnAcceptedResetZeroesOnlyItsChannel) {
  TPlovexSettings s;
  for (OidChannel* c : {&s.Oid1, &s.Oid2}) {
    c->Value = 5'000'000;
    c->PrevValue = 4'000'000;
    c->Total = 77;
  }
  const TPlovexSettings before = s;
  AnswerWith(4);  // readOnly
  EXPECT_FALSE(ResetCounter(*client_, s, "127.0.0.1", "tamrel", "1.3.6.1.2.1.2.2.1.16.2", 2).ok());
  EXPECT_TRUE(s == before) << "a refused reset changes nothing";

  AnswerWith(0);
  ASSERT_TRUE(ResetCounter(*client_, s, "127.0.0.1", "tamrel", "1.3.6.1.2.1.2.2.1.16.2", 2).ok());
  EXPECT_EQ(s.Oid2.Value, 0);
  EXPECT_EQ(s.Oid2.PrevValue, 0);
  EXPECT_EQ(s.Oid2.Total, 0);
  EXPECT_TRUE(s.Oid2.NewBaseline);
  EXPECT_TRUE(s.Oid1 == before.Oid1) << "the other counter is untouched";
}

}  // namespace
}  // namespace plovex
