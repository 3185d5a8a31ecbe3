#include "audio/WaveOut.h"

#include "tests/audio/AudioTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <random>
#include <set>
#include <vector>

// Meant for ThreadSanitizer as much as for the plain build: the main thread hammers one WaveOut
// with writes, pauses, restarts, resets and drains while SDL's audio thread consumes its buffers
// every millisecond. Every block carries its number and its frame indices, so the bytes that
// reached the device show whether a block was lost, cut short without a reset, or played twice.

namespace rw {
namespace {

using namespace std::chrono_literals;

constexpr int kOps = 10000;

// A 16-bit stereo frame: three base-255 digits of the block number and the frame index, each
// stored plus one so that no byte is 0 (the silence of 16-bit sound).
std::vector<std::uint8_t> Block(std::uint32_t id, int frames) {
  std::vector<std::uint8_t> out(static_cast<std::size_t>(frames) * 4);
  for (int f = 0; f < frames; ++f) {
    auto* p = &out[static_cast<std::size_t>(f) * 4];
    p[0] = static_cast<std::uint8_t>(1 + id % 255);
    p[1] = static_cast<std::uint8_t>(1 + id / 255 % 255);
    p[2] = static_cast<std::uint8_t>(1 + id / 65025 % 255);
    p[3] = static_cast<std::uint8_t>(1 + f % 255);
  }
  return out;
}

TEST(WaveOutStressTest, ManyOperationsWhileTheCallbackRunsLoseAndRepeatNothing) {
  test::DiskAudio disk(1);
  std::vector<int> frames;          // frames written, by block number
  std::set<std::uint32_t> maybeCut; // blocks a reset may have cut short or dropped
  std::vector<std::uint32_t> outstanding;
  std::uint64_t consumed = 0;
  {
    WaveOut out(48000, 2, 16);
    out.SetAutoClose(false);
    out.SetDrainPolicy(1ms, 3);
    std::mt19937 rng(12345);
    for (int op = 0; op < kOps; ++op) {
      const unsigned r = rng() % 100;
      if (r < 70) {
        const auto id = static_cast<std::uint32_t>(frames.size());
        const int n = 1 + static_cast<int>(rng() % 600);
        const auto data = Block(id, n);
        ASSERT_TRUE(out.Write(data.data(), n));
        frames.push_back(n);
        outstanding.push_back(id);
      } else if (r < 80) {
        out.Pause();
      } else if (r < 90) {
        out.Restart();
      } else if (r < 94) {
        out.Reset();
        ASSERT_EQ(out.BusyCount(), 0);
        maybeCut.insert(outstanding.begin(), outstanding.end());
        outstanding.clear();
      } else if (r < 97) {
        if (out.Drain())
          outstanding.clear();
      } else {
        ASSERT_LE(static_cast<std::size_t>(out.BusyCount()), out.BufferCount());
      }
      if (out.BusyCount() > 80) {
        out.Restart();
        std::this_thread::sleep_for(1ms);
      }
    }
    out.Restart();
    out.SetDrainPolicy(1ms, 20000);
    ASSERT_TRUE(out.Drain());
    EXPECT_EQ(out.BusyCount(), 0);
    EXPECT_EQ(out.PendingBytes(), 0u);
    // Buffers are recycled: the queue holds about as many as were ever busy at once.
    EXPECT_LT(out.BufferCount(), frames.size() / 10);
    consumed = out.ConsumedBytes();
    out.Close();
  }

  const auto data = test::WithoutSilence(disk.Bytes(), 0x00);
  ASSERT_EQ(data.size(), consumed);
  ASSERT_EQ(data.size() % 4, 0u);
  std::vector<int> played(frames.size(), 0);
  long last = -1;
  for (std::size_t i = 0; i < data.size(); i += 4) {
    const std::uint32_t id = (data[i] - 1u) + (data[i + 1] - 1u) * 255u + (data[i + 2] - 1u) * 65025u;
    const int index = data[i + 3] - 1;
    ASSERT_LT(id, frames.size());
    ASSERT_GE(static_cast<long>(id), last) << "block " << id << " played after block " << last;
    if (static_cast<long>(id) != last) {
      ASSERT_EQ(played[id], 0) << "block " << id << " played twice";
    }
    ASSERT_EQ(index, played[id] % 255) << "block " << id << " skipped or repeated frames";
    ++played[id];
    last = id;
  }
  for (std::size_t id = 0; id < frames.size(); ++id) {
    ASSERT_LE(played[id], frames[id]) << "block " << id;
    if (!maybeCut.count(static_cast<std::uint32_t>(id))) {
      ASSERT_EQ(played[id], frames[id]) << "block " << id << " lost";
    }
  }
}

} // namespace
} // namespace rw
