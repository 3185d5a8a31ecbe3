#include "output/MovieCompileCopy.h"

#include "base/LittleEndian.h"
#include "media/AviStream.h"
#include "media/VideoClip.h"
#include "output/CompressorCatalogue.h"
#include "output/StreamParameters.h"
#include "output/settings/OutputInfo.h"
#include "project/VideoClipList.h"
#include "render/DIB.h"

extern "C" {
#include <libavcodec/codec_desc.h>
}

#include <algorithm>
#include <cstdlib>

namespace rw {

namespace {

constexpr std::uint32_t kDibCode = FourCC('D', 'I', 'B', ' ');
// Pictures fed to the decoder before giving up on learning the source's pixel format.
constexpr int kProbePictures = 8;

struct Decoded {
  AVPixelFormat format = AV_PIX_FMT_NONE;
  bool reorders = false;
};

// Decodes the stream's first pictures until one comes out: its pixel format, and whether the
// decoder had to hold pictures back to put them in display order.
bool DecodeFirst(const pAviStream& stream, Decoded& result) {
  const AVCodecParameters* p = stream.VideoParameters();
  const ff::CodecContextPtr context = p ? ff::OpenDecoder(*p) : nullptr;
  const ff::FramePtr frame = ff::MakeFrame();
  if (!context || !frame)
    return false;

  const AviVideoIndex& index = stream.Index();
  const int pictures = std::min(index.PictureCount(), kProbePictures);
  std::vector<std::uint8_t> bytes;
  bool got = false;
  for (int n = 0; n <= pictures && !got; ++n) {
    if (n < pictures) {
      if (!stream.ReadVideoSample(index.EntryOf(n), bytes) || bytes.empty())
        return false;
      const ff::PacketPtr packet = ff::MakePacket(bytes.data(), bytes.size());
      if (!packet)
        return false;
      if (index.IsKeyPicture(n))
        packet->flags |= AV_PKT_FLAG_KEY;
      const int sent = avcodec_send_packet(context.get(), packet.get());
      if (sent < 0 && sent != AVERROR(EAGAIN))
        return false;
    } else if (avcodec_send_packet(context.get(), nullptr) < 0) {
      return false;
    }
    got = avcodec_receive_frame(context.get(), frame.get()) == 0;
  }
  if (!got)
    return false;
  result.format = static_cast<AVPixelFormat>(frame->format);
  result.reorders = context->has_b_frames > 0;
  return true;
}

} // namespace

bool MovieCompileCopy::SameFormat(const AVCodecParameters& source, const AVCodecParameters& output) {
  if (source.codec_type != AVMEDIA_TYPE_VIDEO || source.codec_id != output.codec_id ||
      source.width != output.width || std::abs(source.height) != std::abs(output.height) ||
      source.format == AV_PIX_FMT_NONE || source.format != output.format)
    return false;
  if (source.codec_id == AV_CODEC_ID_RAWVIDEO)
    // Movies store raw pictures bottom-up, as the source must have them.
    return StreamParameters::IsBottomUpMark(source) && source.bits_per_coded_sample == 24 &&
           output.bits_per_coded_sample == 24;
  return CompressorCatalogue::SameCode(source.codec_tag, output.codec_tag) &&
         StreamParameters::SameExtradata(source, output);
}

ff::ParametersPtr MovieCompileCopy::Examine(const pAviStream& stream, const OutputInfo& settings) {
  const AVCodecParameters* p = stream.VideoParameters();
  const AviVideoInfo& info = stream.VideoInfo();
  if (!stream.IsOpen() || !p || p->codec_type != AVMEDIA_TYPE_VIDEO || info.width != settings.VideoWidth() ||
      info.height != settings.VideoHeight())
    return nullptr;
  const std::uint32_t code = settings.Compress().fccHandler;
  const bool raw = p->codec_id == AV_CODEC_ID_RAWVIDEO;
  if (raw ? !CompressorCatalogue::SameCode(code, kDibCode) || !StreamParameters::IsBottomUpMark(*p)
          : !CompressorCatalogue::SameCode(p->codec_tag, code))
    return nullptr;
  Decoded decoded;
  if (!DecodeFirst(stream, decoded) || decoded.format == AV_PIX_FMT_NONE)
    return nullptr;
  const AVCodecDescriptor* descriptor = avcodec_descriptor_get(p->codec_id);
  if (decoded.reorders || (descriptor && (descriptor->props & AV_CODEC_PROP_REORDER) && p->video_delay > 0))
    return nullptr;
  ff::ParametersPtr copy = ff::MakeParameters(p);
  if (!copy)
    return nullptr;
  copy->format = decoded.format;
  copy->height = std::abs(copy->height);
  return copy;
}

void MovieCompileCopy::Survey(const pVideoClipList& list, const OutputInfo& settings) {
  sources_.clear();
  output_ = nullptr;
  for (std::int32_t i = 0; i < list.Count(); ++i) {
    const VideoClip& clip = list.EntryAt(i).clip;
    if (clip.IsNull() || !clip->CanCopyStream())
      continue;
    const AviStream* handle = clip->GetStream();
    if (!handle || handle->IsNull())
      continue;
    const pAviStream* stream = handle->Get();
    auto it =
        std::find_if(sources_.begin(), sources_.end(), [&](const Source& s) { return s.stream == stream; });
    if (it == sources_.end()) {
      sources_.push_back(Source{stream, Examine(*stream, settings), 0});
      it = sources_.end() - 1;
    }
    it->frames += std::max(0, clip->Length());
  }
}

const AVCodecParameters* MovieCompileCopy::Preferred() const {
  const AVCodecParameters* best = nullptr;
  std::int64_t bestFrames = 0;
  for (const Source& s : sources_) {
    if (!s.parameters)
      continue;
    std::int64_t frames = 0;
    for (const Source& other : sources_)
      if (other.parameters && SameFormat(*other.parameters, *s.parameters))
        frames += other.frames;
    if (!best || frames > bestFrames) {
      best = s.parameters.get();
      bestFrames = frames;
    }
  }
  return best;
}

const MovieCompileCopy::Source* MovieCompileCopy::Find(const pAviStream* stream) const {
  for (const Source& s : sources_)
    if (s.stream == stream)
      return &s;
  return nullptr;
}

bool MovieCompileCopy::CanCopy(const pVideoClip& clip) const {
  if (!output_ || !clip.CanCopyStream())
    return false;
  const AviStream* handle = clip.GetStream();
  if (!handle || handle->IsNull() || !(*handle)->IsOpen())
    return false;
  const Source* source = Find(handle->Get());
  return source && source->parameters && SameFormat(*source->parameters, *output_);
}

bool MovieCompileCopy::SampleFits(std::size_t bytes) const {
  if (!output_ || bytes == 0)
    return false;
  if (output_->codec_id != AV_CODEC_ID_RAWVIDEO)
    return true;
  return bytes ==
         static_cast<std::size_t>(DIB::StrideOf(output_->width)) * static_cast<std::size_t>(output_->height);
}

} // namespace rw
