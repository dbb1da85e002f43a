#include "history/usage_store.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>

#include "history/testing/local_time.h"
#include "history/usage_period.h"
#include "history/usage_recorder.h"

namespace plovex {
namespace {

namespace fs = std::filesystem;

class TempFolder {
 public:
  TempFolder() {
    char tmpl[] = "/tmp/plovex-history-XXXXXX";
    path_ = mkdtemp(tmpl);
  }
  ~TempFolder() { fs::remove_all(path_); }
  std::string File(const char* name) const { return (path_ / name).string(); }

 private:
  fs::path path_;
};

std::int64_t Local(int y, int mon, int d, int h = 0, int mi = 0) {
  return LocalTime(y, mon, d, h, mi);
}

const UsageKey kKey{"127.0.0.1", "eth0"};

std::unique_ptr<UsageStore> OpenOrDie(const std::string& path, std::string* aside = nullptr) {
  Result<std::unique_ptr<UsageStore>> s = UsageStore::Open(path, false, aside);
  EXPECT_TRUE(s.ok()) << s.status().message();
  return std::move(*s);
}

TEST(UsageStore, TiersHoldEveryMinuteUntilTheyAgeOut) {
  LocalZone utc("UTC0");
  TempFolder tmp;
  auto store = OpenOrDie(tmp.File("history.sqlite"));
  const std::int64_t now = Local(2026, 6, 30, 12);
  const std::int64_t minute_edge = now - kMinuteRetention;
  const std::int64_t hour_edge = now - kHourRetention;
  const UsageMinute minutes[] = {
      {minute_edge - 60, 1, 10, 1, 9},  // just past the minute tier's 48 hours
      {minute_edge, 2, 20, 2, 8},       // the oldest minute kept
      {hour_edge - 3600, 4, 40, 4, 7},  // a whole hour past the hour tier's 60 days
      {hour_edge, 8, 80, 8, 6},        {now - 60, 16, 160, 50, 5},
  };
  ASSERT_TRUE(store->Add(kKey, minutes, now).ok());
  struct Row {
    UsageTier tier;
    std::int64_t from, in, out, peak_in;
  } rows[] = {
      {UsageTier::kMinute, 0, 18, 180, 50},
      {UsageTier::kHour, 0, 27, 270, 50},
      {UsageTier::kDay, 0, 31, 310, 50},
      {UsageTier::kHour, minute_edge - 3600, 19, 190, 50},
  };
  for (const Row& r : rows) {
    const Result<UsageTotals> t = store->SumTier(kKey, r.tier, r.from, now + 1);
    ASSERT_TRUE(t.ok());
    EXPECT_EQ(t->in_bytes, r.in) << static_cast<int>(r.tier);
    EXPECT_EQ(t->out_bytes, r.out) << static_cast<int>(r.tier);
    EXPECT_EQ(t->peak_in, r.peak_in) << static_cast<int>(r.tier);
  }
  // A range is read from the finest tier that still holds its start.
  EXPECT_EQ(store->Sum(kKey, minute_edge, now + 1, now)->in_bytes, 18);
  EXPECT_EQ(store->Sum(kKey, hour_edge, now + 1, now)->in_bytes, 27);
  EXPECT_EQ(store->Sum({"127.0.0.1", "eth1"}, 0, now + 1, now)->in_bytes, 0);
}

TEST(UsageStore, ADamagedFileIsSetAsideAndANewOneBegun) {
  TempFolder tmp;
  const std::string path = tmp.File("history.sqlite");
  const std::string junk(8192, 'x');
  std::ofstream(path) << junk;
  std::string aside;
  auto store = OpenOrDie(path, &aside);
  ASSERT_FALSE(aside.empty());
  std::ifstream kept(aside);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), junk);
  const UsageMinute m{600, 5, 6, 5, 6};
  EXPECT_TRUE(store->Add(kKey, {&m, 1}, 660).ok());
}

// Writes `minutes` transactions of one minute each from a child process and
// tells the parent each one committed through `pipe_out`.
pid_t WriterChild(const std::string& path, const UsageKey& key, int minutes, int pipe_out) {
  const pid_t pid = fork();
  if (pid != 0) return pid;
  Result<std::unique_ptr<UsageStore>> store = UsageStore::Open(path);
  for (int i = 0; store.ok() && i < minutes; ++i) {
    const UsageMinute m{600 + i * 60, 1000, 10, 17, 1};
    if (!(*store)->Add(key, {&m, 1}, 660 + i * 60).ok()) _exit(1);
    if (pipe_out >= 0 && write(pipe_out, "m", 1) != 1) _exit(1);
  }
  _exit(store.ok() ? 0 : 1);
}

TEST(UsageStore, AKilledWriterLosesNoCommittedMinuteAndTwoWritersTakeTurns) {
  TempFolder tmp;
  const std::string path = tmp.File("history.sqlite");
  OpenOrDie(path);  // the schema exists before the writers race for it
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  const pid_t killed = WriterChild(path, kKey, 1 << 20, fds[1]);
  close(fds[1]);
  char buf[64];
  std::int64_t committed = 0;
  while (committed < 300) committed += read(fds[0], buf, sizeof buf);
  kill(killed, SIGKILL);
  waitpid(killed, nullptr, 0);
  while (const auto n = read(fds[0], buf, sizeof buf)) committed += n > 0 ? n : 0;
  close(fds[0]);
  {
    auto store = OpenOrDie(path);
    const std::int64_t kept = store->SumTier(kKey, UsageTier::kDay, 0, 1 << 30)->in_bytes / 1000;
    EXPECT_GE(kept, committed);
    EXPECT_LE(kept, committed + 1);  // the one under way when the kill came
  }

  // Two writers that make a new store at the same moment.
  const UsageKey other{"127.0.0.1", "eth1"};
  const std::string fresh = tmp.File("fresh.sqlite");
  const pid_t a = WriterChild(fresh, other, 400, -1);
  const pid_t b = WriterChild(fresh, other, 400, -1);
  for (const pid_t p : {a, b}) {
    int status = 0;
    waitpid(p, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  auto store = OpenOrDie(fresh);
  EXPECT_EQ(store->SumTier(other, UsageTier::kDay, 0, 1 << 30)->in_bytes, 2 * 400 * 1000);
}

TEST(UsageRecorder, WritesOnceAMinuteAndAtTheEnd) {
  TempFolder tmp;
  const std::string path = tmp.File("state/plovex/history.sqlite");
  std::vector<Status> faults;
  auto recorder =
      std::make_unique<UsageRecorder>(path, [&](const Status& s) { faults.push_back(s); });
  const auto stored = [&] {
    auto reader = OpenOrDie(path);
    return reader->SumTier(kKey, UsageTier::kMinute, 0, 1 << 30)->in_bytes;
  };
  recorder->Add(kKey, 6000, 100, 1, 1);
  recorder->Add(kKey, 6059, 200, 1, 1);
  EXPECT_FALSE(fs::exists(path));  // nothing before the minute is over
  recorder->Add(kKey, 6060, 400, 1, 1);
  EXPECT_EQ(stored(), 300);
  recorder->Flush(6061);
  EXPECT_EQ(stored(), 700);
  EXPECT_TRUE(faults.empty());

  // A store that cannot be made is told once and keeps the minutes for later.
  const std::string blocked = tmp.File("file/history.sqlite");
  std::ofstream(tmp.File("file")) << "a file where the folder should be";
  UsageRecorder stuck(blocked, [&](const Status& s) { faults.push_back(s); });
  stuck.Add(kKey, 6000, 1, 1, 1);
  stuck.Flush(6001);
  stuck.Flush(6100);
  ASSERT_EQ(faults.size(), 1u);
  EXPECT_NE(faults[0].message().find("cannot be opened"), std::string::npos);
}

TEST(BillingPeriod, BeginsOnTheResetDayAtLocalMidnight) {
  struct Row {
    std::int64_t now;
    int reset_day;
    std::int64_t start, end;
  };
  LocalZone berlin(kCentralEurope);
  const Row rows[] = {
      {Local(2026, 12, 8, 11), 1, Local(2026, 12, 1), Local(2027, 1, 1)},
      {Local(2026, 12, 31, 23, 59), 1, Local(2026, 12, 1), Local(2027, 1, 1)},
      {Local(2027, 1, 14), 15, Local(2026, 12, 15), Local(2027, 1, 15)},
      // February: 28 days in 2023, 29 in the leap year 2024.
      {Local(2023, 3, 10), 28, Local(2023, 2, 28), Local(2023, 3, 28)},
      {Local(2024, 2, 28, 10), 28, Local(2024, 2, 28), Local(2024, 3, 28)},
      {Local(2024, 3, 1), 1, Local(2024, 3, 1), Local(2024, 4, 1)},
      {Local(2024, 2, 29, 12), 1, Local(2024, 2, 1), Local(2024, 3, 1)},
  };
  for (const Row& r : rows) {
    const Result<UsagePeriod> p = BillingPeriod(r.now, r.reset_day);
    ASSERT_TRUE(p.ok());
    EXPECT_EQ(p->start, r.start) << r.now;
    EXPECT_EQ(p->end, r.end) << r.now;
  }
  // Across the spring change the period is an hour short, its days still whole.
  TempFolder tmp;
  auto store = OpenOrDie(tmp.File("history.sqlite"));
  const std::int64_t now = Local(2025, 3, 30, 12);
  const Result<UsageReport> r = ReadUsage(*store, kKey, now, 1, 3000);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r->period.start, Local(2025, 3, 1));
  EXPECT_EQ(r->period.end - r->period.start, 31 * 86400 - 3600);
  EXPECT_EQ(r->days_left, 2);
  EXPECT_EQ(r->per_day_bytes, 1500);
  EXPECT_EQ(BillingPeriod(now, 29).status().message(),
            "UsageResetDay 29 is not a day from 1 to 28");
  EXPECT_FALSE(BillingPeriod(now, 0).ok());
}

TEST(UsageReport, PeriodAndTodayAgainstTheCap) {
  LocalZone utc("UTC0");
  TempFolder tmp;
  auto store = OpenOrDie(tmp.File("history.sqlite"));
  const std::int64_t now = Local(2026, 12, 11, 12);  // 10.5 of 31 days
  const UsageMinute minutes[] = {
      {Local(2026, 11, 30, 23, 59), 1000, 1000, 1, 1},  // the last period
      {Local(2026, 12, 1), 300, 200, 1, 1},
      {Local(2026, 12, 11, 0, 5), 40, 2, 1, 1},
  };
  ASSERT_TRUE(store->Add(kKey, minutes, now).ok());
  const Result<UsageReport> r = ReadUsage(*store, kKey, now, 1, 1000);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r->in_bytes, 340);
  EXPECT_EQ(r->out_bytes, 202);
  EXPECT_EQ(r->today_in_bytes, 40);
  EXPECT_EQ(r->today_out_bytes, 2);
  EXPECT_EQ(r->left_bytes, 458);
  EXPECT_EQ(r->days_left, 21);
  EXPECT_EQ(r->per_day_bytes, 458 / 21);
  EXPECT_EQ(r->projected_bytes, 542 * 31 * 2 / 21);
  EXPECT_NE(UsageJson(*r).find("\"in_bytes\":340,"), std::string::npos);
  EXPECT_EQ(r->ever_in_bytes, 1340);
}

TEST(UsageRecorder, UsageAddsTheUnwrittenMinutesToTheStoredOnes) {
  LocalZone utc("UTC0");
  TempFolder tmp;
  const std::string path = tmp.File("history.sqlite");
  const std::int64_t day = Local(2026, 12, 11);
  {
    auto store = OpenOrDie(path);
    const UsageMinute before[] = {{day - 86400, 1000, 10, 1, 1}, {day + 60, 100, 1, 1, 1}};
    ASSERT_TRUE(store->Add(kKey, before, day + 120).ok());
  }
  UsageRecorder recorder(path, nullptr);
  recorder.SetBilling(11, 2000);
  struct Row {
    std::int64_t now, in, out;
    std::int64_t period_in, today_in, ever_in, left;
  };
  const Row rows[] = {
      {day + 180, 5, 1, 105, 105, 1105, 2000 - 107},  // unwritten, counted at once
      {day + 181, 5, 1, 110, 110, 1110, 2000 - 113},
      {day + 240, 0, 0, 110, 110, 1110, 2000 - 113},      // written, read back the same
      {day + 86400 + 5, 7, 0, 117, 7, 1117, 2000 - 120},  // a new day
  };
  for (const Row& r : rows) {
    recorder.Add(kKey, r.now, r.in, r.out, 1);
    const UsageReport& u = recorder.Usage(r.now);
    EXPECT_EQ(u.in_bytes, r.period_in) << r.now;
    EXPECT_EQ(u.today_in_bytes, r.today_in) << r.now;
    EXPECT_EQ(u.ever_in_bytes, r.ever_in) << r.now;
    EXPECT_EQ(u.left_bytes, r.left) << r.now;
  }
  // Another interface starts from its own history.
  recorder.Add({kKey.host, "eth1"}, day + 86500, 3, 0, 1);
  EXPECT_EQ(recorder.Usage(day + 86500).ever_in_bytes, 3);
  recorder.SetBilling(12, 0);  // a new reset day counts at once
  EXPECT_EQ(recorder.Usage(day + 86500).period.start, day + 86400);
}

}  // namespace
}  // namespace plovex
