// A held step button against a clock the tests move by hand.

#include "view/StepRepeat.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

namespace rw::view {
namespace {

using Ms = StepRepeat::Ms;
using Steps = std::vector<std::pair<Ms, std::int32_t>>; // when, and the frame reached

// Holds the button from time 0 until `release`, firing every repeat when it is due, each step
// moving the current time; the cut target before each repeat comes from `target`.
Steps Hold(StepRepeat& repeat, std::int32_t start, std::int32_t total, Ms release,
           const std::function<std::int32_t(std::int32_t)>& target) {
  Steps steps;
  std::int32_t current = start;
  if (const auto f = repeat.Press(0, current, total)) {
    current = *f;
    steps.emplace_back(0, current);
  }
  while (repeat.Due() < release) {
    const Ms now = repeat.Due();
    if (const auto f = repeat.Repeat(now, current, total, target(current))) {
      current = *f;
      steps.emplace_back(now, current);
    }
  }
  repeat.Release();
  return steps;
}

// The next cut target of a timeline whose cuts end at frames 4 and 11 (targets 5 and 12, then
// wrapping to 0 past the last).
std::int32_t NextTarget(std::int32_t current) {
  for (std::int32_t t : {5, 12})
    if (current < t)
      return t;
  return 0;
}

TEST(StepRepeatTest, HeldForwardStepsAtOnceThenAfter400ThenEvery50AndPausesAtCutTargets) {
  StepRepeat next(1);
  const Steps steps = Hold(next, 0, 100, 1100, NextTarget);
  const Steps expected = {{0, 1},     {400, 2},  {450, 3}, {500, 4}, {550, 5}, // arrives at 5
                          {750, 6},   {800, 7},  {850, 8}, {900, 9}, {950, 10},
                          {1000, 11}, {1050, 12}}; // arrives at 12: the next would be at 1250
  EXPECT_EQ(steps, expected);
}

TEST(StepRepeatTest, HeldBackStopsAtFrameZeroButKeepsItsPace) {
  StepRepeat prev(-1);
  // Targets behind: the previous cut starts at frame 2.
  const auto target = [](std::int32_t current) { return current > 2 ? 2 : 0; };
  const Steps steps = Hold(prev, 4, 50, 1000, target);
  // Frame 0 is a target too (the first cut's start): arriving there pauses once more.
  const Steps expected = {{0, 3}, {400, 2}, {600, 1}, {650, 0}};
  EXPECT_EQ(steps, expected);
  // At 0 the repeats go on every 50 ms without moving.
  EXPECT_EQ(prev.Due(), 1000);
  EXPECT_EQ(prev.Interval(), StepRepeat::kInterval);
}

TEST(StepRepeatTest, StepsStayWithinTheTimelineAndTheEndPosition) {
  const StepRepeat back(-1);
  const StepRepeat forward(1);
  EXPECT_EQ(back.Step(5, 10), 4);
  EXPECT_EQ(back.Step(0, 10), std::nullopt);
  EXPECT_EQ(forward.Step(9, 10), 10); // the end position
  EXPECT_EQ(forward.Step(10, 10), std::nullopt);
  EXPECT_EQ(forward.Step(0, 0), std::nullopt); // no frames
  EXPECT_EQ(back.Step(0, 0), std::nullopt);
  EXPECT_EQ(StepRepeat(0).Direction(), 1);
}

TEST(StepRepeatTest, ReleasedButtonRepeatsNoMoreAndAPressStartsAfresh) {
  StepRepeat next(1);
  EXPECT_FALSE(next.Held());
  EXPECT_EQ(next.Press(1000, 3, 20), 4);
  EXPECT_TRUE(next.Held());
  EXPECT_EQ(next.Due(), 1400);
  EXPECT_EQ(next.Repeat(1400, 4, 20, 12), 5);
  EXPECT_EQ(next.Due(), 1450);
  next.Release();
  EXPECT_EQ(next.Repeat(1450, 5, 20, 12), std::nullopt);
  // After a pause at a target, a new press waits the first 400 ms again.
  EXPECT_EQ(next.Press(2000, 11, 20), 12);
  EXPECT_EQ(next.Repeat(2400, 12, 20, 13), 13);
  EXPECT_EQ(next.Interval(), StepRepeat::kAtCutTarget);
  EXPECT_EQ(next.Press(3000, 13, 20), 14);
  EXPECT_EQ(next.Interval(), StepRepeat::kFirstDelay);
}

} // namespace
} // namespace rw::view
