// The play modes and their pacing against a clock the tests move by hand.

#include "view/PlayClock.h"

#include "tests/view/DisplayTestProject.h"

#include <gtest/gtest.h>

#include <vector>

namespace rw::view {
namespace {

using Mode = PlayClock::Mode;
using Action = PlayClock::Tick::Action;
using Ms = PlayClock::Ms;

// A timeline driven the way the window drives it: every tick at the time the pacing asks for,
// each shown frame becoming the current time, `drawMs` spent drawing each shown frame.
class PlayLoop {
public:
  explicit PlayLoop(std::int32_t total, std::int32_t current = 0) {
    timeline.total = total;
    timeline.current = current;
  }

  PlayClock::Started Start(Mode mode) {
    const PlayClock::Started s = clock.Start(mode, timeline, 30, now);
    timeline.current = s.from;
    return s;
  }

  // One pass of the loop: wait as the pacing says, then tick.
  PlayClock::Tick Step() {
    now += clock.SleepBefore(now);
    const PlayClock::Tick tick = clock.Advance(timeline, now);
    if (tick.action == Action::Show) {
      timeline.current = tick.frame;
      shown.push_back(tick.frame);
      if (tick.resync) {
        resyncs.push_back(tick.frame);
        clock.Restarted(now);
      }
      now += drawMs;
    } else if (tick.action == Action::Finish) {
      timeline.current = tick.frame;
      finish = tick;
      clock.Stop();
    }
    return tick;
  }

  // Runs until play stops (or `limit` passes).
  void Run(int limit = 100000) {
    for (int i = 0; i < limit && clock.Playing(); ++i)
      Step();
  }

  PlayTimeline timeline;
  PlayClock clock;
  Ms now = 1'000'000;
  Ms drawMs = 0;
  std::vector<std::int32_t> shown;
  std::vector<std::int32_t> resyncs;
  PlayClock::Tick finish;
};

std::vector<std::int32_t> Range(std::int32_t from, std::int32_t to, std::int32_t by = 1) {
  std::vector<std::int32_t> out;
  for (std::int32_t f = from; by > 0 ? f <= to : f >= to; f += by)
    out.push_back(f);
  return out;
}

TEST(PlayClockTest, PacingWakesFiveMillisecondsBeforeTheFrameIsDue) {
  PlayClock clock;
  PlayTimeline t;
  t.total = 100;
  clock.Start(Mode::Play, t, 30, 1000);
  EXPECT_EQ(clock.SleepBefore(1000), 28); // 1000 / 30 = 33 ms, less 5
  EXPECT_EQ(clock.SleepBefore(1020), 8);
  EXPECT_EQ(clock.SleepBefore(1028), 0); // wait 5 ms: not above 5, no sleep
  EXPECT_EQ(clock.SleepBefore(1027), 1);
  EXPECT_EQ(clock.SleepBefore(1100), 0);
  // A rate below 1 counts as 30 frames a second.
  PlayClock zero;
  zero.Start(Mode::Play, t, 0, 0);
  EXPECT_EQ(zero.Fps(), 30);
  EXPECT_EQ(PlayClock::FrameRate(-5), 30);
  EXPECT_EQ(PlayClock::FrameRate(25), 25);
}

TEST(PlayClockTest, AStepNeedsMoreThanAThousandInTheAccumulator) {
  PlayTimeline t;
  t.total = 100;
  t.current = 10;
  PlayClock clock;
  clock.Start(Mode::Play, t, 25, 0);
  // 40 ms at 25 frames a second is exactly 1000: not yet a step.
  PlayClock::Tick tick = clock.Advance(t, 40);
  EXPECT_EQ(tick.action, Action::None);
  EXPECT_EQ(clock.Accumulator(), 1000);
  tick = clock.Advance(t, 41);
  ASSERT_EQ(tick.action, Action::Show);
  EXPECT_EQ(tick.frame, 11);
  EXPECT_EQ(clock.Accumulator(), 25);
  // A late tick takes several steps at once; only the last frame is shown.
  t.current = 11;
  tick = clock.Advance(t, 41 + 130);
  ASSERT_EQ(tick.action, Action::Show);
  EXPECT_EQ(tick.frame, 14);
  EXPECT_EQ(clock.Accumulator(), 25 + 3250 - 3000);
}

TEST(PlayClockTest, PlayShowsEveryFrameInTimeAndReportsNoneDropped) {
  PlayLoop loop(90, 5);
  const PlayClock::Started s = loop.Start(Mode::Play);
  EXPECT_FALSE(s.moved);
  EXPECT_FALSE(s.switched);
  const Ms started = loop.now;
  loop.Run();
  EXPECT_EQ(loop.shown, Range(6, 89));
  EXPECT_EQ(loop.finish.action, Action::Finish);
  EXPECT_EQ(loop.finish.frame, 90);
  EXPECT_TRUE(loop.finish.endLine);
  // 85 frames at 30 a second, within a frame.
  EXPECT_NEAR(static_cast<double>(loop.now - started), 85 * 1000.0 / 30, 34);
  // The start frame counts as shown: frames 0 to 4 were never played.
  EXPECT_EQ(loop.clock.ShownCount(), 85);
  EXPECT_EQ(PlayClock::EndLine(90, loop.clock.ShownCount(), loop.clock.AdjustCount()),
            "Total = 90, DropFrame = 5, AdjustFrame = 0");
  EXPECT_TRUE(loop.resyncs.empty());
}

TEST(PlayClockTest, SlowDrawingDropsWholeFramesAndKeepsTime) {
  PlayLoop loop(300, 100);
  loop.drawMs = 50; // one and a half frames
  loop.Start(Mode::Play);
  const Ms started = loop.now;
  loop.Run();
  // Time is kept: the end comes after 200 frames' time, give or take a tick.
  EXPECT_NEAR(static_cast<double>(loop.now - started), 200 * 1000.0 / 30, 60);
  // Fewer frames shown, every one later than the one before, gaps of one or two frames.
  ASSERT_GT(loop.shown.size(), 100u);
  EXPECT_LT(loop.shown.size(), 150u);
  for (std::size_t i = 1; i < loop.shown.size(); ++i) {
    EXPECT_GT(loop.shown[i], loop.shown[i - 1]);
    EXPECT_LE(loop.shown[i] - loop.shown[i - 1], 3);
  }
  const std::int32_t dropped = 300 - loop.clock.ShownCount();
  EXPECT_EQ(dropped, 100 + 199 - static_cast<std::int32_t>(loop.shown.size()));
  EXPECT_TRUE(loop.resyncs.empty());
}

TEST(PlayClockTest, AStallOverASecondCountsAsOneAndRestartsTheSound) {
  PlayLoop loop(1000, 100);
  loop.Start(Mode::Play);
  for (int i = 0; i < 10; ++i)
    loop.Step();
  const std::int32_t before = loop.timeline.current;
  loop.now += 5000; // the program was blocked
  const PlayClock::Tick tick = loop.Step();
  ASSERT_EQ(tick.action, Action::Show);
  // One second at most: 30 frames on (29 when the accumulator had less than a step left).
  EXPECT_GE(tick.frame - before, 29);
  EXPECT_LE(tick.frame - before, 30);
  EXPECT_TRUE(tick.resync);
  EXPECT_EQ(loop.resyncs, std::vector<std::int32_t>{tick.frame});
  EXPECT_EQ(loop.clock.Accumulator(), 0); // counted afresh from the restart
  // Then play goes on frame by frame.
  const PlayClock::Tick next = [&] {
    PlayClock::Tick t;
    do
      t = loop.Step();
    while (t.action == Action::None);
    return t;
  }();
  EXPECT_EQ(next.frame, tick.frame + 1);
  EXPECT_FALSE(next.resync);
}

TEST(PlayClockTest, FrameZeroAsksForTheSoundToStartAgainAtTheNextFrameShown) {
  PlayLoop loop(50, 0);
  loop.timeline.hasSound = true;
  const PlayClock::Started s = loop.Start(Mode::Play);
  EXPECT_TRUE(s.sound);
  loop.Run();
  ASSERT_FALSE(loop.shown.empty());
  EXPECT_EQ(loop.shown.front(), 1);
  EXPECT_EQ(loop.resyncs, std::vector<std::int32_t>{1});
  EXPECT_EQ(loop.clock.ShownCount(), 50);
  // A run from frame 0 to the end without a skip reports nothing dropped.
  EXPECT_EQ(PlayClock::EndLine(50, loop.clock.ShownCount(), 0), "Total = 50, DropFrame = 0, AdjustFrame = 0");

  // Without sound the clock is set back all the same, but nothing asks for sound.
  PlayLoop silent(50, 0);
  EXPECT_FALSE(silent.Start(Mode::Play).sound);
  bool sound = false;
  while (silent.clock.Playing())
    sound = silent.Step().sound || sound;
  EXPECT_FALSE(sound);
  EXPECT_EQ(silent.resyncs, std::vector<std::int32_t>{1});
}

TEST(PlayClockTest, PlayAtTheEndStartsAgainFromFrameZeroAndDrawsIt) {
  PlayLoop loop(40, 40);
  const PlayClock::Started s = loop.Start(Mode::Play);
  EXPECT_TRUE(s.moved);
  EXPECT_EQ(s.from, 0);
  // The preview still shows the end position: the first tick draws frame 0.
  const PlayClock::Tick first = loop.Step();
  ASSERT_EQ(first.action, Action::Show);
  EXPECT_EQ(first.frame, 0);
  loop.Run();
  EXPECT_EQ(loop.shown, Range(0, 39));
  EXPECT_EQ(loop.clock.ShownCount(), 40);
}

TEST(PlayClockTest, RewindAtFrameZeroStartsFromTheLastFrameAndStopsAtZero) {
  PlayLoop loop(31, 0);
  const PlayClock::Started s = loop.Start(Mode::Rewind);
  EXPECT_EQ(s.from, 30);
  EXPECT_FALSE(s.sound);
  loop.timeline.hasSound = true;
  loop.Run();
  EXPECT_EQ(loop.shown, Range(30, 0, -3));
  EXPECT_EQ(loop.finish.frame, 0);
  EXPECT_FALSE(loop.finish.endLine);
  // Rewind and fast forward never touch the sound.
  EXPECT_TRUE(loop.resyncs.empty());
}

TEST(PlayClockTest, FastForwardStepsThreeFramesAndStopsAtTheEnd) {
  PlayLoop loop(20, 20);
  const PlayClock::Started s = loop.Start(Mode::FastForward);
  EXPECT_EQ(s.from, 0);
  loop.Run();
  EXPECT_EQ(loop.shown, Range(0, 18, 3));
  EXPECT_EQ(loop.finish.frame, 20);
  EXPECT_FALSE(loop.finish.endLine);
  // Past the middle: not moved, so nothing to draw before the first step.
  PlayLoop mid(100, 50);
  EXPECT_FALSE(mid.Start(Mode::FastForward).moved);
  mid.Run();
  EXPECT_EQ(mid.shown.front(), 53);
}

TEST(PlayClockTest, PlaybackOfASelectionPlaysItAndReturnsToWhereItStarted) {
  PlayLoop loop(300, 20);
  loop.timeline.selectionFirst = 100;
  loop.timeline.selectionLast = 150;
  loop.timeline.hasSound = true;
  const PlayClock::Started s = loop.Start(Mode::Playback);
  EXPECT_EQ(s.from, 100);
  EXPECT_TRUE(s.moved);
  EXPECT_TRUE(s.sound);
  EXPECT_EQ(loop.clock.ReturnFrame(), 20);
  loop.Run();
  EXPECT_EQ(loop.shown, Range(100, 150));
  EXPECT_EQ(loop.finish.frame, 20);
  EXPECT_FALSE(loop.finish.endLine);
}

TEST(PlayClockTest, PlaybackKeepsTheRangeItStartedWithWhenTheSelectionFollowsTheTime) {
  // The selection's end follows the current time: the range is taken before play moves it.
  PlayLoop loop(300, 60);
  loop.timeline.selectionFirst = 40;
  loop.timeline.selectionLast = 60;
  loop.Start(Mode::Playback);
  loop.timeline.selectionLast = loop.timeline.current; // what the project now answers
  for (int i = 0; i < 100000 && loop.clock.Playing(); ++i) {
    loop.Step();
    loop.timeline.selectionLast = loop.timeline.current;
  }
  EXPECT_EQ(loop.shown, Range(40, 60));
  EXPECT_EQ(loop.finish.frame, 60);
}

TEST(PlayClockTest, PlaybackWithoutSelectionPlaysEverythingAndReturns) {
  PlayLoop loop(45, 30);
  EXPECT_TRUE(loop.Start(Mode::Playback).moved);
  loop.Run();
  EXPECT_EQ(loop.shown, Range(0, 44));
  EXPECT_EQ(loop.finish.frame, 30);
  // A timeline shortened meanwhile ends the range early and returns within it.
  PlayLoop cut(45, 40);
  cut.Start(Mode::Playback);
  for (int i = 0; i < 5; ++i)
    cut.Step();
  cut.timeline.total = 10;
  cut.Run();
  EXPECT_EQ(cut.finish.frame, 10);
}

TEST(PlayClockTest, StartingTheRunningModeDoesNothingAndAnotherSwitchesWithoutRestarting) {
  PlayLoop loop(300, 10);
  loop.timeline.hasSound = true;
  loop.Start(Mode::Play);
  for (int i = 0; i < 20; ++i)
    loop.Step();
  const std::int32_t shown = loop.clock.ShownCount();
  const std::int32_t at = loop.timeline.current;
  const std::int64_t accumulator = loop.clock.Accumulator();

  const PlayClock::Started again = loop.clock.Start(Mode::Play, loop.timeline, 30, loop.now);
  EXPECT_TRUE(again.ignored);
  EXPECT_EQ(loop.clock.CurrentMode(), Mode::Play);

  const PlayClock::Started ff = loop.clock.Start(Mode::FastForward, loop.timeline, 30, loop.now + 500);
  EXPECT_FALSE(ff.ignored);
  EXPECT_TRUE(ff.switched);
  EXPECT_FALSE(ff.moved);
  EXPECT_FALSE(ff.sound);
  EXPECT_EQ(ff.from, at);
  // Nothing started afresh: the counts and the accumulator go on.
  EXPECT_EQ(loop.clock.ShownCount(), shown);
  EXPECT_EQ(loop.clock.Accumulator(), accumulator);
  PlayClock::Tick tick;
  do
    tick = loop.Step();
  while (tick.action == Action::None);
  ASSERT_EQ(tick.action, Action::Show);
  EXPECT_GT(tick.frame, at);
  EXPECT_EQ((tick.frame - at) % 3, 0);
  EXPECT_FALSE(tick.sound);

  // Back to play: the sound starts again at the current time.
  const PlayClock::Started play = loop.clock.Start(Mode::Play, loop.timeline, 30, loop.now);
  EXPECT_TRUE(play.switched);
  EXPECT_TRUE(play.sound);
  EXPECT_EQ(play.from, loop.timeline.current);
}

TEST(PlayClockTest, ASwitchThatMovesTheTimeDrawsTheFrameItMovedTo) {
  // Play chosen at the end position during fast forward.
  PlayLoop ff(100, 98);
  ff.Start(Mode::FastForward);
  ff.timeline.current = 100;
  const PlayClock::Started s = ff.clock.Start(Mode::Play, ff.timeline, 30, ff.now);
  EXPECT_TRUE(s.switched);
  EXPECT_TRUE(s.moved);
  EXPECT_EQ(s.from, 0);
  ff.timeline.current = 0;
  const PlayClock::Tick tick = ff.Step();
  ASSERT_EQ(tick.action, Action::Show);
  EXPECT_EQ(tick.frame, 0);
}

TEST(PlayClockTest, WithoutFramesTicksDoNothingButKeepThePace) {
  PlayLoop loop(0, 0);
  loop.Start(Mode::Play);
  for (int i = 0; i < 50; ++i)
    EXPECT_EQ(loop.Step().action, Action::None);
  EXPECT_TRUE(loop.clock.Playing());
  EXPECT_EQ(loop.clock.SleepBefore(loop.now), 28);
  // Rewind of an empty timeline stays at 0.
  PlayLoop rew(0, 0);
  EXPECT_EQ(rew.Start(Mode::Rewind).from, 0);
}

TEST(PlayClockTest, TimelineOfAProjectTakesTheSelectionAndTheSound) {
  test::DisplayTestProject p;
  p.Cut(1, 50);
  p.Cut(2, 40);
  ASSERT_TRUE(p.project.SetCurrentFrame(70));
  PlayTimeline t = PlayTimeline::Of(p.project);
  EXPECT_EQ(t.total, 90);
  EXPECT_EQ(t.current, 70);
  EXPECT_FALSE(t.selectionFirst);
  EXPECT_FALSE(t.hasSound);
  // A frame selection from 80 back to the current time; then one in whole cuts.
  ASSERT_TRUE(p.project.StartSelection(SelMode::Frames, 80));
  t = PlayTimeline::Of(p.project);
  ASSERT_TRUE(t.selectionFirst);
  EXPECT_EQ(*t.selectionFirst, 70);
  EXPECT_EQ(t.selectionLast, 80);
  ASSERT_TRUE(p.project.StartSelection(SelMode::Cuts, 10));
  t = PlayTimeline::Of(p.project);
  ASSERT_TRUE(t.selectionFirst);
  EXPECT_EQ(*t.selectionFirst, 0);
  EXPECT_EQ(t.selectionLast, 89);
}

TEST(PlayClockTest, NextFrameIsOneStepOfTheModeWithinWherePlayGoes) {
  PlayLoop loop(100, 10);
  EXPECT_EQ(loop.clock.NextFrame(loop.timeline, 10), std::nullopt); // stopped
  loop.Start(Mode::Play);
  EXPECT_EQ(loop.clock.NextFrame(loop.timeline, 10), 11);
  EXPECT_EQ(loop.clock.NextFrame(loop.timeline, 99), std::nullopt); // play ends there
  loop.clock.Start(Mode::FastForward, loop.timeline, 30, loop.now);
  EXPECT_EQ(loop.clock.NextFrame(loop.timeline, 10), 13);
  EXPECT_EQ(loop.clock.NextFrame(loop.timeline, 97), std::nullopt);
  loop.clock.Start(Mode::Rewind, loop.timeline, 30, loop.now);
  EXPECT_EQ(loop.clock.NextFrame(loop.timeline, 3), 0);
  EXPECT_EQ(loop.clock.NextFrame(loop.timeline, 2), std::nullopt);
  loop.timeline.selectionFirst = 40;
  loop.timeline.selectionLast = 50;
  loop.clock.Start(Mode::Playback, loop.timeline, 30, loop.now);
  EXPECT_EQ(loop.clock.NextFrame(loop.timeline, 40), 41);
  EXPECT_EQ(loop.clock.NextFrame(loop.timeline, 50), std::nullopt); // the range ends there
  loop.timeline.total = 45;
  EXPECT_EQ(loop.clock.NextFrame(loop.timeline, 44), std::nullopt);
}

} // namespace
} // namespace rw::view
