// WAV files whose header claims the most channels a format field can hold: read correctly, a
// bounded piece at a time, across the pieces' borders.
#include "base/MessageText.h"
#include "media/WavStream.h"
#include "tests/support/TempDir.h"
#include "tests/support/WavTestFiles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace rw {
namespace {

TEST(WavChannelCountTest, ManyWideChannelsAreReadInPiecesAcrossTheirBorders) {
  // 65535 channels of 32 bits: one sample frame takes 262140 bytes, four of them fill a piece.
  constexpr int kChannels = 65535;
  constexpr int kFrames = 9;
  std::vector<std::uint8_t> data(static_cast<std::size_t>(kFrames) * kChannels * 4, 0);
  for (int f = 0; f < kFrames; ++f)
    for (int c = 0; c < 2; ++c) {
      const std::uint32_t v = static_cast<std::uint32_t>(f * 4 + c + 1) << 16;
      std::memcpy(&data[(static_cast<std::size_t>(f) * kChannels + c) * 4], &v, 4);
    }
  test::TempDir dir;
  const auto file = dir / "wide.wav";
  test::WavBuilder().Fmt(1, kChannels, 8000, 32).Data(data).Write(file);

  MessageText messages;
  pWavStream stream;
  ASSERT_TRUE(stream.Open(file, messages)) << messages.Get();
  EXPECT_EQ(stream.SampleFrames(), kFrames);
  ASSERT_EQ(stream.BlockSize(), 4);
  for (const int first : {0, 1, 3}) {
    const int count = kFrames - first;
    std::vector<std::int16_t> out(static_cast<std::size_t>(count) * 2, -1);
    ASSERT_TRUE(stream.Read(out.data(), first, count));
    for (int i = 0; i < count; ++i) {
      EXPECT_EQ(out[2 * i], (first + i) * 4 + 1) << "frame " << first + i;
      EXPECT_EQ(out[2 * i + 1], (first + i) * 4 + 2) << "frame " << first + i;
    }
  }
}

} // namespace
} // namespace rw
