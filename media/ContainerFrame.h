#pragma once

#include "base/Handle.h"
#include "base/RefCounted.h"
#include "media/AviFrameCache.h"
#include "media/BgrRowConverter.h"
#include "media/ContainerStream.h"
#include "media/FfmpegPtr.h"
#include "media/ReaderRegistry.h"
#include "render/BitmapInfoHeader.h"

#include <cstdint>
#include <memory>

namespace rw {

// One frame decoder of a movie stream at one size: delivers the picture of any cut frame (30
// fps, see ContainerFrameMap) as 24-bit BGR, rows bottom-up, each padded to (width * 3 + 3) & ~3
// bytes, turned as the file says. A picture is reached by decoding forward from the key packet
// before it (the last one in file order that is shown no later than the picture); a request a
// little after the last one goes on with the running decoder. Decoded pictures are kept in an
// AviFrameCache counting against the shared budget, so repeated, neighbouring and backward
// requests do not decode again. Shared by every cut of the file through the registry.
class pContainerFrame : public RefCounted {
public:
  pContainerFrame() = default;
  pContainerFrame(const pContainerFrame&) = delete;
  pContainerFrame& operator=(const pContainerFrame&) = delete;

  // Opens a decoder of `stream` delivering width × height pictures (the displayed size, after
  // the turn); 0 stands for the stream's own width or height. False when the stream is closed
  // or its codec has no decoder.
  bool Open(const ContainerStream& stream, std::int32_t width, std::int32_t height);
  // Opens again with the size asked for at the last Open.
  bool Reopen() { return Open(stream_, requestedWidth_, requestedHeight_); }
  void Close();
  bool IsOpen() const { return codec_ != nullptr; }

  // The picture shown at cut frame n (clamped to the cut). Null when it cannot be decoded; the
  // pointer stays valid until the next GetFrame on this decoder.
  const std::uint8_t* GetFrame(std::int32_t n);
  // The decoded picture shown at cut frame n, in the codec's own format and size, not turned.
  // Valid until the next call on any decoder sharing the cache budget.
  const AVFrame* GetPicture(std::int32_t n);

  const BitmapInfoHeader* Format() const { return IsOpen() ? &header_ : nullptr; }
  std::int32_t Width() const { return header_.biWidth; }
  std::int32_t Height() const { return header_.biHeight; }
  std::int32_t Stride() const { return stride_; }
  // The cut frame whose picture GetFrame delivered last; -1 = none.
  std::int32_t CachedFrame() const { return cachedFrame_; }
  const ContainerStream& Stream() const { return stream_; }
  std::int32_t RequestedWidth() const { return requestedWidth_; }
  std::int32_t RequestedHeight() const { return requestedHeight_; }
  // Packets sent to the codec since the decoder was opened (for tests of the decoding order).
  std::int64_t PacketsDecoded() const { return packetsDecoded_; }

  void SetCacheBudget(std::shared_ptr<FrameCacheBudget> budget) { cache_.SetBudget(std::move(budget)); }
  const AviFrameCache& Cache() const { return cache_; }

private:
  friend class ReaderRegistry<pContainerFrame>;

  struct Run {
    bool active = false;
    bool flushed = false; // the end of the packets was sent
    std::int32_t start = 0;
    std::int32_t fed = 0; // the next packet to send, in file order
    std::int64_t lastOut = INT64_MIN;
  };

  const AVFrame* Decoded(std::int32_t picture);
  void Decode(std::int32_t picture);
  std::int32_t StartFor(std::int32_t packet, std::int64_t time) const;
  void Restart(std::int32_t start);
  // Sends the next packet (or the end); false when nothing more can be sent.
  bool Feed();
  // Takes what the codec gives out; true once the target is settled.
  bool Receive();
  bool Convert(const AVFrame& frame);

  ContainerStream stream_;
  std::int32_t requestedWidth_ = 0;
  std::int32_t requestedHeight_ = 0;
  BitmapInfoHeader header_;
  std::int32_t stride_ = 0;
  std::int32_t cachedFrame_ = -1;
  std::int32_t shownPicture_ = -1;
  std::unique_ptr<std::uint8_t[]> pixels_;
  std::uint64_t generation_ = 0;
  DecoderBuffers buffers_; // the budget's; before the codec, which must go first
  ff::CodecContextPtr codec_;
  ff::PacketPtr packet_;
  ff::FramePtr frame_;
  ff::FramePtr lastGood_; // the latest picture before the target of this run
  Run run_;
  std::int32_t target_ = -1;
  std::int64_t targetTime_ = 0;
  std::int64_t packetsDecoded_ = 0;
  AviFrameCache cache_;
  BgrRowConverter converter_;
  ReaderRegistry<pContainerFrame>::Link link_;
};

// Handle to a shared movie frame decoder.
class ContainerFrame : public Handle<pContainerFrame> {
public:
  using Handle::Handle;
  ContainerFrame(Handle<pContainerFrame> h) : Handle(std::move(h)) {}
};

} // namespace rw
