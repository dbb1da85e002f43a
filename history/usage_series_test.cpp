#include "history/usage_series.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <memory>

#include "history/testing/local_time.h"
#include "history/usage_csv.h"

namespace plovex {
namespace {

struct Cet : LocalZone {
  Cet() : LocalZone(kCentralEurope) {}
};

std::int64_t Local(int mon, int d, int h = 0, int mi = 0, int y = 2026) {
  return LocalTime(y, mon, d, h, mi);
}

const UsageKey kKey{"127.0.0.1", "eth0, \"wan\""};

class UsageSeriesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    now_ = Local(12, 8, 14, 7);
    Result<std::unique_ptr<UsageStore>> opened = UsageStore::Open(":memory:");
    ASSERT_TRUE(opened.ok()) << opened.status().message();
    store_ = std::move(*opened);
  }
  void AddMinute(std::int64_t start, std::int64_t in, std::int64_t out = 0, std::int64_t peak = 0) {
    const UsageMinute m{start, in, out, peak, 0};
    ASSERT_TRUE(store_->Add(kKey, {&m, 1}, now_).ok());
  }
  UsageSeries Read(UsageView view) {
    Result<UsageSeries> s = ReadSeries(*store_, kKey, view, now_);
    EXPECT_TRUE(s.ok()) << s.status().message();
    return s.ok() ? *s : UsageSeries{};
  }
  static std::int64_t InAt(const UsageSeries& s, std::int64_t start) {
    for (const UsageBucket& b : s.buckets)
      if (b.start == start) return b.in_bytes;
    return -1;
  }

  Cet zone_;
  std::int64_t now_ = 0;
  std::unique_ptr<UsageStore> store_;
};

TEST_F(UsageSeriesTest, EachViewBucketsItsTierOnLocalEdges) {
  struct Row {
    UsageView view;
    std::int64_t minute, in, bucket_start, expected;
  } rows[] = {
      // Five minutes from the minute tier; a minute on an edge opens the bucket.
      {UsageView::kDay, Local(12, 8, 13, 57), 100, Local(12, 8, 13, 55), 100},
      {UsageView::kDay, Local(12, 8, 13, 50), 7, Local(12, 8, 13, 50), 7},
      {UsageView::kDay, Local(12, 8, 14, 5), 3, Local(12, 8, 14, 5), 3},
      // The week: minutes within 48 hours, whole hours shared in two before.
      {UsageView::kWeek, Local(12, 7, 15, 40), 40, Local(12, 7, 15, 30), 40},
      {UsageView::kWeek, Local(12, 5, 10, 20), 1001, Local(12, 5, 10, 0), 501},
      {UsageView::kWeek, Local(12, 5, 10, 20), 0, Local(12, 5, 10, 30), 500},  // the same hour
      // Two even local hours from the hour tier.
      {UsageView::kMonth, Local(12, 1, 9, 59), 9, Local(12, 1, 8), 9},
      // Local days from the day tier, also the 23-hour one.
      {UsageView::kYear, Local(3, 29, 12), 5, Local(3, 29), 5},
  };
  for (const Row& r : rows) AddMinute(r.minute, r.in);
  for (const Row& r : rows) {
    EXPECT_EQ(InAt(Read(r.view), r.bucket_start), r.expected)
        << static_cast<int>(r.view) << " " << IsoLocal(r.bucket_start);
  }

  struct Shape {
    UsageView view;
    std::size_t count;
    std::int64_t first, last_end;
    const char* label;
  } shapes[] = {
      {UsageView::kDay, 288, Local(12, 7, 14, 10), Local(12, 8, 14, 10), "16:00"},
      {UsageView::kWeek, 336, Local(12, 1, 14, 30), Local(12, 8, 14, 30), "Wed 2"},
      {UsageView::kMonth, 360, Local(11, 8, 16), Local(12, 8, 16), "Nov 15"},
      {UsageView::kYear, 365, Local(12, 9, 0, 0, 2025), Local(12, 9), "Jan"},
  };
  for (const Shape& sh : shapes) {
    const UsageSeries s = Read(sh.view);
    ASSERT_EQ(s.buckets.size(), sh.count);
    EXPECT_EQ(s.buckets.front().start, sh.first) << IsoLocal(s.buckets.front().start);
    EXPECT_EQ(s.buckets.back().end, sh.last_end) << IsoLocal(s.buckets.back().end);
    const std::vector<TimeLabel> labels = TimeLabels(s);
    ASSERT_FALSE(labels.empty());
    EXPECT_EQ(labels.front().text, sh.label);
  }
}

TEST_F(UsageSeriesTest, AveragesOverTheViewSoFarAndKeepsTheFastestTick) {
  AddMinute(Local(12, 8, 12, 0), 86400 * 3, 86400, 5000);
  AddMinute(Local(12, 8, 13, 0), 0, 0, 0);
  const UsageSeries day = Read(UsageView::kDay);
  EXPECT_EQ(day.average_in, 86400 * 3 / (now_ - day.buckets.front().start));
  EXPECT_EQ(day.peak_in, 5000);
  // The newest bucket's rate is over the two minutes it has lasted.
  const UsageBucket& last = day.buckets.back();
  EXPECT_EQ(AverageRate(last, 1200, now_), 10);
  EXPECT_EQ(AverageRate(day.buckets.front(), 3000, now_), 10);
}

TEST_F(UsageSeriesTest, TablesSumDaysAndBillingPeriodsAndExportAsCsv) {
  AddMinute(Local(12, 8, 0, 0), 10, 1);
  AddMinute(Local(12, 7, 23, 59), 20, 2);
  AddMinute(Local(11, 14, 12), 300, 3);
  AddMinute(Local(11, 15, 0), 4000, 4);
  Result<UsageTables> t = ReadTables(*store_, kKey, now_, 15);
  ASSERT_TRUE(t.ok()) << t.status().message();
  ASSERT_EQ(t->days.size(), 31u);
  ASSERT_EQ(t->periods.size(), 12u);
  EXPECT_EQ(t->days[0].total(), 11);
  EXPECT_EQ(t->days[1].total(), 22);
  EXPECT_EQ(t->days[30].start, Local(11, 8));
  // Nov 15 opens this period; Nov 14 is the last day of the one before.
  EXPECT_EQ(t->periods[0].start, Local(11, 15));
  EXPECT_EQ(t->periods[0].in_bytes, 4030);
  EXPECT_EQ(t->periods[1].in_bytes, 300);
  EXPECT_EQ(t->periods[11].start, Local(12, 15, 0, 0, 2025));
  EXPECT_FALSE(ReadTables(*store_, kKey, now_, 31).ok());

  const UsageSeries day = Read(UsageView::kDay);
  const std::string csv = UsageCsv(kKey, day, *t);
  const std::string head =
      "host,interface,start,end,in_bytes,out_bytes,peak_in_bytes_per_s,peak_out_bytes_per_s\r\n"
      "127.0.0.1,\"eth0, \"\"wan\"\"\",2026-12-07T14:10:00+01:00,2026-12-07T14:15:00+01:00,"
      "0,0,0,0\r\n";
  EXPECT_EQ(csv.substr(0, head.size()), head);
  EXPECT_NE(csv.find("2026-12-08T00:00:00+01:00,2026-12-08T00:05:00+01:00,10,1,0,0\r\n"),
            std::string::npos);
  EXPECT_NE(csv.find("\r\nhost,interface,date,in_bytes,out_bytes,total_bytes\r\n"
                     "127.0.0.1,\"eth0, \"\"wan\"\"\",2026-12-08,10,1,11\r\n"),
            std::string::npos);
  EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 1 + 288 + 1 + 1 + 31);
}

}  // namespace
}  // namespace plovex
