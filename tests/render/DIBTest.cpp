#include "render/DIB.h"

#include "tests/render/ResizeReference.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace rw {
namespace {

using test::Bgr;
using test::PixelAt;

TEST(DIBCreate, WritesHeaderForRowsPaddedToFourBytes) {
  DIB dib;
  ASSERT_TRUE(dib.Create(5, 3));
  const BitmapInfoHeader& h = *dib.Header();
  EXPECT_EQ(h.biSize, 40u);
  EXPECT_EQ(h.biWidth, 5);
  EXPECT_EQ(h.biHeight, 3);
  EXPECT_EQ(h.biPlanes, 1);
  EXPECT_EQ(h.biBitCount, 24);
  EXPECT_EQ(h.biCompression, 0u);
  EXPECT_EQ(h.biSizeImage, 3u * 16u); // 15 bytes of pixels padded to 16
  EXPECT_EQ(h.biXPelsPerMeter, 0);
  EXPECT_EQ(h.biClrUsed, 0u);
  EXPECT_EQ(DIB::StrideOf(1), 4);
  EXPECT_EQ(DIB::StrideOf(4), 12);
  EXPECT_TRUE(dib.IsPresent());

  // A second Create replaces the blocks (the sanitizer build reports a leak otherwise).
  ASSERT_TRUE(dib.Create(2, 2));
  EXPECT_EQ(dib.Width(), 2);
  EXPECT_EQ(dib.SizeImage(), 16u);
}

TEST(DIBCreate, RefusesImpossibleSizesAndKeepsTheBuffer) {
  DIB dib;
  ASSERT_TRUE(dib.Create(4, 4));
  dib.FillColor(1, 2, 3);
  for (auto [w, h] : std::vector<std::pair<int, int>>{{0, 4},
                                                      {4, 0},
                                                      {-1, 4},
                                                      {4, -7},
                                                      {DIB::kMaxDimension + 1, 1},
                                                      {1, DIB::kMaxDimension + 1},
                                                      {DIB::kMaxDimension, DIB::kMaxDimension}}) {
    EXPECT_FALSE(dib.Create(w, h)) << w << " x " << h;
  }
  EXPECT_EQ(dib.Width(), 4);
  EXPECT_EQ(PixelAt(dib, 3, 3), (Bgr{3, 2, 1}));

  DIB empty;
  EXPECT_FALSE(empty.Create(0, 0));
  EXPECT_FALSE(empty.IsPresent());
}

TEST(DIBCreate, CreateLikeFollowsTheOtherOrBecomesEmpty) {
  DIB a;
  ASSERT_TRUE(a.Create(7, 2));
  DIB b;
  ASSERT_TRUE(b.CreateLike(a));
  EXPECT_EQ(std::memcmp(a.Header(), b.Header(), sizeof(BitmapInfoHeader)), 0);

  DIB none;
  EXPECT_TRUE(b.CreateLike(none));
  EXPECT_EQ(b.Header(), nullptr);
  EXPECT_EQ(b.Bits(), nullptr);
  EXPECT_EQ(b.Width(), 0);
}

TEST(DIBCopy, IsDeepAndCopiesPadding) {
  DIB a;
  ASSERT_TRUE(a.Create(3, 2));
  for (std::uint32_t k = 0; k < a.SizeImage(); ++k) {
    a.Bits()[k] = static_cast<std::uint8_t>(k * 7 + 1);
  }
  DIB b(a);
  ASSERT_TRUE(b.IsPresent());
  EXPECT_NE(b.Bits(), a.Bits());
  EXPECT_TRUE(b.IsSame(a));
  b.Bits()[0] ^= 0xFF;
  EXPECT_FALSE(b.IsSame(a));

  DIB c;
  ASSERT_TRUE(c.Create(100, 100));
  c = a;
  EXPECT_TRUE(c.IsSame(a));
  const DIB& alias = c;
  c = alias; // self-assignment keeps the pixels
  EXPECT_TRUE(c.IsSame(a));

  c = DIB();
  EXPECT_FALSE(c.IsPresent());
  EXPECT_EQ(c.Header(), nullptr);
}

TEST(DIBClear, ZeroesEveryByteAndFailsWhenEmpty) {
  DIB dib;
  EXPECT_FALSE(dib.Clear());
  ASSERT_TRUE(dib.Create(3, 3));
  std::memset(dib.Bits(), 0xAB, dib.SizeImage());
  EXPECT_TRUE(dib.Clear());
  for (std::uint32_t k = 0; k < dib.SizeImage(); ++k) {
    ASSERT_EQ(dib.Bits()[k], 0) << k;
  }
}

TEST(DIBFillColor, WritesBlueGreenRedAndZeroesPadding) {
  DIB dib;
  ASSERT_TRUE(dib.Create(3, 2));
  std::memset(dib.Bits(), 0x55, dib.SizeImage());
  dib.FillColor(255, 0, 0);
  const std::vector<std::uint8_t> row = {0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0};
  ASSERT_EQ(dib.SizeImage(), 24u);
  EXPECT_EQ(std::vector<std::uint8_t>(dib.Bits(), dib.Bits() + 12), row);
  EXPECT_EQ(std::vector<std::uint8_t>(dib.Bits() + 12, dib.Bits() + 24), row);

  DIB empty;
  empty.FillColor(1, 2, 3); // nothing to do, must not crash
  EXPECT_FALSE(empty.IsPresent());
}

TEST(DIBIsSame, ComparesHeadersAndEveryPixelByteIncludingPadding) {
  DIB a;
  ASSERT_TRUE(a.Create(3, 2));
  a.FillColor(10, 20, 30);
  DIB b(a);
  EXPECT_TRUE(a.IsSame(b));

  b.Bits()[10] = 1; // padding of the bottom row
  EXPECT_FALSE(a.IsSame(b));

  // Same pixel bytes, different shape.
  DIB c;
  ASSERT_TRUE(c.Create(1, 6));
  ASSERT_TRUE(c.Clear());
  DIB d;
  ASSERT_TRUE(d.Create(2, 3));
  ASSERT_TRUE(d.Clear());
  ASSERT_EQ(c.SizeImage(), 24u);
  ASSERT_EQ(d.SizeImage(), 24u);
  EXPECT_FALSE(c.IsSame(d));

  DIB empty;
  EXPECT_FALSE(empty.IsSame(a));
  EXPECT_FALSE(a.IsSame(empty));
  EXPECT_FALSE(empty.IsSame(DIB()));
}

TEST(DIBResizeSources, EmptyDestinationOrBadSourceAnswerFalse) {
  DIB src;
  ASSERT_TRUE(src.Create(4, 4));
  src.FillColor(9, 9, 9);

  DIB empty;
  EXPECT_FALSE(empty.ResizeFrom(src));
  EXPECT_FALSE(empty.QuickResizeFrom(src));

  DIB dst;
  ASSERT_TRUE(dst.Create(2, 2));
  const auto fillAndCheckCleared = [&](auto&& call) {
    dst.FillColor(200, 100, 50);
    EXPECT_FALSE(call());
    for (std::uint32_t k = 0; k < dst.SizeImage(); ++k) {
      ASSERT_EQ(dst.Bits()[k], 0);
    }
  };
  fillAndCheckCleared([&] { return dst.ResizeFrom(nullptr, src.Bits()); });
  fillAndCheckCleared([&] { return dst.ResizeFrom(src.Header(), nullptr); });
  fillAndCheckCleared([&] { return dst.QuickResizeFrom(nullptr, nullptr); });
  fillAndCheckCleared([&] { return dst.ResizeFrom(DIB()); });

  // Headers the resamplers cannot read: they would make them divide by zero or read far
  // outside the pixels.
  const std::vector<BitmapInfoHeader> bad = [&] {
    std::vector<BitmapInfoHeader> headers(5, *src.Header());
    headers[0].biWidth = 0;
    headers[1].biHeight = -4; // top-down
    headers[2].biBitCount = 32;
    headers[3].biCompression = 1;
    headers[4].biWidth = 1 << 30;
    return headers;
  }();
  for (const BitmapInfoHeader& h : bad) {
    fillAndCheckCleared([&] { return dst.ResizeFrom(&h, src.Bits()); });
    fillAndCheckCleared([&] { return dst.QuickResizeFrom(&h, src.Bits()); });
  }
}

TEST(DIBResizeSources, EqualSizesCopyEveryByteIncludingPadding) {
  std::mt19937 rng(7);
  const DIB src = test::RandomPicture(5, 4, rng);
  DIB dst;
  ASSERT_TRUE(dst.Create(5, 4));
  ASSERT_TRUE(dst.ResizeFrom(src));
  EXPECT_TRUE(dst.IsSame(src));
  ASSERT_TRUE(dst.Clear());
  ASSERT_TRUE(dst.QuickResizeFrom(src));
  EXPECT_TRUE(dst.IsSame(src));
}

} // namespace
} // namespace rw
