#include "audio/WaveOut.h"

#include "tests/audio/AudioTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>
#include <vector>

namespace rw {
namespace {

using namespace std::chrono_literals;
using test::Pattern;
using test::WaitFor;

class WaveOutTest : public ::testing::Test {
protected:
  void SetUp() override { test::UseDummyAudio(); }
};

TEST_F(WaveOutTest, FormatFromRateChannelsBits) {
  WaveOut stereo16(44100, 2, 16);
  EXPECT_EQ(stereo16.Format().formatTag, 1);
  EXPECT_EQ(stereo16.Format().blockAlign, 4);
  EXPECT_EQ(stereo16.Format().avgBytesPerSec, 176400u);
  WaveOut mono8(11025, 1, 8);
  EXPECT_EQ(mono8.Format().blockAlign, 1);
  EXPECT_EQ(mono8.Format().avgBytesPerSec, 11025u);
  // Odd bit counts round up to whole bytes per sample.
  EXPECT_EQ(WaveFormat::Pcm(8000, 2, 12).blockAlign, 4);
  // Impossible values become zero fields, never wrapped ones.
  const WaveFormat bad = WaveFormat::Pcm(-44100, 70000, -16);
  EXPECT_EQ(bad.samplesPerSec, 0u);
  EXPECT_EQ(bad.channels, 0);
  EXPECT_EQ(bad.blockAlign, 0);
  EXPECT_TRUE(WaveOut().AutoClose());
}

TEST_F(WaveOutTest, ZeroOrNegativeFramesDoNothing) {
  WaveOut out(44100, 2, 16);
  const auto data = Pattern(64, 1);
  EXPECT_TRUE(out.Write(data.data(), 0));
  EXPECT_TRUE(out.Write(data.data(), -5));
  EXPECT_EQ(out.BufferCount(), 0u);
  EXPECT_FALSE(out.IsOpen());
}

TEST_F(WaveOutTest, UnplayableFormatsTakeBuffersThatStayBusy) {
  std::vector<std::unique_ptr<WaveOut>> outs;
  outs.push_back(std::make_unique<WaveOut>());
  outs.push_back(std::make_unique<WaveOut>(44100, 2, 24));
  outs.push_back(std::make_unique<WaveOut>(44100, 6, 16));
  outs.push_back(std::make_unique<WaveOut>(0, 2, 16));
  for (const auto& out : outs) {
    EXPECT_FALSE(out->Open());
    EXPECT_FALSE(out->LastError().empty());
    const auto data = Pattern(400, 2);
    EXPECT_TRUE(out->Write(data.data(), 10));
    EXPECT_TRUE(out->Write(data.data(), 10));
    EXPECT_FALSE(out->IsOpen());
    EXPECT_EQ(out->BusyCount(), 2);
    // Drain only waits for an open device.
    EXPECT_FALSE(out->Drain());
    // A bad format is the caller's mistake, not missing sound.
    EXPECT_FALSE(out->TakeUnavailableNotice().has_value());
  }
}

TEST_F(WaveOutTest, MissingSoundIsReportedOnceAndBuffersStayBusy) {
  test::UseMissingAudio();
  WaveOut out(44100, 2, 16);
  out.SetAutoClose(false);
  out.Pause();
  EXPECT_FALSE(out.IsOpen());
  const auto notice = out.TakeUnavailableNotice();
  ASSERT_TRUE(notice);
  EXPECT_FALSE(notice->empty());
  const auto data = Pattern(5880, 3);
  for (int i = 0; i < 60; ++i)
    EXPECT_TRUE(out.Write(data.data(), 1470));
  out.Restart();
  EXPECT_EQ(out.BusyCount(), 60);
  EXPECT_EQ(out.BufferCount(), 60u);
  EXPECT_FALSE(out.TakeUnavailableNotice().has_value());
  // A new format retries the device (still missing) without a second notice, and the stale
  // buffers are gone rather than kept busy forever.
  out = WaveOut(22050, 1, 8);
  EXPECT_EQ(out.BufferCount(), 0u);
  EXPECT_TRUE(out.Write(data.data(), 100));
  EXPECT_FALSE(out.IsOpen());
  EXPECT_FALSE(out.TakeUnavailableNotice().has_value());
  // Once sound is back, the next assignment opens it.
  test::UseDummyAudio();
  out = WaveOut(22050, 1, 8);
  EXPECT_TRUE(out.Write(data.data(), 100));
  EXPECT_TRUE(out.IsOpen());
}

TEST_F(WaveOutTest, BuffersAreRecycledFirstFreeLargeEnoughNeverShrunk) {
  WaveOut out(44100, 2, 16);
  out.SetAutoClose(false);
  const auto data = Pattern(40000, 4);
  ASSERT_TRUE(out.Write(data.data(), 1470));
  ASSERT_EQ(out.BufferCount(), 1u);
  EXPECT_EQ(out.Buffer(0).Length(), 5880u);
  EXPECT_EQ(out.Buffer(0).Capacity(), 5944u);
  ASSERT_TRUE(WaitFor([&] { return out.BusyCount() == 0; }));
  // 5900 bytes fit the 5944-byte block once it is done.
  ASSERT_TRUE(out.Write(data.data(), 1475));
  ASSERT_EQ(out.BufferCount(), 1u);
  EXPECT_EQ(out.Buffer(0).Length(), 5900u);
  EXPECT_EQ(out.Buffer(0).Capacity(), 5944u);
  ASSERT_TRUE(WaitFor([&] { return out.BusyCount() == 0; }));

  // While the first buffer is busy a second one is made; the queue keeps creation order.
  out.Pause();
  ASSERT_TRUE(out.Write(data.data(), 100));  // buffer 0 (5944)
  ASSERT_TRUE(out.Write(data.data(), 2000)); // buffer 1: 8000 + 64
  ASSERT_EQ(out.BufferCount(), 2u);
  EXPECT_EQ(out.Buffer(1).Capacity(), 8064u);
  EXPECT_EQ(out.BusyCount(), 2);
  out.Restart();
  ASSERT_TRUE(WaitFor([&] { return out.BusyCount() == 0; }));
  // 1500 frames skip the free but small buffer 0 and take buffer 1; a small block takes buffer 0.
  ASSERT_TRUE(out.Write(data.data(), 1500));
  EXPECT_EQ(out.Buffer(1).Length(), 6000u);
  EXPECT_EQ(out.Buffer(0).Capacity(), 5944u);
  ASSERT_TRUE(out.Write(data.data(), 10));
  EXPECT_EQ(out.Buffer(0).Length(), 40u);
  EXPECT_EQ(out.Buffer(0).Capacity(), 5944u);
  EXPECT_EQ(out.BufferCount(), 2u);
  ASSERT_TRUE(WaitFor([&] { return out.BusyCount() == 0; }));
  // A block larger than every buffer gets a new one; free small buffers are not grown.
  ASSERT_TRUE(out.Write(data.data(), 9000));
  EXPECT_EQ(out.BufferCount(), 3u);
  EXPECT_EQ(out.Buffer(2).Capacity(), 36064u);
  EXPECT_EQ(out.Buffer(0).Capacity(), 5944u);
  EXPECT_EQ(out.Buffer(1).Capacity(), 8064u);
}

TEST_F(WaveOutTest, NullDataPlaysSilenceNotStaleBytes) {
  WaveOut out(22050, 1, 8);
  out.SetAutoClose(false);
  out.Pause();
  const auto data = Pattern(100, 5);
  ASSERT_TRUE(out.Write(data.data(), 100));
  out.Reset();
  ASSERT_TRUE(out.Write(nullptr, 50));
  ASSERT_EQ(out.BufferCount(), 1u);
  for (std::size_t i = 0; i < 50; ++i)
    ASSERT_EQ(out.Buffer(0).Data()[i], 0x80);
}

TEST_F(WaveOutTest, PauseStopsConsumptionAndRestartResumes) {
  WaveOut out(44100, 2, 16);
  out.SetAutoClose(false);
  const auto data = Pattern(44100 * 4, 6);
  ASSERT_TRUE(out.Write(data.data(), 44100)); // one second
  ASSERT_TRUE(WaitFor([&] { return out.ConsumedBytes() > 0; }));
  out.Pause(); // waits for a callback in progress, so nothing is consumed after it
  const auto held = out.ConsumedBytes();
  EXPECT_GT(held, 0u);
  EXPECT_LT(held, data.size());
  std::this_thread::sleep_for(60ms);
  EXPECT_EQ(out.ConsumedBytes(), held);
  EXPECT_EQ(out.PendingBytes(), data.size() - held);
  EXPECT_EQ(out.BusyCount(), 1);
  out.Restart();
  ASSERT_TRUE(WaitFor([&] { return out.ConsumedBytes() > held; }));
}

TEST_F(WaveOutTest, ResetReturnsEveryBufferAtOnce) {
  WaveOut out(48000, 2, 16);
  out.SetAutoClose(false);
  out.Pause();
  const auto data = Pattern(6400, 7);
  for (int i = 0; i < 10; ++i)
    ASSERT_TRUE(out.Write(data.data(), 1600));
  EXPECT_EQ(out.BusyCount(), 10);
  out.Reset();
  EXPECT_EQ(out.BusyCount(), 0);
  EXPECT_EQ(out.PendingBytes(), 0u);
  EXPECT_TRUE(out.IsOpen());
  // Still paused after a reset; the recycled buffers serve the next writes.
  ASSERT_TRUE(out.Write(data.data(), 1600));
  EXPECT_EQ(out.BufferCount(), 10u);
  EXPECT_EQ(out.ConsumedBytes(), 0u);

  // In auto-close mode the returned buffers close the device.
  out.SetAutoClose(true);
  out.Reset();
  EXPECT_FALSE(out.IsOpen());
  EXPECT_EQ(out.BufferCount(), 0u);
  EXPECT_EQ(out.AbandonedCount(), 0u);
}

TEST_F(WaveOutTest, AutoCloseClosesWhenQueueRunsEmptyAndReopens) {
  WaveOut out(44100, 2, 16);
  ASSERT_TRUE(out.AutoClose());
  // Opening by a pause does not close: no buffer has completed yet.
  out.Pause();
  EXPECT_TRUE(out.IsOpen());
  out.Restart();
  const auto data = Pattern(5880, 8);
  ASSERT_TRUE(out.Write(data.data(), 1470));
  ASSERT_TRUE(out.Write(data.data(), 1470));
  ASSERT_TRUE(WaitFor([&] { return !out.IsOpen(); }));
  EXPECT_EQ(out.BufferCount(), 0u);
  EXPECT_EQ(out.AbandonedCount(), 0u);
  // The next write opens again with a fresh queue.
  ASSERT_TRUE(out.Write(data.data(), 100));
  EXPECT_TRUE(out.IsOpen());
  EXPECT_EQ(out.BufferCount(), 1u);
  EXPECT_EQ(out.Buffer(0).Capacity(), 464u);
  ASSERT_TRUE(WaitFor([&] { return !out.IsOpen(); }));

  // Without auto-close the device stays open over an empty queue.
  out.SetAutoClose(false);
  ASSERT_TRUE(out.Write(data.data(), 100));
  ASSERT_TRUE(WaitFor([&] { return out.BusyCount() == 0; }));
  std::this_thread::sleep_for(20ms);
  EXPECT_TRUE(out.IsOpen());
}

TEST_F(WaveOutTest, DrainWaitsForTheQueueThenCloses) {
  WaveOut out(22050, 2, 16);
  const auto data = Pattern(4 * 735, 9);
  for (int i = 0; i < 5; ++i)
    ASSERT_TRUE(out.Write(data.data(), 735));
  EXPECT_TRUE(out.Drain());
  EXPECT_FALSE(out.IsOpen());
  EXPECT_EQ(out.ConsumedBytes(), 0u);

  out.SetAutoClose(false);
  ASSERT_TRUE(out.Write(data.data(), 735));
  EXPECT_TRUE(out.Drain());
  EXPECT_TRUE(out.IsOpen());
  EXPECT_EQ(out.ConsumedBytes(), data.size());
}

TEST_F(WaveOutTest, DrainGivesUpAfterItsBoundAndAbandonsUnfinishedBuffers) {
  WaveOut out(44100, 2, 16);
  out.SetDrainPolicy(5ms, 8);
  out.Pause(); // the device never finishes while paused
  const auto data = Pattern(5880, 10);
  ASSERT_TRUE(out.Write(data.data(), 1470));
  ASSERT_TRUE(out.Write(data.data(), 1470));
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(out.Drain());
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_GE(took, 40ms);
  EXPECT_LT(took, 2s);
  // Auto-close closed it anyway; the two unfinished buffers are dropped, not reused.
  EXPECT_FALSE(out.IsOpen());
  EXPECT_EQ(out.BufferCount(), 0u);
  EXPECT_EQ(out.AbandonedCount(), 2u);
  ASSERT_TRUE(out.Write(data.data(), 1470));
  EXPECT_EQ(out.BufferCount(), 1u);
  EXPECT_TRUE(out.Buffer(0).Busy());
}

TEST_F(WaveOutTest, AssigningAFormatClosesTheOpenDeviceAndDropsItsBuffers) {
  WaveOut out(44100, 2, 16);
  out.SetAutoClose(false);
  out.Pause();
  const auto data = Pattern(5880, 11);
  for (int i = 0; i < 4; ++i)
    ASSERT_TRUE(out.Write(data.data(), 1470));
  ASSERT_TRUE(out.IsOpen());
  out = WaveOut(22050, 1, 8);
  EXPECT_FALSE(out.IsOpen());
  EXPECT_EQ(out.BufferCount(), 0u);
  EXPECT_EQ(out.AbandonedCount(), 0u); // the reset returned them before the close
  EXPECT_TRUE(out.AutoClose());        // copied from the source
  EXPECT_EQ(out.Format(), WaveFormat::Pcm(22050, 1, 8));
  out.SetAutoClose(false);
  ASSERT_TRUE(out.Write(data.data(), 735));
  ASSERT_TRUE(out.DeviceFormat());
  EXPECT_EQ(*out.DeviceFormat(), WaveFormat::Pcm(22050, 1, 8));
  EXPECT_EQ(out.Buffer(0).Length(), 735u);

  // Assigning a source with auto-close off copies that too; self-assignment keeps everything.
  WaveOut manual(32000, 2, 8);
  manual.SetAutoClose(false);
  out = manual;
  EXPECT_FALSE(out.AutoClose());
  EXPECT_EQ(out.Format().blockAlign, 2);
  ASSERT_TRUE(out.Write(data.data(), 10));
  WaveOut& same = out;
  out = same;
  EXPECT_TRUE(out.IsOpen());
  EXPECT_EQ(out.BufferCount(), 1u);
}

TEST_F(WaveOutTest, DestroyingWhilePlayingOrPausedIsSafe) {
  const auto data = Pattern(44100 * 4, 12);
  {
    WaveOut out(44100, 2, 16);
    ASSERT_TRUE(out.Write(data.data(), 44100));
    ASSERT_TRUE(WaitFor([&] { return out.ConsumedBytes() > 0; }));
  }
  {
    WaveOut out(44100, 2, 16);
    out.SetAutoClose(false);
    out.Pause();
    ASSERT_TRUE(out.Write(data.data(), 44100));
  }
}

TEST_F(WaveOutTest, OversizedBlocksAreRefused) {
  WaveOut out(48000, 2, 16);
  // 2^31 - 1 frames of 4 bytes do not fit a 32-bit buffer size.
  EXPECT_FALSE(out.Write(nullptr, 0x7FFFFFFF));
  EXPECT_FALSE(out.LastError().empty());
  EXPECT_EQ(out.BufferCount(), 0u);
}

} // namespace
} // namespace rw
