#include "core/poll_agent.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <vector>

#include "core/plovex_error.h"
#include "core/testing/fake_agent.h"
#include "snmp/testing/memory_udp_transport.h"

namespace plovex {
namespace {

using testing::FakeAgent;

constexpr char kIn[] = "1.3.6.1.2.1.2.2.1.10.2";
constexpr char kOut[] = "1.3.6.1.2.1.2.2.1.16.2";
constexpr char kDescr[] = "1.3.6.1.2.1.1.1.0";
constexpr char kUptime[] = "1.3.6.1.2.1.1.3.0";
constexpr char kName[] = "1.3.6.1.2.1.1.5.0";
constexpr char kLocation[] = "1.3.6.1.2.1.1.6.0";
constexpr char kAddresses[] = "1.3.6.1.2.1.4.20.1.1";
const UdpEndpoint kAgentAt{0x7F000001, 161};

class PollTest : public ::testing::Test {
 protected:
  PollTest() {
    ApplyDefaultSettings(s_);
    s_.Ip = "127.0.0.1";
    auto net = std::make_unique<MemoryUdpTransport>();
    net_ = net.get();
    client_ = std::make_unique<TSNMPSend>(std::move(net));
    agent_.Attach(*net_);
    agent_.objects = {
        {kIn, {0x41, "1000"}},
        {kOut, {0x41, "2000"}},
        {kDescr, {4, "Test agent"}},
        {kUptime, {0x43, "12345678"}},
        {kName, {4, "test-agent"}},
        {kLocation, {4, "Lab rack 7"}},
        // The address column holds no object of its own name: the default
        // overlay 4 must be turned into an instance for a GetRequest to pass.
        {std::string(kAddresses) + ".127.0.0.1", {0x40, "127.0.0.1"}},
        {std::string(kAddresses) + ".198.51.100.7", {0x40, "198.51.100.7"}},
        {std::string(kAddresses) + ".203.0.113.5", {0x40, "203.0.113.5"}},
        {"1.3.6.1.2.1.4.20.1.2.127.0.0.1", {2, "1"}},
    };
  }

  bool Poll() { return PollAgent(s_, *client_, Status::Ok(), texts_); }

  void OnlyOverlays(std::initializer_list<int> on) {
    for (int i = 1; i <= 5; ++i) s_.Texts[i].Enabled = false;
    for (int i : on) s_.Texts[i].Enabled = true;
  }

  TPlovexSettings s_;
  MemoryUdpTransport* net_;
  std::unique_ptr<TSNMPSend> client_;
  FakeAgent agent_;
  PollTexts texts_;
};

TEST_F(PollTest, BindingsTravelInOneGetRequestInOrder) {
  OnlyOverlays({});
  Poll();
  ASSERT_EQ(agent_.requests.size(), 1u);
  EXPECT_EQ(agent_.RequestedOids(0), (std::vector<std::string>{kIn, kOut}));

  OnlyOverlays({1, 3, 5});
  Poll();
  ASSERT_EQ(agent_.requests.size(), 2u);
  EXPECT_EQ(agent_.RequestedOids(1),
            (std::vector<std::string>{kIn, kOut, kDescr, kName, kLocation}));
  const TSNMPRec& r = agent_.requests[1];
  EXPECT_EQ(r.PduType, 0xA0);
  EXPECT_EQ(r.Community, "tamrel");
  EXPECT_EQ(r.Version, 0);
  EXPECT_EQ(r.RequestId, 1);
  for (const TSNMPMib& b : r.VarBinds()) EXPECT_EQ(b.Tag, 5);
  EXPECT_EQ(net_->sent.back().peer, kAgentAt);
  EXPECT_EQ(client_->Timeout, 1000);
}

TEST_F(PollTest, ReadsCountersAndOverlayTexts) {
  s_.Texts[4].Kind = "String";
  s_.Texts[4].Oid = std::string(kAddresses) + ".198.51.100.7";
  s_.Oid1.Value = 700;
  EXPECT_TRUE(Poll());
  // Overlay 4 shows only what a walk finds: with another kind it reads N/A.
  EXPECT_EQ(texts_, (PollTexts{"1000", "2000", "Test agent", "1 Days 10h17m36s", "test-agent",
                               "N/A", "Lab rack 7"}));
  EXPECT_EQ(s_.Oid1.PrevValue, 700);
  EXPECT_EQ(s_.Oid1.Value, 1000);
  EXPECT_EQ(s_.Oid2.Value, 2000);
  EXPECT_FALSE(s_.SnmpFailed);

  agent_.objects[kIn].value = "0";  // a counter that went back
  agent_.objects[kUptime].value = "6000";
  Poll();
  EXPECT_EQ(s_.Oid1.PrevValue, 1000);
  EXPECT_EQ(s_.Oid1.Value, 0);
  EXPECT_EQ(texts_[3], "0 Days 0h01m00s");
}

TEST_F(PollTest, DisabledAndMissingValuesReadNA) {
  OnlyOverlays({1});
  s_.Texts[1].Oid = kName;
  EXPECT_TRUE(Poll());
  EXPECT_EQ(texts_, (PollTexts{"1000", "2000", "test-agent", "N/A", "N/A", "N/A", "N/A"}));

  // Only overlay 4 walks: kind "NextAdp" elsewhere, or spelt otherwise, is a string.
  OnlyOverlays({2, 4});
  s_.Texts[2].Kind = "NextAdp";
  s_.Texts[4].Kind = "nextadp";
  s_.Texts[4].Oid = kName;
  Poll();
  EXPECT_EQ(texts_[3], "12345678");
  EXPECT_EQ(texts_[5], "N/A");  // overlay 4 without "NextAdp" always ends as N/A
  EXPECT_EQ(agent_.requests.size(), 2u);
}

// The walk's tests use a router's own address as Ip, as the user would; the
// network here is in memory and nothing is sent anywhere.
class WalkTest : public PollTest {
 protected:
  WalkTest() {
    OnlyOverlays({4});
    s_.Ip = "192.168.1.1";
    agent_.objects = {{kIn, {0x41, "1"}}, {kOut, {0x41, "2"}}};
    agent_.objects["1.3.6.1.2.1.4.20.1.2.1"] = {2, "1"};  // the next column
    // The GetRequest must pass, so overlay 4's identifier exists as an object.
    agent_.objects[kAddresses] = {0x40, "172.16.0.1"};
  }

  void Rows(const std::vector<const char*>& addresses) {
    int row = 0;
    for (const char* a : addresses) {
      agent_.objects[std::string(kAddresses) + "." + std::to_string(++row)] = {0x40, a};
    }
  }
};

TEST_F(WalkTest, KeepsTheLastQualifyingAddress) {
  Rows({"192.168.1.1", "10.0.0.5", "0.0.0.0", "62.4.1.9"});
  EXPECT_TRUE(Poll());
  EXPECT_EQ(texts_[5], "62.4.1.9");
  // One GetRequest, then one GetNextRequest per row and one past the column.
  ASSERT_EQ(agent_.requests.size(), 6u);
  std::string asked = kAddresses;
  for (std::size_t k = 1; k < agent_.requests.size(); ++k) {
    const TSNMPRec& r = agent_.requests[k];
    EXPECT_EQ(r.PduType, 0xA1);
    EXPECT_EQ(r.Version, 0);
    EXPECT_EQ(r.RequestId, 1);
    EXPECT_EQ(r.Community, "tamrel");
    ASSERT_EQ(r.VarBinds().size(), 1u);
    EXPECT_EQ(r.VarBinds()[0].Oid, asked);
    asked = std::string(kAddresses) + "." + std::to_string(k);
  }
}

TEST_F(WalkTest, ALaterWalkAsksForTheRowsItKnowsInOneRequest) {
  // Rows of the first walk, what changed before the second, and what the
  // second finds in how many GetNextRequests.
  struct Case {
    const char* name;
    bool column_ends_view;  // a version 1 agent then fails a request naming the last row
    std::vector<const char*> rows;
    std::function<void(FakeAgent&)> change;
    const char* found;
    std::size_t walk_requests;
  };
  const auto row = [](int k) { return std::string(kAddresses) + "." + std::to_string(k); };
  const auto same = [](FakeAgent&) {};
  const std::vector<Case> cases = {
      {"same table", false, {"192.168.1.1", "10.0.0.5", "62.4.1.9"}, same, "62.4.1.9", 1},
      {"new address",
       false,
       {"10.0.0.5", "62.4.1.9"},
       [&](FakeAgent& a) { a.objects[row(2)].value = "62.4.1.10"; },
       "62.4.1.10",
       1},
      {"row added",
       false,
       {"10.0.0.5", "62.4.1.9"},
       [&](FakeAgent& a) {
         a.objects[row(3)] = {0x40, "62.4.1.11"};
       },
       "62.4.1.11",
       2},
      {"row gone",
       false,
       {"10.0.0.5", "10.0.0.6", "62.4.1.9"},
       [&](FakeAgent& a) { a.objects.erase(row(2)); },
       "62.4.1.9",
       2},
      {"table emptied",
       false,
       {"10.0.0.5", "62.4.1.9"},
       [&](FakeAgent& a) { a.objects.erase(row(1)), a.objects.erase(row(2)); },
       "172.16.0.1",
       1},
      {"the column ends the view", true, {"10.0.0.5", "62.4.1.9"}, same, "62.4.1.9", 2},
      {"last row gone at the end of the view",
       true,
       {"10.0.0.5", "62.4.1.9"},
       [&](FakeAgent& a) { a.objects.erase(row(2)); },
       "10.0.0.5",
       3},
      {"the view now ends after the column",
       false,
       {"10.0.0.5", "62.4.1.9"},
       [](FakeAgent& a) { a.objects.erase("1.3.6.1.2.1.4.20.1.2.1"); },
       "62.4.1.9",
       4},
  };
  const auto initial = agent_.objects;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    agent_.objects = initial;
    s_.SnmpMemory = PollMemory{};
    if (c.column_ends_view) agent_.objects.erase("1.3.6.1.2.1.4.20.1.2.1");
    Rows(c.rows);
    Poll();
    c.change(agent_);
    agent_.requests.clear();
    EXPECT_TRUE(Poll());
    EXPECT_EQ(texts_[5], c.found);
    EXPECT_EQ(agent_.requests.size(), 1 + c.walk_requests);
  }
  agent_.objects = initial;
  // An agent that will not answer several bindings costs one spoilt guess.
  agent_.objects = initial;
  s_.SnmpMemory = PollMemory{};
  Rows({"10.0.0.5", "62.4.1.9"});
  agent_.next_override = [this](const TSNMPRec& request, TSNMPRec& reply) {
    if (request.VarBinds().size() > 1) {
      reply.ErrorStatus = 5;  // genErr
      reply.ErrorIndex = 0;
      return;
    }
    const auto next = agent_.objects.upper_bound(request.VarBinds()[0].Oid);
    reply.AddVarBind(next->first, next->second.value, next->second.tag);
  };
  for (const std::size_t walk_requests : {3u, 4u, 3u}) {
    agent_.requests.clear();
    EXPECT_TRUE(Poll());
    EXPECT_EQ(texts_[5], "62.4.1.9");
    EXPECT_EQ(agent_.requests.size(), 1 + walk_requests);
  }
  agent_.next_override = nullptr;
  s_.SnmpMemory = PollMemory{};  // as Start leaves it

  // The known rows travel behind the column, in order.
  Rows({"10.0.0.5", "62.4.1.9"});
  Poll();
  agent_.requests.clear();
  Poll();
  EXPECT_EQ(agent_.RequestedOids(1), (std::vector<std::string>{kAddresses, row(1), row(2)}));
  EXPECT_EQ(agent_.requests[1].PduType, 0xA1);
}

TEST_F(WalkTest, ContainmentIsBySubstring) {
  Rows({"62.4.1.9", "192.168.1.10"});  // contains "192.168.1.1"
  Poll();
  EXPECT_EQ(texts_[5], "62.4.1.9");
}

TEST_F(WalkTest, NoQualifyingRowKeepsTheGetRequestValue) {
  Rows({"192.168.1.1", "0.0.0.0"});
  Poll();
  EXPECT_EQ(texts_[5], "172.16.0.1");
  agent_.objects.erase(kAddresses);  // now the GetRequest fails with noSuchName
  Poll();
  EXPECT_EQ(texts_[5], "N/A");
  EXPECT_FALSE(s_.SnmpFailed);
}

TEST_F(WalkTest, EndsAtTheEndOfTheAgentsView) {
  // The column is the last thing the agent has: GetNext past it is answered
  // with noSuchName echoing the identifier asked for. The walk must end there
  // instead of asking again forever, and must not take the echo's NULL as a value.
  agent_.objects.erase("1.3.6.1.2.1.4.20.1.2.1");
  Rows({"62.4.1.9"});
  Poll();
  EXPECT_EQ(texts_[5], "62.4.1.9");
  EXPECT_EQ(agent_.requests.size(), 3u);
}

TEST_F(WalkTest, AnAgentThatNeverLeavesTheColumnIsCutOff) {
  int answers = 0;
  agent_.next_override = [&answers](const TSNMPRec&, TSNMPRec& reply) {
    ++answers;
    reply.AddVarBind(std::string(kAddresses) + "." + std::to_string(answers), "10.0.0.7", 0x40);
  };
  Poll();
  EXPECT_EQ(texts_[5], "10.0.0.7");
  EXPECT_EQ(answers, 1000);
}

TEST_F(WalkTest, IdentifiersThatDoNotIncreaseEndTheWalk) {
  // Between two rows, back to an earlier one, an echo: each ends the walk
  // with what it found so far. Order is by arcs: .10 comes after .9.
  for (const std::vector<std::string>& rows :
       {std::vector<std::string>{".2", ".1"}, {".1", ".1"}, {".9", ".10", ".9"}, {".1.5", ".1"}}) {
    std::size_t k = 0;
    agent_.next_override = [&](const TSNMPRec&, TSNMPRec& reply) {
      const std::string row = k < rows.size() ? rows[k] : rows.back();
      reply.AddVarBind(std::string(kAddresses) + row, "10.0.0." + std::to_string(++k), 0x40);
    };
    agent_.requests.clear();
    Poll();
    EXPECT_EQ(texts_[5], "10.0.0." + std::to_string(rows.size() - 1)) << rows.back();
    EXPECT_EQ(agent_.requests.size(), rows.size() + 1);
  }
}

TEST_F(WalkTest, ASlowWalkEndsAfterTwoSecondsWithWhatItFound) {
  agent_.delay_ms = 990;  // each answer just within the time-out
  Rows({"10.0.0.1", "10.0.0.2", "10.0.0.3", "10.0.0.4"});
  const std::int64_t started = net_->now_ms;
  EXPECT_TRUE(Poll());
  // 990 ms for the GetRequest, then two rows in the walk's 2 seconds.
  EXPECT_EQ(texts_[5], "10.0.0.2");
  EXPECT_LE(net_->now_ms - started, 990 + 2000);
  EXPECT_FALSE(s_.SnmpFailed);

  // With a retry of the GetRequest before it, the whole poll still ends
  // within 3 seconds.
  s_.Oid2.Oid = "1.3.6.1.2.1.2.2.1.16.9";  // refused
  s_.SnmpMemory = PollMemory{};
  net_->now_ms += 5000;  // past the late answers
  const std::int64_t again = net_->now_ms;
  EXPECT_TRUE(Poll());
  EXPECT_EQ(texts_[5], "10.0.0.1");
  EXPECT_EQ(net_->now_ms - again, 3000);
}

TEST_F(WalkTest, AnInterruptionEndsTheWalk) {
  struct AfterRows : PollInterruption {
    const FakeAgent* agent;
    bool Requested() const override { return agent->requests.size() >= 3; }
  } stop;
  stop.agent = &agent_;
  Rows({"10.0.0.1", "10.0.0.2", "10.0.0.3", "10.0.0.4"});
  EXPECT_TRUE(PollAgent(s_, *client_, Status::Ok(), texts_, &stop));
  EXPECT_EQ(texts_[5], "10.0.0.2");
  EXPECT_EQ(agent_.requests.size(), 3u);
}

TEST_F(WalkTest, AFailedStepEndsTheWalkOnly) {
  Rows({"62.4.1.9", "10.0.0.5"});
  int next_requests = 0;
  agent_.next_override = [this, &next_requests](const TSNMPRec& request, TSNMPRec& reply) {
    if (++next_requests == 2) {
      agent_.silent = true;  // no reply to the next request
      return;
    }
    reply.AddVarBind(std::string(kAddresses) + ".1", "62.4.1.9", 0x40);
    (void)request;
  };
  EXPECT_TRUE(Poll());
  EXPECT_EQ(texts_[5], "62.4.1.9");
  EXPECT_FALSE(s_.SnmpFailed);
}

TEST_F(WalkTest, NoWalkWithoutAReplyOrWhenTheOverlayIsOff) {
  agent_.silent = true;
  EXPECT_FALSE(Poll());
  EXPECT_EQ(agent_.requests.size(), 1u);  // the GetRequest only
  EXPECT_EQ(texts_[5], "N/A");

  s_.SnmpFailed = false;
  agent_.silent = false;
  agent_.requests.clear();
  OnlyOverlays({});
  Poll();
  EXPECT_EQ(agent_.requests.size(), 1u);
}

TEST_F(PollTest, DefaultOverlaysAgainstAnAgentWithoutTheColumnObject) {
  // The default overlay 4 asks the GetRequest for the address column itself,
  // which such an agent refuses with noSuchName. The request goes again
  // without it, and the walk still finds the address.
  EXPECT_TRUE(Poll());
  EXPECT_EQ(texts_, (PollTexts{"1000", "2000", "Test agent", "1 Days 10h17m36s", "test-agent",
                               "203.0.113.5", "Lab rack 7"}));
  ASSERT_GE(agent_.requests.size(), 2u);
  EXPECT_EQ(agent_.RequestedOids(0),
            (std::vector<std::string>{kIn, kOut, kDescr, kUptime, kName, kAddresses, kLocation}));
  EXPECT_EQ(agent_.RequestedOids(1),
            (std::vector<std::string>{kIn, kOut, kDescr, kUptime, kName, kLocation}));
  for (const TSNMPRec& r : agent_.requests) {
    EXPECT_EQ(r.RequestId, 1);
    EXPECT_EQ(r.Version, 0);
  }
  EXPECT_FALSE(s_.SnmpFailed);

  // In the steady state a tick costs one GetRequest and one GetNextRequest.
  const auto gets = [this] {
    return std::count_if(agent_.requests.begin(), agent_.requests.end(),
                         [](const TSNMPRec& r) { return r.PduType == 0xA0; });
  };
  const auto before = gets();
  const std::size_t requests_before = agent_.requests.size();
  for (int tick = 0; tick < 3; ++tick) {
    agent_.objects[kIn].value = std::to_string(2000 + tick);
    EXPECT_TRUE(Poll());
    EXPECT_EQ(texts_[0], std::to_string(2000 + tick));
    EXPECT_EQ(texts_[5], "203.0.113.5");
  }
  EXPECT_EQ(gets() - before, 3);
  EXPECT_EQ(agent_.requests.size() - requests_before, 6u);
  EXPECT_EQ(agent_.RequestedOids(agent_.requests.size() - 2),
            (std::vector<std::string>{kIn, kOut, kDescr, kUptime, kName, kLocation}));

  // Changed settings (an Apply) or Start ask for everything again.
  s_.Texts[5].Oid = kDescr;
  agent_.requests.clear();
  Poll();
  EXPECT_EQ(agent_.RequestedOids(0).size(), 7u);
  s_.SnmpMemory = PollMemory{};  // what Start does
  agent_.requests.clear();
  Poll();
  EXPECT_EQ(agent_.RequestedOids(0).size(), 7u);
}

TEST_F(PollTest, RefusedIdentifiersAreAskedForAgainAfterTenMinutes) {
  OnlyOverlays({3});
  s_.Texts[3].Oid = "1.3.6.1.2.1.1.99.0";
  Poll();
  agent_.requests.clear();
  net_->now_ms += 599000;
  Poll();
  EXPECT_EQ(agent_.RequestedOids(0).size(), 2u);
  agent_.objects["1.3.6.1.2.1.1.99.0"] = {4, "back"};  // the interface came back
  net_->now_ms += 1000;
  Poll();
  EXPECT_EQ(texts_[4], "back");
}

TEST_F(PollTest, AnErrorNamingNoBindingSilencesThatRequest) {
  s_.Texts[4].Kind = "String";
  s_.Oid1.Value = 5;
  for (const auto& [status, index] : {std::pair{2, 0}, {2, 8}, {2, -1}, {5, 1}, {3, 2}}) {
    agent_.get_override = [status, index](const TSNMPRec& request, TSNMPRec& reply) {
      reply.ErrorStatus = status;
      reply.ErrorIndex = index;
      for (const TSNMPMib& b : request.VarBinds()) reply.AddVarBind(b.Oid, "", 5);
    };
    agent_.requests.clear();
    EXPECT_TRUE(Poll());
    EXPECT_FALSE(s_.SnmpFailed);
    EXPECT_EQ(texts_, (PollTexts{"", "", "N/A", "N/A", "N/A", "N/A", "N/A"}));
    EXPECT_EQ(s_.Oid1.Value, 5);
    EXPECT_EQ(agent_.requests.size(), 1u) << status << " " << index;
  }
}

TEST_F(PollTest, AnAgentThatKeepsRefusingCannotMultiplyTheRequests) {
  s_.Texts[4].Kind = "String";
  // Always noSuchName for the last binding, also for a request of one.
  agent_.get_override = [](const TSNMPRec& request, TSNMPRec& reply) {
    reply.ErrorStatus = 2;
    reply.ErrorIndex = static_cast<std::int32_t>(request.VarBinds().size());
    for (const TSNMPMib& b : request.VarBinds()) reply.AddVarBind(b.Oid, "", 5);
  };
  EXPECT_TRUE(Poll());
  EXPECT_EQ(agent_.requests.size(), 7u);  // seven bindings, each dropped once
  EXPECT_EQ(texts_, (PollTexts{"", "", "N/A", "N/A", "N/A", "N/A", "N/A"}));

  // Always tooBig, whatever is asked: split, then one by one, never more
  // than bindings + 2.
  agent_.get_override = [](const TSNMPRec& request, TSNMPRec& reply) {
    reply.ErrorStatus = 1;
    (void)request;
  };
  s_.SnmpMemory = PollMemory{};
  agent_.requests.clear();
  EXPECT_TRUE(Poll());
  EXPECT_LE(agent_.requests.size(), 9u);
  EXPECT_FALSE(s_.SnmpFailed);
}

TEST_F(PollTest, TooBigSplitsCountersFromOverlays) {
  s_.Texts[4].Kind = "String";
  s_.Texts[4].Oid = kName;
  // Too big above two bindings, with the bindings left out as agents may.
  agent_.get_override = [this](const TSNMPRec& request, TSNMPRec& reply) {
    if (request.VarBinds().size() > 2) {
      reply.ErrorStatus = 1;
      return;
    }
    for (const TSNMPMib& b : request.VarBinds()) {
      const auto& o = agent_.objects.at(b.Oid);
      reply.AddVarBind(b.Oid, o.value, o.tag);
    }
  };
  EXPECT_TRUE(Poll());
  EXPECT_EQ(texts_, (PollTexts{"1000", "2000", "Test agent", "1 Days 10h17m36s", "test-agent",
                               "N/A", "Lab rack 7"}));
  // All seven, counters + five overlays, then the counters, then each overlay.
  ASSERT_EQ(agent_.requests.size(), 8u);
  EXPECT_EQ(agent_.RequestedOids(1), (std::vector<std::string>{kIn, kOut}));
  EXPECT_EQ(agent_.RequestedOids(2),
            (std::vector<std::string>{kDescr, kUptime, kName, kName, kLocation}));
  EXPECT_EQ(agent_.RequestedOids(3), (std::vector<std::string>{kDescr}));
}

TEST_F(PollTest, RetriesStopWhenTheAgentIsSlow) {
  s_.Texts[4].Kind = "String";
  agent_.delay_ms = 900;
  agent_.get_override = [](const TSNMPRec& request, TSNMPRec& reply) {
    reply.ErrorStatus = 2;
    reply.ErrorIndex = static_cast<std::int32_t>(request.VarBinds().size());
    for (const TSNMPMib& b : request.VarBinds()) reply.AddVarBind(b.Oid, "", 5);
  };
  EXPECT_TRUE(Poll());
  EXPECT_LE(net_->now_ms, 2000);
  EXPECT_EQ(agent_.requests.size(), 3u);  // at 0, 900 and 1800 ms
  EXPECT_FALSE(s_.SnmpFailed);            // the host answers, if slowly
}

TEST_F(PollTest, FailedExchangeStopsPollingUntilStart) {
  OnlyOverlays({1});
  agent_.silent = true;
  s_.Oid1.Value = 5;
  EXPECT_FALSE(Poll());
  EXPECT_TRUE(s_.SnmpFailed);
  EXPECT_EQ(texts_, (PollTexts{"", "", "N/A", "N/A", "N/A", "N/A", "N/A"}));
  EXPECT_EQ(s_.Oid1.Value, 5);
  EXPECT_EQ(s_.Oid1.PrevValue, 0);
  EXPECT_EQ(agent_.requests.size(), 1u);  // no walk after a failed exchange
  EXPECT_EQ(net_->now_ms, 1000);          // the poll's time-out

  agent_.silent = false;
  const std::size_t sent = net_->sent.size();
  EXPECT_FALSE(Poll());
  EXPECT_EQ(net_->sent.size(), sent);  // nothing sent
  EXPECT_EQ(texts_, PollTexts{});      // empty, not "N/A"

  s_.SnmpFailed = false;  // what Start does
  EXPECT_TRUE(Poll());
  EXPECT_EQ(s_.Oid1.Value, 1000);
}

TEST_F(PollTest, ASilentHostIsTriedAgainWithBackOff) {
  OnlyOverlays({});
  agent_.silent = true;
  EXPECT_FALSE(Poll());  // fails at 1000 ms
  // Ticks every second: the tries go out 5, 10, 20, 40, 60, 60 s after the
  // previous failure, each taking its 1000 ms time-out.
  std::vector<std::int64_t> tries;
  for (int tick = 0; tick < 400; ++tick) {
    const std::size_t before = net_->sent.size();
    const std::int64_t at = net_->now_ms;
    EXPECT_FALSE(Poll());
    EXPECT_EQ(texts_, PollTexts{});
    if (net_->sent.size() != before) tries.push_back(at);
    net_->now_ms = at + 1000;
  }
  ASSERT_GE(tries.size(), 6u);
  EXPECT_EQ(tries[0], 6000);
  std::vector<std::int64_t> gaps;
  for (std::size_t i = 1; i < 6; ++i) gaps.push_back(tries[i] - tries[i - 1] - 1000);
  EXPECT_EQ(gaps, (std::vector<std::int64_t>{10000, 20000, 40000, 60000, 60000}));

  // The host is back: the next try reads it, and the readings start anew.
  agent_.silent = false;
  s_.Oid1.Value = 5;
  for (int tick = 0; tick < 61 && s_.SnmpFailed; ++tick) {
    Poll();
    net_->now_ms += 1000;
  }
  EXPECT_FALSE(s_.SnmpFailed);
  EXPECT_EQ(texts_[0], "1000");
  EXPECT_TRUE(s_.Oid1.NewBaseline);
  EXPECT_TRUE(s_.Oid2.NewBaseline);
  EXPECT_EQ(s_.SnmpMemory.RetryDelayMs, 0);

  // A new silence starts the back-off from the beginning.
  agent_.silent = true;
  const std::int64_t failed_at = net_->now_ms;
  Poll();
  EXPECT_EQ(s_.SnmpMemory.RetryAtMs, failed_at + 1000 + 5000);
}

TEST_F(PollTest, AWrongOverlayIdentifierSilencesOnlyThatOverlay) {
  s_.Texts[4].Kind = "String";
  s_.Texts[3].Oid = "1.3.6.1.2.1.1.99.0";  // not on the agent
  s_.Oid1.Value = 5;
  EXPECT_TRUE(Poll());
  EXPECT_FALSE(s_.SnmpFailed);
  EXPECT_EQ(texts_, (PollTexts{"1000", "2000", "Test agent", "1 Days 10h17m36s", "N/A", "N/A",
                               "Lab rack 7"}));
  EXPECT_EQ(s_.Oid1.PrevValue, 5);
  EXPECT_EQ(s_.Oid1.Value, 1000);
  EXPECT_EQ(s_.SnmpMemory.Refused, (std::vector<std::string>{"1.3.6.1.2.1.1.99.0", kAddresses}));

  // A refused counter reads as no reading; the other counter still counts.
  s_.Oid2.Oid = "1.3.6.1.2.1.2.2.1.16.9";
  agent_.objects[kIn].value = "1500";
  EXPECT_TRUE(Poll());
  EXPECT_EQ(texts_[0], "1500");
  EXPECT_EQ(texts_[1], "");
  EXPECT_EQ(s_.Oid2.Value, 2000);
}

TEST_F(PollTest, ValuesThatAreNotDecimalIntegersAreReported) {
  OnlyOverlays({});
  s_.Oid1.Value = 7;
  agent_.objects[kIn] = {4, "abc"};
  try {
    Poll();
    ADD_FAILURE() << "no error";
  } catch (const PlovexError& e) {
    EXPECT_STREQ(e.what(), "'abc' is not a valid integer value");
  }
  EXPECT_EQ(s_.Oid1.PrevValue, 7);  // already moved when the conversion failed

  // Texts the settings' conversion would take as hexadecimal or with blanks
  // are no readings of a counter.
  for (const char* bad : {"x10", "$10", "0x10", " 5", "5 ", "10.0.0.1", "9223372036854775808"}) {
    agent_.objects[kIn] = {4, bad};
    EXPECT_THROW(Poll(), PlovexError) << bad;
  }
  agent_.objects[kIn] = {2, "-5"};  // an INTEGER object as counter
  Poll();
  EXPECT_EQ(s_.Oid1.Value, -5);
  agent_.objects[kIn] = {0x41, "9223372036854775807"};
  Poll();
  EXPECT_EQ(s_.Oid1.Value, INT64_MAX);

  OnlyOverlays({2});
  agent_.objects[kUptime] = {4, "up"};
  try {
    Poll();
    ADD_FAILURE() << "no error";
  } catch (const PlovexError& e) {
    EXPECT_STREQ(e.what(), "'up' is not a valid integer value");
  }
}

TEST_F(PollTest, AgentTextsInMessagesAreEscapedAndCut) {
  OnlyOverlays({});
  agent_.objects[kIn] = {4, std::string("\x1b[2J\r\nok\0tail", 13)};
  try {
    Poll();
    ADD_FAILURE() << "no error";
  } catch (const PlovexError& e) {
    EXPECT_STREQ(e.what(), "'\\x1b[2J\\r\\nok\\0tail' is not a valid integer value");
  }
  agent_.objects[kIn] = {4, std::string(65536, 'A')};
  try {
    Poll();
    ADD_FAILURE() << "no error";
  } catch (const PlovexError& e) {
    EXPECT_EQ(std::string(e.what()),
              "'" + std::string(200, 'A') + "...' is not a valid integer value");
  }
}

TEST_F(PollTest, Version2cReadsCounter64AndAMissingOverlayAlone) {
  s_.SnmpVersion = "2c";
  s_.Oid1.Oid = "1.3.6.1.2.1.31.1.1.1.6.2";
  s_.Oid2.Oid = "1.3.6.1.2.1.31.1.1.1.10.2";
  agent_.objects[s_.Oid1.Oid] = {0x46, std::string("\x01\x00\x00\x00\x05", 5)};
  agent_.objects[s_.Oid2.Oid] = {0x46, std::string("\x7F\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 8)};
  s_.Texts[3].Oid = "1.3.6.1.2.1.1.99.0";  // not on the agent
  EXPECT_TRUE(Poll());
  EXPECT_EQ(texts_, (PollTexts{"4294967301", "9223372036854775807", "Test agent",
                               "1 Days 10h17m36s", "N/A", "203.0.113.5", "Lab rack 7"}));
  EXPECT_EQ(s_.Oid1.Value, 4294967301);
  EXPECT_EQ(s_.Oid2.Value, INT64_MAX);
  // One GetRequest: nothing is refused in version 2c, so nothing is left out.
  EXPECT_TRUE(s_.SnmpMemory.Refused.empty());
  ASSERT_GE(agent_.requests.size(), 2u);
  EXPECT_EQ(agent_.requests[0].Version, 1);
  EXPECT_EQ(agent_.requests[0].VarBinds().size(), 7u);
  // The walk: one GetBulkRequest of 10 rows covers the column and stops at
  // the first row past it.
  ASSERT_EQ(agent_.requests.size(), 2u);
  const TSNMPRec& bulk = agent_.requests[1];
  EXPECT_EQ(bulk.PduType, 0xA5);
  EXPECT_EQ(bulk.Version, 1);
  EXPECT_EQ(bulk.ErrorStatus, 0);
  EXPECT_EQ(bulk.ErrorIndex, 10);
  EXPECT_EQ(bulk.RequestId, 1);
}

TEST_F(WalkTest, ABulkWalkFollowsOnAndEndsAtTheEndOfTheView) {
  s_.SnmpVersion = "2c";
  agent_.objects.erase("1.3.6.1.2.1.4.20.1.2.1");  // the column ends the agent's view
  std::vector<std::string> rows;
  for (int i = 0; i < 25; ++i) rows.push_back("10.0.0." + std::to_string(i));
  for (std::size_t i = 0; i < rows.size(); ++i)
    agent_.objects[std::string(kAddresses) + "." + std::to_string(i + 1)] = {0x40, rows[i]};
  EXPECT_TRUE(Poll());
  EXPECT_EQ(texts_[5], "10.0.0.24");
  // The GetRequest, then bulks from the column, from row 10 and from row 20,
  // the last of which meets endOfMibView.
  ASSERT_EQ(agent_.requests.size(), 4u);
  EXPECT_EQ(agent_.RequestedOids(2), std::vector<std::string>{std::string(kAddresses) + ".10"});
  EXPECT_EQ(agent_.RequestedOids(3), std::vector<std::string>{std::string(kAddresses) + ".20"});
}

TEST_F(PollTest, Counter64ValuesGiveNoReading) {
  OnlyOverlays({});
  agent_.objects[kIn] = {0x46, std::string(8, '\x01')};
  s_.Oid1.Value = 3;
  EXPECT_TRUE(Poll());
  EXPECT_EQ(texts_[0], "");
  EXPECT_EQ(s_.Oid1.Value, 3);
  EXPECT_EQ(s_.Oid2.Value, 2000);
}

}  // namespace
}  // namespace plovex
