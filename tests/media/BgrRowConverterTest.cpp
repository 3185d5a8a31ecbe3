// Conversion straight into bottom-up pictures: the same pixels as the row-by-row conversion for
// every source form and size, and nothing written between or after the rows.
#include "media/BgrRowConverter.h"

#include <gtest/gtest.h>

extern "C" {
#include <libavutil/pixdesc.h>
}

#include <algorithm>

#include <random>
#include <vector>

namespace rw {
namespace {

// A picture of noise (so that every byte of the result depends on its own source samples).
ff::FramePtr Noise(AVPixelFormat format, int width, int height,
                   AVColorRange range = AVCOL_RANGE_UNSPECIFIED) {
  ff::FramePtr f = ff::MakeFrame();
  f->format = format;
  f->width = width;
  f->height = height;
  f->color_range = range;
  if (av_frame_get_buffer(f.get(), 0) < 0)
    return nullptr;
  std::mt19937 random(static_cast<unsigned>(width * 1000 + height));
  const bool deep = format == AV_PIX_FMT_YUV420P10LE;
  const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(format);
  for (int plane = 0; plane < 4 && f->data[plane]; ++plane)
    for (int y = 0; y < (plane == 1 || plane == 2 ? AV_CEIL_RSHIFT(height, desc->log2_chroma_h) : height);
         ++y)
      for (int x = 0; x < f->linesize[plane]; ++x)
        f->data[plane][y * f->linesize[plane] + x] =
            static_cast<std::uint8_t>(deep && x % 2 ? random() % 4 : random() % 256);
  return f;
}

constexpr std::uint8_t kMark = 0xA5;

// Converts both ways and compares; the bytes around the rows keep their mark.
void ExpectSameBothWays(const AVFrame& source, int width, int height) {
  SCOPED_TRACE(testing::Message() << av_get_pix_fmt_name(static_cast<AVPixelFormat>(source.format)) << " "
                                  << source.width << "x" << source.height << " to " << width << "x"
                                  << height);
  BgrRowConverter rowByRow, bottomUp;
  std::vector<std::uint8_t> rows, scratch;
  std::size_t rowStride = 0;
  const std::uint8_t* top = rowByRow.Convert(source, width, height, rows, rowStride);
  ASSERT_NE(top, nullptr);
  const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
  const std::size_t stride = (rowBytes + 3) & ~std::size_t{3};
  const std::size_t size = stride * static_cast<std::size_t>(height);
  std::vector<std::uint8_t> picture(size + BgrRowConverter::kRowSlack, kMark);
  // Twice, the second time with the converter set up already.
  for (int pass = 0; pass < 2; ++pass)
    ASSERT_TRUE(bottomUp.ConvertBottomUp(source, width, height, scratch, picture.data(), stride));
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* got = picture.data() + static_cast<std::size_t>(height - 1 - y) * stride;
    ASSERT_TRUE(std::equal(got, got + rowBytes, top + static_cast<std::size_t>(y) * rowStride))
        << "row " << y;
    for (std::size_t x = rowBytes; x < stride; ++x)
      ASSERT_EQ(got[x], kMark) << "padding of row " << y;
  }
  for (std::size_t i = size; i < picture.size(); ++i)
    ASSERT_EQ(picture[i], kMark) << "byte " << i - size << " after the picture";
}

TEST(BgrRowConverterTest, BottomUpPicturesMatchTheRowsAtEveryWidthAndForm) {
  for (const AVPixelFormat format :
       {AV_PIX_FMT_YUV420P, AV_PIX_FMT_YUV422P, AV_PIX_FMT_YUV444P, AV_PIX_FMT_YUVJ420P,
        AV_PIX_FMT_YUV420P10LE, AV_PIX_FMT_RGB24, AV_PIX_FMT_BGR0}) {
    // Widths written in place and widths around them that are not; odd and even heights.
    for (const int width : {16, 32, 48, 64, 160, 15, 17, 31, 33, 161})
      for (const int height : {8, 9, 99}) {
        // Full-range 4:2:0 at widths off the block gives the first pixels of a picture
        // differently from one converter to the next on this machine's libswscale (row by row
        // too), so there is nothing fixed to compare with.
        if (format == AV_PIX_FMT_YUVJ420P && !BgrRowConverter::WritesInPlace(width))
          continue;
        const ff::FramePtr f = Noise(format, width, height);
        ASSERT_NE(f, nullptr);
        ExpectSameBothWays(*f, width, height);
        // Scaled: up, down and to another aspect.
        ExpectSameBothWays(*f, width * 2, height);
        if (width >= 32)
          ExpectSameBothWays(*f, width / 2, height / 2 + 1);
      }
  }
  // Full range named by the picture, and a full HD picture.
  const ff::FramePtr full = Noise(AV_PIX_FMT_YUV420P, 64, 36, AVCOL_RANGE_JPEG);
  ExpectSameBothWays(*full, 64, 36);
  const ff::FramePtr hd = Noise(AV_PIX_FMT_YUV420P, 1920, 1080);
  ExpectSameBothWays(*hd, 1920, 1080);
}

TEST(BgrRowConverterTest, BottomUpRefusesWhatItCannotWrite) {
  const ff::FramePtr f = Noise(AV_PIX_FMT_YUV420P, 32, 8);
  BgrRowConverter converter;
  std::vector<std::uint8_t> scratch;
  std::vector<std::uint8_t> picture(32 * 3 * 8 + BgrRowConverter::kRowSlack);
  EXPECT_FALSE(converter.ConvertBottomUp(*f, 32, 8, scratch, nullptr, 96));
  EXPECT_FALSE(converter.ConvertBottomUp(*f, 32, 8, scratch, picture.data(), 95)); // rows overlap
  EXPECT_FALSE(converter.ConvertBottomUp(*f, 0, 8, scratch, picture.data(), 96));
  ff::FramePtr empty = ff::MakeFrame();
  EXPECT_FALSE(converter.ConvertBottomUp(*empty, 32, 8, scratch, picture.data(), 96));
  EXPECT_TRUE(converter.ConvertBottomUp(*f, 32, 8, scratch, picture.data(), 96));
}

} // namespace
} // namespace rw
