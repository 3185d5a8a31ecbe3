#include "media/AviFrame.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

namespace rw {
namespace {

constexpr std::int32_t kMaxDimension = 16384;
constexpr std::int64_t kMaxFrameBytes = std::int64_t{256} << 20;
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
  if (!decoder_.Open(*stream_, cache_.Budget().Buffers()))
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
  converter_.Reset();
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
  // Into rows with room to spare (shared by the decoders of the cache budget), then copied
  // bottom-up into the frame buffer, whose row padding stays zero.
  const std::int32_t w = header_.biWidth;
  const std::int32_t h = header_.biHeight;
  std::size_t rowStride = 0;
  const std::uint8_t* rows = converter_.Convert(frame, w, h, cache_.Budget().Scratch(), rowStride);
  if (!rows) {
    shownPicture_ = -1;
    cachedFrame_ = -1;
    return false;
  }
  const std::size_t rowBytes = static_cast<std::size_t>(w) * 3;
  for (std::int32_t row = 0; row < h; ++row)
    std::memcpy(pixels_.get() + static_cast<std::size_t>(h - 1 - row) * static_cast<std::size_t>(stride_),
                rows + static_cast<std::size_t>(row) * rowStride, rowBytes);
  return true;
}

} // namespace rw
