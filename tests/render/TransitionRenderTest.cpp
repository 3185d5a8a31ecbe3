#include "render/DIB.h"
#include "render/TransitionKinds.h"
#include "render/VideoTransition.h"
#include "render/pTransOverlap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace rw {
namespace {

// A picture whose every byte, padding included, is a pseudo-random function of `seed`.
DIB Picture(std::int32_t w, std::int32_t h, std::uint32_t seed) {
  DIB dib;
  EXPECT_TRUE(dib.Create(w, h));
  std::uint32_t state = seed * 2654435761u + 12345u;
  for (std::uint32_t k = 0; k < dib.SizeImage(); ++k) {
    state = state * 1664525u + 1013904223u;
    dib.Bits()[k] = static_cast<std::uint8_t>(state >> 24);
  }
  return dib;
}

std::int64_t Stride(std::int64_t w) {
  return (w * 3 + 3) & ~std::int64_t{3};
}

// Where an output byte comes from, evaluated straight from each kind's rule for one pixel (or
// one padding byte) at a time, without the row-wise shortcuts of the implementation.
enum class From { kOutgoing, kIncoming, kZero, kUnchanged };

struct Reference {
  int kind;
  std::int64_t w, h, n, i;

  From Pixel(std::int64_t x, std::int64_t y) const {
    switch (kind) {
    case TransitionKinds::kWipeL2R:
      return x < (i + 1) * w / (n + 1) ? From::kIncoming : From::kOutgoing;
    case TransitionKinds::kWipeR2L:
      return x < w * (n - i) / (n + 1) ? From::kOutgoing : From::kIncoming;
    case TransitionKinds::kWipeU2D:
      return y < h * (n - i) / (n + 1) ? From::kOutgoing : From::kIncoming;
    case TransitionKinds::kWipeD2U:
      return y < h * (i + 1) / (n + 1) ? From::kIncoming : From::kOutgoing;
    case TransitionKinds::kWipeI2E:
      return InDisc(x, y) ? From::kIncoming : From::kOutgoing;
    case TransitionKinds::kWipeE2I:
      return InDisc(x, y) ? From::kOutgoing : From::kIncoming;
    }
    return From::kUnchanged;
  }

  From Padding(std::int64_t y) const {
    switch (kind) {
    case TransitionKinds::kWipeL2R:
    case TransitionKinds::kWipeR2L:
      return From::kZero;
    case TransitionKinds::kWipeU2D:
    case TransitionKinds::kWipeD2U:
      return Pixel(0, y);
    default: {
      // A row holding any inside pixel keeps its padding; other rows come whole from outside.
      const From outside = kind == TransitionKinds::kWipeI2E ? From::kOutgoing : From::kIncoming;
      for (std::int64_t x = 0; x < w; ++x)
        if (Pixel(x, y) != outside)
          return From::kUnchanged;
      return outside;
    }
    }
  }

  std::int64_t Radius() const {
    const auto d = static_cast<std::int64_t>(std::sqrt(double(w * w + h * h)) + 0.5);
    return kind == TransitionKinds::kWipeI2E ? (d / 2) * (i + 1) / (n + 1) : (d / 2) * (n - i) / (n + 1);
  }

  // Squared distance within r * r + r, in a row whose half-width is at least 1.
  bool InDisc(std::int64_t x, std::int64_t y) const {
    const std::int64_t r = Radius();
    const std::int64_t dx = x - w / 2;
    const std::int64_t dy = y + h / 2 - h;
    const std::int64_t reach = r * r + r;
    return reach - dy * dy >= 1 && dx * dx + dy * dy <= reach;
  }
};

std::uint8_t ExpectedOverlap(std::uint8_t a, std::uint8_t b, std::int64_t n, std::int64_t i) {
  const std::int64_t weight = (i * 65536 + 65536) / (n + 1);
  return static_cast<std::uint8_t>(a + (weight * (b - a)) / 65536);
}

constexpr std::uint8_t kSentinel = 0xA5;

// Renders every index of a length (plus the ones just outside) and compares each byte with the
// reference. Reports the first mismatch only.
void CheckAgainstReference(int kind, std::int32_t w, std::int32_t h, std::int32_t n) {
  const DIB a = Picture(w, h, 1);
  const DIB b = Picture(w, h, 2);
  VideoTransition t = TransitionKinds::MakeByIndex(kind);
  ASSERT_TRUE(t.SetLength(n));
  DIB out;
  ASSERT_TRUE(out.Create(w, h));
  const std::int64_t stride = Stride(w);
  for (std::int32_t i = -1; i <= n; ++i) {
    std::memset(out.Bits(), kSentinel, out.SizeImage());
    ASSERT_TRUE(t.Render(out.Header(), out.Bits(), a.Bits(), b.Bits(), i));
    const bool outside = i < 0 || i >= n;
    const Reference ref{kind, w, h, n, i};
    for (std::int64_t y = 0; y < h; ++y) {
      for (std::int64_t k = 0; k < stride; ++k) {
        const std::size_t at = static_cast<std::size_t>(y * stride + k);
        std::uint8_t want;
        if (outside) {
          want = a.Bits()[at];
        } else if (kind == TransitionKinds::kOverlap) {
          want = ExpectedOverlap(a.Bits()[at], b.Bits()[at], n, i);
        } else {
          const From from = k < w * 3 ? ref.Pixel(k / 3, y) : ref.Padding(y);
          want = from == From::kOutgoing   ? a.Bits()[at]
                 : from == From::kIncoming ? b.Bits()[at]
                 : from == From::kZero     ? 0
                                           : kSentinel;
        }
        if (out.Bits()[at] != want) {
          FAIL() << TransitionKinds::Keyword(kind) << " " << w << "x" << h << " N=" << n << " i=" << i
                 << " row " << y << " byte " << k << ": got " << int(out.Bits()[at]) << " want " << int(want);
        }
      }
    }
  }
}

class TransitionReference : public ::testing::TestWithParam<int> {};

TEST_P(TransitionReference, EveryIndexOfOddSizesMatchesTheRule) {
  const int kind = GetParam();
  const std::pair<std::int32_t, std::int32_t> sizes[] = {{81, 37}, {1, 1},  {2, 300},
                                                         {300, 2}, {1, 57}, {641, 479}};
  for (const auto& [w, h] : sizes) {
    for (const std::int32_t n : {1, 2, 15, 100}) {
      CheckAgainstReference(kind, w, h, n);
      if (HasFatalFailure())
        return;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(AllKinds, TransitionReference, ::testing::Range(0, TransitionKinds::kCount),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return std::string(TransitionKinds::Keyword(info.param));
                         });

// Counts the leading columns of row `y` that equal the incoming picture.
int IncomingColumnsFromLeft(const DIB& out, const DIB& in, int y) {
  int x = 0;
  const std::uint8_t* o = out.Bits() + y * out.Stride();
  const std::uint8_t* b = in.Bits() + y * in.Stride();
  while (x < out.Width() && std::memcmp(o + 3 * x, b + 3 * x, 3) == 0)
    ++x;
  return x;
}

TEST(TransitionCases, WipeLeftToRightOn320Pixels) {
  DIB a, b, out;
  ASSERT_TRUE(a.Create(320, 8) && b.Create(320, 8) && out.Create(320, 8));
  a.FillColor(255, 0, 0);
  b.FillColor(0, 0, 255);
  VideoTransition t = TransitionKinds::MakeByIndex(TransitionKinds::kWipeL2R);
  ASSERT_TRUE(t.SetLength(15));
  ASSERT_TRUE(t.Render(out.Header(), out.Bits(), a.Bits(), b.Bits(), 0));
  EXPECT_EQ(IncomingColumnsFromLeft(out, b, 3), 20);
  ASSERT_TRUE(t.Render(out.Header(), out.Bits(), a.Bits(), b.Bits(), 14));
  EXPECT_EQ(IncomingColumnsFromLeft(out, b, 3), 300);
  ASSERT_TRUE(t.Render(out.Header(), out.Bits(), a.Bits(), b.Bits(), 15));
  EXPECT_TRUE(out.IsSame(a));
}

TEST(TransitionCases, WipeTopToBottomKeepsTheBottomMemoryRows) {
  DIB a, b, out;
  ASSERT_TRUE(a.Create(4, 240) && b.Create(4, 240) && out.Create(4, 240));
  a.FillColor(255, 0, 0);
  b.FillColor(0, 0, 255);
  VideoTransition t = TransitionKinds::MakeByIndex(TransitionKinds::kWipeU2D);
  ASSERT_TRUE(t.SetLength(15));
  ASSERT_TRUE(t.Render(out.Header(), out.Bits(), a.Bits(), b.Bits(), 0));
  EXPECT_EQ(std::memcmp(out.Bits(), a.Bits(), 225 * out.Stride()), 0);
  EXPECT_EQ(std::memcmp(out.Bits() + 225 * out.Stride(), b.Bits(), 15 * out.Stride()), 0);
}

TEST(TransitionCases, IrisOn640x480NeverCoversTheCorners) {
  DIB a, b, out;
  ASSERT_TRUE(a.Create(640, 480) && b.Create(640, 480) && out.Create(640, 480));
  a.FillColor(255, 0, 0);
  b.FillColor(0, 0, 255);
  VideoTransition t = TransitionKinds::MakeByIndex(TransitionKinds::kWipeI2E);
  ASSERT_TRUE(t.SetLength(15));
  // The incoming picture is blue: count its pixels in memory row y.
  auto incomingInRow = [&](int y) {
    int count = 0;
    for (int x = 0; x < 640; ++x)
      count += out.Bits()[y * out.Stride() + 3 * x] == 255;
    return count;
  };
  // Index 0: radius 25 -> the centre row (dy = 0, memory row 240) shows 2 * 25 + 1 pixels.
  ASSERT_TRUE(t.Render(out.Header(), out.Bits(), a.Bits(), b.Bits(), 0));
  EXPECT_EQ(incomingInRow(240), 51);
  // Index 14: radius 375 -> 751 wide, clipped to the whole centre row; corners stay outgoing.
  for (int i = 0; i < 15; ++i) {
    ASSERT_TRUE(t.Render(out.Header(), out.Bits(), a.Bits(), b.Bits(), i));
    for (const int y : {0, 479})
      for (const int x : {0, 639})
        EXPECT_EQ(std::memcmp(out.Bits() + y * out.Stride() + 3 * x, a.Bits(), 3), 0) << "index " << i;
  }
  EXPECT_EQ(incomingInRow(240), 640);
  // The bottom memory row (dy = -240) is partly covered: h = isqrt(375 * 375 + 375 - 240 * 240).
  EXPECT_EQ(incomingInRow(0), 2 * 288 + 1);
}

TEST(TransitionCases, IrisClosingWithRadiusZeroShowsOnlyTheIncomingPicture) {
  // 8 x 6: D = 10, D / 2 = 5; with N = 15 and index 14 the radius is 5 * 1 / 16 = 0.
  const DIB a = Picture(8, 6, 3);
  const DIB b = Picture(8, 6, 4);
  DIB out;
  ASSERT_TRUE(out.Create(8, 6));
  VideoTransition t = TransitionKinds::MakeByIndex(TransitionKinds::kWipeE2I);
  ASSERT_TRUE(t.SetLength(15));
  ASSERT_TRUE(t.Render(out.Header(), out.Bits(), a.Bits(), b.Bits(), 14));
  EXPECT_TRUE(out.IsSame(b));
}

TEST(TransitionCases, IrisRadiusOneIsAThreeByThreeSquare) {
  // 5 x 5: D = 7, D / 2 = 3; N = 2, index 0 gives r = 3 * 1 / 3 = 1.
  DIB a, b, out;
  ASSERT_TRUE(a.Create(5, 5) && b.Create(5, 5) && out.Create(5, 5));
  a.FillColor(0, 0, 0);
  b.FillColor(255, 255, 255);
  VideoTransition t = TransitionKinds::MakeByIndex(TransitionKinds::kWipeI2E);
  ASSERT_TRUE(t.SetLength(2));
  ASSERT_TRUE(t.Render(out.Header(), out.Bits(), a.Bits(), b.Bits(), 0));
  // Centre (2, 2); memory row y has dy = y + 2 - 5, so the centre row is memory row 3.
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 5; ++x) {
      const bool inside = x >= 1 && x <= 3 && y >= 2 && y <= 4;
      EXPECT_EQ(out.Bits()[y * out.Stride() + 3 * x], inside ? 255 : 0) << x << "," << y;
    }
}

TEST(TransitionCases, OverlapOfOneFrameRoundsTowardTheOutgoingValue) {
  DIB a, b, out;
  ASSERT_TRUE(a.Create(1, 1) && b.Create(1, 1) && out.Create(1, 1));
  a.FillColor(10, 10, 10);
  b.FillColor(1, 1, 1);
  VideoTransition t = TransitionKinds::MakeByIndex(TransitionKinds::kOverlap);
  ASSERT_TRUE(t.SetLength(1));
  ASSERT_TRUE(t.Render(out.Header(), out.Bits(), a.Bits(), b.Bits(), 0));
  EXPECT_EQ(out.Bits()[0], 6);
  EXPECT_EQ(out.Bits()[2], 6);
}

// Every pair of byte values, at weights that stress the vector path's unsigned multiply.
TEST(TransitionCases, OverlapIsExactForEveryBytePair) {
  const std::int32_t w = 65536 / 3 + 1; // one row of 3 * w >= 65536 bytes
  DIB a, b, out;
  ASSERT_TRUE(a.Create(w, 1) && b.Create(w, 1) && out.Create(w, 1));
  for (std::uint32_t k = 0; k < a.SizeImage(); ++k) {
    a.Bits()[k] = static_cast<std::uint8_t>(k);
    b.Bits()[k] = static_cast<std::uint8_t>(k >> 8);
  }
  for (const std::int32_t n : {1, 2, 3, 255, 65535, 65536, 2147483646}) {
    VideoTransition t = TransitionKinds::MakeByIndex(TransitionKinds::kOverlap);
    ASSERT_TRUE(t.SetLength(n));
    for (const std::int32_t i : {0, n / 2, n - 1}) {
      ASSERT_TRUE(t.Render(out.Header(), out.Bits(), a.Bits(), b.Bits(), i));
      for (std::uint32_t k = 0; k < a.SizeImage(); ++k)
        ASSERT_EQ(out.Bits()[k], ExpectedOverlap(a.Bits()[k], b.Bits()[k], n, i)) << "N " << n << " i " << i;
    }
  }
}

// Both vector paths (and their scalar tails) against the rule, at every length remainder.
TEST(TransitionCases, OverlapVectorPathsAgreeWithTheRule) {
  const std::size_t most = 65536 + 40;
  std::vector<std::uint8_t> a(most + 1), b(a.size()), out(a.size());
  for (std::size_t k = 0; k < a.size(); ++k) {
    a[k] = static_cast<std::uint8_t>(k);
    b[k] = static_cast<std::uint8_t>(k >> 8 ^ k * 7);
  }
  std::vector<bool> paths = {false};
  if (pTransOverlap::UseWideVectors())
    paths.push_back(true);
  for (const bool wide : paths) {
    for (const std::uint32_t weight : {0u, 1u, 32767u, 32768u, 65535u}) {
      for (const std::size_t n : {std::size_t{0}, std::size_t{1}, std::size_t{31}, std::size_t{33}, most}) {
        std::fill(out.begin(), out.end(), kSentinel);
        pTransOverlap::BlendBytes(out.data() + 1, a.data() + 1, b.data() + 1, n - (n > 0), weight, wide);
        for (std::size_t k = 1; k < n; ++k) {
          const std::int64_t want = a[k] + (std::int64_t{weight} * (b[k] - a[k])) / 65536;
          ASSERT_EQ(out[k], want) << "wide " << wide << " weight " << weight << " at " << k;
        }
        ASSERT_EQ(out[n > 0 ? n : 1], kSentinel) << "wrote past the end";
      }
    }
  }
}

TEST(TransitionCases, HugeLengthsDoNotOverflowTheBoundaries) {
  const DIB a = Picture(641, 3, 5);
  const DIB b = Picture(641, 3, 6);
  DIB out;
  ASSERT_TRUE(out.Create(641, 3));
  const std::int32_t n = 2147483647;
  for (int kind = 0; kind < TransitionKinds::kCount; ++kind) {
    VideoTransition t = TransitionKinds::MakeByIndex(kind);
    ASSERT_TRUE(t.SetLength(n));
    for (const std::int32_t i : {0, n / 2, n - 1}) {
      ASSERT_TRUE(t.Render(out.Header(), out.Bits(), a.Bits(), b.Bits(), i));
      const Reference ref{kind, 641, 3, n, i};
      if (kind == TransitionKinds::kOverlap) {
        EXPECT_EQ(out.Bits()[100], ExpectedOverlap(a.Bits()[100], b.Bits()[100], n, i));
        continue;
      }
      for (int x = 0; x < 641; x += 40) {
        const From from = ref.Pixel(x, 1);
        const DIB& src = from == From::kIncoming ? b : a;
        EXPECT_EQ(std::memcmp(out.Bits() + out.Stride() + 3 * x, src.Bits() + out.Stride() + 3 * x, 3), 0)
            << TransitionKinds::Keyword(kind) << " i=" << i << " x=" << x;
      }
    }
  }
}

TEST(TransitionCases, RenderingInPlaceOverTheOutgoingPicture) {
  const DIB b = Picture(33, 17, 8);
  for (int kind = 0; kind < TransitionKinds::kCount; ++kind) {
    DIB expected = Picture(33, 17, 7);
    const DIB a = Picture(33, 17, 7);
    VideoTransition t = TransitionKinds::MakeByIndex(kind);
    ASSERT_TRUE(t.SetLength(4));
    ASSERT_TRUE(t.Render(expected.Header(), expected.Bits(), a.Bits(), b.Bits(), 1));
    // Iris rows keep their padding: both runs start from the outgoing picture's bytes.
    DIB work = a;
    ASSERT_TRUE(t.Render(work.Header(), work.Bits(), work.Bits(), b.Bits(), 1));
    EXPECT_TRUE(work.IsSame(expected)) << TransitionKinds::Keyword(kind);
  }
}

TEST(TransitionCases, RefusesNullBlocksAndForeignHeaders) {
  const DIB a = Picture(8, 8, 1);
  const DIB b = Picture(8, 8, 2);
  for (int kind = 0; kind < TransitionKinds::kCount; ++kind) {
    DIB out = Picture(8, 8, 9);
    const DIB before = out;
    VideoTransition t = TransitionKinds::MakeByIndex(kind);
    ASSERT_TRUE(t.SetLength(3));
    EXPECT_FALSE(t.Render(nullptr, out.Bits(), a.Bits(), b.Bits(), 1));
    EXPECT_FALSE(t.Render(out.Header(), nullptr, a.Bits(), b.Bits(), 1));
    EXPECT_FALSE(t.Render(out.Header(), out.Bits(), nullptr, b.Bits(), 1));
    EXPECT_FALSE(t.Render(out.Header(), out.Bits(), a.Bits(), nullptr, 1));
    // Null blocks are refused even for an index that would only copy.
    EXPECT_FALSE(t.Render(out.Header(), out.Bits(), a.Bits(), nullptr, 7));
    BitmapInfoHeader header = *out.Header();
    header.biBitCount = 32;
    EXPECT_FALSE(t.Render(&header, out.Bits(), a.Bits(), b.Bits(), 1));
    header = *out.Header();
    header.biHeight = -8;
    EXPECT_FALSE(t.Render(&header, out.Bits(), a.Bits(), b.Bits(), 1));
    header = *out.Header();
    header.biSizeImage = 10; // smaller than the picture: the blocks may be that small
    EXPECT_FALSE(t.Render(&header, out.Bits(), a.Bits(), b.Bits(), 1));
    EXPECT_TRUE(out.IsSame(before)) << TransitionKinds::Keyword(kind);
  }
}

} // namespace
} // namespace rw
