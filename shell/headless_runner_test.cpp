#include "shell/headless_runner.h"

#include <gtest/gtest.h>

#include <sstream>

#include "core/testing/tick_test_doubles.h"
#include "settings/headless_controls.h"
#include "settings/testing/memory_hive.h"

namespace plovex {
namespace {

using namespace std::chrono_literals;
using TimePoint = std::chrono::steady_clock::time_point;

std::optional<HeadlessArgs> Parse(std::vector<std::string> args, std::string* error = nullptr) {
  std::string e;
  auto parsed = ParseHeadlessArgs(args, e);
  if (error) *error = e;
  return parsed;
}

TEST(HeadlessArgs, TicksIsOptionalAndMustBePositive) {
  ASSERT_TRUE(Parse({}));
  EXPECT_FALSE(Parse({})->ticks);
  EXPECT_EQ(Parse({"--ticks", "3"})->ticks, 3);
  EXPECT_EQ(Parse({"--ticks=12"})->ticks, 12);
  std::string error;
  for (const auto& bad : std::vector<std::vector<std::string>>{{"--ticks"},
                                                               {"--ticks", "0"},
                                                               {"--ticks", "-1"},
                                                               {"--ticks", "3x"},
                                                               {"--ticks", ""},
                                                               {"--ticks="},
                                                               {"--ticks", "99999999999999999999"},
                                                               {"--tick", "3"},
                                                               {"--ticks", "2", "--ticks", "3"},
                                                               {"3"}}) {
    EXPECT_FALSE(Parse(bad, &error)) << bad[0];
    EXPECT_FALSE(error.empty());
  }
}

TEST(HeadlessArgs, BadArgumentsExitWithUsage) {
  std::ostringstream out, err;
  const std::vector<std::string> args{"--bogus"};
  EXPECT_EQ(RunHeadlessProgram(args, "never-read.reg", out, err), 2);
  EXPECT_NE(err.str().find("unknown argument '--bogus'"), std::string::npos);
  EXPECT_NE(err.str().find("usage: plovex"), std::string::npos);
  EXPECT_EQ(out.str(), "");
}

// A poll that takes time on the manual clock, as a real exchange does.
class SlowPoll : public PollSource {
 public:
  SlowPoll(ScriptedPoll& inner, ManualClock& clock) : inner_(inner), clock_(clock) {}
  std::chrono::steady_clock::duration takes = 300ms;
  PollTexts Poll(TPlovexSettings& s) override {
    clock_.Advance(takes);
    return inner_.Poll(s);
  }

 private:
  ScriptedPoll& inner_;
  ManualClock& clock_;
};

// Reaches each deadline by advancing the clock; reports a stop on wait
// number `stop_at` (1-based), if set.
class ManualWaiter : public TickWaiter {
 public:
  explicit ManualWaiter(ManualClock& clock) : clock_(clock) {}
  std::vector<std::optional<TimePoint>> waits;
  std::optional<int> stop_at;
  bool WaitUntil(std::optional<TimePoint> deadline) override {
    waits.push_back(deadline);
    if (stop_at && static_cast<int>(waits.size()) == *stop_at) return false;
    if (deadline && *deadline > clock_.Steady()) clock_.Advance(*deadline - clock_.Steady());
    return true;
  }

 private:
  ManualClock& clock_;
};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Without a store (with_store false) the record is used as the test sets it.
struct RunnerRig {
  explicit RunnerRig(bool with_store = true) : with_store(with_store) {
    ApplyDefaultSettings(s);
    clock.Advance(1000s);
    poll.script = {{0, 0}, {64000, 1536}, {128000, 3072}, {192000, 4608}};
  }
  bool with_store;
  TPlovexSettings s;
  HeadlessControls controls{s};
  MemoryHive hive;
  SettingsStore store{hive, s, controls};
  Surface picture{kPictureWidth, kPictureHeight};
  ManualClock clock;
  ScriptedPoll poll;
  SlowPoll slow{poll, clock};
  RecordingPictureWriter writer;
  ManualWaiter waiter{clock};
  std::ostringstream out, err;
  HeadlessRunner runner{s,
                        with_store ? &store : nullptr,
                        picture,
                        clock,
                        slow,
                        writer,
                        TickRig::Arial(),
                        waiter,
                        out,
                        err};
};

TEST(HeadlessRun, TicksOnASteadyScheduleAndPrintsOneHintPerTick) {
  RunnerRig rig;
  const TimePoint start = rig.clock.Steady();
  EXPECT_EQ(rig.runner.Run(HeadlessArgs{4}), 0);
  EXPECT_EQ(rig.poll.polls, 4);  // the Start tick counts
  // Deadlines on the whole seconds from the start, however long each poll took.
  ASSERT_EQ(rig.waiter.waits.size(), 3u);
  EXPECT_EQ(rig.waiter.waits[0], start + 1s);
  EXPECT_EQ(rig.waiter.waits[1], start + 2s);
  EXPECT_EQ(rig.waiter.waits[2], start + 3s);
  EXPECT_EQ(Lines(rig.out.str()),
            (std::vector<std::string>{"0 kB/s / 0 kB/s", "62.5 kB/s / 1.5 kB/s",
                                      "62.5 kB/s / 1.5 kB/s", "62.5 kB/s / 1.5 kB/s"}));
  EXPECT_EQ(rig.err.str(), "");
  // Loaded from an empty hive (the defaults), saved at the end like a close.
  EXPECT_EQ(rig.s.Refresh, 1);
  EXPECT_TRUE(rig.hive.KeyExists("\\Software\\Kestrune\\Plovex_1"));
  ASSERT_EQ(rig.writer.calls.size(), 4u);
  EXPECT_EQ(rig.writer.calls[0].names, std::vector<std::string>{"Plovex.gif"});
}

TEST(HeadlessRun, AnOverrunTicksAtOnceAndCountsOnFromThere) {
  RunnerRig rig;
  rig.slow.takes = 2500ms;
  const TimePoint start = rig.clock.Steady();
  rig.runner.Run(HeadlessArgs{3});
  ASSERT_EQ(rig.waiter.waits.size(), 2u);
  EXPECT_EQ(rig.waiter.waits[0], start + 2500ms);  // due at +1 s, the Start tick ended at +2.5 s
  EXPECT_EQ(rig.waiter.waits[1], start + 5000ms);
}

TEST(HeadlessRun, AStopEndsTheRunAndSavesTheSettings) {
  RunnerRig rig;
  rig.waiter.stop_at = 3;
  EXPECT_EQ(rig.runner.Run(HeadlessArgs{}), 0);
  EXPECT_EQ(rig.poll.polls, 3);
  EXPECT_TRUE(rig.hive.KeyExists("\\Software\\Kestrune\\Plovex_1"));
}

TEST(HeadlessRun, TickErrorsArePrintedAndTheRunGoesOn) {
  RunnerRig rig(false);
  rig.s.TickFreq = 0;  // every tick fails after the scroll
  EXPECT_EQ(rig.runner.Run(HeadlessArgs{3}), 0);
  const auto errors = Lines(rig.err.str());
  ASSERT_GE(errors.size(), 3u);
  EXPECT_EQ(errors[errors.size() - 1], "Division by zero.");
  EXPECT_EQ(std::count(errors.begin(), errors.end(), "Division by zero."), 3);
  EXPECT_EQ(rig.out.str(), "");
  EXPECT_EQ(rig.poll.polls, 3);
}

TEST(HeadlessRun, ALoadFailureIsPrintedOnceAndTheRunGoesOn) {
  auto seeded = MemoryHive::FromText(
      "Windows Registry Editor Version 5.00\r\n\r\n"
      "[HKEY_CURRENT_USER\\Software\\Kestrune\\Plovex_1]\r\n\"IP\"=\"127.0.0.1\"\r\n");
  ASSERT_TRUE(seeded);
  RunnerRig rig;
  rig.hive = *seeded;
  EXPECT_EQ(rig.runner.Run(HeadlessArgs{2}), 0);
  EXPECT_EQ(Lines(rig.err.str()).size(), 1u) << rig.err.str();
  EXPECT_EQ(rig.s.Ip, "127.0.0.1");
  EXPECT_EQ(rig.s.Refresh, 1) << "the values it could not read take their defaults";
  EXPECT_EQ(Lines(rig.out.str()).size(), 2u);
  const HiveKey& key = rig.hive.document().keys().front();
  EXPECT_EQ(key.values().size(), 2u) << "the stored IP and the load's marker, nothing saved";
  EXPECT_EQ(key.Find("IP")->data, "127.0.0.1");
}

TEST(HeadlessRun, ZeroRefreshRunsOnlyTheStartTick) {
  RunnerRig rig(false);
  rig.s.Refresh = 0;
  rig.poll.script = {{std::nullopt, std::nullopt}};
  EXPECT_EQ(rig.runner.Run(HeadlessArgs{5}), 0);
  EXPECT_EQ(rig.poll.polls, 1);
  EXPECT_TRUE(rig.waiter.waits.empty());
  EXPECT_NE(rig.err.str().find("Refresh is 0 seconds: the timer does not run"), std::string::npos);
  // Without a tick count it waits for the stop alone.
  RunnerRig forever(false);
  forever.s.Refresh = -5;
  forever.poll.script = {{std::nullopt, std::nullopt}};
  EXPECT_EQ(forever.runner.Run(HeadlessArgs{}), 0);
  ASSERT_EQ(forever.waiter.waits.size(), 1u);
  EXPECT_FALSE(forever.waiter.waits[0]);
}

TEST(HeadlessRun, AHostFallingSilentAndAnsweringAgainIsToldOnceEach) {
  // The host is silent on the second to fourth tick, as the poll marks it.
  struct SilentPoll : PollSource {
    ScriptedPoll inner;
    int tick = 0;
    PollTexts Poll(TPlovexSettings& s) override {
      ++tick;
      s.SnmpFailed = tick >= 2 && tick <= 4;
      return s.SnmpFailed ? PollTexts{} : inner.Poll(s);
    }
  } silent;
  RunnerRig rig(false);
  rig.s.Ip = "127.0.0.1";
  silent.inner.script = rig.poll.script;
  HeadlessRunner runner{rig.s,      nullptr, rig.picture, rig.clock, silent,
                        rig.writer, nullptr, rig.waiter,  rig.out,   rig.err};
  EXPECT_EQ(runner.Run(HeadlessArgs{6}), 0);
  EXPECT_EQ(Lines(rig.err.str()), (std::vector<std::string>{"plovex: no answer from 127.0.0.1",
                                                            "plovex: 127.0.0.1 answers again"}));
  const auto hints = Lines(rig.out.str());
  ASSERT_EQ(hints.size(), 6u);
  EXPECT_EQ(hints[2], "- kB/s / - kB/s (no answer from 127.0.0.1)");
  EXPECT_EQ(hints[5].find("no answer"), std::string::npos);
}

TEST(HeadlessRun, RateNoticesAreLinesOnStandardError) {
  RunnerRig rig(false);
  rig.s.NotifyRateAbove = 60000;
  rig.s.NotifyRateSeconds = 0;
  rig.poll.script = {{0, 0}, {64000, 1536}, {128000, 3072}, {140000, 4608}};
  EXPECT_EQ(rig.runner.Run(HeadlessArgs{4}), 0);
  EXPECT_EQ(Lines(rig.err.str()),
            (std::vector<std::string>{
                "plovex: Download above 58.6 kB/s (62.5 kB/s now, above the limit for 1 s)",
                "plovex: Download back below 52.7 kB/s (now 11.7 kB/s)"}));
}

TEST(HeadlessRun, TheReasonAVersion3AgentRefusedIsToldOnStandardError) {
  struct RefusedPoll : PollSource {
    PollTexts Poll(TPlovexSettings& s) override {
      s.SnmpFailed = true;
      s.SnmpMemory.FailureReason = "unknown user";
      return PollTexts{};
    }
  } refused;
  RunnerRig rig(false);
  rig.s.Ip = "127.0.0.1";
  HeadlessRunner runner{rig.s,      nullptr, rig.picture, rig.clock, refused,
                        rig.writer, nullptr, rig.waiter,  rig.out,   rig.err};
  // A run in which the host never answered ends with status 3.
  EXPECT_EQ(runner.Run(HeadlessArgs{2}), 3);
  EXPECT_EQ(Lines(rig.err.str()),
            (std::vector<std::string>{"plovex: no answer from 127.0.0.1: unknown user",
                                      "plovex: 127.0.0.1 never answered"}));
  EXPECT_EQ(Lines(rig.out.str()).back(),
            "- kB/s / - kB/s (no answer from 127.0.0.1: unknown user)");
}

TEST(HeadlessRun, AFailedClosingSaveIsReportedInTheExitCode) {
  RunnerRig rig;
  rig.hive.set_writable(false);
  EXPECT_EQ(rig.runner.Run(HeadlessArgs{1}), 1);
  EXPECT_NE(rig.err.str().find("Failed to set data for"), std::string::npos) << rig.err.str();
}

}  // namespace
}  // namespace plovex
