#include "core/tick_cycle.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>

#include "core/testing/tick_test_doubles.h"

namespace plovex {
namespace {

using Names = std::vector<std::string>;

struct Rig : TickRig {
  Rig() { clock.SetLocal(10, 7, 30); }
  std::string TickError() {
    try {
      cycle.Tick();
    } catch (const PlovexError& e) {
      return e.what();
    }
    return "";
  }
  Names LastNames() const { return writer.calls.empty() ? Names{} : writer.calls.back().names; }
};

TEST(Accounting, RateIsTheCounterGrowthPerSecond) {
  Rig rig;
  rig.poll.script = {{1000, 7000}, {5000, 7000}};
  rig.cycle.Start();
  rig.cycle.Tick();
  EXPECT_EQ(rig.s.Oid1.Rate, 4000);
  EXPECT_EQ(rig.s.Oid2.Rate, 0);
  EXPECT_EQ(rig.host.hint, "3.9 kB/s / 0 kB/s");
  EXPECT_EQ(rig.s.LastBarHeight[1], 8);  // 4000 / 64000 * 135 = 8.4
  EXPECT_EQ(rig.s.LastTrayHeight[1], 1);
  rig.s.Refresh = 4;
  rig.poll.script = {{13000, 7000}};
  rig.cycle.Tick();
  EXPECT_EQ(rig.s.Oid1.Rate, 2000);
}

// The client is set up for the settings at Start (after every load and every
// Apply that changes how the agent is spoken to), not on every tick.
TEST(Start, SetsThePollUpOnceForTheTicksThatFollow) {
  Rig rig;
  rig.cycle.Start();
  rig.cycle.Tick();
  rig.cycle.Tick();
  EXPECT_EQ(rig.poll.configures, 1);
  EXPECT_EQ(rig.poll.polls, 3);
}

TEST(Accounting, A32BitWrapCarriesTheTotalAndKeepsAPlausibleRate) {
  Rig rig;
  rig.poll.script = {{4294967000, 0}, {200, 0}};
  rig.cycle.Start();
  rig.cycle.Tick();
  EXPECT_EQ(rig.s.Oid1.Total, 4095);  // 4294967000 div 1048576
  EXPECT_EQ(rig.host.totals_saved, 1);
  EXPECT_EQ(rig.s.Oid1.Rate, 496);  // wrap-corrected, never negative
  EXPECT_EQ(rig.s.LastBarHeight[1], 1);
  EXPECT_EQ(rig.host.lbl_rst_oid1, "Down 4095MB");
}

TEST(Accounting, ACounterResetCarriesTheTotalAndDrawsNoBar) {
  Rig rig;
  rig.poll.script = {{0, 0}, {30000000, 0}, {5, 0}};
  rig.cycle.Start();
  rig.cycle.Tick();
  EXPECT_EQ(rig.s.LastBarHeight[1], 135);  // over scale before the reset
  rig.cycle.Tick();
  EXPECT_EQ(rig.s.Oid1.Total, 28);
  EXPECT_EQ(rig.host.totals_saved, 1);
  EXPECT_EQ(rig.s.Oid1.Rate, 0);
  EXPECT_EQ(rig.s.LastBarHeight[1], 0);
  EXPECT_EQ(rig.host.hint, "0 kB/s / 0 kB/s");
}

TEST(Accounting, A64BitCounterGoingBackHasRateZero) {
  Rig rig;
  rig.poll.script = {{6000000000, 0}, {100, 0}};
  rig.cycle.Start();
  rig.cycle.Tick();
  EXPECT_EQ(rig.s.Oid1.Total, 5722);
  EXPECT_EQ(rig.s.Oid1.Rate, 0);
}

TEST(Accounting, ACounterThatPassed2To32IsNeverWrapCorrected) {
  Rig rig;
  rig.s.MaxBytes = INT32_MAX;  // so that a 32-bit wrap would pass as a rate
  // A 64-bit counter above 2^32, then reset twice by a rebooting router.
  rig.poll.script = {{5000000000, 0}, {100, 0}, {50, 0}, {1050, 0}};
  rig.cycle.Start();
  rig.cycle.Tick();
  EXPECT_EQ(rig.s.Oid1.Rate, 0);
  rig.cycle.Tick();
  EXPECT_EQ(rig.s.Oid1.Rate, 0) << "a reset, not a 32-bit wrap of 4294967246 bytes";
  EXPECT_EQ(rig.s.Oid1.Total, 5000000000 / 1048576);
  rig.cycle.Tick();
  EXPECT_EQ(rig.s.Oid1.Rate, 1000);

  // A 32-bit counter still wraps, and after a restart a counter is new.
  Rig narrow;
  narrow.s.MaxBytes = INT32_MAX;
  narrow.poll.script = {{4294967000, 0}, {200, 0}};
  narrow.cycle.Start();
  narrow.cycle.Tick();
  EXPECT_EQ(narrow.s.Oid1.Rate, 496);
  rig.poll.script = {{4294967000, 0}, {200, 0}};
  rig.poll.polls = 0;
  rig.cycle.Start();
  rig.cycle.Tick();
  EXPECT_EQ(rig.s.Oid1.Rate, 496);
}

TEST(Accounting, SixtyFourBitReadingsStayExactUpTo2To63) {
  Rig rig;
  const std::int64_t big = INT64_MAX - 5000;
  rig.poll.script = {{big - 4000, 3}, {big, 4}};
  rig.cycle.Start();
  rig.cycle.Tick();
  EXPECT_EQ(rig.s.Oid1.Rate, 4000);
  EXPECT_EQ(rig.host.lbl_rst_oid1, "Down " + std::to_string(big / 1048576) + "MB");
}

TEST(Accounting, LargeDifferencesGiveLargeRatesAndAClampedBar) {
  Rig rig;
  rig.poll.script = {{0, 0}, {1000000000000, 0}};
  rig.cycle.Start();
  rig.cycle.Tick();
  EXPECT_EQ(rig.s.Oid1.Rate, 1000000000000);
  EXPECT_EQ(rig.s.LastBarHeight[1], 135);
  EXPECT_EQ(rig.s.LastTrayHeight[1], 16);
}

TEST(Accounting, SteadyCounterAndMissingReadings) {
  Rig rig;
  rig.poll.script = {{5000, 100}, {5000, 2148}, {std::nullopt, std::nullopt}};
  rig.cycle.Start();
  rig.cycle.Tick();
  EXPECT_EQ(rig.s.Oid1.Rate, 0);
  EXPECT_EQ(rig.s.LastBarHeight[1], 0);
  EXPECT_EQ(rig.s.Oid2.Rate, 2048);
  // No reading: rates are not recomputed, and the hint shows none.
  rig.cycle.Tick();
  EXPECT_EQ(rig.s.Oid2.Rate, 2048);
  EXPECT_EQ(rig.host.hint, "- kB/s / - kB/s");
  EXPECT_EQ(rig.host.hints.size(), 3u);
}

TEST(Totals, MegabytesOfTheReadingPlusTheCarriedTotal) {
  Rig rig;
  rig.s.Oid1.Total = 10;
  rig.s.Oid2.Total = -3;
  rig.poll.script = {{3145728, 1048575}};
  rig.cycle.Start();
  EXPECT_EQ(rig.host.lbl_rst_oid1, "Down 13MB");
  EXPECT_EQ(rig.host.lbl_rst_oid2, "Up -3MB");
  // Computed from the stored values on ticks without readings too.
  rig.poll.script = {{std::nullopt, std::nullopt}};
  rig.s.Oid1.Total = 20;
  rig.cycle.Tick();
  EXPECT_EQ(rig.host.lbl_rst_oid1, "Down 23MB");
  rig.s.Oid1.Total = LLONG_MAX;
  rig.cycle.Tick();
  EXPECT_EQ(rig.host.lbl_rst_oid1, "Down 9223372036854775807MB");
}

TEST(RestartTick, TakesABaselineAndDrawsNoSample) {
  Rig rig;
  rig.s.Oid1.Value = 1000;
  rig.s.Oid1.Rate = 777;
  rig.s.LastBarHeight[1] = 42;
  rig.poll.script = {{900000, 900000}};
  const Surface tray_before = rig.s.TrayBitmap;
  rig.cycle.Start();
  EXPECT_FALSE(rig.s.Restart);
  EXPECT_EQ(rig.s.Oid1.PrevValue, 900000);
  EXPECT_EQ(rig.s.Oid1.Rate, 0);
  EXPECT_EQ(rig.host.totals_saved, 0);
  EXPECT_EQ(rig.s.LastBarHeight[1], 42);  // untouched by a tick that draws no sample
  for (int y = 1; y < 15; ++y) EXPECT_EQ(rig.s.TrayBitmap.Pixel(0, y), kWhite);
  EXPECT_EQ(rig.host.icon_updates, 1);
  EXPECT_EQ(rig.host.hint, "0 kB/s / 0 kB/s");
  // The next tick draws from the new baseline.
  rig.poll.script = {{964000, 900000}};
  rig.cycle.Tick();
  EXPECT_EQ(rig.s.Oid1.Rate, 64000);
}

TEST(RestartTick, StartClearsTheFailureFlag) {
  Rig rig;
  rig.s.SnmpFailed = true;
  rig.s.SnmpMemory.Refused = {"1.3.6.1.2.1.1.99.0"};
  rig.s.Restart = false;
  rig.cycle.Start();
  EXPECT_FALSE(rig.s.SnmpFailed);
  EXPECT_TRUE(rig.s.SnmpMemory.Refused.empty());
  EXPECT_EQ(rig.poll.polls, 1);
}

TEST(SilentHost, TheHintSaysSoAndTheFirstAnswerIsANewBaseline) {
  Rig rig;
  rig.s.Ip = "127.0.0.1";
  rig.poll.script = {{1000, 1000}, {2000, 1500}};
  rig.cycle.Start();
  rig.cycle.Tick();
  EXPECT_EQ(rig.s.LastBarHeight[1], 2);
  rig.s.SnmpFailed = true;  // the host stopped answering
  rig.poll.script = {{}};
  rig.poll.polls = 0;
  rig.cycle.Tick();
  EXPECT_EQ(rig.host.hint, "- kB/s / - kB/s (no answer from 127.0.0.1)");
  ASSERT_EQ(rig.host.faults.size(), 1u);
  EXPECT_EQ(rig.host.faults[0].rfind("report 2: No answer from 127.0.0.1", 0), 0u);

  // It answers again 60 s later, after the router restarted its counters:
  // the carried total is kept, but neither the growth nor the drop across
  // the silence is drawn as a rate.
  rig.s.SnmpFailed = false;
  rig.s.Oid1.NewBaseline = rig.s.Oid2.NewBaseline = true;
  rig.poll.script = {{900, 61500}};
  const Surface before = rig.picture;
  rig.cycle.Tick();
  EXPECT_EQ(rig.s.Oid1.Rate, 0);
  EXPECT_EQ(rig.s.Oid2.Rate, 0);
  EXPECT_FALSE(rig.s.Oid1.NewBaseline);
  EXPECT_EQ(rig.host.hint, "0 kB/s / 0 kB/s");
  EXPECT_EQ(rig.host.faults.back(), "clear 2");
  EXPECT_EQ(rig.host.totals_saved, 1);   // counter 1 went back
  EXPECT_EQ(rig.s.LastBarHeight[1], 2);  // no sample in this column
  rig.poll.script = {{1900, 62000}};
  rig.cycle.Tick();
  EXPECT_EQ(rig.s.Oid1.Rate, 1000);
  EXPECT_EQ(rig.s.Oid2.Rate, 500);
}

// What the usage history receives: the growth and the wraps, never a baseline,
// the growth across a silence, a reset or the jump to another counter at Start.
TEST(Usage, OnlyTheTrafficBetweenTwoReadingsIsCounted) {
  char folder[] = "/tmp/plovex-usage-XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  const std::string path = std::string(folder) + "/history.sqlite";
  Rig rig;
  rig.s.Ip = "127.0.0.1";
  rig.s.Interface = "eth0";
  auto recorder = std::make_unique<UsageRecorder>(path, nullptr);
  rig.cycle.SetUsageRecorder(recorder.get());
  using R = ScriptedPoll::Reading;
  rig.poll.script = {
      R{1000, 1000},         // Start: the baseline
      R{2000, 1500},         // 1000 in, 500 out
      R{},                   // silence
      R{4294967000, 61500},  // the first answer after it: a new baseline
      R{200, 62000},         // a 32-bit wrap: 496 in, 500 out
      R{5, 62000},           // a reset
      R{9000000, 70000},     // Start after an Apply: another counter
      R{9000100, 70010},     // 100 in, 10 out
  };
  rig.clock.SetUnix(6000);
  rig.cycle.Start();
  for (int tick = 1; tick < 8; ++tick) {
    rig.clock.SetUnix(6000 + tick);
    if (tick == 3) rig.s.Oid1.NewBaseline = rig.s.Oid2.NewBaseline = true;
    if (tick == 6) {
      rig.cycle.Start();
    } else {
      rig.cycle.Tick();
    }
  }
  recorder->Flush(6100);
  auto store = UsageStore::Open(path);
  ASSERT_TRUE(store.ok());
  const Result<UsageTotals> t =
      (*store)->SumTier({"127.0.0.1", "eth0"}, UsageTier::kMinute, 0, 7000);
  EXPECT_EQ(t->in_bytes, 1596);
  EXPECT_EQ(t->out_bytes, 1010);
  std::filesystem::remove_all(folder);
}

struct RecordingNotifier : Notifier {
  std::vector<std::string> summaries;
  void Show(const Notice& n) override { summaries.push_back(n.summary); }
};

// The cap's shares through the real recorder and store: the highest reached
// only, each once, and not again by the next run over the same store.
TEST(Notices, CapSharesAreToldOncePerPeriodAlsoAfterARestart) {
  char folder[] = "/tmp/plovex-cap-XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  using Said = std::vector<std::string>;
  const auto run = [&](std::vector<std::int64_t> counter) {  // bytes in, against a cap of 9999
    Rig rig;
    rig.s.UsageCap = "9999";
    rig.s.NotifyCap = true;
    UsageRecorder recorder(std::string(folder) + "/history.sqlite", nullptr);
    RecordingNotifier notifier;
    rig.cycle.SetUsageRecorder(&recorder);
    rig.cycle.SetNotifier(&notifier);
    for (std::int64_t c : counter) rig.poll.script.push_back({c, 0});
    rig.clock.SetUnix(1'800'000'000);
    rig.cycle.Start();
    for (std::size_t tick = 1; tick < counter.size(); ++tick) {
      rig.clock.SetUnix(1'800'000'000 + static_cast<std::int64_t>(tick));
      rig.cycle.Tick();
    }
    return notifier.summaries;
  };
  EXPECT_EQ(run({0, 7999, 9500}), Said{"Usage at 90 % of the cap"});      // not 80 as well
  EXPECT_EQ(run({0, 100}), Said{});                                       // 9600
  EXPECT_EQ(run({0, 100, 398, 399}), Said{"Usage has reached the cap"});  // 9998, 9999
  EXPECT_EQ(run({0, 100}), Said{});
  std::filesystem::remove_all(folder);
}

TEST(Pictures, PlovexGifOnEveryTickWhileTheBoxIsChecked) {
  Rig rig;
  rig.cycle.Start();
  rig.cycle.Tick();
  ASSERT_EQ(rig.writer.calls.size(), 2u);
  EXPECT_EQ(rig.LastNames(), Names{"Plovex.gif"});
  EXPECT_EQ(rig.writer.calls.back().picture, rig.picture);
  // The box decides, not the stored SaveGif.
  rig.s.SaveGif = false;
  rig.cycle.Tick();
  EXPECT_EQ(rig.writer.calls.size(), 3u);
  rig.host.save_gif_checked = false;
  rig.s.SaveGif = true;
  rig.cycle.Tick();
  EXPECT_EQ(rig.writer.calls.size(), 3u);
}

TEST(Pictures, TimeStampedCopyAtMinuteModFreqAndSecondZero) {
  Rig rig;
  rig.s.SaveGifFreq = 15;
  rig.cycle.Start();
  rig.clock.SetLocal(10, 15, 0);
  rig.cycle.Tick();
  EXPECT_EQ(rig.LastNames(), (Names{"Plovex.gif", "Plovex 10h15m.gif"}));
  rig.clock.SetLocal(10, 15, 1);
  rig.cycle.Tick();
  EXPECT_EQ(rig.LastNames(), Names{"Plovex.gif"});
  rig.clock.SetLocal(10, 16, 0);
  rig.cycle.Tick();
  EXPECT_EQ(rig.LastNames(), Names{"Plovex.gif"});
  rig.s.SaveGifFreq = 5;
  rig.clock.SetLocal(9, 5, 0);
  rig.cycle.Tick();
  EXPECT_EQ(rig.LastNames(), (Names{"Plovex.gif", "Plovex 9h5m.gif"}));
  rig.clock.SetLocal(0, 0, 0);
  rig.cycle.Tick();
  EXPECT_EQ(rig.LastNames(), (Names{"Plovex.gif", "Plovex 0h0m.gif"}));
  for (int freq : {0, -5}) {
    rig.s.SaveGifFreq = freq;
    rig.cycle.Tick();
    EXPECT_EQ(rig.LastNames(), Names{"Plovex.gif"}) << freq;
  }
}

TEST(Pictures, SnapshotIsWrittenOnceWhetherOrNotTheBoxIsChecked) {
  Rig rig;
  rig.host.save_gif_checked = false;
  rig.cycle.Start();
  EXPECT_TRUE(rig.writer.calls.empty());
  rig.s.SnapshotPending = true;
  rig.cycle.Tick();
  ASSERT_EQ(rig.writer.calls.size(), 1u);
  EXPECT_EQ(rig.LastNames(), Names{"PlovexSnapShot.gif"});
  EXPECT_FALSE(rig.s.SnapshotPending);
  rig.cycle.Tick();
  EXPECT_EQ(rig.writer.calls.size(), 1u);
  rig.host.save_gif_checked = true;
  rig.s.SnapshotPending = true;
  rig.cycle.Tick();
  ASSERT_EQ(rig.writer.calls.size(), 3u);
  EXPECT_EQ(rig.writer.calls[1].names, Names{"Plovex.gif"});
  EXPECT_EQ(rig.writer.calls[2].names, Names{"PlovexSnapShot.gif"});
}

TEST(FailureTicks, ZeroTickFreqFailsEveryTickAfterTheScroll) {
  Rig rig;
  rig.s.TickFreq = 0;
  rig.s.SnapshotPending = true;
  EXPECT_EQ(rig.TickError(), "Division by zero");
  EXPECT_TRUE(rig.s.Restart);
  EXPECT_TRUE(rig.s.SnapshotPending);
  EXPECT_TRUE(rig.host.hints.empty());
  EXPECT_TRUE(rig.writer.calls.empty());
  EXPECT_EQ(rig.TickError(), "Division by zero");
}

TEST(FailureTicks, ZeroRefreshFailsOnlyWithAReading) {
  Rig rig;
  rig.s.Refresh = 0;
  rig.poll.script = {{std::nullopt, std::nullopt}};
  EXPECT_EQ(rig.TickError(), "");
  rig.s.Restart = true;
  rig.poll.script = {{5, std::nullopt}};
  EXPECT_EQ(rig.TickError(), "Division by zero");
  EXPECT_TRUE(rig.s.Restart);
}

TEST(FailureTicks, ZeroMaxBytesRaisesTheFloatingPointFaults) {
  Rig rig;
  rig.s.MaxBytes = 0;
  rig.poll.script = {{5, 5}};
  EXPECT_EQ(rig.TickError(), "Invalid floating point operation");  // restart: rate 0
  rig.s.Restart = false;
  rig.poll.script = {{500, 5}};
  EXPECT_EQ(rig.TickError(), "Floating point division by zero");
  EXPECT_EQ(rig.s.Oid1.Rate, 495);
}

// A file that cannot be written stops nothing: the graph, the rates and the
// other files go on, the fault is told once, and what was not written is
// tried again at every tick until it is.
TEST(Pictures, AFileThatCannotBeWrittenIsToldOnceAndTriedAgainEachTick) {
  struct Row {
    const char* fails;
    int kind;
  };
  for (const Row row :
       {Row{"Plovex.gif", 0}, Row{"Plovex 10h15m.gif", 0}, Row{"PlovexSnapShot.gif", 1}}) {
    SCOPED_TRACE(row.fails);
    Rig rig;
    rig.s.SaveGifFreq = 15;
    rig.poll.script = {{0, 0}, {32000, 0}, {64000, 0}, {96000, 0}};
    rig.writer.fail_on = row.fails;
    rig.s.SnapshotPending = true;
    rig.clock.SetLocal(10, 15, 0);
    rig.cycle.Start();
    EXPECT_FALSE(rig.s.Restart);
    rig.clock.SetLocal(10, 15, 1);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(rig.TickError(), "");
    EXPECT_EQ(rig.s.Oid1.Rate, 32000);
    EXPECT_EQ(rig.s.LastBarHeight[1], 68);
    EXPECT_EQ(rig.host.hint, "31.2 kB/s / 0 kB/s");
    const std::string kind = std::to_string(row.kind);
    EXPECT_EQ(rig.host.faults, Names{"report " + kind + ": " + row.fails +
                                     " cannot be written in /srv/x: permission denied"});
    EXPECT_EQ(rig.s.SnapshotPending, row.kind == 1);
    rig.writer.fail_on.reset();
    rig.cycle.Tick();
    EXPECT_EQ(rig.host.faults.back(), "clear " + kind);
    EXPECT_FALSE(rig.s.SnapshotPending);
    EXPECT_EQ(rig.host.snapshots, Names{"/srv/x/PlovexSnapShot.gif"});
    bool copy_written = false;
    for (const auto& call : rig.writer.calls)
      for (const std::string& name : call.names) copy_written |= name == "Plovex 10h15m.gif";
    EXPECT_TRUE(copy_written);
    rig.cycle.Tick();
    EXPECT_EQ(rig.LastNames(), Names{"Plovex.gif"});
  }
}

// In line mode a sample is joined only to a sample of the tick before: after
// a restart (a new full scale), a new baseline or a gap, the line starts
// afresh instead of falling from a height drawn under other conditions.
TEST(Lines, TheFirstSampleAfterABreakStartsItsLine) {
  auto blue_in_graph = [](const Surface& p) {
    int n = 0;
    for (int y = 12; y <= 147; ++y)
      for (int x = 0; x < kPictureWidth; ++x) n += p.Pixel(x, y) == 0xFF0000u;
    return n;
  };
  for (const char* cause : {"restart", "new baseline", "gap"}) {
    SCOPED_TRACE(cause);
    Rig rig;
    rig.poll.script = {{0, 0}, {0, 60000}, {0, 120000}};
    rig.cycle.Start();
    rig.cycle.Tick();
    rig.cycle.Tick();
    ASSERT_EQ(rig.s.LastBarHeight[2], 127);
    const std::string c = cause;
    if (c == "restart") {
      rig.s.MaxBytes = 128000;
      rig.poll.script = {{0, 120000}};
      rig.cycle.Start();
    } else if (c == "new baseline") {
      rig.s.Oid2.NewBaseline = true;
      rig.poll.script = {{0, 120000}};
      rig.cycle.Tick();
    } else {
      rig.poll.script = {{0, std::nullopt}};
      rig.cycle.Tick();
      rig.poll.script = {{0, 120000}};
    }
    const int before = blue_in_graph(rig.picture);
    rig.cycle.Tick();  // rate 0: the sample lies on the bottom row
    EXPECT_EQ(rig.s.LastBarHeight[2], 0);
    EXPECT_EQ(blue_in_graph(rig.picture), before + 1);
    EXPECT_EQ(rig.s.TrayBitmap.Pixel(0, 15), 0xFF0000u);
    EXPECT_NE(rig.s.TrayBitmap.Pixel(1, 1), 0xFF0000u);  // no join from 14 px
  }
}

TEST(FailureTicks, APollFailureLeavesThePictureUntouched) {
  Rig rig;
  rig.poll.fail_with = "'abc' is not a valid integer value";
  const Surface before = rig.picture;
  EXPECT_EQ(rig.TickError(), "'abc' is not a valid integer value");
  EXPECT_EQ(rig.picture, before);
  EXPECT_TRUE(rig.s.Restart);
}

TEST(FailureTicks, NegativeDivisorsNeverGiveNegativeRatesOrSamples) {
  Rig rig;
  rig.s.Refresh = -2;
  rig.s.MaxBytes = -64000;
  rig.s.TickFreq = -5;
  rig.poll.script = {{0, 0}, {64000, 64000}};
  rig.cycle.Start();
  EXPECT_EQ(rig.TickError(), "");
  EXPECT_EQ(rig.s.Oid1.Rate, 32000);
  EXPECT_EQ(rig.s.LastBarHeight[1], 0);
  EXPECT_EQ(rig.s.LastTrayHeight[1], 0);
}

TEST(NoFont, TheGraphIsDrawnAndTextsAreSkipped) {
  TPlovexSettings s;
  ApplyDefaultSettings(s);
  Surface picture(kPictureWidth, kPictureHeight);
  RecordingTickHost host;
  ManualClock clock;
  ScriptedPoll poll;
  RecordingPictureWriter writer;
  TickCycle cycle(s, picture, host, clock, poll, writer, nullptr);
  poll.script = {{0, 0}, {64000, 0}};
  cycle.Start();
  cycle.Tick();
  // No strip without a label width: the axis at column 2 (0 + 0 + 3 - 1).
  EXPECT_EQ(picture.Pixel(2, 100), kGrey);
  EXPECT_EQ(picture.Pixel(3, 146), 0x008000u);
  for (int y = 0; y < kPictureHeight; ++y)
    for (int x = 0; x < kPictureWidth; ++x) ASSERT_NE(picture.Pixel(x, y), kBlack) << x << "," << y;
  EXPECT_EQ(host.hint, "62.5 kB/s / 0 kB/s");
}

}  // namespace
}  // namespace plovex
