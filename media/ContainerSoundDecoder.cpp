#include "media/ContainerSoundDecoder.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/intreadwrite.h>
}

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

namespace rw {
namespace {

// The most sample rate and channels taken from a file.
constexpr int kMaxRate = 768000;
constexpr int kMaxChannels = 64;
// Failed reads or decodes in a row after which the file is taken to end (or to be unreadable).
constexpr int kMaxErrors = 64;
// Video packets looked at for the first picture, at most.
constexpr int kOriginPackets = 256;

std::int64_t ToSamples(std::int64_t ts, AVRational timeBase, std::int32_t rate) {
  return av_rescale_q_rnd(ts, timeBase, AVRational{1, rate},
                          static_cast<AVRounding>(AV_ROUND_NEAR_INF | AV_ROUND_PASS_MINMAX));
}

// Start skip and end discard of a packet or frame (AV_PKT_DATA_SKIP_SAMPLES layout).
void SkipOf(const std::uint8_t* data, std::size_t size, std::int32_t& skip, std::int32_t& discardEnd) {
  skip = 0;
  discardEnd = 0;
  if (!data || size < 10)
    return;
  skip = static_cast<std::int32_t>(std::min<std::uint32_t>(AV_RL32(data), INT32_MAX));
  discardEnd = static_cast<std::int32_t>(std::min<std::uint32_t>(AV_RL32(data + 4), INT32_MAX));
}

bool IsLossless(AVCodecID id) {
  const AVCodecDescriptor* d = avcodec_descriptor_get(id);
  return d && (d->props & AV_CODEC_PROP_LOSSLESS) && !(d->props & AV_CODEC_PROP_LOSSY);
}

} // namespace

bool ContainerSoundDecoder::OpenInput(std::string& why) {
  int error = 0;
  input_ = ff::OpenInput(file_, nullptr, error);
  if (!input_) {
    why = ff::ErrorText(error);
    return false;
  }
  return true;
}

bool ContainerSoundDecoder::Open(const std::filesystem::path& file, std::string& why) {
  file_ = file;
  if (!OpenInput(why))
    return false;
  if (const int e = avformat_find_stream_info(input_.get(), nullptr); e < 0) {
    why = ff::ErrorText(e);
    return false;
  }
  audio_ = -1;
  video_ = -1;
  for (unsigned i = 0; i < input_->nb_streams; ++i) {
    const AVStream* s = input_->streams[i];
    if (s->codecpar->codec_type == AVMEDIA_TYPE_AUDIO && audio_ < 0)
      audio_ = static_cast<int>(i);
    // A cover picture is not a picture of the movie.
    if (s->codecpar->codec_type == AVMEDIA_TYPE_VIDEO && video_ < 0 &&
        !(s->disposition & AV_DISPOSITION_ATTACHED_PIC))
      video_ = static_cast<int>(i);
  }
  if (audio_ < 0) {
    why = "no audio stream";
    return false;
  }
  const AVStream* stream = input_->streams[audio_];
  const AVCodecParameters& par = *stream->codecpar;
  if (par.sample_rate <= 0 || par.sample_rate > kMaxRate || par.ch_layout.nb_channels <= 0 ||
      par.ch_layout.nb_channels > kMaxChannels || stream->time_base.num <= 0 || stream->time_base.den <= 0) {
    why = "unsupported audio format";
    return false;
  }
  timeBase_ = stream->time_base;
  rate_ = par.sample_rate;
  channels_ = par.ch_layout.nb_channels == 1 ? 1 : 2;
  tick_ = static_cast<double>(rate_) * timeBase_.num / timeBase_.den;
  codec_ = ff::OpenDecoder(par, {}, &why);
  if (!codec_)
    return false;
  // Start skips and end discards are applied here, against places worked out from the packets.
  codec_->flags2 |= AV_CODEC_FLAG2_SKIP_MANUAL;
  codec_->pkt_timebase = timeBase_;
  // Lossless codecs need no settling; lossy ones get 100 ms or what the file asks for.
  preroll_ = IsLossless(par.codec_id) ? 0 : std::max<std::int64_t>(rate_ / 10, par.seek_preroll);
  packet_ = ff::MakePacket();
  frame_ = ff::MakeFrame();
  if (!packet_ || !frame_) {
    why = "out of memory";
    return false;
  }
  return true;
}

bool ContainerSoundDecoder::BuildIndex(ContainerSoundIndex& index, std::int64_t& origin, bool& hasPictures,
                                       std::string& why) {
  for (unsigned i = 0; i < input_->nb_streams; ++i)
    if (static_cast<int>(i) != audio_ && static_cast<int>(i) != video_)
      input_->streams[i]->discard = AVDISCARD_ALL;
  index.Reset(tick_);
  const AVCodecParameters& par = *input_->streams[audio_]->codecpar;
  std::optional<std::int64_t> firstPicture;
  AVRational videoBase{1, 1};
  int videoPackets = 0, keyFrames = 0;
  bool lookForPicture = video_ >= 0;
  if (lookForPicture)
    videoBase = input_->streams[video_]->time_base;
  for (int errors = 0; errors < kMaxErrors;) {
    const int e = av_read_frame(input_.get(), packet_.get());
    if (e == AVERROR_EOF)
      break;
    if (e < 0) {
      ++errors;
      continue;
    }
    errors = 0;
    AVPacket& p = *packet_;
    if (p.stream_index == video_ && lookForPicture) {
      if (p.flags & AV_PKT_FLAG_KEY)
        ++keyFrames;
      if (p.pts != AV_NOPTS_VALUE && !(p.flags & AV_PKT_FLAG_DISCARD))
        firstPicture = std::min(firstPicture.value_or(p.pts), p.pts);
      if (++videoPackets >= kOriginPackets || keyFrames >= 2) {
        lookForPicture = false;
        input_->streams[video_]->discard = AVDISCARD_ALL;
      }
    } else if (p.stream_index == audio_) {
      std::size_t size = 0;
      std::int32_t skip = 0, discardEnd = 0;
      const std::uint8_t* side = av_packet_get_side_data(&p, AV_PKT_DATA_SKIP_SAMPLES, &size);
      SkipOf(side, size, skip, discardEnd);
      std::int64_t length = av_get_audio_frame_duration2(const_cast<AVCodecParameters*>(&par), p.size);
      if (length <= 0 && p.duration > 0)
        length = ToSamples(p.duration, timeBase_, rate_);
      std::optional<std::int64_t> start;
      if (p.pts != AV_NOPTS_VALUE)
        start = ToSamples(p.pts, timeBase_, rate_);
      if (!index.Add(p.pts, start, static_cast<std::int32_t>(std::clamp<std::int64_t>(length, 0, INT32_MAX)),
                     skip, discardEnd, (p.flags & AV_PKT_FLAG_DISCARD) != 0)) {
        av_packet_unref(packet_.get());
        why = "too many audio packets";
        return false;
      }
    }
    av_packet_unref(packet_.get());
  }
  if (index.EndSample() <= index.FirstSample()) {
    why = "no audio samples";
    return false;
  }
  hasPictures = firstPicture.has_value();
  origin = firstPicture ? ToSamples(*firstPicture, videoBase, rate_) : index.FirstSample();
  if (video_ >= 0)
    input_->streams[video_]->discard = AVDISCARD_ALL;
  follows_.reset();
  return true;
}

bool ContainerSoundDecoder::ReadAudioPacket() {
  for (int errors = 0; errors < kMaxErrors;) {
    const int e = av_read_frame(input_.get(), packet_.get());
    if (e == AVERROR_EOF)
      return false;
    if (e < 0) {
      ++errors;
      continue;
    }
    errors = 0;
    if (packet_->stream_index == audio_ &&
        (minPts_ == INT64_MIN || (packet_->pts != AV_NOPTS_VALUE && packet_->pts >= minPts_)))
      return true;
    av_packet_unref(packet_.get());
  }
  return false;
}

bool ContainerSoundDecoder::Seek(const ContainerSoundIndex& index, std::size_t k) {
  if (k >= index.Size())
    return false;
  const std::int64_t pts = index[k].pts;
  av_packet_unref(packet_.get());
  pending_ = false;
  draining_ = false;
  follows_.reset();
  sentStart_.reset();
  avcodec_flush_buffers(codec_.get());
  swr_.reset();
  minPts_ = k == 0 ? INT64_MIN : pts;
  // Demuxers seek to a packet at or before the one asked for; one that lands after it (or
  // cannot seek) is read again from the start, the packets before passed over.
  // The start is reached by opening the file again: some demuxers stamp the first packets only
  // when they read them from the start.
  if (k > 0 && av_seek_frame(input_.get(), audio_, pts, AVSEEK_FLAG_BACKWARD) >= 0 && ReadAudioPacket()) {
    if (packet_->pts == AV_NOPTS_VALUE || packet_->pts <= pts) {
      pending_ = true;
      return true;
    }
    av_packet_unref(packet_.get());
  }
  // Opened as at first, so that the demuxer stamps the first packets the same way.
  std::string why;
  if (!OpenInput(why) || avformat_find_stream_info(input_.get(), nullptr) < 0 ||
      input_->nb_streams <= static_cast<unsigned>(audio_))
    return false;
  for (unsigned i = 0; i < input_->nb_streams; ++i)
    if (static_cast<int>(i) != audio_)
      input_->streams[i]->discard = AVDISCARD_ALL;
  return true;
}

bool ContainerSoundDecoder::SetUpConverter() {
  const AVFrame& f = *frame_;
  if (swr_ && swrFormat_ == f.format && swrRate_ == f.sample_rate &&
      av_channel_layout_compare(&swrLayout_, &f.ch_layout) == 0)
    return true;
  swr_.reset();
  if (f.sample_rate <= 0 || f.sample_rate > kMaxRate || f.ch_layout.nb_channels <= 0 ||
      f.ch_layout.nb_channels > kMaxChannels)
    return false;
  AVChannelLayout in{};
  if (f.ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
    av_channel_layout_default(&in, f.ch_layout.nb_channels);
  else if (av_channel_layout_copy(&in, &f.ch_layout) < 0)
    return false;
  AVChannelLayout out{};
  av_channel_layout_default(&out, channels_);
  SwrContext* made = nullptr;
  const int e = swr_alloc_set_opts2(&made, &out, AV_SAMPLE_FMT_S16, rate_, &in,
                                    static_cast<AVSampleFormat>(f.format), f.sample_rate, 0, nullptr);
  swr_.reset(made);
  av_channel_layout_uninit(&in);
  av_channel_layout_uninit(&out);
  if (e < 0 || !swr_ || swr_init(swr_.get()) < 0) {
    swr_.reset();
    return false;
  }
  swrFormat_ = f.format;
  swrRate_ = f.sample_rate;
  av_channel_layout_uninit(&swrLayout_);
  av_channel_layout_copy(&swrLayout_, &f.ch_layout);
  return true;
}

bool ContainerSoundDecoder::Convert(Block& out) {
  const AVFrame& f = *frame_;
  if (f.nb_samples <= 0 || !SetUpConverter())
    return false;
  const std::int64_t room = swr_get_out_samples(swr_.get(), f.nb_samples);
  if (room <= 0 || room > INT32_MAX / kMaxChannels)
    return false;
  converted_.resize(static_cast<std::size_t>(room * channels_));
  auto* dest = reinterpret_cast<std::uint8_t*>(converted_.data());
  const int n = swr_convert(swr_.get(), &dest, static_cast<int>(room),
                            const_cast<const std::uint8_t**>(f.extended_data), f.nb_samples);
  if (n < 0)
    return false;
  // The frame's place: that of the packet just sent (decoders give each packet's samples as
  // soon as it is sent; frame stamps are not always carried through), else following the last
  // frame. A frame starting within a tick of where the last one ended follows it directly.
  std::optional<std::int64_t> start = std::exchange(sentStart_, std::nullopt);
  if (!start && f.pts != AV_NOPTS_VALUE)
    start = ToSamples(f.pts, timeBase_, rate_);
  if (follows_ &&
      (!start || std::llabs(*start - *follows_) <= static_cast<std::int64_t>(std::ceil(tick_)) + 1))
    start = follows_;
  if (!start)
    return false;
  follows_ = *start + n;
  std::int32_t skip = 0, discardEnd = 0;
  if (const AVFrameSideData* side = av_frame_get_side_data(&f, AV_FRAME_DATA_SKIP_SAMPLES))
    SkipOf(side->data, side->size, skip, discardEnd);
  if (f.sample_rate != rate_) {
    skip = static_cast<std::int32_t>(av_rescale(skip, rate_, f.sample_rate));
    discardEnd = static_cast<std::int32_t>(av_rescale(discardEnd, rate_, f.sample_rate));
  }
  skip = std::min(skip, n);
  discardEnd = std::min(discardEnd, n - skip);
  if ((f.flags & AV_FRAME_FLAG_DISCARD) || n - skip - discardEnd <= 0)
    return false;
  out.start = *start + skip;
  out.frames = n - skip - discardEnd;
  const auto from = converted_.begin() + static_cast<std::ptrdiff_t>(skip) * channels_;
  out.samples.assign(from, from + static_cast<std::ptrdiff_t>(out.frames) * channels_);
  return true;
}

ContainerSoundDecoder::Step ContainerSoundDecoder::Next(const ContainerSoundIndex& index, Block& out) {
  for (int errors = 0; errors < kMaxErrors;) {
    const int r = avcodec_receive_frame(codec_.get(), frame_.get());
    if (r == 0) {
      const bool got = Convert(out);
      av_frame_unref(frame_.get());
      if (got)
        return Step::Block;
      continue;
    }
    if (r == AVERROR_EOF)
      return Step::End;
    if (r != AVERROR(EAGAIN)) {
      ++errors;
      continue;
    }
    if (draining_)
      return Step::End;
    if (!pending_ && !ReadAudioPacket()) {
      draining_ = true;
      avcodec_send_packet(codec_.get(), nullptr);
      continue;
    }
    pending_ = false;
    minPts_ = INT64_MIN;
    sentStart_.reset();
    if (packet_->pts != AV_NOPTS_VALUE) {
      sentStart_ = index.StartOf(packet_->pts);
      if (!sentStart_)
        sentStart_ = ToSamples(packet_->pts, timeBase_, rate_);
    }
    const int s = avcodec_send_packet(codec_.get(), packet_.get());
    av_packet_unref(packet_.get());
    // A packet the decoder refuses is passed over; too many in a row end the sound.
    errors = s < 0 && s != AVERROR(EAGAIN) ? errors + 1 : 0;
  }
  return Step::Failed;
}

} // namespace rw
