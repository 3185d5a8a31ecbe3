#include "media/BgrRowConverter.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

#include <climits>
#include <cstring>
#include <new>

namespace rw {
namespace {

// The full-range formats of JPEG-style codecs, as their plain equivalents.
AVPixelFormat PlainFormat(AVPixelFormat f, bool& fullRange) {
  switch (f) {
  case AV_PIX_FMT_YUVJ420P:
    fullRange = true;
    return AV_PIX_FMT_YUV420P;
  case AV_PIX_FMT_YUVJ422P:
    fullRange = true;
    return AV_PIX_FMT_YUV422P;
  case AV_PIX_FMT_YUVJ444P:
    fullRange = true;
    return AV_PIX_FMT_YUV444P;
  case AV_PIX_FMT_YUVJ440P:
    fullRange = true;
    return AV_PIX_FMT_YUV440P;
  case AV_PIX_FMT_YUVJ411P:
    fullRange = true;
    return AV_PIX_FMT_YUV411P;
  default:
    return f;
  }
}

} // namespace

void BgrRowConverter::Reset() {
  sws_.reset();
  colours_ = {};
}

bool BgrRowConverter::Prepare(const AVFrame& frame, std::int32_t width, std::int32_t height) {
  if (frame.width < 1 || frame.height < 1 || frame.format < 0 || width < 1 || height < 1)
    return false;
  bool fullRange = frame.color_range == AVCOL_RANGE_JPEG;
  const AVPixelFormat format = PlainFormat(static_cast<AVPixelFormat>(frame.format), fullRange);
  const int flags = frame.width == width && frame.height == height ? SWS_POINT : SWS_BICUBIC;
  if (!ff::ReuseSws(sws_, frame.width, frame.height, format, width, height, AV_PIX_FMT_BGR24, flags)) {
    colours_ = {};
    return false;
  }
  const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(format);
  const int space = frame.colorspace == AVCOL_SPC_UNSPECIFIED ? SWS_CS_DEFAULT : frame.colorspace;
  const bool yuv = desc && !(desc->flags & AV_PIX_FMT_FLAG_RGB);
  // The colour tables are built again only when the converter or the source's colours change.
  const Colours colours{sws_.get(), frame.width, frame.height, format, space, fullRange};
  if (yuv && !(colours == colours_)) {
    sws_setColorspaceDetails(sws_.get(), sws_getCoefficients(space), fullRange ? 1 : 0,
                             sws_getCoefficients(SWS_CS_DEFAULT), 1, 0, 1 << 16, 1 << 16);
    colours_ = colours;
  }
  return true;
}

const std::uint8_t* BgrRowConverter::Convert(const AVFrame& frame, std::int32_t width, std::int32_t height,
                                             std::vector<std::uint8_t>& rows, std::size_t& stride) {
  if (!Prepare(frame, width, height))
    return nullptr;
  // libswscale stores whole words and writes past the end of a row when the row does not end
  // on a word: rows with room to spare.
  const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
  stride = (rowBytes + kRowSlack + 63) & ~std::size_t{63};
  const std::size_t bytes = stride * static_cast<std::size_t>(height) + kRowSlack;
  if (rows.size() < bytes) {
    try {
      rows.resize(bytes);
    } catch (const std::bad_alloc&) {
      rows = {};
      return nullptr;
    }
  }
  std::uint8_t* dest[4] = {rows.data(), nullptr, nullptr, nullptr};
  const int destStride[4] = {static_cast<int>(stride), 0, 0, 0};
  if (sws_scale(sws_.get(), frame.data, frame.linesize, 0, frame.height, dest, destStride) != height)
    return nullptr;
  return rows.data();
}

bool BgrRowConverter::ConvertBottomUp(const AVFrame& frame, std::int32_t width, std::int32_t height,
                                      std::vector<std::uint8_t>& scratch, std::uint8_t* picture,
                                      std::size_t stride) {
  const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
  if (!picture || stride < rowBytes || stride > static_cast<std::size_t>(INT32_MAX))
    return false;
  if (WritesInPlace(width)) {
    if (!Prepare(frame, width, height))
      return false;
    // The top row is the last in memory; libswscale steps back a row at a time.
    std::uint8_t* dest[4] = {picture + static_cast<std::size_t>(height - 1) * stride, nullptr, nullptr,
                             nullptr};
    const int destStride[4] = {-static_cast<int>(stride), 0, 0, 0};
    return sws_scale(sws_.get(), frame.data, frame.linesize, 0, frame.height, dest, destStride) == height;
  }
  std::size_t rowStride = 0;
  const std::uint8_t* rows = Convert(frame, width, height, scratch, rowStride);
  if (!rows)
    return false;
  for (std::int32_t y = 0; y < height; ++y)
    std::memcpy(picture + static_cast<std::size_t>(height - 1 - y) * stride,
                rows + static_cast<std::size_t>(y) * rowStride, rowBytes);
  return true;
}

} // namespace rw
