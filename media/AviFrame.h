#pragma once

#include "base/Handle.h"
#include "base/RefCounted.h"
#include "media/AviFrameCache.h"
#include "media/AviPictureDecoder.h"
#include "media/AviStream.h"
#include "media/BgrRowConverter.h"
#include "media/FfmpegPtr.h"
#include "media/ReaderRegistry.h"
#include "render/BitmapInfoHeader.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace rw {

// One frame decoder of an AVI stream at one size: delivers the picture of any index entry as
// 24-bit BGR, rows bottom-up, each padded to (width * 3 + 3) & ~3 bytes. Shared by every cut
// of the file through the registry. Decoded pictures are kept in a cache (see AviFrameCache)
// so that repeated, neighbouring and backward requests do not decode again; only the picture
// delivered is converted, into the decoder's own frame buffer, so evicting cached pictures (also
// by other decoders sharing the cache budget) never touches what GetFrame handed out.
class pAviFrame : public RefCounted, private AviPictureDecoder::Sink {
public:
  pAviFrame() = default;
  pAviFrame(const pAviFrame&) = delete;
  pAviFrame& operator=(const pAviFrame&) = delete;

  // Opens a decoder of `stream` delivering width × height pictures; 0 stands for the stream's
  // own width or height. False when the stream is closed or has no decoder for its codec.
  bool Open(const AviStream& stream, std::int32_t width, std::int32_t height);
  // Opens again with the size asked for at the last Open (the stream's size may have changed).
  bool Reopen() { return Open(stream_, requestedWidth_, requestedHeight_); }
  void Close();
  bool IsOpen() const { return decoder_.IsOpen(); }

  // The picture shown at index entry n (clamped to the stream's entries): an empty entry shows
  // the picture stored before it. Null when it cannot be decoded; the pointer stays valid until
  // the next GetFrame on this decoder.
  const std::uint8_t* GetFrame(std::int32_t n);
  // The decoded picture shown at index entry n, in the codec's own pixel format and size, without
  // the conversion GetFrame makes; the 24-bit picture GetFrame delivered last stays as it was. Null
  // when it cannot be decoded. Valid until the next call on any decoder sharing the cache budget;
  // a caller that keeps it takes a reference of its own.
  const AVFrame* GetPicture(std::int32_t n);

  const BitmapInfoHeader* Format() const { return IsOpen() ? &header_ : nullptr; }
  std::int32_t Width() const { return header_.biWidth; }
  std::int32_t Height() const { return header_.biHeight; }
  std::int32_t Stride() const { return stride_; }
  // The entry whose picture GetFrame delivered last; -1 = none.
  std::int32_t CachedFrame() const { return cachedFrame_; }
  const AviStream& Stream() const { return stream_; }
  std::int32_t RequestedWidth() const { return requestedWidth_; }
  std::int32_t RequestedHeight() const { return requestedHeight_; }

  // The budget the decoded pictures kept count against (by default one of the decoder's own);
  // the pictures kept so far are dropped.
  void SetCacheBudget(std::shared_ptr<FrameCacheBudget> budget) { cache_.SetBudget(std::move(budget)); }
  const AviFrameCache& Cache() const { return cache_; }

private:
  friend class ReaderRegistry<pAviFrame>;

  bool Wants(std::int32_t picture) const override;
  void Put(std::int32_t picture, const AVFrame& frame) override;
  // The cached or freshly decoded picture `picture` (display order), or null.
  const AVFrame* Decoded(std::int32_t picture);
  // Turns a decoded picture into the delivered pixels.
  bool Convert(const AVFrame& frame);

  AviStream stream_;
  std::int32_t requestedWidth_ = 0;
  std::int32_t requestedHeight_ = 0;
  BitmapInfoHeader header_;
  std::int32_t stride_ = 0;
  std::int32_t cachedFrame_ = -1;
  std::int32_t shownPicture_ = -1; // the picture now in pixels_
  std::unique_ptr<std::uint8_t[]> pixels_;
  std::uint64_t generation_ = 0;
  AviPictureDecoder decoder_;
  AviFrameCache cache_;
  std::int32_t target_ = 0;
  BgrRowConverter converter_;
  ReaderRegistry<pAviFrame>::Link link_;
};

// Handle to a shared AVI frame decoder.
class AviFrame : public Handle<pAviFrame> {
public:
  using Handle::Handle;
  AviFrame(Handle<pAviFrame> h) : Handle(std::move(h)) {}
};

} // namespace rw
