#include "base/ScaleDiv.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>

namespace rw {
namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();

std::int32_t Reference(std::int32_t a, std::int32_t b, std::int32_t c) {
  return static_cast<std::int32_t>(std::int64_t{a} * b / c);
}

TEST(ScaleDivTest, FrameAndSampleConversions) {
  EXPECT_EQ(ScaleDiv(30, 44100, 30), 44100);
  EXPECT_EQ(ScaleDiv(1, 44100, 30), 1470);
  EXPECT_EQ(ScaleDiv(1, 11025, 30), 367); // 367.5 truncated
  EXPECT_EQ(ScaleDiv(44099, 30, 44100), 29);
  EXPECT_EQ(ScaleDiv(0, 48000, 30), 0);
  // Two hours of frames at 48 kHz: the product a * b is far beyond 32 bits.
  EXPECT_EQ(ScaleDiv(216000, 48000, 30), 345600000);
  // Sample-rate conversions with rates above 46340, where the remainders' product passes 32 bits.
  EXPECT_EQ(ScaleDiv(95999, 44100, 96000), Reference(95999, 44100, 96000));
  EXPECT_EQ(ScaleDiv(191999, 96000, 192000), Reference(191999, 96000, 192000));
}

// Random non-negative a, b, c whose exact quotient fits 32 bits, with c spread over every
// magnitude so that the product a * b often overflows 32 bits.
TEST(ScaleDivTest, MatchesThe64BitQuotientOverRandomValues) {
  std::mt19937_64 rng(2006);
  auto magnitude = [&](std::int64_t hi) {
    const int bits = static_cast<int>(rng() % 32);
    return static_cast<std::int64_t>(rng() %
                                     static_cast<std::uint64_t>(std::min(hi, (std::int64_t{1} << bits)) + 1));
  };
  int overflowing = 0;
  for (int i = 0; i < 200000; ++i) {
    const std::int64_t c = std::max<std::int64_t>(1, magnitude(kMax));
    const std::int64_t b = magnitude(kMax);
    const std::int64_t aLimit = b == 0 ? kMax : std::min(kMax, kMax * c / b);
    const std::int64_t a = static_cast<std::int64_t>(rng() % static_cast<std::uint64_t>(aLimit + 1));
    if (a * b > kMax)
      ++overflowing;
    const auto ai = static_cast<std::int32_t>(a);
    const auto bi = static_cast<std::int32_t>(b);
    const auto ci = static_cast<std::int32_t>(c);
    ASSERT_EQ(ScaleDiv(ai, bi, ci), Reference(ai, bi, ci)) << a << " * " << b << " / " << c;
  }
  EXPECT_GT(overflowing, 10000);
}

} // namespace
} // namespace rw
