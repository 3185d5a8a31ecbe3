#include "output/PictureConverter.h"

#include "render/DIB.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

#include <cstdint>

namespace rw {

namespace {

bool IsDirect(AVPixelFormat format) {
  switch (format) {
  case AV_PIX_FMT_BGR24:
  case AV_PIX_FMT_RGB24:
  case AV_PIX_FMT_BGR0:
  case AV_PIX_FMT_BGRA:
  case AV_PIX_FMT_GBRP:
  case AV_PIX_FMT_RGB555LE:
    return true;
  default:
    return false;
  }
}

// The full-range formats named "yuvj…" are the plain YUV layouts with another range.
AVPixelFormat PlainLayout(AVPixelFormat format, bool& fullRange) {
  fullRange = true;
  switch (format) {
  case AV_PIX_FMT_YUVJ420P:
    return AV_PIX_FMT_YUV420P;
  case AV_PIX_FMT_YUVJ422P:
    return AV_PIX_FMT_YUV422P;
  case AV_PIX_FMT_YUVJ444P:
    return AV_PIX_FMT_YUV444P;
  default:
    fullRange = false;
    return format;
  }
}

} // namespace

bool PictureConverter::Setup(AVPixelFormat format, int width, int height, std::string& detail) {
  sws_.reset();
  format_ = AV_PIX_FMT_NONE;
  if (width <= 0 || height <= 0) {
    detail = "invalid picture size";
    return false;
  }
  if (!IsDirect(format)) {
    bool fullRange = false;
    const AVPixelFormat layout = PlainLayout(format, fullRange);
    if (!sws_isSupportedOutput(layout)) {
      detail = std::string("no conversion to ") +
               (av_get_pix_fmt_name(format) ? av_get_pix_fmt_name(format) : "?");
      return false;
    }
    sws_ = ff::MakeSws(width, height, AV_PIX_FMT_BGR24, width, height, layout,
                       SWS_BICUBIC | SWS_ACCURATE_RND | SWS_BITEXACT | SWS_FULL_CHR_H_INP);
    if (!sws_) {
      detail = "no picture converter";
      return false;
    }
    const int* coefficients = sws_getCoefficients(SWS_CS_ITU601);
    sws_setColorspaceDetails(sws_.get(), coefficients, 1, coefficients, fullRange ? 1 : 0, 0, 1 << 16,
                             1 << 16);
  }
  format_ = format;
  width_ = width;
  height_ = height;
  return true;
}

bool PictureConverter::Convert(const DIB& picture, AVFrame& frame) const {
  if (format_ == AV_PIX_FMT_NONE || !picture.IsPresent() || picture.Width() != width_ ||
      picture.Height() != height_ || picture.Header()->biBitCount != 24 ||
      picture.Header()->biCompression != 0 || frame.format != format_ || frame.width != width_ ||
      frame.height != height_)
    return false;
  const int stride = picture.Stride();
  // Row y from the top of the picture.
  auto top = [&](int y) { return picture.Bits() + static_cast<std::ptrdiff_t>(height_ - 1 - y) * stride; };

  if (sws_) {
    const std::uint8_t* src[1] = {top(0)};
    const int srcStride[1] = {-stride};
    return sws_scale(sws_.get(), src, srcStride, 0, height_, frame.data, frame.linesize) == height_;
  }
  for (int y = 0; y < height_; ++y) {
    const std::uint8_t* s = top(y);
    std::uint8_t* d0 = frame.data[0] + static_cast<std::ptrdiff_t>(y) * frame.linesize[0];
    switch (format_) {
    case AV_PIX_FMT_BGR24:
      for (int x = 0; x < width_ * 3; ++x)
        d0[x] = s[x];
      break;
    case AV_PIX_FMT_RGB24:
      for (int x = 0; x < width_; ++x) {
        d0[3 * x] = s[3 * x + 2];
        d0[3 * x + 1] = s[3 * x + 1];
        d0[3 * x + 2] = s[3 * x];
      }
      break;
    case AV_PIX_FMT_BGR0:
    case AV_PIX_FMT_BGRA:
      for (int x = 0; x < width_; ++x) {
        d0[4 * x] = s[3 * x];
        d0[4 * x + 1] = s[3 * x + 1];
        d0[4 * x + 2] = s[3 * x + 2];
        d0[4 * x + 3] = 255;
      }
      break;
    case AV_PIX_FMT_GBRP: {
      std::uint8_t* b = frame.data[1] + static_cast<std::ptrdiff_t>(y) * frame.linesize[1];
      std::uint8_t* r = frame.data[2] + static_cast<std::ptrdiff_t>(y) * frame.linesize[2];
      for (int x = 0; x < width_; ++x) {
        b[x] = s[3 * x];
        d0[x] = s[3 * x + 1];
        r[x] = s[3 * x + 2];
      }
      break;
    }
    case AV_PIX_FMT_RGB555LE:
      for (int x = 0; x < width_; ++x) {
        auto five = [](unsigned c) { return c >= 252 ? 31u : (c + 4) >> 3; };
        const unsigned v = (five(s[3 * x + 2]) << 10) | (five(s[3 * x + 1]) << 5) | five(s[3 * x]);
        d0[2 * x] = static_cast<std::uint8_t>(v);
        d0[2 * x + 1] = static_cast<std::uint8_t>(v >> 8);
      }
      break;
    default:
      return false;
    }
  }
  return true;
}

} // namespace rw
