#include "audio/WaveOut.h"

#include "tests/audio/AudioTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <thread>
#include <vector>

// These tests read back what the device played through SDL's disk driver: every byte handed to
// SDL lands in a file, with silence wherever the queue was paused or empty. The written data
// never contains a silence byte, so removing the silence must leave exactly the written bytes.

namespace rw {
namespace {

using namespace std::chrono_literals;
using test::DiskAudio;
using test::Pattern;
using test::WaitFor;
using test::WithoutSilence;

void Append(std::vector<std::uint8_t>& to, const std::vector<std::uint8_t>& bytes, std::size_t count) {
  to.insert(to.end(), bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(count));
}

TEST(WaveOutDiskTest, PlaybackFeedReachesTheDeviceByteExact) {
  DiskAudio disk;
  std::vector<std::uint8_t> written;
  std::size_t buffers = 0;
  {
    WaveOut out(44100, 2, 16);
    out.SetAutoClose(false);
    // As the preview does: pause, queue 60 frames of sound, restart, keep 30 busy.
    out.Pause();
    int n = 0;
    auto writeFrame = [&] {
      const int frames = 1470 + (n % 3) - 1; // 1469..1471: recycling must respect sizes
      const auto data = Pattern(static_cast<std::size_t>(frames) * 4, static_cast<std::uint32_t>(n));
      ASSERT_TRUE(out.Write(data.data(), frames));
      Append(written, data, data.size());
      ++n;
    };
    for (int i = 0; i < 60; ++i)
      writeFrame();
    out.Restart();
    bool paused = false;
    while (n < 300) {
      while (out.BusyCount() < 30 && n < 300)
        writeFrame();
      if (n >= 150 && !paused) {
        paused = true;
        out.Pause();
        const auto held = out.ConsumedBytes();
        std::this_thread::sleep_for(20ms);
        EXPECT_EQ(out.ConsumedBytes(), held);
        out.Restart();
        writeFrame();
      }
      std::this_thread::sleep_for(1ms);
    }
    EXPECT_TRUE(out.Drain());
    EXPECT_EQ(out.ConsumedBytes(), written.size());
    buffers = out.BufferCount();
    out.Close();
  }
  EXPECT_LE(buffers, 62u);
  const auto played = disk.Bytes();
  const auto data = WithoutSilence(played, 0x00);
  EXPECT_GT(played.size(), data.size()); // the pause and the gaps played silence
  ASSERT_EQ(data.size(), written.size());
  EXPECT_TRUE(data == written);
}

TEST(WaveOutDiskTest, OddSizedEightBitBlocksAcrossPausesStayInOrder) {
  DiskAudio disk;
  std::vector<std::uint8_t> written;
  std::mt19937 rng(7);
  {
    WaveOut out(22050, 1, 8);
    out.SetAutoClose(false);
    for (int i = 0; i < 200; ++i) {
      const int frames = std::uniform_int_distribution<int>(1, 3000)(rng);
      const auto data = Pattern(static_cast<std::size_t>(frames), static_cast<std::uint32_t>(1000 + i));
      ASSERT_TRUE(out.Write(data.data(), frames));
      Append(written, data, data.size());
      if (i % 17 == 5)
        out.Pause();
      if (i % 17 == 9)
        out.Restart();
      if (i % 5 == 0)
        std::this_thread::sleep_for(1ms);
    }
    out.Restart();
    EXPECT_TRUE(out.Drain());
    out.Close();
  }
  const auto data = WithoutSilence(disk.Bytes(), 0x80);
  ASSERT_EQ(data.size(), written.size());
  EXPECT_TRUE(data == written);
}

TEST(WaveOutDiskTest, ResetDropsTheUnplayedRestAndStartsClean) {
  DiskAudio disk;
  std::vector<std::uint8_t> expected;
  std::size_t held = 0;
  {
    WaveOut out(44100, 2, 16);
    out.SetAutoClose(false);
    const auto a = Pattern(705600, 1); // four seconds: still playing when paused below
    const auto b = Pattern(8000, 2);
    const auto c = Pattern(12000, 3);
    ASSERT_TRUE(out.Write(a.data(), 176400));
    ASSERT_TRUE(WaitFor([&] { return out.ConsumedBytes() > 0; }));
    out.Pause();
    held = out.ConsumedBytes();
    ASSERT_TRUE(out.Write(b.data(), 2000));
    out.Reset();
    EXPECT_EQ(out.BusyCount(), 0);
    out.Restart();
    ASSERT_TRUE(out.Write(c.data(), 3000));
    EXPECT_TRUE(out.Drain());
    out.Close();
    Append(expected, a, held);
    Append(expected, c, c.size());
    EXPECT_LT(held, a.size());
    EXPECT_EQ(held % 4, 0u);
  }
  const auto data = WithoutSilence(disk.Bytes(), 0x00);
  ASSERT_EQ(data.size(), expected.size());
  EXPECT_TRUE(data == expected);
}

TEST(WaveOutDiskTest, NewFormatReopensTheDeviceInThatFormat) {
  DiskAudio disk;
  const auto b = Pattern(5000, 21);
  {
    WaveOut out(44100, 2, 16);
    out.SetAutoClose(false);
    const auto a = Pattern(5880, 20);
    ASSERT_TRUE(out.Write(a.data(), 1470));
    EXPECT_TRUE(out.Drain());
    out = WaveOut(11025, 1, 8);
    out.SetAutoClose(false);
    ASSERT_TRUE(out.Write(b.data(), 5000));
    EXPECT_TRUE(out.Drain());
    out.Close();
  }
  // The file was started afresh by the second device, in 8-bit: its silence is 0x80, never 0.
  const auto played = disk.Bytes();
  EXPECT_EQ(std::count(played.begin(), played.end(), std::uint8_t{0}), 0);
  EXPECT_TRUE(WithoutSilence(played, 0x80) == b);
}

TEST(WaveOutDiskTest, AutoCloseReopensAndKeepsPlayingFromAnEmptyQueue) {
  DiskAudio disk;
  const auto a = Pattern(4000, 30);
  const auto b = Pattern(4000, 31);
  WaveOut out(44100, 2, 16);
  ASSERT_TRUE(out.Write(a.data(), 1000));
  ASSERT_TRUE(WaitFor([&] { return !out.IsOpen(); }));
  // The device reopened for the next write truncates the file: only b is in it.
  ASSERT_TRUE(out.Write(b.data(), 1000));
  ASSERT_EQ(out.BufferCount(), 1u);
  EXPECT_TRUE(out.Drain());
  EXPECT_FALSE(out.IsOpen());
  EXPECT_TRUE(WithoutSilence(disk.Bytes(), 0x00) == b);
}

} // namespace
} // namespace rw
