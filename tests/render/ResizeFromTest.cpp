#include "render/DIB.h"
#include "render/ResizeWork.h"

#include "tests/render/ResizeReference.h"

#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

namespace rw {
namespace {

using test::Bgr;
using test::PixelAt;
using test::SetPixel;

DIB Sized(std::int32_t w, std::int32_t h) {
  DIB dib;
  EXPECT_TRUE(dib.Create(w, h));
  return dib;
}

TEST(ResizeFactors, FollowTheGreatestCommonDivisor) {
  EXPECT_EQ(ResizeWork::Gcd(720, 640), 80);
  EXPECT_EQ(ResizeWork::Gcd(640, 720), 80);
  EXPECT_EQ(ResizeWork::Gcd(7, 1), 1);
  EXPECT_EQ(ResizeWork::Gcd(13, 13), 13);

  EXPECT_EQ(ResizeWork::HorizontalFactor(720, 640), 8);  // 640 / 80
  EXPECT_EQ(ResizeWork::HorizontalFactor(640, 320), 1);  // 320 / 320
  EXPECT_EQ(ResizeWork::HorizontalFactor(1920, 640), 1); // 640 / 640
  EXPECT_EQ(ResizeWork::HorizontalFactor(641, 640), 16); // 640 / 1 is too many
  EXPECT_EQ(ResizeWork::HorizontalFactor(320, 640), 1);  // growing
  EXPECT_EQ(ResizeWork::VerticalFactor(480, 240), 1);
  EXPECT_EQ(ResizeWork::VerticalFactor(480, 470), 16); // 47 sub-rows would be too many
  EXPECT_EQ(ResizeWork::VerticalFactor(300, 13), 13);  // coprime sizes
}

TEST(ResizeFromKnownValues, HalvingAveragesTwoByTwoBlocksWithRounding) {
  std::mt19937 rng(1);
  const DIB src = test::RandomPicture(640, 480, rng);
  DIB dst = Sized(320, 240);
  ASSERT_TRUE(dst.ResizeFrom(src));
  for (int y = 0; y < 240; y += 7) {
    for (int x = 0; x < 320; x += 5) {
      const Bgr a = PixelAt(src, 2 * x, 2 * y), b = PixelAt(src, 2 * x + 1, 2 * y);
      const Bgr c = PixelAt(src, 2 * x, 2 * y + 1), d = PixelAt(src, 2 * x + 1, 2 * y + 1);
      const Bgr want{static_cast<std::uint8_t>((a.blue + b.blue + c.blue + d.blue + 2) / 4),
                     static_cast<std::uint8_t>((a.green + b.green + c.green + d.green + 2) / 4),
                     static_cast<std::uint8_t>((a.red + b.red + c.red + d.red + 2) / 4)};
      ASSERT_EQ(PixelAt(dst, x, y), want) << x << "," << y;
    }
  }
}

TEST(ResizeFromKnownValues, Shrinking720To640AveragesNineSubSamples) {
  // Source pixel values 0, 9, 18, ... in blue; with 8 sub-samples per source pixel each output
  // pixel takes 9 of them: output 0 has pixel 0 eight times and pixel 1 once, output 1 has
  // pixel 1 seven times and pixel 2 twice, and so on.
  DIB src = Sized(720, 1);
  for (int x = 0; x < 720; ++x) {
    SetPixel(src, x, 0, Bgr{static_cast<std::uint8_t>((x * 9) % 256), 0, 255});
  }
  DIB dst = Sized(640, 1);
  ASSERT_TRUE(dst.ResizeFrom(src));
  for (int i = 0; i < 8; ++i) {
    const int sumOfNine = (8 - i) * (i * 9) + (i + 1) * ((i + 1) * 9);
    EXPECT_EQ(PixelAt(dst, i, 0).blue, (sumOfNine + 4) / 9) << i;
    EXPECT_EQ(PixelAt(dst, i, 0).red, 255);
  }
}

TEST(ResizeFromKnownValues, DoublingTwoByTwoInterpolatesWithClampedEdges) {
  DIB src = Sized(2, 2);
  SetPixel(src, 0, 0, Bgr{0, 10, 255});
  SetPixel(src, 1, 0, Bgr{255, 20, 0});
  SetPixel(src, 0, 1, Bgr{0, 30, 255});
  SetPixel(src, 1, 1, Bgr{255, 40, 0});
  DIB dst = Sized(4, 4);
  ASSERT_TRUE(dst.ResizeFrom(src));
  // Rising and falling ramps; the falling one rounds its negative steps toward zero.
  const std::uint8_t rising[4] = {0, 64, 191, 255};
  const std::uint8_t falling[4] = {255, 192, 65, 0};
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) {
      EXPECT_EQ(PixelAt(dst, x, y).blue, rising[x]) << x << "," << y;
      EXPECT_EQ(PixelAt(dst, x, y).red, falling[x]) << x << "," << y;
    }
  }
  EXPECT_EQ(PixelAt(dst, 0, 0).green, 10);
  EXPECT_EQ(PixelAt(dst, 3, 0).green, 20);
  EXPECT_EQ(PixelAt(dst, 0, 3).green, 30);
  EXPECT_EQ(PixelAt(dst, 3, 3).green, 40);
}

// Size pairs through every combination of the row rules and vertical passes, with factors that
// need sub-sampling, 1-pixel edges and prime sizes.
const std::vector<std::pair<int, int>> kSizePairs = {
    {1, 1},    {1, 2},    {2, 1},    {1, 7},   {7, 1},     {2, 3},     {3, 2},   {5, 4},   {4, 5},
    {16, 15},  {15, 16},  {17, 16},  {31, 17}, {720, 640}, {640, 480}, {97, 13}, {13, 97}, {100, 99},
    {99, 100}, {33, 300}, {300, 33}, {47, 46}, {641, 640}, {64, 1},    {1, 64},  {45, 3},  {3, 45}};

TEST(ResizeFromReference, MatchesThePerPixelFormulasBitForBit) {
  std::mt19937 rng(42);
  int compared = 0;
  for (auto [sw, dw] : kSizePairs) {
    for (auto [sh, dh] : kSizePairs) {
      if (sw > 200 && sh > 200) {
        continue; // keep the per-pixel reference quick
      }
      if ((sw == dw && sh == dh) || (compared++ % 3 != 0 && sw * sh > 4000)) {
        continue;
      }
      const DIB src = test::RandomPicture(sw, sh, rng);
      DIB got = Sized(dw, dh);
      DIB want = Sized(dw, dh);
      ASSERT_TRUE(got.Clear());
      ASSERT_TRUE(want.Clear());
      ASSERT_TRUE(got.ResizeFrom(src));
      test::ReferenceResize(src, want);
      ASSERT_TRUE(got.IsSame(want)) << sw << "x" << sh << " -> " << dw << "x" << dh;
    }
  }
}

TEST(ResizeFromReference, MatchesOnVideoSizes) {
  std::mt19937 rng(3);
  const std::vector<std::pair<std::pair<int, int>, std::pair<int, int>>> cases = {
      {{1920, 1080}, {640, 480}},
      {{720, 480}, {640, 480}},
      {{320, 240}, {640, 480}},
      {{640, 480}, {352, 288}},
      {{352, 288}, {720, 576}},
      {{176, 144}, {160, 120}},
      // Steep shrinks whose averages divide large counts, and need 64-bit sums.
      {{1000, 700}, {3, 2}},
      {{4096, 2100}, {1, 1}}};
  for (const auto& [from, to] : cases) {
    const DIB src = test::RandomPicture(from.first, from.second, rng);
    DIB got = Sized(to.first, to.second);
    DIB want = Sized(to.first, to.second);
    ASSERT_TRUE(got.Clear());
    ASSERT_TRUE(want.Clear());
    ASSERT_TRUE(got.ResizeFrom(src));
    test::ReferenceResize(src, want);
    EXPECT_TRUE(got.IsSame(want)) << from.first << "x" << from.second << " -> " << to.first << "x"
                                  << to.second;
  }
}

TEST(ResizeFromRange, SteepShrinkOfWhiteStaysWhite) {
  // 4096 x 2100 into 1 x 1 sums 8.6 million samples of 255 per colour: more than 32 bits hold.
  DIB src = Sized(4096, 2100);
  src.FillColor(255, 255, 254);
  DIB dst = Sized(1, 1);
  ASSERT_TRUE(dst.ResizeFrom(src));
  EXPECT_EQ(PixelAt(dst, 0, 0), (Bgr{254, 255, 255}));
}

TEST(ResizeFromRange, WideRowGrownTallInterpolatesWithoutOverflow) {
  // Narrowing 20000 pixels to 1 gives row sums of up to 5.1 million; growing 2 rows to 4096
  // interpolates those sums with weights up to 4095.
  DIB src = Sized(20000, 2);
  for (int x = 0; x < 20000; ++x) {
    SetPixel(src, x, 0, Bgr{0, 255, static_cast<std::uint8_t>(x % 256)});
    SetPixel(src, x, 1, Bgr{255, 0, static_cast<std::uint8_t>(x % 256)});
  }
  DIB got = Sized(1, 4096);
  DIB want = Sized(1, 4096);
  ASSERT_TRUE(got.ResizeFrom(src));
  test::ReferenceResize(src, want);
  for (int y = 0; y < 4096; ++y) {
    ASSERT_EQ(PixelAt(got, 0, y), PixelAt(want, 0, y)) << y;
  }
  EXPECT_EQ(PixelAt(got, 0, 0).blue, 0);
  EXPECT_EQ(PixelAt(got, 0, 4095).blue, 255);
  EXPECT_EQ(PixelAt(got, 0, 2048).blue, 128);
}

TEST(ResizeFromRange, ExtremesNeverWrapAround) {
  // Alternating black and white columns and rows: every result lies between the extremes and
  // full white areas stay 255 rather than wrapping to small values.
  for (auto [from, to] : std::vector<std::pair<int, int>>{{3, 1000}, {1000, 3}, {2, 999}, {999, 2}}) {
    DIB src = Sized(from, from);
    for (int y = 0; y < from; ++y) {
      for (int x = 0; x < from; ++x) {
        const std::uint8_t v = ((x + y) % 2) ? 255 : 0;
        SetPixel(src, x, y, Bgr{v, 255, 0});
      }
    }
    DIB dst = Sized(to, to);
    ASSERT_TRUE(dst.ResizeFrom(src));
    for (int y = 0; y < to; ++y) {
      for (int x = 0; x < to; ++x) {
        const Bgr p = PixelAt(dst, x, y);
        ASSERT_EQ(p.green, 255) << from << "->" << to;
        ASSERT_EQ(p.red, 0) << from << "->" << to;
      }
    }
  }
}

} // namespace
} // namespace rw
