#include "tests/support/SoundTestFiles.h"

#include "media/FfmpegPtr.h"

extern "C" {
#include <libavutil/channel_layout.h>
}

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <functional>
#include <numbers>

namespace rw::test {
namespace {

bool Fail(std::string* error, const std::string& text) {
  if (error)
    *error = text;
  return false;
}

const char* EncoderName(TestSoundCodec codec) {
  switch (codec) {
  case TestSoundCodec::Aac:
    return "aac";
  case TestSoundCodec::Opus:
    return "libopus";
  case TestSoundCodec::Mp3:
    return "libmp3lame";
  case TestSoundCodec::Flac:
    return "flac";
  case TestSoundCodec::Vorbis:
    return "libvorbis";
  case TestSoundCodec::Pcm:
    return "pcm_s16le";
  }
  return "";
}

const char* MuxerOf(const std::filesystem::path& file) {
  std::string ext = file.extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
  if (ext == ".m4a" || ext == ".mp4")
    return "mp4";
  if (ext == ".ogg")
    return "ogg";
  if (ext == ".opus")
    return "opus";
  if (ext == ".mp3")
    return "mp3";
  if (ext == ".flac")
    return "flac";
  if (ext == ".mkv")
    return "matroska";
  if (ext == ".webm")
    return "webm";
  return nullptr;
}

void Fill(AVFrame* f, const TestSoundOptions& o, std::int64_t from) {
  const auto format = static_cast<AVSampleFormat>(f->format);
  const bool planar = av_sample_fmt_is_planar(format) != 0;
  const int bytes = av_get_bytes_per_sample(format);
  for (int i = 0; i < f->nb_samples; ++i) {
    for (int ch = 0; ch < o.channels; ++ch) {
      const double v = TestSoundValue(o, from + i, ch);
      std::uint8_t* at =
          planar ? f->extended_data[ch] + static_cast<std::ptrdiff_t>(i) * bytes
                 : f->extended_data[0] + (static_cast<std::ptrdiff_t>(i) * o.channels + ch) * bytes;
      switch (av_get_packed_sample_fmt(format)) {
      case AV_SAMPLE_FMT_FLT: {
        const auto s = static_cast<float>(v);
        std::memcpy(at, &s, 4);
        break;
      }
      case AV_SAMPLE_FMT_S32: {
        const auto s = static_cast<std::int32_t>(std::lround(v * 2147483520.0));
        std::memcpy(at, &s, 4);
        break;
      }
      default: {
        const auto s = static_cast<std::int16_t>(std::lround(v * 32767.0));
        std::memcpy(at, &s, 2);
        break;
      }
      }
    }
  }
}

// Sends `frame` (null: flush) and hands every packet that comes out to `write`.
bool Encode(AVCodecContext* enc, const AVFrame* frame, const std::function<bool(AVPacket*)>& write) {
  if (avcodec_send_frame(enc, frame) < 0)
    return false;
  const ff::PacketPtr pkt = ff::MakePacket();
  for (;;) {
    const int r = avcodec_receive_packet(enc, pkt.get());
    if (r == AVERROR(EAGAIN) || r == AVERROR_EOF)
      return true;
    if (r < 0 || !write(pkt.get()))
      return false;
    av_packet_unref(pkt.get());
  }
}

} // namespace

double TestSoundValue(const TestSoundOptions& o, std::int64_t frame, int channel) {
  if (frame == o.click)
    return 0.9;
  if (!o.tone)
    return 0.0;
  const double t = static_cast<double>(frame) / o.rate;
  const double pi2 = 2 * std::numbers::pi;
  return 0.1 * std::sin(pi2 * (220.0 + 110.0 * channel) * t) + 0.07 * std::sin(pi2 * 1234.5 * t) +
         0.03 * std::sin(pi2 * 3100.0 * t + channel);
}

bool HasTestSoundEncoder(TestSoundCodec codec) {
  return avcodec_find_encoder_by_name(EncoderName(codec)) != nullptr;
}

bool WriteTestSound(const std::filesystem::path& file, const TestSoundOptions& o, std::string* error) {
  const char* muxer = MuxerOf(file);
  if (!muxer)
    return Fail(error, "no container for " + file.string());
  const AVCodec* codec = avcodec_find_encoder_by_name(EncoderName(o.codec));
  if (!codec)
    return Fail(error, std::string("encoder missing: ") + EncoderName(o.codec));
  ff::OutputPtr oc = ff::MakeOutput(muxer, file);
  if (!oc)
    return Fail(error, "cannot create " + file.string());
  ff::CodecContextPtr enc = ff::MakeCodecContext(codec);
  AVCodecContext* c = enc.get();
  c->sample_rate = o.rate;
  av_channel_layout_default(&c->ch_layout, o.channels);
  c->sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
  c->time_base = AVRational{1, o.rate};
  c->bit_rate = o.codec == TestSoundCodec::Flac || o.codec == TestSoundCodec::Pcm ? 0 : 128000;
  if (oc->oformat->flags & AVFMT_GLOBALHEADER)
    c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  if (const int r = avcodec_open2(c, codec, nullptr); r < 0)
    return Fail(error, std::string("cannot open encoder ") + EncoderName(o.codec) + ": " + ff::ErrorText(r));
  AVStream* st = avformat_new_stream(oc.get(), nullptr);
  if (!st || avcodec_parameters_from_context(st->codecpar, c) < 0)
    return Fail(error, "cannot add the sound stream");
  st->time_base = c->time_base;
  if (avformat_write_header(oc.get(), nullptr) < 0)
    return Fail(error, "cannot write the header of " + file.string());
  auto write = [&](AVPacket* pkt) {
    pkt->stream_index = st->index;
    av_packet_rescale_ts(pkt, c->time_base, st->time_base);
    return av_interleaved_write_frame(oc.get(), pkt) >= 0;
  };
  const ff::FramePtr f = ff::MakeFrame();
  const int size = c->frame_size > 0 ? c->frame_size : 1024;
  for (std::int64_t done = 0; done < o.frames;) {
    const int n = static_cast<int>(std::min<std::int64_t>(size, o.frames - done));
    av_frame_unref(f.get());
    f->format = c->sample_fmt;
    f->nb_samples = n;
    f->sample_rate = o.rate;
    if (av_channel_layout_copy(&f->ch_layout, &c->ch_layout) < 0 || av_frame_get_buffer(f.get(), 0) < 0)
      return Fail(error, "out of memory");
    Fill(f.get(), o, done);
    f->pts = done;
    done += n;
    if (!Encode(c, f.get(), write))
      return Fail(error, "sound encoding failed");
  }
  if (!Encode(c, nullptr, write) || av_write_trailer(oc.get()) < 0)
    return Fail(error, "cannot finish " + file.string());
  return true;
}

} // namespace rw::test
