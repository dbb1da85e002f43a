#include "core/interface_table.h"

#include <gtest/gtest.h>

#include "core/interface_follower.h"
#include "core/testing/fake_agent.h"

namespace plovex {
namespace {

using testing::FakeAgent;

constexpr std::int32_t kInteger = 2, kOctets = 4, kCounter = 0x41, kGauge = 0x42, kCounter64 = 0x46;

// A home router: lo (1), eth0 the LAN (2, busiest), wan0 with the public
// address (3), lan9 down (4).
class InterfaceTableTest : public ::testing::Test {
 protected:
  InterfaceTableTest() {
    ApplyDefaultSettings(s_);
    s_.Ip = "127.0.0.1";
    agent_.Attach(*net_);
    struct If {
      int index;
      const char* name;
      int type, oper;
      std::uint64_t speed_mbit, in, out;
    };
    for (const If& i :
         {If{1, "lo", 24, 1, 0, 900000, 900000}, If{2, "eth0", 6, 1, 1000, 5000, 7000},
          If{3, "wan0", 6, 1, 40, 3000, 1000}, If{4, "lan9", 6, 2, 100, 0, 0}}) {
      const std::string n = "." + std::to_string(i.index);
      Add("1.3.6.1.2.1.2.2.1.2" + n, kOctets, std::string(i.name) + " device");
      Add("1.3.6.1.2.1.2.2.1.3" + n, kInteger, std::to_string(i.type));
      Add("1.3.6.1.2.1.2.2.1.5" + n, kGauge, std::to_string(i.speed_mbit * 1000000 % 4294967296));
      Add("1.3.6.1.2.1.2.2.1.7" + n, kInteger, "1");
      Add("1.3.6.1.2.1.2.2.1.8" + n, kInteger, std::to_string(i.oper));
      Add(kIfInOctets + n, kCounter, std::to_string(i.in));
      Add(kIfOutOctets + n, kCounter, std::to_string(i.out));
      Add("1.3.6.1.2.1.31.1.1.1.1" + n, kOctets, i.name);
      Add(kIfHCInOctets + n, kCounter64, std::to_string(i.in));
      Add(kIfHCOutOctets + n, kCounter64, std::to_string(i.out));
      Add("1.3.6.1.2.1.31.1.1.1.15" + n, kGauge, std::to_string(i.speed_mbit));
    }
    for (const auto& [address, index] :
         {std::pair{"127.0.0.1", "1"}, {"192.168.1.1", "2"}, {"203.0.113.5", "3"}}) {
      Add(std::string("1.3.6.1.2.1.4.20.1.2.") + address, kInteger, index);
    }
    Add("1.3.6.1.2.1.1.3.0", 0x43, "500");
  }
  void Add(const std::string& oid, std::int32_t tag, const std::string& value) {
    agent_.objects[oid] = {tag, value};
  }

  TPlovexSettings s_;
  std::unique_ptr<MemoryUdpTransport> owned_ = std::make_unique<MemoryUdpTransport>();
  MemoryUdpTransport* net_ = owned_.get();
  TSNMPSend client_{std::move(owned_)};
  FakeAgent agent_;
};

TEST_F(InterfaceTableTest, ListsEveryInterfaceAndChoosesTheWanOneInEachVersion) {
  struct Case {
    const char* version;
    std::int32_t pdu;  // of every walk request
    bool hc;
    const char* oid1;
  } cases[] = {{"2c", 0xA5, true, "1.3.6.1.2.1.31.1.1.1.6.3"},
               {"1", 0xA1, false, "1.3.6.1.2.1.2.2.1.10.3"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    s_.SnmpVersion = c.version;
    agent_.requests.clear();
    const Result<InterfaceTable> table = ReadInterfaceTable(s_, client_);
    ASSERT_TRUE(table.ok()) << table.status().message();
    ASSERT_EQ(table->rows.size(), 4u);
    for (const TSNMPRec& r : agent_.requests) EXPECT_EQ(r.PduType, c.pdu);
    const InterfaceRow& wan = table->rows[2];
    EXPECT_EQ(wan.Name(), "wan0");
    EXPECT_EQ(wan.descr, "wan0 device");
    EXPECT_EQ(InterfaceTypeText(wan.type), "ethernet");
    EXPECT_EQ(InterfaceTypeText(table->rows[0].type), "loopback");
    EXPECT_EQ(InterfaceStatusText(table->rows[3]), "down");
    EXPECT_EQ(SpeedText(wan.speed_bps), "40 Mbit/s");
    EXPECT_EQ(SpeedText(table->rows[1].speed_bps), "1 Gbit/s");
    EXPECT_EQ(wan.hc_counters, c.hc);
    EXPECT_EQ(table->wan_index, 3);  // the last address but the host's own
    ASSERT_EQ(PreselectedRow(*table), 2u);
    const InterfaceChoice choice = ChooseInterface(s_, wan);
    EXPECT_EQ(choice.oid1, c.oid1);
    EXPECT_EQ(*WithInterfaceIndex(choice.oid2, 3), choice.oid2);
    EXPECT_EQ(choice.name, "wan0");
    EXPECT_EQ(choice.max_bytes, 5000000);
  }
}

TEST_F(InterfaceTableTest, RatesFromTwoReadingsAcrossA32BitWrap) {
  s_.SnmpVersion = "1";
  Add(std::string(kIfInOctets) + ".2", kCounter, "4294967000");
  InterfaceTable table = *ReadInterfaceTable(s_, client_);
  net_->now_ms += 2000;
  Add(std::string(kIfInOctets) + ".2", kCounter, "1704");  // 2000 bytes later, wrapped
  Add(std::string(kIfOutOctets) + ".2", kCounter, "8000");
  ASSERT_TRUE(ReadInterfaceRates(s_, client_, table).ok());
  EXPECT_EQ(table.rows[1].in_rate, 1000u);
  EXPECT_EQ(table.rows[1].out_rate, 500u);
  EXPECT_EQ(RowRateText(table.rows[3].in_rate), "0 kB/s");
}

TEST_F(InterfaceTableTest, WithoutAWanAddressTheBusiestUpInterfaceIsOffered) {
  agent_.objects.erase("1.3.6.1.2.1.4.20.1.2.192.168.1.1");
  agent_.objects.erase("1.3.6.1.2.1.4.20.1.2.203.0.113.5");
  InterfaceTable table = *ReadInterfaceTable(s_, client_);
  EXPECT_EQ(table.wan_index, 0);
  EXPECT_EQ(PreselectedRow(table), 1u);  // eth0: lo is busier, but a loopback
}

TEST_F(InterfaceTableTest, ASilentAgentFailsTheList) {
  agent_.silent = true;
  const Result<InterfaceTable> table = ReadInterfaceTable(s_, client_);
  EXPECT_EQ(table.status().code(), StatusCode::kTimedOut);
}

// The follower over the same agent: wan0 renumbered from 3 to 7.
class FollowTest : public InterfaceTableTest {
 protected:
  FollowTest() {
    s_.SnmpVersion = "2c";
    s_.Interface = "wan0";
    s_.Oid1.Oid = std::string(kIfHCInOctets) + ".3";
    s_.Oid2.Oid = std::string(kIfHCOutOctets) + ".3";
  }
  void Renumber(int from, int to) {
    const std::string suffix = "." + std::to_string(from);
    std::vector<std::pair<std::string, FakeAgent::Object>> moved;
    for (auto it = agent_.objects.begin(); it != agent_.objects.end();) {
      const std::string& oid = it->first;
      if (oid.size() > 2 && oid.ends_with(suffix) && oid.rfind("1.3.6.1.2.1.4.", 0) != 0) {
        moved.emplace_back(oid.substr(0, oid.size() - suffix.size() + 1) + std::to_string(to),
                           it->second);
        it = agent_.objects.erase(it);
      } else {
        ++it;
      }
    }
    for (auto& [oid, object] : moved) agent_.objects[oid] = object;
  }
  InterfaceFollower follower_;
};

TEST_F(FollowTest, MovesBothCountersWhenTheAgentRenumbers) {
  struct Case {
    const char* why;
    PollOutcome outcome;
    const char* expected;  // the notice, or null when nothing moves
  } cases[] = {
      {"counter gone", {true, true, false, "900", ""}, "wan0 is now interface 7"},
      {"counter back", {true, false, true, "900", "1"}, "wan0 is now interface 7"},
      {"uptime backwards", {true, false, false, "100", "1"}, "wan0 is now interface 7"},
      {"interface down", {true, false, false, "900", "2"}, "wan0 is now interface 7"},
      {"no answer", {false, true, false, "", ""}, nullptr},
      {"all well", {true, false, false, "900", "1"}, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    follower_.Restart();
    s_.Oid1.Oid = std::string(kIfHCInOctets) + ".3";
    s_.Oid2.Oid = std::string(kIfHCOutOctets) + ".3";
    ASSERT_FALSE(
        follower_.AfterPoll(s_, client_, {true, false, false, "800", "1"}));  // at start: still 3
    Renumber(3, 7);
    const auto notice = follower_.AfterPoll(s_, client_, c.outcome);
    Renumber(7, 3);
    EXPECT_EQ(notice.has_value(), c.expected != nullptr);
    if (!c.expected) continue;
    EXPECT_EQ(*notice, c.expected);
    EXPECT_EQ(s_.Oid1.Oid, std::string(kIfHCInOctets) + ".7");
    EXPECT_EQ(s_.Oid2.Oid, std::string(kIfHCOutOctets) + ".7");
    EXPECT_TRUE(s_.Oid1.NewBaseline && s_.Oid2.NewBaseline);
  }
  // A restarted agent counts from zero again: the reading across it is no traffic.
  follower_.Restart();
  s_.Oid1.NewBaseline = s_.Oid2.NewBaseline = false;
  ASSERT_FALSE(follower_.AfterPoll(s_, client_, {true, false, false, "800", "1"}));
  EXPECT_FALSE(follower_.AfterPoll(s_, client_, {true, false, false, "100", "1"}));
  EXPECT_TRUE(s_.Oid1.NewBaseline && s_.Oid2.NewBaseline);
}

TEST_F(FollowTest, OfSeveralRowsWithTheNameTheOneUpThenTheHighest) {
  for (const auto& [oper4, oper9, expected] : {std::tuple{"1", "2", FoundInterface{4, true}},
                                               {"1", "1", FoundInterface{9, true}},
                                               {"2", "2", FoundInterface{9, false}}}) {
    for (const auto& [index, oper] : {std::pair{4, oper4}, {9, oper9}}) {
      const std::string n = "." + std::to_string(index);
      Add("1.3.6.1.2.1.31.1.1.1.1" + n, kOctets, "wan0");
      Add("1.3.6.1.2.1.2.2.1.8" + n, kInteger, oper);
    }
    Add("1.3.6.1.2.1.2.2.1.8.3", kInteger, "2");
    EXPECT_EQ(FindInterface(s_, client_, "wan0"), expected);
  }
}

TEST_F(FollowTest, ANameNotFoundIsAskedForAgainLaterAndEmptyFollowsNothing) {
  s_.Interface = "ppp0";
  EXPECT_FALSE(follower_.AfterPoll(s_, client_, {true, true, false, "", ""}));
  std::size_t asked = agent_.requests.size();
  net_->now_ms += 1000;
  EXPECT_FALSE(follower_.AfterPoll(s_, client_, {true, true, false, "", ""}));
  EXPECT_EQ(agent_.requests.size(), asked);  // within the 2 s back-off
  s_.Interface = "wan0";                     // another name is looked up at once
  EXPECT_FALSE(follower_.AfterPoll(s_, client_, {true, true, false, "", ""}));
  EXPECT_GT(agent_.requests.size(), asked);
  s_.Interface.clear();
  net_->now_ms += 60000;
  asked = agent_.requests.size();
  EXPECT_FALSE(follower_.AfterPoll(s_, client_, {true, true, false, "", ""}));
  EXPECT_EQ(agent_.requests.size(), asked);
  EXPECT_EQ(WithInterfaceIndex("1.3.6.1.2.1.1.3.0", 7), std::nullopt);
}

}  // namespace
}  // namespace plovex
