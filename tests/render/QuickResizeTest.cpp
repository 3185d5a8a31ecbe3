#include "render/DIB.h"

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

TEST(QuickResize, OnePixelSourceFillsEverythingAndZeroesPadding) {
  DIB src = Sized(1, 1);
  SetPixel(src, 0, 0, Bgr{1, 2, 3});
  for (auto [w, h] : std::vector<std::pair<int, int>>{{1, 5}, {5, 1}, {3, 2}, {77, 33}}) {
    DIB dst = Sized(w, h);
    std::memset(dst.Bits(), 0xEE, dst.SizeImage());
    ASSERT_TRUE(dst.QuickResizeFrom(src));
    DIB want = Sized(w, h);
    want.FillColor(3, 2, 1);
    EXPECT_TRUE(dst.IsSame(want)) << w << "x" << h;
  }
}

TEST(QuickResize, GrowingRepeatsTheFirstSourcePixelsFirst) {
  DIB src = Sized(2, 2);
  SetPixel(src, 0, 0, Bgr{10, 0, 0});
  SetPixel(src, 1, 0, Bgr{20, 0, 0});
  SetPixel(src, 0, 1, Bgr{30, 0, 0});
  SetPixel(src, 1, 1, Bgr{40, 0, 0});
  DIB dst = Sized(4, 4);
  ASSERT_TRUE(dst.QuickResizeFrom(src));
  const std::uint8_t want[4][4] = {{10, 10, 10, 20}, {10, 10, 10, 20}, {30, 30, 30, 40}, {30, 30, 30, 40}};
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) {
      EXPECT_EQ(PixelAt(dst, x, y).blue, want[y][x]) << x << "," << y;
    }
  }
}

TEST(QuickResize, ShrinkingPicksOnePixelPerBlock) {
  DIB src = Sized(4, 4);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) {
      SetPixel(src, x, y, Bgr{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 0});
    }
  }
  DIB dst = Sized(2, 2);
  ASSERT_TRUE(dst.QuickResizeFrom(src));
  // Columns 1 and 3 (the last pixel of each pair passed over), rows 0 and 2.
  EXPECT_EQ(PixelAt(dst, 0, 0), (Bgr{1, 0, 0}));
  EXPECT_EQ(PixelAt(dst, 1, 0), (Bgr{3, 0, 0}));
  EXPECT_EQ(PixelAt(dst, 0, 1), (Bgr{1, 2, 0}));
  EXPECT_EQ(PixelAt(dst, 1, 1), (Bgr{3, 2, 0}));
}

TEST(QuickResize, MatchesThePlainSampleAndHoldRule) {
  std::mt19937 rng(11);
  const std::vector<int> sizes = {1, 2, 3, 5, 16, 17, 64, 99, 160, 641};
  for (int sw : sizes) {
    for (int dw : sizes) {
      for (auto [sh, dh] : std::vector<std::pair<int, int>>{{1, 7}, {7, 1}, {13, 13}, {60, 45}, {45, 60}}) {
        if (sw == dw && sh == dh) {
          continue;
        }
        const DIB src = test::RandomPicture(sw, sh, rng);
        DIB got = Sized(dw, dh);
        DIB want = Sized(dw, dh);
        ASSERT_TRUE(got.Clear());
        ASSERT_TRUE(want.Clear());
        ASSERT_TRUE(got.QuickResizeFrom(src));
        test::ReferenceQuickResize(src, want);
        // Rows the resampler copies whole also carry the copied row's padding.
        if (!(sw == 1 && sh == 1)) {
          for (int y = 0; y < dh; ++y) {
            for (int x = 0; x < dw; ++x) {
              ASSERT_EQ(PixelAt(got, x, y), PixelAt(want, x, y))
                  << sw << "x" << sh << " -> " << dw << "x" << dh << " at " << x << "," << y;
            }
          }
        }
      }
    }
  }
}

} // namespace
} // namespace rw
