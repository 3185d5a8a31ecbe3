#include "media/PictureReader.h"
#include "base/MessageText.h"
#include "tests/support/PictureTestFiles.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace rw {
namespace {

using test::BmpVariant;
using test::TestPicture;
using test::TgaOrigin;
using test::TgaVariant;

// Decodes `bytes` and answers the rows as 0xRRGGBB, top first; empty when refused.
TestPicture Decode(const std::vector<std::uint8_t>& bytes, const char* name, MessageText& messages) {
  PictureReader reader;
  TestPicture out;
  if (!reader.Open(bytes, name, messages))
    return out;
  out.width = reader.Width();
  out.height = reader.Height();
  std::vector<std::uint32_t> row(static_cast<std::size_t>(out.width));
  for (std::int32_t y = 0; y < out.height; ++y) {
    EXPECT_TRUE(reader.NextRow(row.data()));
    for (std::uint32_t p : row) {
      EXPECT_EQ(p & 0xFF, 0u);
      out.rgb.push_back((p >> 16 & 0xFF) << 16 | (p >> 24 & 0xFF) << 8 | (p >> 8 & 0xFF));
    }
  }
  EXPECT_FALSE(reader.NextRow(row.data()));
  reader.Close();
  return out;
}

void ExpectSame(const TestPicture& got, const TestPicture& want) {
  ASSERT_EQ(got.width, want.width);
  ASSERT_EQ(got.height, want.height);
  for (std::int32_t y = 0; y < want.height; ++y)
    for (std::int32_t x = 0; x < want.width; ++x)
      ASSERT_EQ(got.At(x, y), want.At(x, y)) << "x=" << x << " y=" << y;
}

const std::pair<std::int32_t, std::int32_t> kSizes[] = {{1, 1}, {3, 2}, {7, 5}, {33, 4}};

TEST(PictureReaderTest, EveryBitmapVariantComesOutTopFirst) {
  struct Variant {
    BmpVariant variant;
    const char* name;
    TestPicture (*make)(std::int32_t, std::int32_t);
  };
  const Variant variants[] = {
      {BmpVariant::Bgr24, "bgr24", TestPicture::Pattern},
      {BmpVariant::Bgr24TopDown, "top-down", TestPicture::Pattern},
      {BmpVariant::Bgrx32, "bgrx32", TestPicture::Pattern},
      {BmpVariant::Rgb555, "rgb555", TestPicture::Primaries},
      {BmpVariant::Rgb565, "rgb565", TestPicture::Primaries},
      {BmpVariant::Pal8, "pal8",
       [](std::int32_t w, std::int32_t h) { return TestPicture::Indexed(w, h, 200); }},
      {BmpVariant::Pal4, "pal4",
       [](std::int32_t w, std::int32_t h) { return TestPicture::Indexed(w, h, 16); }},
      {BmpVariant::Pal1, "pal1",
       [](std::int32_t w, std::int32_t h) { return TestPicture::Indexed(w, h, 2); }},
      {BmpVariant::Rle8, "rle8",
       [](std::int32_t w, std::int32_t h) { return TestPicture::Indexed(w, h, 5); }},
      {BmpVariant::Rle4, "rle4",
       [](std::int32_t w, std::int32_t h) { return TestPicture::Indexed(w, h, 3); }},
      {BmpVariant::Os2Bgr24, "os2", TestPicture::Pattern},
  };
  MessageText messages;
  for (const Variant& v : variants) {
    for (auto [w, h] : kSizes) {
      SCOPED_TRACE(testing::Message() << v.name << " " << w << "x" << h);
      const TestPicture want = v.make(w, h);
      ExpectSame(Decode(test::BmpBytes(want, v.variant), "p.bmp", messages), want);
    }
  }
  // Runs long enough for both run and absolute codes.
  const TestPicture stripes = TestPicture::Indexed(300, 3, 1);
  ExpectSame(Decode(test::BmpBytes(stripes, BmpVariant::Rle8), "p.bmp", messages), stripes);
  EXPECT_TRUE(messages.Empty()) << messages.Get();
}

TEST(PictureReaderTest, EveryTargaVariantAndOriginComesOutTopFirst) {
  struct Variant {
    TgaVariant variant;
    const char* name;
    TestPicture (*make)(std::int32_t, std::int32_t);
  };
  const Variant variants[] = {
      {TgaVariant::Bgr24, "bgr24", TestPicture::Pattern},
      {TgaVariant::Bgra32, "bgra32", TestPicture::Pattern},
      {TgaVariant::Rgb555, "rgb555", TestPicture::Primaries},
      {TgaVariant::Rle24, "rle24",
       [](std::int32_t w, std::int32_t h) { return TestPicture::Indexed(w, h, 4); }},
      {TgaVariant::Grey8, "grey8", TestPicture::Grey},
      {TgaVariant::Mapped8, "mapped8",
       [](std::int32_t w, std::int32_t h) { return TestPicture::Indexed(w, h, 50); }},
      {TgaVariant::RleMapped8, "rle mapped8",
       [](std::int32_t w, std::int32_t h) { return TestPicture::Indexed(w, h, 3); }},
  };
  const std::pair<TgaOrigin, const char*> origins[] = {{TgaOrigin::BottomLeft, "bottom-left"},
                                                       {TgaOrigin::TopLeft, "top-left"},
                                                       {TgaOrigin::BottomRight, "bottom-right"},
                                                       {TgaOrigin::TopRight, "top-right"}};
  MessageText messages;
  for (const Variant& v : variants) {
    for (auto [origin, originName] : origins) {
      for (auto [w, h] : kSizes) {
        SCOPED_TRACE(testing::Message() << v.name << " " << originName << " " << w << "x" << h);
        const TestPicture want = v.make(w, h);
        ExpectSame(Decode(test::TgaBytes(want, v.variant, origin), "p.tga", messages), want);
      }
    }
  }
  // A mixed RLE picture: repeats and changes in every row.
  const TestPicture mixed = TestPicture::Pattern(200, 3);
  ExpectSame(Decode(test::TgaBytes(mixed, TgaVariant::Rle24), "p.tga", messages), mixed);
  EXPECT_TRUE(messages.Empty()) << messages.Get();
}

TEST(PictureReaderTest, FilesFromLibavcodecEncoders) {
  MessageText messages;
  const TestPicture want = TestPicture::Pattern(13, 7);
  ExpectSame(Decode(test::EncodeWithLibavcodec(want, false), "enc.bmp", messages), want);
  ExpectSame(Decode(test::EncodeWithLibavcodec(want, true), "enc.tga", messages), want);
}

TEST(PictureReaderTest, TargaIsFoundByExtensionThenByDecoding) {
  MessageText messages;
  const TestPicture want = TestPicture::Pattern(4, 3);
  const auto tga = test::TgaBytes(want, TgaVariant::Bgr24, TgaOrigin::TopLeft);
  const auto bmp = test::BmpBytes(want, BmpVariant::Bgr24);
  ExpectSame(Decode(tga, "p.TGA", messages), want);
  ExpectSame(Decode(tga, "p.bmp", messages), want); // named wrongly: the other decoder succeeds
  ExpectSame(Decode(tga, "noextension", messages), want);
  ExpectSame(Decode(bmp, "p.tga", messages), want);
  ExpectSame(Decode(bmp, "p.pic", messages), want);
}

TEST(PictureReaderTest, OversizedPicturesAreRefusedBeforeDecoding) {
  MessageText messages;
  auto bmpClaiming = [](std::int32_t w, std::int32_t h) {
    auto bytes = test::BmpBytes(TestPicture::Pattern(2, 2), BmpVariant::Bgr24);
    for (int i = 0; i < 4; ++i) {
      bytes[18 + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(w) >> (8 * i));
      bytes[22 + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(h) >> (8 * i));
    }
    return bytes;
  };
  auto tgaClaiming = [](std::uint16_t w, std::uint16_t h) {
    auto bytes = test::TgaBytes(TestPicture::Pattern(2, 2), TgaVariant::Bgr24);
    bytes[12] = static_cast<std::uint8_t>(w), bytes[13] = static_cast<std::uint8_t>(w >> 8);
    bytes[14] = static_cast<std::uint8_t>(h), bytes[15] = static_cast<std::uint8_t>(h >> 8);
    return bytes;
  };
  const struct {
    const char* what;
    std::vector<std::uint8_t> bytes;
    const char* name;
  } cases[] = {
      {"wide bmp", bmpClaiming(16385, 1), "big.bmp"},
      {"tall top-down bmp", bmpClaiming(1, -16385), "big.bmp"},
      {"bmp of 1 GiB", bmpClaiming(16384, 16384), "big.bmp"},
      {"bmp just over 256 MiB", bmpClaiming(8193, 8192), "big.bmp"},
      {"wide tga", tgaClaiming(65535, 2), "big.tga"},
      {"tga over 256 MiB", tgaClaiming(16384, 4097), "big.tga"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    messages.Clear();
    EXPECT_EQ(Decode(c.bytes, c.name, messages).width, 0);
    EXPECT_NE(messages.Get().find("大きすぎます"), std::string::npos) << messages.Get();
    EXPECT_NE(messages.Get().find(c.name), std::string::npos);
  }
  // Within the limits but without the pixels: an ordinary refusal.
  messages.Clear();
  EXPECT_EQ(Decode(bmpClaiming(8192, 8192), "short.bmp", messages).width, 0);
  EXPECT_NE(messages.Get().find("short.bmp"), std::string::npos);
  EXPECT_EQ(messages.Get().find("大きすぎます"), std::string::npos);
}

TEST(PictureReaderTest, DamagedFilesAreRefusedWithoutHarm) {
  MessageText messages;
  const TestPicture p = TestPicture::Indexed(9, 6, 4);
  const std::vector<std::vector<std::uint8_t>> files = {
      test::BmpBytes(p, BmpVariant::Bgr24), test::BmpBytes(p, BmpVariant::Rle8),
      test::BmpBytes(p, BmpVariant::Pal4), test::TgaBytes(p, TgaVariant::Rle24),
      test::TgaBytes(p, TgaVariant::Mapped8)};
  for (const auto& whole : files) {
    for (std::size_t cut = 0; cut < whole.size(); ++cut) {
      std::vector<std::uint8_t> part(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut));
      const TestPicture got = Decode(part, "cut.bmp", messages);
      // Either refused, or a picture of the claimed size.
      if (got.width != 0) {
        EXPECT_EQ(got.width, 9);
        EXPECT_EQ(got.height, 6);
      }
    }
  }
  messages.Clear();
  EXPECT_EQ(Decode({}, "empty.tga", messages).width, 0);
  EXPECT_FALSE(messages.Empty());
  const std::vector<std::uint8_t> text = {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '\n',
                                          0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0};
  EXPECT_EQ(Decode(text, "text.tga", messages).width, 0);
}

TEST(PictureReaderTest, OpensFilesOnDisk) {
  test::TempDir dir;
  MessageText messages;
  PictureReader reader;
  const TestPicture p = TestPicture::Pattern(5, 4);
  test::WriteBytes(dir / "p.bmp", test::BmpBytes(p, BmpVariant::Bgr24));
  ASSERT_TRUE(reader.Open(dir / "p.bmp", messages));
  EXPECT_EQ(reader.Width(), 5);
  EXPECT_EQ(reader.Height(), 4);
  EXPECT_FALSE(reader.Open(dir / "missing.bmp", messages));
  EXPECT_EQ(reader.Width(), 0);
  EXPECT_FALSE(reader.Open(dir.Path(), messages));
  EXPECT_NE(messages.Get().find("missing.bmp"), std::string::npos);
}

} // namespace
} // namespace rw
