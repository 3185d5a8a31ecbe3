#include "view/ProgressRun.h"

#include <gtest/gtest.h>

namespace rw::view {
namespace {

// Runs one showing: the work answers `succeeded`; `stopAt` 0 asks to stop before the start, 1
// while the work runs, -1 never.
ProgressRun::Outcome RunOnce(ProgressRun& run, bool succeeded, int stopAt) {
  run.Reset();
  if (stopAt == 0) {
    run.RequestStop();
  }
  if (!run.Begin()) {
    return run.Result();
  }
  EXPECT_TRUE(run.Running());
  if (stopAt == 1) {
    run.RequestStop();
  }
  return run.Finish(succeeded);
}

TEST(ProgressRunOutcome, FollowsTheWorkAndTheStopRequest) {
  ProgressRun run;
  EXPECT_EQ(RunOnce(run, true, -1), 1);
  EXPECT_FALSE(run.Running());
  // Stopped while running: the work answers true (it stopped cleanly) and the outcome says so.
  EXPECT_EQ(RunOnce(run, true, 1), 3);
  // A failure stays a failure, stop request or not.
  EXPECT_EQ(RunOnce(run, false, 1), 0);
  EXPECT_EQ(RunOnce(run, false, -1), 0);
  // A stop before the start keeps the work from running at all.
  EXPECT_EQ(RunOnce(run, true, 0), 3);
  EXPECT_FALSE(run.Running());
}

TEST(ProgressRunStart, RunsOncePerShowing) {
  ProgressRun run;
  run.Reset();
  ASSERT_TRUE(run.Begin());
  // A second start from inside the work's own event processing.
  EXPECT_FALSE(run.Begin());
  EXPECT_TRUE(run.Running());
  run.Finish(true);
  EXPECT_FALSE(run.Begin());
  EXPECT_EQ(run.Result(), ProgressRun::kFinished);

  // The next showing starts afresh: the earlier stop request and outcome are gone.
  run.RequestStop();
  run.Reset();
  EXPECT_FALSE(run.StopRequested());
  EXPECT_EQ(run.Result(), ProgressRun::kFailed);
  EXPECT_TRUE(run.Begin());
}

TEST(ProgressRunBar, KeepsReportedPercentagesInRange) {
  EXPECT_EQ(ProgressRun::BarPosition(-5), 0);
  EXPECT_EQ(ProgressRun::BarPosition(40), 40);
  EXPECT_EQ(ProgressRun::BarPosition(250), 100);
}

} // namespace
} // namespace rw::view
