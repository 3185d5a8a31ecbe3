// The playback feeder: what it sends to its sink, in which order, and how it paces its loop.

#include "project/PlaybackFeeder.h"
#include "base/MessageText.h"
#include "cli/CliProject.h"
#include "project/PlaybackSink.h"
#include "tests/cli/PlayTestProject.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace rw::test {
namespace {

using namespace std::chrono_literals;

// A device that keeps every block and counts a block busy until the test consumes it.
class RecordingSink final : public PlaybackSink {
public:
  void Pause() override { log += 'P'; }
  void Restart() override { log += 'S'; }
  void Reset() override {
    log += 'R';
    busy = 0;
  }
  bool Write(const void* data, int frames) override {
    if (refuseAt == static_cast<int>(blocks.size()))
      return false;
    log += 'W';
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    blocks.emplace_back(bytes, bytes + static_cast<std::ptrdiff_t>(frames) * blockAlign);
    frameCounts.push_back(frames);
    ++busy;
    return true;
  }
  int BusyCount() override { return busy; }

  void Consume(int n) { busy -= n; }
  std::vector<std::uint8_t> AllBytes() const {
    std::vector<std::uint8_t> out;
    for (const auto& b : blocks)
      out.insert(out.end(), b.begin(), b.end());
    return out;
  }

  int blockAlign = 4;
  int refuseAt = -1;
  int busy = 0;
  std::string log;
  std::vector<std::vector<std::uint8_t>> blocks;
  std::vector<int> frameCounts;
};

class PlaybackFeederTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(cli.Open(WritePlayProject(dir.Path(), 44100, 2, 16))) << cli.Messages().Get();
  }

  const pVideoClipList& List() { return cli.Project().List(); }
  std::vector<std::uint8_t> Mix(std::int32_t a, std::int32_t b) {
    std::vector<std::uint8_t> out;
    EXPECT_TRUE(TimelineRenderer().RenderAudio(List(), out, a, b));
    return out;
  }

  TempDir dir;
  cli::CliProject cli;
  RecordingSink sink;
  MessageText messages;
  PlaybackFeeder feeder{sink, messages};
};

TEST_F(PlaybackFeederTest, StartQueuesSixtyFramesWhilePausedOneFramePerBlock) {
  ASSERT_EQ(List().TotalFrames(), 85);
  ASSERT_TRUE(feeder.Start(List(), 10, 85));
  EXPECT_EQ(sink.log, "RP" + std::string(60, 'W') + "S");
  EXPECT_EQ(feeder.Position(), 70);
  EXPECT_FALSE(feeder.Finished());
  for (std::size_t i = 0; i < sink.frameCounts.size(); ++i)
    ASSERT_EQ(sink.frameCounts[i], TimelineRenderer::SampleCount(List().Output(), 10 + std::int64_t(i), 1))
        << i;
  // 44100 / 30 is 1470 sample frames for every frame.
  EXPECT_EQ(sink.blocks[0].size(), 5880u);
  EXPECT_TRUE(messages.Empty());
}

TEST_F(PlaybackFeederTest, TopUpKeepsThirtyBusyAndNeverPassesTheEnd) {
  ASSERT_TRUE(feeder.Start(List(), 0, 85));
  ASSERT_TRUE(feeder.TopUp(List()));
  EXPECT_EQ(sink.blocks.size(), 60u); // 60 busy: nothing to add
  sink.Consume(45);
  EXPECT_EQ(feeder.PlayingFrame(), 45);
  ASSERT_TRUE(feeder.TopUp(List()));
  EXPECT_EQ(sink.busy, 30);
  EXPECT_EQ(feeder.Position(), 75);
  sink.Consume(30);
  ASSERT_TRUE(feeder.TopUp(List()));
  EXPECT_EQ(feeder.Position(), 85); // only ten frames were left
  EXPECT_TRUE(feeder.Finished());
  EXPECT_EQ(sink.busy, 10);
  sink.Consume(10);
  ASSERT_TRUE(feeder.TopUp(List()));
  EXPECT_EQ(sink.blocks.size(), 85u);
  EXPECT_EQ(feeder.PlayingFrame(), 85);
  // Block after block, the sound is the mix of the whole stretch: no frame lost or repeated.
  EXPECT_TRUE(sink.AllBytes() == Mix(0, 85));
}

TEST_F(PlaybackFeederTest, ShortAndEmptyStretches) {
  ASSERT_TRUE(feeder.Start(List(), 80, 85));
  EXPECT_EQ(sink.log, "RPWWWWWS");
  EXPECT_TRUE(feeder.Finished());
  EXPECT_TRUE(sink.AllBytes() == Mix(80, 5));

  sink.log.clear();
  ASSERT_TRUE(feeder.Start(List(), 85, 85));
  EXPECT_EQ(sink.log, "RPS");
  EXPECT_TRUE(feeder.Finished());
  EXPECT_EQ(feeder.PlayingFrame(), 85);
}

TEST_F(PlaybackFeederTest, StartingAgainDropsTheQueueAndFeedsFromTheNewFrame) {
  ASSERT_TRUE(feeder.Start(List(), 0, 85));
  sink.Consume(20);
  sink.blocks.clear();
  sink.log.clear();
  ASSERT_TRUE(feeder.Start(List(), 40, 85));
  EXPECT_EQ(sink.log, "RP" + std::string(45, 'W') + "S");
  EXPECT_EQ(sink.busy, 45);
  EXPECT_EQ(feeder.PlayingFrame(), 40);
  EXPECT_TRUE(sink.AllBytes() == Mix(40, 45));
}

TEST_F(PlaybackFeederTest, RefusalsAndImpossibleStretchesFailWithAMessage) {
  EXPECT_FALSE(feeder.Start(List(), -1, 10));
  EXPECT_EQ(sink.log, "RP");
  EXPECT_FALSE(messages.Empty());
  EXPECT_TRUE(feeder.Finished()); // a later TopUp queues nothing
  EXPECT_TRUE(feeder.TopUp(List()));

  messages.Clear();
  EXPECT_FALSE(feeder.Start(List(), 10, 9));
  EXPECT_FALSE(messages.Empty());
  EXPECT_TRUE(sink.blocks.empty());

  messages.Clear();
  sink.log.clear();
  sink.refuseAt = 4;
  EXPECT_FALSE(feeder.Start(List(), 10, 85));
  EXPECT_EQ(sink.log, "RPWWWW"); // left paused
  EXPECT_NE(messages.Get().find("frame 14"), std::string::npos) << messages.Get();

  messages.Clear();
  sink.refuseAt = 70;
  sink.blocks.clear();
  ASSERT_TRUE(feeder.Start(List(), 0, 85));
  sink.Consume(45);
  EXPECT_FALSE(feeder.TopUp(List()));
  EXPECT_NE(messages.Get().find("frame 70"), std::string::npos) << messages.Get();
}

TEST_F(PlaybackFeederTest, EightBitMonoBlocksHoldOneByteASample) {
  TempDir other;
  cli::CliProject mono;
  ASSERT_TRUE(mono.Open(WritePlayProject(other.Path(), 22050, 1, 8)));
  sink.blockAlign = 1;
  ASSERT_TRUE(feeder.Start(mono.Project().List(), 0, 85));
  EXPECT_EQ(sink.frameCounts[0], 735);
  sink.Consume(60);
  ASSERT_TRUE(feeder.TopUp(mono.Project().List()));
  sink.Consume(25);
  std::vector<std::uint8_t> whole;
  ASSERT_TRUE(TimelineRenderer().RenderAudio(mono.Project().List(), whole, 0, 85));
  EXPECT_TRUE(sink.AllBytes() == whole);
}

TEST(PlaybackFeederPacingTest, SleepsUntilFiveMillisecondsBeforeTheNextFrame) {
  const auto t = PlaybackFeeder::Clock::time_point{} + 10s;
  // 1000 / 30 = 33 ms per frame.
  EXPECT_EQ(PlaybackFeeder::SleepBefore(t, t, 30), 28ms);
  EXPECT_EQ(PlaybackFeeder::SleepBefore(t, t + 20ms, 30), 8ms);
  EXPECT_EQ(PlaybackFeeder::SleepBefore(t, t + 27ms, 30), 1ms);
  EXPECT_EQ(PlaybackFeeder::SleepBefore(t, t + 28ms, 30), 0ms);  // 5 ms left: no sleep
  EXPECT_EQ(PlaybackFeeder::SleepBefore(t, t + 500ms, 30), 0ms); // late: at once
  EXPECT_EQ(PlaybackFeeder::SleepBefore(t, t, 10), 95ms);
  EXPECT_EQ(PlaybackFeeder::SleepBefore(t, t, 0), 995ms); // no division by zero
}

} // namespace
} // namespace rw::test
