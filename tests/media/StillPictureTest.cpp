#include "base/MessageText.h"
#include "base/UserPrompt.h"
#include "media/MediaContext.h"
#include "media/PictureReader.h"
#include "media/VideoClipKinds.h"
#include "tests/support/StillTestFiles.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace rw {
namespace {

using test::PngVariant;
using test::TestPicture;

// Decodes `bytes` and answers the rows as 0xRRGGBB, top first; empty when refused.
TestPicture Decode(const std::vector<std::uint8_t>& bytes, const char* name, MessageText& messages) {
  PictureReader reader;
  TestPicture out;
  if (!reader.Open(bytes, name, messages))
    return out;
  out.width = reader.Width();
  out.height = reader.Height();
  std::vector<std::uint32_t> row(static_cast<std::size_t>(out.width));
  while (reader.NextRow(row.data()))
    for (std::uint32_t p : row)
      out.rgb.push_back((p >> 16 & 0xFF) << 16 | (p >> 24 & 0xFF) << 8 | (p >> 8 & 0xFF));
  EXPECT_EQ(out.rgb.size(), static_cast<std::size_t>(out.width) * static_cast<std::size_t>(out.height));
  return out;
}

// Every channel of every pixel within `tolerance` of the wanted one.
void ExpectNear(const TestPicture& got, const TestPicture& want, int tolerance = 0) {
  ASSERT_EQ(got.width, want.width);
  ASSERT_EQ(got.height, want.height);
  for (std::int32_t y = 0; y < want.height; ++y)
    for (std::int32_t x = 0; x < want.width; ++x)
      for (int shift : {0, 8, 16}) {
        const int g = static_cast<int>(got.At(x, y) >> shift & 0xFF);
        const int w = static_cast<int>(want.At(x, y) >> shift & 0xFF);
        ASSERT_LE(std::abs(g - w), tolerance) << "x=" << x << " y=" << y << " shift=" << shift;
      }
}

TestPicture Map(const TestPicture& p, std::uint32_t (*f)(std::uint32_t, std::uint8_t),
                const std::vector<std::uint8_t>& alpha) {
  TestPicture out = p;
  for (std::size_t i = 0; i < out.rgb.size(); ++i)
    out.rgb[i] = f(out.rgb[i], alpha.empty() ? 255 : alpha[i]);
  return out;
}

// Each channel weighted by alpha, rounded: the picture over black.
std::uint32_t OverBlack(std::uint32_t c, std::uint8_t a) {
  std::uint32_t out = 0;
  for (int shift : {0, 8, 16})
    out |= (((c >> shift & 0xFF) * a + 127) / 255) << shift;
  return out;
}

std::uint32_t GreyOf(std::uint32_t c, std::uint8_t) {
  const std::uint32_t g = c >> 8 & 0xFF;
  return g << 16 | g << 8 | g;
}

std::uint32_t MonoOf(std::uint32_t c, std::uint8_t) {
  return (c >> 8 & 0xFF) >= 128 ? 0xFFFFFF : 0;
}

const std::pair<std::int32_t, std::int32_t> kSizes[] = {{1, 1}, {3, 2}, {7, 5}, {33, 4}};

TEST(StillPictureTest, EveryOpaquePngLayoutComesOutExactly) {
  struct Variant {
    PngVariant variant;
    const char* name;
    std::uint32_t (*expect)(std::uint32_t, std::uint8_t);
  };
  const Variant variants[] = {
      {PngVariant::Rgb24, "rgb24", nullptr}, {PngVariant::Rgb48, "rgb48", nullptr},
      {PngVariant::Grey8, "grey8", GreyOf},  {PngVariant::Grey16, "grey16", GreyOf},
      {PngVariant::Mono, "mono", MonoOf},    {PngVariant::Palette, "palette", nullptr},
  };
  MessageText messages;
  for (const Variant& v : variants)
    for (auto [w, h] : kSizes) {
      SCOPED_TRACE(testing::Message() << v.name << " " << w << "x" << h);
      const TestPicture picture =
          v.variant == PngVariant::Palette ? TestPicture::Indexed(w, h, 200) : TestPicture::Pattern(w, h);
      ExpectNear(Decode(test::PngBytes(picture, v.variant), "p.png", messages),
                 v.expect ? Map(picture, v.expect, {}) : picture);
    }
  EXPECT_EQ(messages.Get(), "");
}

TEST(StillPictureTest, PngAlphaIsCompositedOverBlack) {
  MessageText messages;
  const TestPicture pattern = TestPicture::Pattern(7, 5);
  std::vector<std::uint8_t> alpha(35);
  for (std::size_t i = 0; i < alpha.size(); ++i)
    alpha[i] = static_cast<std::uint8_t>(i % 5 == 0 ? 0 : i % 5 == 1 ? 255 : 37 * i);
  const TestPicture over = Map(pattern, OverBlack, alpha);
  for (PngVariant v : {PngVariant::Rgba, PngVariant::Rgba64, PngVariant::Palette}) {
    SCOPED_TRACE(static_cast<int>(v));
    ExpectNear(Decode(test::PngBytes(pattern, v, alpha), "p.png", messages), over);
  }
  const TestPicture grey = Map(Map(pattern, GreyOf, {}), OverBlack, alpha);
  ExpectNear(Decode(test::PngBytes(pattern, PngVariant::GreyAlpha8, alpha), "p.png", messages), grey);
  ExpectNear(Decode(test::PngBytes(pattern, PngVariant::GreyAlpha16, alpha), "p.png", messages), grey);
  EXPECT_EQ(messages.Get(), "");
}

// Six blocks of 8 x 8 in three columns and two rows, each one colour, so that the colours
// survive JPEG compression and every mirroring or turn shows.
TestPicture Blocks() {
  static const std::uint32_t kColours[2][3] = {{0xE02020, 0x20E020, 0x2020E0},
                                               {0xE0E020, 0x20E0E0, 0xF0F0F0}};
  TestPicture p;
  p.width = 24;
  p.height = 16;
  for (std::int32_t y = 0; y < 16; ++y)
    for (std::int32_t x = 0; x < 24; ++x)
      p.rgb.push_back(kColours[y / 8][x / 8]);
  return p;
}

// The picture as an EXIF orientation says it is meant to be seen.
TestPicture Oriented(const TestPicture& p, int orientation) {
  const bool turned = orientation >= 5;
  TestPicture out;
  out.width = turned ? p.height : p.width;
  out.height = turned ? p.width : p.height;
  const std::int32_t w = p.width, h = p.height;
  for (std::int32_t y = 0; y < out.height; ++y)
    for (std::int32_t x = 0; x < out.width; ++x) {
      const std::pair<std::int32_t, std::int32_t> at[9] = {
          {x, y}, {x, y},         {w - 1 - x, y},         {w - 1 - x, h - 1 - y}, {x, h - 1 - y},
          {y, x}, {y, h - 1 - x}, {w - 1 - y, h - 1 - x}, {w - 1 - y, x}};
      out.rgb.push_back(p.At(at[orientation].first, at[orientation].second));
    }
  return out;
}

TEST(StillPictureTest, JpegBaselineProgressiveAndExifOrientation) {
  MessageText messages;
  const TestPicture blocks = Blocks();
  const std::vector<std::uint8_t> jpeg = test::JpegBytes(blocks);
  ExpectNear(Decode(jpeg, "p.jpg", messages), blocks, 6);

  // Orientation 6 is a phone held upright: 16 wide and 24 high as shown.
  for (int orientation = 1; orientation <= 8; ++orientation)
    for (bool bigEndian : {false, true}) {
      SCOPED_TRACE(testing::Message() << "orientation " << orientation << (bigEndian ? " MM" : " II"));
      const auto bytes = test::WithExifOrientation(jpeg, static_cast<std::uint16_t>(orientation), bigEndian);
      ExpectNear(Decode(bytes, "p.jpeg", messages), Oriented(blocks, orientation), 6);
    }
  // Values outside 1 to 8 leave the picture as stored.
  for (std::uint16_t bad : {0, 9, 0xFFFF})
    ExpectNear(Decode(test::WithExifOrientation(jpeg, bad), "p.jpg", messages), blocks, 6);

  TestPicture grey;
  grey.width = 24;
  grey.height = 16;
  grey.rgb.assign(24 * 16, 0x909090);
  ExpectNear(Decode(test::ProgressiveGreyJpeg(3, 2), "p.jpg", messages), grey, 1);
  EXPECT_EQ(messages.Get(), "");
}

TEST(StillPictureTest, TheSignatureDecidesTheDecoder) {
  MessageText messages;
  const TestPicture pattern = TestPicture::Pattern(5, 3);
  // Named as anything, PNG and JPEG bytes decode as what they are.
  for (const char* name : {"p.tga", "p.bmp", "p.jpg", "p"}) {
    SCOPED_TRACE(name);
    ExpectNear(Decode(test::PngBytes(pattern, PngVariant::Rgb24), name, messages), pattern);
    ExpectNear(Decode(test::JpegBytes(Blocks()), name, messages), Blocks(), 6);
  }
  // A bitmap named as a PNG picture still opens; a Targa file named so is not guessed at.
  ExpectNear(Decode(test::BmpBytes(pattern, test::BmpVariant::Bgr24), "p.png", messages), pattern);
  EXPECT_EQ(messages.Get(), "");
  const auto targa = test::TgaBytes(pattern, test::TgaVariant::Bgr24);
  ExpectNear(Decode(targa, "p.tga", messages), pattern);
  for (const char* name : {"t.png", "t.JPG", "t.Jpeg"}) {
    MessageText refused;
    EXPECT_EQ(Decode(targa, name, refused).width, 0) << name;
    EXPECT_NE(refused.Get().find(name), std::string::npos) << refused.Get();
  }
}

TEST(StillPictureTest, DamagedAndOversizedPicturesAreRefusedNamingTheFile) {
  const auto png = test::PngBytes(TestPicture::Pattern(33, 4), PngVariant::Rgba);
  const auto jpeg = test::JpegBytes(Blocks());
  auto refused = [](std::vector<std::uint8_t> bytes, const char* name, const char* why) {
    MessageText messages;
    PictureReader reader;
    EXPECT_FALSE(reader.Open(bytes, name, messages)) << name;
    EXPECT_NE(messages.Get().find(name), std::string::npos) << messages.Get();
    EXPECT_NE(messages.Get().find(why), std::string::npos) << messages.Get();
    EXPECT_EQ(reader.Width(), 0);
  };
  // Cut short inside the header or the picture data.
  for (std::size_t keep : {std::size_t{8}, std::size_t{20}, png.size() / 2}) {
    refused({png.begin(), png.begin() + static_cast<std::ptrdiff_t>(keep)}, "cut.png", "読み込めません");
    refused({jpeg.begin(), jpeg.begin() + static_cast<std::ptrdiff_t>(std::min(keep, jpeg.size() / 3))},
            "cut.jpg", "読み込めません");
  }
  // Sizes over the limits, refused from the header alone: too wide; 8192 x 8192 at 8 bytes a
  // pixel (16-bit RGBA) needs 512 MiB.
  auto setPngSize = [&](std::uint32_t w, std::uint32_t h, std::uint8_t depth) {
    std::vector<std::uint8_t> b = png;
    for (int i = 0; i < 4; ++i) {
      b[16 + i] = static_cast<std::uint8_t>(w >> (24 - 8 * i));
      b[20 + i] = static_cast<std::uint8_t>(h >> (24 - 8 * i));
    }
    b[24] = depth;
    return b;
  };
  refused(setPngSize(20000, 2, 8), "wide.png", "20000x2");
  refused(setPngSize(8192, 8192, 16), "deep.png", "256MiB");
  // A JPEG frame header claiming 16385 lines.
  std::vector<std::uint8_t> tall = jpeg;
  for (std::size_t i = 2; i + 8 < tall.size(); ++i)
    if (tall[i] == 0xFF && tall[i + 1] == 0xC0) {
      tall[i + 5] = 0x40;
      tall[i + 6] = 0x01;
      break;
    }
  refused(tall, "tall.jpg", "24x16385");
}

TEST(StillPictureTest, PngAndJpegFilesOpenAsPictureCuts) {
  test::TempDir dir;
  MessageText messages;
  FixedPrompt prompt;
  MediaContext context{messages, prompt};
  test::WriteBytes(dir / "a.PNG", test::PngBytes(TestPicture::Pattern(6, 4), PngVariant::Rgba));
  test::WriteBytes(dir / "b.jpeg", test::WithExifOrientation(test::JpegBytes(Blocks()), 8));
  const VideoClip png = VideoClipKinds::OpenFile(dir / "a.PNG", context);
  ASSERT_TRUE(png);
  EXPECT_EQ(png->GetKindName(), "PIC");
  EXPECT_EQ(png->GetWidth(), 6);
  const VideoClip jpeg = VideoClipKinds::OpenFile(dir / "b.jpeg", context);
  ASSERT_TRUE(jpeg);
  EXPECT_EQ(jpeg->GetWidth(), 16);
  EXPECT_EQ(jpeg->GetHeight(), 24);
  EXPECT_EQ(messages.Get(), "");
}

} // namespace
} // namespace rw
