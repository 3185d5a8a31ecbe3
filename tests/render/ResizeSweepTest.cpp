#include "render/DIB.h"

#include "tests/render/ResizeReference.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

namespace rw {
namespace {

using test::Bgr;
using test::PixelAt;

// Widths and heights from 1 to 2000, shrinking and growing, with ratios whose factors need
// sub-sampling (coprime sizes, sizes one apart) and exact multiples.
const std::vector<int> kSizes = {1,   2,   3,   7,   15,  16,  17,  31,   64,
                                 100, 101, 240, 333, 639, 640, 641, 1000, 2000};

constexpr std::uint8_t kPadMark = 0xA5;

DIB Marked(int w, int h) {
  DIB dib;
  EXPECT_TRUE(dib.Create(w, h));
  std::memset(dib.Bits(), kPadMark, dib.SizeImage());
  return dib;
}

// Every pixel is the colour and every padding byte still holds the mark.
::testing::AssertionResult AllOfColour(const DIB& dib, Bgr colour, bool paddingMarked) {
  const int rowBytes = dib.Width() * 3;
  for (int y = 0; y < dib.Height(); ++y) {
    for (int x = 0; x < dib.Width(); ++x) {
      if (!(PixelAt(dib, x, y) == colour)) {
        return ::testing::AssertionFailure() << "pixel " << x << "," << y;
      }
    }
    const std::uint8_t* row = dib.Bits() + static_cast<std::size_t>(dib.Stride()) * y;
    for (int k = rowBytes; paddingMarked && k < dib.Stride(); ++k) {
      if (row[k] != kPadMark) {
        return ::testing::AssertionFailure() << "padding of row " << y;
      }
    }
  }
  return ::testing::AssertionSuccess();
}

TEST(ResizeSweep, ConstantColourStaysExactAndPaddingIsNotWritten) {
  const std::vector<Bgr> colours = {{255, 255, 255}, {0, 0, 0}, {1, 128, 254}};
  int step = 0;
  for (int sw : kSizes) {
    for (int dw : kSizes) {
      // Heights walk the same list at an offset so that all pairings turn up across widths
      // without the full product.
      const int sh = kSizes[(step * 5 + 3) % kSizes.size()];
      const int dh = kSizes[(step * 7 + 1) % kSizes.size()];
      const Bgr colour = colours[step % colours.size()];
      ++step;
      if (sw * sh > 1000 * 1000 && dw * dh > 1000 * 1000) {
        continue;
      }
      DIB src;
      ASSERT_TRUE(src.Create(sw, sh));
      src.FillColor(colour.red, colour.green, colour.blue);

      DIB smooth = Marked(dw, dh);
      ASSERT_TRUE(smooth.ResizeFrom(src));
      const bool same = sw == dw && sh == dh;
      EXPECT_TRUE(AllOfColour(smooth, colour, !same)) << sw << "x" << sh << " -> " << dw << "x" << dh;

      DIB quick = Marked(dw, dh);
      ASSERT_TRUE(quick.QuickResizeFrom(src));
      EXPECT_TRUE(AllOfColour(quick, colour, false)) << sw << "x" << sh << " -> " << dw << "x" << dh;
    }
  }
}

TEST(ResizeSweep, SingleRowsAndColumnsOfEveryLength) {
  for (int n = 1; n <= 40; ++n) {
    for (auto [sw, sh, dw, dh] : std::vector<std::array<int, 4>>{
             {n, 1, 1, 1}, {1, n, 1, 1}, {1, 1, n, 1}, {1, 1, 1, n}, {n, 1, 41 - n, 1}, {1, n, 1, 41 - n}}) {
      DIB src;
      ASSERT_TRUE(src.Create(sw, sh));
      src.FillColor(200, 100, 50);
      DIB dst = Marked(dw, dh);
      ASSERT_TRUE(dst.ResizeFrom(src));
      EXPECT_TRUE(AllOfColour(dst, Bgr{50, 100, 200}, !(sw == dw && sh == dh)))
          << sw << "x" << sh << " -> " << dw << "x" << dh;
    }
  }
}

} // namespace
} // namespace rw
