#include "core/run_control.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/testing/tick_test_doubles.h"

namespace plovex {
namespace {

using ::testing::ElementsAre;

struct RecordingRunHost : RunHost {
  void SetRunning(bool running) override { calls.push_back(running ? "running" : "stopped"); }
  void PicturesCleared() override { calls.push_back("cleared"); }
  std::vector<std::string> calls;
};

struct RunRig : TickRig {
  RunRig() { run.SetTick(&cycle); }
  RecordingRunHost run_host;
  RunControl run{s, picture, run_host};
};

TEST(RunControl, StartSwitchesOnThenTicksAFreshBaseline) {
  RunRig rig;
  rig.s.SnmpFailed = true;
  rig.s.Restart = false;
  rig.poll.script = {{1000, 2000}};
  rig.run.Start();
  EXPECT_THAT(rig.run_host.calls, ElementsAre("running"));
  EXPECT_EQ(rig.poll.polls, 1) << "one tick at once";
  EXPECT_FALSE(rig.s.SnmpFailed);
  EXPECT_FALSE(rig.s.Restart) << "the restart tick has run";
  EXPECT_EQ(rig.s.Oid1.PrevValue, 1000) << "a new baseline, no rate";
  rig.run.Stop();
  EXPECT_THAT(rig.run_host.calls, ElementsAre("running", "stopped"));
  EXPECT_EQ(rig.poll.polls, 1);
}

TEST(RunControl, ClearWhitensAllButColumnAndRowZeroAndRestarts) {
  RunRig rig;
  rig.picture.FillRect(0, 0, kPictureWidth, kPictureHeight, 0x123456);
  rig.run.SetTick(nullptr);  // the steps alone
  rig.run.Clear();
  EXPECT_THAT(rig.run_host.calls, ElementsAre("stopped", "cleared", "running"));
  EXPECT_EQ(rig.picture.Pixel(0, 100), 0x123456u);
  EXPECT_EQ(rig.picture.Pixel(200, 0), 0x123456u);
  EXPECT_EQ(rig.picture.Pixel(1, 1), kWhite);
  EXPECT_EQ(rig.picture.Pixel(399, 159), kWhite);
  for (int x = 0; x < kTrayBitmapSize; ++x) EXPECT_EQ(rig.s.TrayBitmap.Pixel(x, 0), kWhite);
  EXPECT_TRUE(rig.s.Restart) << "no tick ran to clear it";
}

TEST(RunControl, RestartAppliesBeforeStartAndAFailedApplyLeavesItStopped) {
  RunRig rig;
  bool restart_when_applied = false;
  rig.run.Restart([&] {
    restart_when_applied = rig.s.Restart;
    rig.run_host.calls.push_back("apply");
  });
  EXPECT_TRUE(restart_when_applied);
  EXPECT_THAT(rig.run_host.calls, ElementsAre("stopped", "cleared", "apply", "running"));
  EXPECT_EQ(rig.poll.polls, 1);

  rig.run_host.calls.clear();
  EXPECT_THROW(rig.run.Restart([] { throw PlovexError("'x' is not a valid integer value"); }),
               PlovexError);
  EXPECT_THAT(rig.run_host.calls, ElementsAre("stopped", "cleared"));
  EXPECT_EQ(rig.poll.polls, 1) << "no tick";
}

TEST(RunControl, AFailingTickLeavesMonitoringSwitchedOn) {
  RunRig rig;
  rig.poll.fail_with = "Division by zero";
  EXPECT_THROW(rig.run.Start(), PlovexError);
  EXPECT_THAT(rig.run_host.calls, ElementsAre("running"));
  EXPECT_TRUE(rig.s.Restart);
}

}  // namespace
}  // namespace plovex
