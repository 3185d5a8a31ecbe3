#include "media/ContainerFrame.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace rw {
namespace {

constexpr std::int32_t kMaxDimension = 16384;
constexpr std::int64_t kMaxFrameBytes = std::int64_t{256} << 20;

} // namespace

bool pContainerFrame::Open(const ContainerStream& stream, std::int32_t width, std::int32_t height) {
  // Keep the stream alive even when `stream` is our own member.
  const ContainerStream keep = stream;
  Close();
  stream_ = keep;
  requestedWidth_ = width;
  requestedHeight_ = height;
  if (!stream_ || !stream_->IsOpen() || !stream_->VideoParameters())
    return false;
  const std::int32_t w = width > 0 ? width : stream_->FrameWidth();
  const std::int32_t h = height > 0 ? height : stream_->FrameHeight();
  const std::int32_t stride = (w * 3 + 3) & ~3;
  if (w < 1 || h < 1 || w > kMaxDimension || h > kMaxDimension ||
      static_cast<std::int64_t>(stride) * h > kMaxFrameBytes)
    return false;
  buffers_ = cache_.Budget().Buffers();
  const AVCodecParameters& par = *stream_->VideoParameters();
  // A stream may change its picture size on the way; a hostile one is not let grow far.
  const std::int64_t pixels = std::max<std::int64_t>(std::int64_t{4} * par.width * par.height, 1920 * 1088);
  codec_ = ff::OpenDecoder(par, {.threadCount = 0,
                                 .threadType = FF_THREAD_FRAME | FF_THREAD_SLICE,
                                 .maxPixels = pixels,
                                 .buffers = &buffers_});
  packet_ = ff::MakePacket();
  frame_ = ff::MakeFrame();
  lastGood_ = ff::MakeFrame();
  header_ = BitmapInfoHeader{};
  header_.biWidth = w;
  header_.biHeight = h;
  header_.biSizeImage = static_cast<std::uint32_t>(stride) * static_cast<std::uint32_t>(h);
  stride_ = stride;
  // Zeroed, so that the row padding is always 0; with room after the last row for the
  // converter.
  pixels_.reset(new (std::nothrow) std::uint8_t[header_.biSizeImage + BgrRowConverter::kRowSlack]());
  if (!codec_ || !packet_ || !frame_ || !lastGood_ || !pixels_) {
    Close();
    return false;
  }
  generation_ = stream_->Generation();
  return true;
}

void pContainerFrame::Close() {
  codec_.reset();
  cache_.Clear();
  converter_.Reset();
  pixels_.reset();
  run_ = Run{};
  cachedFrame_ = -1;
  shownPicture_ = -1;
  target_ = -1;
}

const std::uint8_t* pContainerFrame::GetFrame(std::int32_t n) {
  if (!IsOpen() || !stream_->IsOpen())
    return nullptr;
  // A stream opened again under this decoder: start over on its new content.
  if (generation_ != stream_->Generation() && !Reopen())
    return nullptr;
  if (n == cachedFrame_ && shownPicture_ >= 0)
    return pixels_.get();
  const std::int32_t picture = stream_->Map().PictureAt(n);
  if (picture < 0)
    return nullptr;
  if (picture != shownPicture_) {
    const AVFrame* frame = Decoded(picture);
    if (!frame || !Convert(*frame)) {
      shownPicture_ = -1;
      cachedFrame_ = -1;
      return nullptr;
    }
    shownPicture_ = picture;
  }
  cachedFrame_ = std::clamp(n, 0, stream_->FrameCount() - 1);
  return pixels_.get();
}

const AVFrame* pContainerFrame::GetPicture(std::int32_t n) {
  if (!IsOpen() || !stream_->IsOpen())
    return nullptr;
  if (generation_ != stream_->Generation() && !Reopen())
    return nullptr;
  const std::int32_t picture = stream_->Map().PictureAt(n);
  return picture < 0 ? nullptr : Decoded(picture);
}

const AVFrame* pContainerFrame::Decoded(std::int32_t picture) {
  if (const AVFrame* frame = cache_.Find(picture))
    return frame;
  // The target is kept against the pictures that come out after it.
  cache_.Protect(picture);
  Decode(picture);
  cache_.Protect(-1);
  return cache_.Find(picture);
}

// The key packet to decode `packet` from: the last key at or before it in file order that is
// shown no later than the picture (pictures that lead a key in display order need the key
// before).
std::int32_t pContainerFrame::StartFor(std::int32_t packet, std::int64_t time) const {
  const std::vector<ContainerPacket>& packets = stream_->Packets();
  for (std::int32_t k = packet; k >= 0; --k) {
    const ContainerPacket& p = packets[static_cast<std::size_t>(k)];
    if (p.key && (p.picture < 0 || stream_->PictureTime(p.picture) <= time))
      return k;
  }
  return 0;
}

void pContainerFrame::Restart(std::int32_t start) {
  avcodec_flush_buffers(codec_.get());
  av_frame_unref(lastGood_.get());
  run_ = Run{};
  run_.active = true;
  run_.start = start;
  run_.fed = start;
}

void pContainerFrame::Decode(std::int32_t picture) {
  const std::int32_t packet = stream_->PacketOf(picture);
  if (packet < 0)
    return;
  target_ = picture;
  targetTime_ = stream_->PictureTime(picture);
  const std::int32_t start = StartFor(packet, targetTime_);
  // The running decoder goes on when it is already past the key packet of the target and has
  // not given the target out yet; otherwise decoding starts again at that key.
  const bool goOn =
      run_.active && !run_.flushed && run_.start <= start && run_.fed > start && run_.lastOut < targetTime_;
  if (!goOn)
    Restart(start);
  else
    av_frame_unref(lastGood_.get());
  while (!Receive())
    if (!Feed()) {
      // Nothing more comes: the last good picture before the target stands in for it.
      if (lastGood_->buf[0])
        cache_.Insert(picture, *lastGood_);
      return;
    }
}

bool pContainerFrame::Feed() {
  if (run_.flushed)
    return false;
  const std::size_t count = stream_->Packets().size();
  std::int32_t number = -1;
  bool read = static_cast<std::size_t>(run_.fed) < count;
  if (read && stream_->NextPacket() != run_.fed)
    read = stream_->SeekPacket(run_.fed);
  if (read)
    read = stream_->ReadPacket(*packet_, number);
  if (!read) {
    // The end of the packets (or of what can be read): the codec gives out what it holds.
    run_.flushed = true;
    avcodec_send_packet(codec_.get(), nullptr);
    return true;
  }
  run_.fed = number + 1;
  ++packetsDecoded_;
  for (;;) {
    const int sent = avcodec_send_packet(codec_.get(), packet_.get());
    if (sent != AVERROR(EAGAIN))
      break;
    // The codec wants its output taken first.
    if (Receive()) {
      av_packet_unref(packet_.get());
      return true;
    }
  }
  av_packet_unref(packet_.get());
  return true;
}

bool pContainerFrame::Receive() {
  if (cache_.Find(target_))
    return true;
  const std::int32_t capacity =
      static_cast<std::int32_t>(std::min<std::size_t>(cache_.Capacity(), INT32_MAX));
  for (;;) {
    const int got = avcodec_receive_frame(codec_.get(), frame_.get());
    if (got < 0)
      return false;
    std::int64_t pts = frame_->pts != AV_NOPTS_VALUE ? frame_->pts : frame_->best_effort_timestamp;
    // Pictures that are only decoded (no picture of the index has their time), and times out
    // of order, are passed over.
    const std::vector<std::int32_t>::size_type pictures =
        static_cast<std::size_t>(stream_->Map().PictureCount());
    std::int32_t shown = -1;
    if (pts != AV_NOPTS_VALUE && pts > run_.lastOut) {
      std::int32_t lo = 0, hi = static_cast<std::int32_t>(pictures);
      while (lo < hi) {
        const std::int32_t mid = lo + (hi - lo) / 2;
        if (stream_->PictureTime(mid) < pts)
          lo = mid + 1;
        else
          hi = mid;
      }
      if (lo < static_cast<std::int32_t>(pictures) && stream_->PictureTime(lo) == pts)
        shown = lo;
    }
    if (shown < 0) {
      av_frame_unref(frame_.get());
      continue;
    }
    run_.lastOut = pts;
    if (shown == target_) {
      cache_.Insert(shown, *frame_);
      av_frame_unref(frame_.get());
      return true;
    }
    if (pts > targetTime_) {
      // The target did not come out (damaged): the picture before it stands in.
      cache_.Insert(target_, lastGood_->buf[0] ? *lastGood_ : *frame_);
      cache_.Insert(shown, *frame_);
      av_frame_unref(frame_.get());
      return true;
    }
    if (shown > target_ - capacity)
      cache_.Insert(shown, *frame_);
    av_frame_unref(lastGood_.get());
    av_frame_move_ref(lastGood_.get(), frame_.get());
  }
}

bool pContainerFrame::Convert(const AVFrame& frame) {
  const PictureTurn& turn = stream_->Turn();
  const std::int32_t w = header_.biWidth, h = header_.biHeight;
  // The picture as stored, at the size that turns into the delivered one.
  const std::int32_t sw = turn.Across() ? h : w, sh = turn.Across() ? w : h;
  if (turn.IsNone())
    return converter_.ConvertBottomUp(frame, w, h, cache_.Budget().Scratch(), pixels_.get(),
                                      static_cast<std::size_t>(stride_));
  std::size_t rowStride = 0;
  const std::uint8_t* rows = converter_.Convert(frame, sw, sh, cache_.Budget().Scratch(), rowStride);
  if (!rows)
    return false;
  // Displayed (X, Y) comes from stored (x, y) by the inverse turn, which is its transpose; in
  // doubled coordinates centred on the pictures: u = a u' + b v', v = c u' + d v'.
  for (std::int32_t y = 0; y < h; ++y) {
    std::uint8_t* out =
        pixels_.get() + static_cast<std::size_t>(h - 1 - y) * static_cast<std::size_t>(stride_);
    const std::int32_t v2 = 2 * y + 1 - h;
    for (std::int32_t x = 0; x < w; ++x) {
      const std::int32_t u2 = 2 * x + 1 - w;
      const std::int32_t sx = (turn.a * u2 + turn.b * v2 + sw - 1) / 2;
      const std::int32_t sy = (turn.c * u2 + turn.d * v2 + sh - 1) / 2;
      std::memcpy(out + static_cast<std::size_t>(x) * 3,
                  rows + static_cast<std::size_t>(sy) * rowStride + static_cast<std::size_t>(sx) * 3, 3);
    }
  }
  return true;
}

} // namespace rw
