#include "media/AviPictureDecoder.h"

#include "media/AviStream.h"

extern "C" {
#include <libavutil/imgutils.h>
#include <libavutil/pixdesc.h>
}

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

// Marks the buffers of UnpooledBuffer; its address is what counts.
constexpr char kUnpooledTag = 0;
// Bytes past the end of every plane that decoders may read or write (as libavcodec's own pools).
constexpr std::size_t kPlanePadding = 16 + 64 - 1;

void FreeUnpooled(void* /*opaque*/, std::uint8_t* data) {
  av_free(data);
}

// Picture buffers laid out as libavcodec's own (aligned dimensions and rows), but each allocated
// on its own instead of taken from the decoder's pool, so that the memory goes back as soon as
// the last reference to the picture goes. Decoders that do not take such buffers (and
// palette or hardware formats) get libavcodec's own.
int UnpooledBuffer(AVCodecContext* c, AVFrame* frame, int flags) {
  const auto format = static_cast<AVPixelFormat>(frame->format);
  const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(format);
  if (!(c->codec->capabilities & AV_CODEC_CAP_DR1) || c->codec_type != AVMEDIA_TYPE_VIDEO || !desc ||
      (desc->flags & (AV_PIX_FMT_FLAG_PAL | AV_PIX_FMT_FLAG_HWACCEL | AV_PIX_FMT_FLAG_BITSTREAM)) ||
      c->hwaccel || frame->width < 1 || frame->height < 1)
    return avcodec_default_get_buffer2(c, frame, flags);
  int w = frame->width;
  int h = frame->height;
  int align[AV_NUM_DATA_POINTERS] = {};
  avcodec_align_dimensions2(c, &w, &h, align);
  int linesize[4] = {};
  for (bool unaligned = true; unaligned;) {
    if (av_image_fill_linesizes(linesize, format, w) < 0)
      return AVERROR(EINVAL);
    w += w & ~(w - 1);
    unaligned = false;
    for (int i = 0; i < 4; ++i)
      unaligned |= align[i] > 0 && linesize[i] % align[i] != 0;
  }
  ptrdiff_t linesizes[4];
  for (int i = 0; i < 4; ++i)
    linesizes[i] = linesize[i];
  std::size_t sizes[4] = {};
  if (av_image_fill_plane_sizes(sizes, format, h, linesizes) < 0)
    return AVERROR(EINVAL);
  for (int i = 0; i < 4 && sizes[i] > 0; ++i) {
    auto* data = static_cast<std::uint8_t*>(av_malloc(sizes[i] + kPlanePadding));
    AVBufferRef* buffer = data ? av_buffer_create(data, sizes[i] + kPlanePadding, FreeUnpooled,
                                                  const_cast<char*>(&kUnpooledTag), 0)
                               : nullptr;
    if (!buffer) {
      av_free(data);
      for (int k = 0; k < i; ++k)
        av_buffer_unref(&frame->buf[k]);
      return AVERROR(ENOMEM);
    }
    frame->buf[i] = buffer;
    frame->data[i] = data;
    frame->linesize[i] = linesize[i];
  }
  frame->extended_data = frame->data;
  return 0;
}

} // namespace

bool AviPictureDecoder::OwnsNoPool(const AVFrame& frame) {
  if (!frame.buf[0])
    return false;
  for (const AVBufferRef* buffer : frame.buf)
    if (buffer && av_buffer_get_opaque(buffer) != &kUnpooledTag)
      return false;
  return frame.extended_data == frame.data;
}

bool AviPictureDecoder::Open(const pAviStream& stream) {
  Close();
  const AVCodecParameters* par = stream.VideoParameters();
  if (!par || stream.Index().PictureCount() == 0)
    return false;
  const AVCodec* decoder = avcodec_find_decoder(par->codec_id);
  ff::CodecContextPtr ctx = decoder ? ff::MakeCodecContext(decoder) : nullptr;
  if (!ctx || avcodec_parameters_to_context(ctx.get(), par) < 0)
    return false;
  ctx->thread_count = 0;
  ctx->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
  ctx->get_buffer2 = UnpooledBuffer;
  if (avcodec_open2(ctx.get(), decoder, nullptr) < 0)
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
