#include "media/AviPictureDecoder.h"

#include "media/AviStream.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace rw {
namespace {

// How far the decoder looks for the end of the pictures that lead a key picture.
constexpr std::int32_t kMaxLeading = 64;
// Outputs that may come before the key picture of a run before numbering gives up waiting.
constexpr std::int32_t kMaxSkipped = 64;

bool IsB(AVPictureType t) {
  return t == AV_PICTURE_TYPE_B || t == AV_PICTURE_TYPE_BI;
}

// The palette that libavformat keeps at the end of the format of 8-bit-and-below video, for
// the decoders that take it from the first packet.
void AttachPalette(const AVCodecParameters& par, AVPacket& pkt) {
  const int bits = par.bits_per_coded_sample;
  if (bits < 1 || bits > 8 || par.extradata_size <= 0)
    return;
  const int size = std::min(par.extradata_size, (1 << bits) * 4) & ~3;
  if (size <= 0)
    return;
  std::uint8_t* pal = av_packet_new_side_data(&pkt, AV_PKT_DATA_PALETTE, AVPALETTE_SIZE);
  if (!pal)
    return;
  std::memset(pal, 0, AVPALETTE_SIZE);
  const std::uint8_t* src = par.extradata + par.extradata_size - size;
  // libavformat may have put its "BottomUp" mark behind the palette.
  if (src - par.extradata >= 9 && std::memcmp(par.extradata + par.extradata_size - 9, "BottomUp", 9) == 0)
    src -= 9;
  for (int i = 0; i < size / 4; ++i) {
    // Stored as blue, green, red, reserved; the palette wants opaque 0xAARRGGBB in native order.
    const std::uint32_t v = 0xFF000000u | static_cast<std::uint32_t>(src[4 * i + 2]) << 16 |
                            static_cast<std::uint32_t>(src[4 * i + 1]) << 8 | src[4 * i];
    std::memcpy(pal + 4 * i, &v, 4);
  }
}

} // namespace

bool AviPictureDecoder::Open(const pAviStream& stream, const DecoderBuffers& buffers) {
  Close();
  buffers_ = buffers;
  const AVCodecParameters* par = stream.VideoParameters();
  if (!par || stream.Index().PictureCount() == 0)
    return false;
  ff::CodecContextPtr ctx = ff::OpenDecoder(
      *par, {.threadCount = 0, .threadType = FF_THREAD_FRAME | FF_THREAD_SLICE, .buffers = &buffers_});
  if (!ctx)
    return false;
  frame_ = ff::MakeFrame();
  lastGood_ = ff::MakeFrame();
  packet_ = ff::MakePacket();
  if (!frame_ || !lastGood_ || !packet_)
    return false;
  const AVCodecDescriptor* desc = avcodec_descriptor_get(par->codec_id);
  reorder_ = desc && (desc->props & AV_CODEC_PROP_REORDER);
  if (reorder_)
    parser_.emplace(par->codec_id);
  codec_ = std::move(ctx);
  stream_ = &stream;
  return true;
}

void AviPictureDecoder::Close() {
  codec_.reset();
  parser_.reset();
  trailing_.clear();
  held_.clear();
  run_ = Run{};
  stream_ = nullptr;
  lastGoodShown_ = -1;
}

std::int32_t AviPictureDecoder::FirstTrailing(std::int32_t key) {
  if (!reorder_ || !parser_ || !parser_->IsAvailable())
    return key + 1;
  if (const auto it = trailing_.find(key); it != trailing_.end())
    return it->second;
  const AviVideoIndex& index = stream_->Index();
  const std::int32_t end = std::min(index.PictureCount(), key + kMaxLeading);
  std::int32_t first = key + 1;
  std::vector<std::uint8_t> data;
  for (std::int32_t p = key; p < end; ++p) {
    const AviSampleRef& ref = index.Sample(p);
    data.resize(ref.size + AV_INPUT_BUFFER_PADDING_SIZE);
    std::fill(data.begin() + ref.size, data.end(), 0);
    const bool read = stream_->File().ReadSample(ref, data.data());
    const AviPictureParser::Info info =
        read ? parser_->Parse(data.data(), static_cast<int>(ref.size)) : AviPictureParser::Info{};
    if (p > key && !IsB(info.type)) {
      first = p;
      break;
    }
  }
  trailing_[key] = first;
  return first;
}

std::int32_t AviPictureDecoder::StartFor(std::int32_t target) {
  const AviVideoIndex& index = stream_->Index();
  std::int32_t start = index.KeyAtOrBefore(target);
  // A target among the pictures that lead `start` comes out of the run of the key before it.
  while (reorder_ && start > 0 && target < FirstTrailing(start) - 1)
    start = index.KeyBefore(start);
  return std::max(start, 0);
}

bool AviPictureDecoder::CanContinue(std::int32_t target, std::int32_t start) const {
  if (!run_.active || run_.ended)
    return false;
  if (!run_.anchored)
    return run_.start == start;
  // Continue when the run has not passed the target yet and restarting would not skip work.
  return run_.nextShown <= target && start < run_.fed;
}

void AviPictureDecoder::Restart(std::int32_t start) {
  if (run_.active)
    avcodec_flush_buffers(codec_.get());
  run_ = Run{};
  run_.active = true;
  run_.start = start;
  run_.fed = start;
  run_.anchored = !reorder_;
  run_.nextShown = start;
  held_.clear();
  av_frame_unref(lastGood_.get());
  lastGoodShown_ = -1;
}

void AviPictureDecoder::Feed() {
  const AviVideoIndex& index = stream_->Index();
  if (run_.fed >= index.PictureCount()) {
    if (!run_.drained)
      avcodec_send_packet(codec_.get(), nullptr);
    run_.drained = true;
    return;
  }
  const std::int32_t p = run_.fed++;
  const AviSampleRef& ref = index.Sample(p);
  AVPacket* pkt = packet_.get();
  av_packet_unref(pkt);
  if (av_new_packet(pkt, static_cast<int>(ref.size)) < 0)
    return;
  if (!stream_->File().ReadSample(ref, pkt->data))
    return; // unreadable: the picture is lost and shown as the one before it
  pkt->pts = p;
  pkt->dts = AV_NOPTS_VALUE;
  if (index.IsKeyPicture(p))
    pkt->flags |= AV_PKT_FLAG_KEY;
  if (p == run_.start)
    AttachPalette(*stream_->VideoParameters(), *pkt);
  // Damaged data is refused here or comes out as a missing picture; either way decoding goes on.
  avcodec_send_packet(codec_.get(), pkt);
}

void AviPictureDecoder::Emit(std::int32_t shown, const AVFrame& frame, Sink& sink) {
  if (&frame != lastGood_.get()) {
    av_frame_unref(lastGood_.get());
    if (av_frame_ref(lastGood_.get(), &frame) < 0)
      return;
  }
  lastGoodShown_ = shown;
  if (shown == target_)
    delivered_ = true;
  if (sink.Wants(shown))
    sink.Put(shown, frame);
}

void AviPictureDecoder::Handle(AVFrame* frame, Sink& sink) {
  const std::int64_t tag = frame->pts != AV_NOPTS_VALUE ? frame->pts : frame->best_effort_timestamp;
  if (!reorder_) {
    if (tag == AV_NOPTS_VALUE || tag < run_.nextShown || tag >= run_.fed)
      return;
    // Pictures that did not come out are shown as the last good one.
    if (lastGoodShown_ >= 0)
      for (std::int32_t p = run_.nextShown; p < tag; ++p)
        Emit(p, *lastGood_, sink);
    Emit(static_cast<std::int32_t>(tag), *frame, sink);
    run_.nextShown = static_cast<std::int32_t>(tag) + 1;
    return;
  }
  if (!run_.anchored) {
    if (tag == run_.start) {
      const std::int32_t keyShown = FirstTrailing(run_.start) - 1;
      // Before the first picture of the file nothing is missing: what came out first is good.
      std::int32_t shown = keyShown - static_cast<std::int32_t>(held_.size());
      for (ff::FramePtr& f : held_) {
        if (shown >= 0)
          Emit(shown, *f, sink);
        ++shown;
      }
      held_.clear();
      run_.anchored = true;
      run_.nextShown = keyShown;
    } else if (run_.start == 0 && tag > 0 && held_.size() < static_cast<std::size_t>(kMaxLeading)) {
      ff::FramePtr copy = ff::MakeFrame();
      if (copy && av_frame_ref(copy.get(), frame) >= 0)
        held_.push_back(std::move(copy));
      return;
    } else if (++run_.skipped > kMaxSkipped && tag != AV_NOPTS_VALUE) {
      // The key picture never came out (damaged): number by the tag from here on.
      run_.anchored = true;
      run_.nextShown = static_cast<std::int32_t>(std::clamp<std::int64_t>(tag, 0, run_.fed));
    } else {
      return;
    }
  }
  Emit(run_.nextShown++, *frame, sink);
}

void AviPictureDecoder::Receive(Sink& sink) {
  for (;;) {
    const int r = avcodec_receive_frame(codec_.get(), frame_.get());
    if (r == AVERROR_EOF)
      run_.ended = true;
    if (r < 0)
      return;
    Handle(frame_.get(), sink);
    av_frame_unref(frame_.get());
  }
}

bool AviPictureDecoder::RunTo(std::int32_t target, std::int32_t start, Sink& sink) {
  if (!CanContinue(target, start))
    Restart(start);
  target_ = target;
  delivered_ = false;
  // Every round feeds one picture or drains, so the loop ends after the last picture.
  while (!delivered_) {
    Receive(sink);
    if (delivered_ || run_.ended)
      break;
    Feed();
  }
  if (!delivered_ && lastGoodShown_ >= 0 && lastGoodShown_ < target) {
    Emit(target, *lastGood_, sink);
    run_.ended = true; // the numbering past a lost picture is no longer certain
  }
  return delivered_;
}

bool AviPictureDecoder::Decode(std::int32_t target, Sink& sink) {
  if (!IsOpen())
    return false;
  const AviVideoIndex& index = stream_->Index();
  target = std::clamp(target, 0, index.PictureCount() - 1);
  const std::int32_t start = StartFor(target);
  if (RunTo(target, start, sink))
    return true;
  // Nothing good came out from there: the key picture is damaged, or the stream's headers
  // come only at its beginning. Try from the key before, then from the first picture (after
  // which the decoder keeps the headers it has seen).
  const std::int32_t earlier = index.KeyBefore(start);
  if (earlier >= 0 && RunTo(target, earlier, sink))
    return true;
  return earlier > 0 && RunTo(target, 0, sink);
}

} // namespace rw
