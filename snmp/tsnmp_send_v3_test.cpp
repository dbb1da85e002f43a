// The version 3 exchange over an in-memory network against a scripted
// agent: discovery, authentication and privacy, the agent's reboot and new
// engine followed without help, forged, stale, replayed and unencrypted
// replies refused, and the agent's refusals told apart.
#include <gtest/gtest.h>

#include <functional>

#include "snmp/testing/memory_udp_transport.h"
#include "snmp/testing/usm_test_agent.h"
#include "snmp/tsnmp_send.h"

namespace plovex {
namespace {

using testing::Bytes;
using testing::UsmTestAgent;

constexpr char kSysDescr[] = "1.3.6.1.2.1.1.1.0";
constexpr char kIfInOctets2[] = "1.3.6.1.2.1.2.2.1.10.2";
const UdpEndpoint kAgent{0x7F000001, 161};

std::string Ku(UsmAuthProtocol protocol, const char* passphrase) {
  return *PasswordToKey(protocol, passphrase);
}

UsmUser User(const char* name, UsmAuthProtocol auth, UsmPrivProtocol priv,
             const char* auth_pass = "authpass123", const char* priv_pass = "privpass123") {
  UsmUser u;
  u.Name = name;
  u.Auth = auth;
  u.Priv = priv;
  if (auth != UsmAuthProtocol::kNone) u.AuthKey = Ku(auth, auth_pass);
  if (priv != UsmPrivProtocol::kNone) u.PrivKey = Ku(auth, priv_pass);
  return u;
}

bool Contains(std::string_view haystack, std::string_view needle) {
  return haystack.find(needle) != std::string_view::npos;
}

class V3Exchange : public ::testing::Test {
 protected:
  V3Exchange() {
    auto net = std::make_unique<MemoryUdpTransport>();
    net_ = net.get();
    client_ = std::make_unique<TSNMPSend>(std::move(net));
    client_->Host = "127.0.0.1";
    client_->Timeout = 1000;
    client_->Usm = User("plovex", UsmAuthProtocol::kSha1, UsmPrivProtocol::kAes128);
    agent_.user = client_->Usm;
    agent_.values[kSysDescr] = {"Test agent", 4};
    agent_.values[kIfInOctets2] = {"123456", 0x41};
    agent_.Serve(*net_);
    Ask();
  }

  void Ask() {
    client_->Request.Reset();
    client_->Request.Version = 3;
    client_->Request.PduType = 0xA0;
    client_->Request.AddVarBind(kSysDescr, "", 5);
    client_->Request.AddVarBind(kIfInOctets2, "", 5);
  }

  void ExpectAnswered() {
    EXPECT_TRUE(client_->LastStatus().ok()) << client_->LastStatus().message();
    EXPECT_EQ(client_->Response.Version, 3);
    EXPECT_EQ(client_->Response.PduType, 0xA2);
    EXPECT_EQ(client_->Response.FindValue(kSysDescr), "Test agent");
    EXPECT_EQ(client_->Response.FindValue(kIfInOctets2), "123456");
  }

  // Before each real answer, `forge` may deliver a datagram of its own.
  void ForgeBeforeEachAnswer(std::function<std::string(std::int64_t now)> forge) {
    net_->responder = [this, forge](const MemoryUdpTransport::Datagram& sent,
                                    MemoryUdpTransport& net) {
      const std::string real = agent_.Answer(sent.bytes, net.now_ms);
      if (real.empty()) return;
      if (agent_.answered > answered_before_forging_) {
        net.Deliver(kAgent, forge(net.now_ms), 1);
      }
      net.Deliver(kAgent, real, 2);
    };
  }

  // A GetResponse for the last request, sealed with `flags`, boots, time.
  std::string ReplyWith(std::string value, std::uint8_t flags, std::int32_t boots,
                        std::int32_t time, std::int32_t request_id_delta = 0) {
    TSNMPRec pdu;
    pdu.PduType = 0xA2;
    pdu.RequestId = agent_.last_pdu.RequestId + request_id_delta;
    pdu.AddVarBind(kSysDescr, value, 4);
    pdu.AddVarBind(kIfInOctets2, "1", 0x41);
    return agent_.SealReply(pdu, flags, boots, time);
  }

  MemoryUdpTransport* net_;
  std::unique_ptr<TSNMPSend> client_;
  UsmTestAgent agent_;
  int answered_before_forging_ = 0;
};

TEST_F(V3Exchange, DiscoversTheEngineThenReadsInAuthPriv) {
  ASSERT_TRUE(client_->Exchange()) << client_->LastStatus().message();
  ExpectAnswered();
  ASSERT_EQ(net_->sent.size(), 2u);
  const auto probe = DecodeSnmpv3Message(net_->sent[0].bytes);
  ASSERT_TRUE(probe);
  EXPECT_EQ(probe->Header.MsgFlags, 0x04);
  EXPECT_EQ(probe->Security.EngineId, "");
  EXPECT_EQ(probe->Security.UserName, "");
  const auto request = DecodeSnmpv3Message(net_->sent[1].bytes);
  ASSERT_TRUE(request);
  EXPECT_EQ(request->Header.MsgFlags, 0x07);  // reportable, auth, priv
  EXPECT_EQ(request->Security.EngineId, agent_.engine_id);
  EXPECT_EQ(request->Security.EngineBoots, 7);
  EXPECT_EQ(request->Security.EngineTime, 5000);
  EXPECT_EQ(request->Security.UserName, "plovex");
  EXPECT_TRUE(request->Encrypted);
  EXPECT_EQ(client_->Session()->EngineId(), agent_.engine_id);
  const std::int32_t first_request_id = agent_.last_pdu.RequestId;
  EXPECT_EQ(client_->Response.RequestId, first_request_id);
  EXPECT_EQ(client_->Request.RequestId, 1) << "the caller's record stays as it was";

  // The engine is known from now on: one datagram an exchange, and every one
  // with a msgID and a request-id of its own.
  net_->now_ms += 4000;
  Ask();
  ASSERT_TRUE(client_->Exchange());
  ExpectAnswered();
  ASSERT_EQ(net_->sent.size(), 3u);
  const auto again = DecodeSnmpv3Message(net_->sent[2].bytes);
  ASSERT_TRUE(again);
  EXPECT_EQ(again->Security.EngineTime, 5004);
  EXPECT_NE(again->Header.MsgId, request->Header.MsgId);
  EXPECT_NE(request->Header.MsgId, probe->Header.MsgId);
  EXPECT_NE(agent_.last_pdu.RequestId, first_request_id);
  EXPECT_EQ(client_->Response.RequestId, agent_.last_pdu.RequestId);
}

TEST_F(V3Exchange, NoValueIdentifierOrKeyTravelsInTheClear) {
  ASSERT_TRUE(client_->Exchange());
  ExpectAnswered();
  std::vector<std::string> wire;
  for (const auto& d : net_->sent) wire.push_back(d.bytes);
  wire.push_back(agent_.SealReply(client_->Response, 0x03, 7, 5000));  // a reply like the one read
  const std::string secrets[] = {"Test agent",
                                 Bytes("2B 06 01 02 01 01 01 00"),  // a value and an identifier
                                 "authpass123",
                                 "privpass123",
                                 client_->Usm.AuthKey,
                                 client_->Usm.PrivKey,
                                 agent_.AuthKey(),
                                 agent_.PrivKey(),
                                 agent_.PrivKey().substr(0, 16)};
  for (const std::string& datagram : wire) {
    for (const std::string& secret : secrets) {
      EXPECT_FALSE(Contains(datagram, secret)) << testing::Hex(secret);
    }
  }
}

TEST_F(V3Exchange, FollowsAnAgentThatRebooted) {
  ASSERT_TRUE(client_->Exchange());
  net_->now_ms += 60000;
  // The agent starts again: boots one higher, its clock from 0.
  agent_.boots = 8;
  agent_.time_at_zero = -static_cast<std::int32_t>(net_->now_ms / 1000);
  Ask();
  const std::size_t before = net_->sent.size();
  ASSERT_TRUE(client_->Exchange()) << client_->LastStatus().message();
  ExpectAnswered();
  EXPECT_EQ(net_->sent.size() - before, 2u) << "the request, then once more in the new window";
  EXPECT_EQ(client_->Session()->EngineBoots(), 8);
  EXPECT_EQ(client_->Session()->EngineTime(net_->now_ms), 0);
}

TEST_F(V3Exchange, FollowsAnAgentWithANewEngineId) {
  const struct {
    bool reports;      // the agent answers the old engine ID with its Report
    int failed_tries;  // before the one that finds the new engine
  } rows[] = {{true, 0}, {false, 1}};
  for (const auto& row : rows) {
    ASSERT_TRUE(client_->Exchange()) << client_->LastStatus().message();
    agent_.engine_id += Bytes("6E 65 77");
    agent_.boots = 1;
    agent_.report_unknown_engine = row.reports;
    for (int i = 0; i < row.failed_tries; ++i) {
      Ask();
      EXPECT_FALSE(client_->Exchange()) << row.reports;
      EXPECT_EQ(client_->LastStatus(), Status::TimedOut("time-out")) << row.reports;
    }
    Ask();
    ASSERT_TRUE(client_->Exchange()) << client_->LastStatus().message() << row.reports;
    ExpectAnswered();
    EXPECT_EQ(client_->Session()->EngineId(), agent_.engine_id) << row.reports;
    Ask();
  }
}

TEST_F(V3Exchange, AReportSealedWithKeysTheClientLacksTellsTheWrongKeyAfterTheTimeout) {
  // The agent authenticates and encrypts its refusal with the user's real
  // keys: the client, holding a wrong one, can neither check nor read it.
  agent_.refusal_flags = 0x03;
  const struct {
    UsmUser client_user;
    const char* text;
  } rows[] = {
      {User("plovex", UsmAuthProtocol::kSha1, UsmPrivProtocol::kAes128, "wrongpass123"),
       "wrong authentication key"},
      {User("plovex", UsmAuthProtocol::kSha1, UsmPrivProtocol::kAes128, "authpass123",
            "wrongpass123"),
       "wrong privacy key"},
  };
  for (const auto& row : rows) {
    client_->Usm = row.client_user;
    Ask();
    const int rejected = client_->Session() ? client_->Session()->Rejected() : 0;
    const std::int64_t start = net_->now_ms;
    EXPECT_FALSE(client_->Exchange()) << row.text;
    EXPECT_EQ(client_->LastStatus(), Status::Refused(row.text));
    EXPECT_EQ(client_->ErrorCode(), TSNMPSend::kErrorTimedOut) << row.text;
    EXPECT_EQ(net_->now_ms - start, 1000) << row.text << ": never taken for a reply";
    EXPECT_EQ(client_->Session()->Rejected(), rejected + 1) << row.text;
    EXPECT_TRUE(client_->Response.VarBinds().empty()) << row.text;
  }
}

TEST_F(V3Exchange, RefusesRepliesThatAreForgedStaleReplayedOrClear) {
  ASSERT_TRUE(client_->Exchange());
  std::string previous_reply;
  {
    // One more exchange to have a genuine reply to replay.
    Ask();
    net_->responder = [this, &previous_reply](const MemoryUdpTransport::Datagram& sent,
                                              MemoryUdpTransport& net) {
      previous_reply = agent_.Answer(sent.bytes, net.now_ms);
      net.Deliver(kAgent, previous_reply, 2);
    };
    ASSERT_TRUE(client_->Exchange());
  }
  answered_before_forging_ = agent_.answered;
  const std::int32_t boots = agent_.boots;
  struct Row {
    const char* what;
    std::function<std::string(std::int64_t now)> forge;
  } rows[] = {
      {"another key's code",
       [&](std::int64_t now) {
         std::string r = ReplyWith("Forged", 0x03, boots, agent_.EngineTime(now));
         r[r.size() - 1] ^= 1;  // the code no longer fits the bytes
         return r;
       }},
      {"authenticated but not encrypted",
       [&](std::int64_t now) { return ReplyWith("Forged", 0x01, boots, agent_.EngineTime(now)); }},
      {"neither authenticated nor encrypted",
       [&](std::int64_t now) { return ReplyWith("Forged", 0x00, boots, agent_.EngineTime(now)); }},
      {"from an earlier boot",
       [&](std::int64_t now) {
         return ReplyWith("Forged", 0x03, boots - 1, agent_.EngineTime(now));
       }},
      {"older than the time window",
       [&](std::int64_t now) {
         return ReplyWith("Forged", 0x03, boots, agent_.EngineTime(now) - 151);
       }},
      {"another request-id",
       [&](std::int64_t now) {
         return ReplyWith("Forged", 0x03, boots, agent_.EngineTime(now), 1);
       }},
      {"a replayed reply", [&](std::int64_t) { return previous_reply; }},
      {"a report whose code does not fit",
       [&](std::int64_t now) {
         std::string r = agent_.Report(testing::kUnknownUserNames, 0x01, now);
         r[r.size() - 1] ^= 1;
         return r;
       }},
  };
  for (const Row& row : rows) {
    ForgeBeforeEachAnswer(row.forge);
    const int rejected = client_->Session()->Rejected();
    net_->now_ms += 1000;
    Ask();
    ASSERT_TRUE(client_->Exchange()) << row.what;
    ExpectAnswered();
    EXPECT_EQ(client_->Session()->Rejected(), rejected + 1) << row.what;
    answered_before_forging_ = agent_.answered - 1;
  }

  // Only the forgery arrives: the exchange times out, nothing is taken.
  net_->responder = [this](const MemoryUdpTransport::Datagram& sent, MemoryUdpTransport& net) {
    agent_.Answer(sent.bytes, net.now_ms);
    net.Deliver(kAgent, ReplyWith("Forged", 0x01, agent_.boots, agent_.EngineTime(net.now_ms)), 1);
  };
  Ask();
  EXPECT_FALSE(client_->Exchange());
  EXPECT_EQ(client_->LastStatus().code(), StatusCode::kTimedOut);
  EXPECT_TRUE(client_->Response.VarBinds().empty());
}

TEST_F(V3Exchange, TheAgentsRefusalsAreToldApart) {
  struct Row {
    const char* what;
    UsmUser client_user;
    UsmUser agent_user;
    const char* text;  // refused with this reason
  } rows[] = {
      {"wrong passphrase",
       User("plovex", UsmAuthProtocol::kSha1, UsmPrivProtocol::kAes128, "wrongpass123"),
       User("plovex", UsmAuthProtocol::kSha1, UsmPrivProtocol::kAes128),
       "wrong authentication key"},
      {"unknown user", User("nobody", UsmAuthProtocol::kSha1, UsmPrivProtocol::kAes128),
       User("plovex", UsmAuthProtocol::kSha1, UsmPrivProtocol::kAes128), "unknown user"},
      {"privacy the user does not have",
       User("plovexauth", UsmAuthProtocol::kSha1, UsmPrivProtocol::kAes128),
       User("plovexauth", UsmAuthProtocol::kSha1, UsmPrivProtocol::kNone),
       "unsupported security level"},
  };
  for (const Row& row : rows) {
    client_->Usm = row.client_user;
    agent_.user = row.agent_user;
    Ask();
    const std::int64_t start = net_->now_ms;
    EXPECT_FALSE(client_->Exchange()) << row.what;
    EXPECT_EQ(client_->LastStatus(), Status::Refused(row.text)) << row.what;
    EXPECT_LT(net_->now_ms - start, 100) << row.what << ": told at once, not by a time-out";
    EXPECT_TRUE(client_->Response.VarBinds().empty()) << row.what;
  }
}

TEST_F(V3Exchange, OnlyAnAuthenticatedReportMovesTheClockAndOnlyOnce) {
  ASSERT_TRUE(client_->Exchange());
  // Anyone may claim that the clock is off; unsigned, it is ignored.
  net_->responder = [this](const MemoryUdpTransport::Datagram& sent, MemoryUdpTransport& net) {
    agent_.Answer(sent.bytes, net.now_ms);
    net.Deliver(kAgent, agent_.Report(testing::kNotInTimeWindows, 0x00, net.now_ms), 1);
  };
  Ask();
  EXPECT_FALSE(client_->Exchange());
  EXPECT_EQ(client_->LastStatus().code(), StatusCode::kTimedOut);
  EXPECT_EQ(net_->sent.size(), 3u);
  // An agent that keeps saying so after the one re-synchronisation. The
  // time-out forgot the engine, so discovery comes first.
  net_->responder = [this](const MemoryUdpTransport::Datagram& sent, MemoryUdpTransport& net) {
    const std::string real = agent_.Answer(sent.bytes, net.now_ms);
    const bool probe = agent_.last->Security.EngineId.empty();
    net.Deliver(kAgent, probe ? real : agent_.Report(testing::kNotInTimeWindows, 0x01, net.now_ms),
                1);
  };
  Ask();
  EXPECT_FALSE(client_->Exchange());
  EXPECT_EQ(client_->LastStatus(), Status::Refused("not in time window"));
  EXPECT_EQ(net_->sent.size(), 6u);
}

TEST_F(V3Exchange, Sha256WithoutPrivacy) {
  client_->Usm = User("plovex256", UsmAuthProtocol::kSha256, UsmPrivProtocol::kNone);
  agent_.user = client_->Usm;
  ASSERT_TRUE(client_->Exchange()) << client_->LastStatus().message();
  ExpectAnswered();
  const auto request = DecodeSnmpv3Message(net_->sent.back().bytes);
  ASSERT_TRUE(request);
  EXPECT_EQ(request->Header.MsgFlags, 0x05);
  EXPECT_EQ(request->Security.AuthParameters.size(), 24u);
  EXPECT_FALSE(request->Encrypted);
}

TEST_F(V3Exchange, AUserThatCannotBeUsedSendsNothing) {
  client_->Usm.PrivKey.clear();
  EXPECT_FALSE(client_->Exchange());
  EXPECT_EQ(client_->LastStatus(), Status::InvalidArgument("no privacy key"));
  EXPECT_TRUE(net_->sent.empty());
}

TEST_F(V3Exchange, DiscoveryAndRequestKeepToOneTimeout) {
  net_->responder = nullptr;
  EXPECT_FALSE(client_->Exchange());
  EXPECT_EQ(client_->LastStatus(), Status::TimedOut("time-out"));
  EXPECT_EQ(client_->ErrorCode(), TSNMPSend::kErrorTimedOut);
  EXPECT_EQ(net_->now_ms, 1000);
  EXPECT_EQ(net_->sent.size(), 1u);  // the probe
}

TEST_F(V3Exchange, Version1AfterVersion3StillSendsRequestId1) {
  ASSERT_TRUE(client_->Exchange());
  Ask();
  client_->Request.Version = 0;
  client_->Request.Community = "tamrel";
  net_->responder = nullptr;
  client_->Exchange();
  TSNMPRec sent;
  ASSERT_TRUE(sent.Decode(net_->sent.back().bytes).ok());
  EXPECT_EQ(sent.Version, 0);
  EXPECT_EQ(sent.RequestId, 1);
  EXPECT_EQ(net_->sent.back().bytes, client_->Request.Encode());
}

}  // namespace
}  // namespace plovex
