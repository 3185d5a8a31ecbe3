#include "media/AviFrame.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

namespace rw {
namespace {

constexpr std::int32_t kMaxDimension = 16384;
constexpr std::int64_t kMaxFrameBytes = std::int64_t{256} << 20;
// Bytes the converter may write past the end of a row.
constexpr std::size_t kRowSlack = 64;

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

bool pAviFrame::Open(const AviStream& stream, std::int32_t width, std::int32_t height) {
  // Keep the stream alive even when `stream` is our own member.
  const AviStream keep = stream;
  Close();
  stream_ = keep;
  requestedWidth_ = width;
  requestedHeight_ = height;
  if (!stream_ || !stream_->IsOpen())
    return false;
  const std::int32_t w = width > 0 ? width : stream_->FrameWidth();
  const std::int32_t h = height > 0 ? height : stream_->FrameHeight();
  const std::int32_t stride = (w * 3 + 3) & ~3;
  if (w < 1 || h < 1 || w > kMaxDimension || h > kMaxDimension ||
      static_cast<std::int64_t>(stride) * h > kMaxFrameBytes)
    return false;
  if (!decoder_.Open(*stream_))
    return false;
  header_ = BitmapInfoHeader{};
  header_.biWidth = w;
  header_.biHeight = h;
  header_.biSizeImage = static_cast<std::uint32_t>(stride) * static_cast<std::uint32_t>(h);
  stride_ = stride;
  // Zeroed, so that the row padding is always 0.
  pixels_.reset(new (std::nothrow) std::uint8_t[header_.biSizeImage]());
  if (!pixels_) {
    decoder_.Close();
    return false;
  }
  generation_ = stream_->Generation();
  return true;
}

void pAviFrame::Close() {
  decoder_.Close();
  cache_.Clear();
  sws_.reset();
  swsColours_ = {};
  pixels_.reset();
  cachedFrame_ = -1;
  shownPicture_ = -1;
}

const std::uint8_t* pAviFrame::GetFrame(std::int32_t n) {
  if (!IsOpen() || !stream_->IsOpen())
    return nullptr;
  // A stream opened again under this decoder: start over on its new content.
  if (generation_ != stream_->Generation() && !Reopen())
    return nullptr;
  if (n == cachedFrame_ && shownPicture_ >= 0)
    return pixels_.get();
  const std::int32_t count = stream_->FrameCount();
  if (count < 1)
    return nullptr;
  const std::int32_t entry = std::clamp(n, 0, count - 1);
  const std::int32_t picture = stream_->Index().PictureShownAt(entry);
  if (picture < 0)
    return nullptr;
  if (picture != shownPicture_) {
    const AVFrame* frame = Decoded(picture);
    // Without a picture the one delivered before stays.
    if (!frame || !Convert(*frame))
      return nullptr;
    shownPicture_ = picture;
  }
  cachedFrame_ = entry;
  return pixels_.get();
}

const AVFrame* pAviFrame::GetPicture(std::int32_t n) {
  if (!IsOpen() || !stream_->IsOpen())
    return nullptr;
  if (generation_ != stream_->Generation() && !Reopen())
    return nullptr;
  const std::int32_t count = stream_->FrameCount();
  if (count < 1)
    return nullptr;
  const std::int32_t entry = std::clamp(n, 0, count - 1);
  const std::int32_t picture = stream_->Index().PictureShownAt(entry);
  return picture < 0 ? nullptr : Decoded(picture);
}

const AVFrame* pAviFrame::Decoded(std::int32_t picture) {
  if (const AVFrame* frame = cache_.Find(picture))
    return frame;
  target_ = picture;
  // The target is kept against the pictures that come out after it.
  cache_.Protect(picture);
  decoder_.Decode(picture, *this);
  cache_.Protect(-1);
  return cache_.Find(picture);
}

bool pAviFrame::Wants(std::int32_t picture) const {
  return picture > target_ - static_cast<std::int32_t>(cache_.Capacity());
}

void pAviFrame::Put(std::int32_t picture, const AVFrame& frame) {
  cache_.Insert(picture, frame);
}

bool pAviFrame::Convert(const AVFrame& frame) {
  if (frame.width < 1 || frame.height < 1 || frame.format < 0)
    return false;
  bool fullRange = frame.color_range == AVCOL_RANGE_JPEG;
  const AVPixelFormat format = PlainFormat(static_cast<AVPixelFormat>(frame.format), fullRange);
  const std::int32_t w = header_.biWidth;
  const std::int32_t h = header_.biHeight;
  const int flags = frame.width == w && frame.height == h ? SWS_POINT : SWS_BICUBIC;
  if (!ff::ReuseSws(sws_, frame.width, frame.height, format, w, h, AV_PIX_FMT_BGR24, flags))
    return false;
  const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(format);
  const int space = frame.colorspace == AVCOL_SPC_UNSPECIFIED ? SWS_CS_DEFAULT : frame.colorspace;
  const bool yuv = desc && !(desc->flags & AV_PIX_FMT_FLAG_RGB);
  // The colour tables are built again only when the converter or the source's colours change.
  const SwsColours colours{sws_.get(), frame.width, frame.height, format, space, fullRange};
  if (yuv && !(colours == swsColours_)) {
    sws_setColorspaceDetails(sws_.get(), sws_getCoefficients(space), fullRange ? 1 : 0,
                             sws_getCoefficients(SWS_CS_DEFAULT), 1, 0, 1 << 16, 1 << 16);
    swsColours_ = colours;
  }
  // libswscale stores whole words and writes past the end of a row when the row does not end
  // on a word: into the rows of a scratch buffer with room to spare (top first; shared by the
  // decoders of the cache budget), then copied bottom-up into the frame buffer, whose row
  // padding stays zero.
  const std::size_t rowBytes = static_cast<std::size_t>(w) * 3;
  const std::size_t scratchStride = (rowBytes + kRowSlack + 63) & ~std::size_t{63};
  const std::size_t scratchBytes = scratchStride * static_cast<std::size_t>(h) + kRowSlack;
  std::vector<std::uint8_t>& rows = cache_.Budget().Scratch();
  if (rows.size() < scratchBytes) {
    try {
      rows.resize(scratchBytes);
    } catch (const std::bad_alloc&) {
      rows = {};
      return false;
    }
  }
  std::uint8_t* dest[4] = {rows.data(), nullptr, nullptr, nullptr};
  const int destStride[4] = {static_cast<int>(scratchStride), 0, 0, 0};
  if (sws_scale(sws_.get(), frame.data, frame.linesize, 0, frame.height, dest, destStride) != h) {
    shownPicture_ = -1;
    cachedFrame_ = -1;
    return false;
  }
  for (std::int32_t row = 0; row < h; ++row)
    std::memcpy(pixels_.get() + static_cast<std::size_t>(h - 1 - row) * static_cast<std::size_t>(stride_),
                rows.data() + static_cast<std::size_t>(row) * scratchStride, rowBytes);
  return true;
}

} // namespace rw
