#include "tests/support/ContainerTestFiles.h"

#include "media/FfmpegPtr.h"
#include "tests/support/TestAvi.h"

extern "C" {
#include <libavutil/display.h>
#include <libavutil/opt.h>
}

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>

namespace rw::test {
namespace {

using ff::PacketPtr;

constexpr int kGrid = 4;

// The block code of the test AVI files: twelve bits of number and a four-bit check.
int CodeOf(int n) {
  const int check = (n ^ (n >> 4) ^ (n >> 8) ^ 0x5) & 0xF;
  return (n & 0xFFF) | (check << 12);
}

bool Fail(std::string* error, const std::string& text) {
  if (error)
    *error = text;
  return false;
}

void DrawCode(AVFrame* f, int n) {
  const int code = CodeOf(n);
  for (int y = 0; y < f->height; ++y) {
    const int cy = std::min(kGrid - 1, y * kGrid / f->height);
    for (int x = 0; x < f->width; ++x) {
      const int cx = std::min(kGrid - 1, x * kGrid / f->width);
      f->data[0][y * f->linesize[0] + x] = (code >> (cy * kGrid + cx)) & 1 ? 235 : 16;
    }
  }
  for (int p = 1; p < 3; ++p)
    for (int y = 0; y < (f->height + 1) / 2; ++y)
      std::memset(f->data[p] + y * f->linesize[p], 128, static_cast<std::size_t>((f->width + 1) / 2));
}

void DrawTexture(AVFrame* f, int n) {
  std::uint32_t seed = static_cast<std::uint32_t>(n) * 2654435761u;
  for (int y = 0; y < f->height; ++y)
    for (int x = 0; x < f->width; ++x) {
      seed = seed * 1664525u + 1013904223u;
      f->data[0][y * f->linesize[0] + x] = static_cast<std::uint8_t>(((x + 2 * n) ^ (y + n)) + (seed >> 29));
    }
  for (int p = 1; p < 3; ++p)
    for (int y = 0; y < (f->height + 1) / 2; ++y)
      for (int x = 0; x < (f->width + 1) / 2; ++x)
        f->data[p][y * f->linesize[p] + x] = static_cast<std::uint8_t>(p == 1 ? x + n : y - n);
}

const char* EncoderName(TestMovieCodec codec) {
  switch (codec) {
  case TestMovieCodec::H264:
    return "libx264";
  case TestMovieCodec::Hevc:
    return "libx265";
  case TestMovieCodec::Vp8:
    return "libvpx";
  case TestMovieCodec::Vp9:
    return "libvpx-vp9";
  case TestMovieCodec::Av1:
    return "libaom-av1";
  case TestMovieCodec::Mpeg4:
    return "mpeg4";
  }
  return "";
}

const char* EncoderName(TestMovieSound sound) {
  switch (sound) {
  case TestMovieSound::Aac:
    return "aac";
  case TestMovieSound::Opus:
    return "libopus";
  case TestMovieSound::Mp3:
    return "libmp3lame";
  case TestMovieSound::Flac:
    return "flac";
  case TestMovieSound::None:
    break;
  }
  return "";
}

const char* MuxerOf(const std::filesystem::path& file) {
  std::string ext = file.extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
  if (ext == ".mp4" || ext == ".m4v")
    return "mp4";
  if (ext == ".mov")
    return "mov";
  if (ext == ".mkv")
    return "matroska";
  if (ext == ".webm")
    return "webm";
  return nullptr;
}

AVRational Av(TestRational r) {
  return AVRational{static_cast<int>(r.num), static_cast<int>(r.den)};
}

// The duration of picture i in the options' time base.
std::int64_t DurationOf(const TestMovieOptions& o, std::size_t i) {
  if (i + 1 < o.pts.size())
    return o.pts[i + 1] - o.pts[i];
  if (o.lastDuration > 0)
    return o.lastDuration;
  return o.pts.size() > 1 ? o.pts[i] - o.pts[i - 1] : 1;
}

// Presentation time (in the time base) rounded to whole 1/30 s, halves up.
std::int64_t RoundToFrames(std::int64_t ticks, TestRational tb) {
  const __int128 twice = static_cast<__int128>(ticks) * tb.num * 30 * 2 + tb.den;
  const __int128 den = static_cast<__int128>(tb.den) * 2;
  __int128 q = twice / den;
  if (twice % den != 0 && twice < 0)
    --q;
  return static_cast<std::int64_t>(q);
}

// The 2x2 part of the display matrix written for `rotation` and `hflip`, as whole numbers:
// displayed x = a*x + c*y, displayed y = b*x + d*y (centred coordinates).
struct Turn {
  int a = 1, b = 0, c = 0, d = 1;
};
Turn TurnOf(int rotation, bool hflip) {
  std::int32_t m[9];
  av_display_rotation_set(m, rotation);
  av_display_matrix_flip(m, hflip ? 1 : 0, 0);
  auto unit = [](std::int32_t v) { return v > 32768 ? 1 : v < -32768 ? -1 : 0; };
  return Turn{unit(m[0]), unit(m[1]), unit(m[3]), unit(m[4])};
}

// Sends `frame` (null: flush) and hands every packet that comes out to `write`.
template <typename Write> bool Encode(AVCodecContext* c, const AVFrame* frame, Write&& write) {
  if (avcodec_send_frame(c, frame) < 0)
    return false;
  for (;;) {
    PacketPtr pkt = ff::MakePacket();
    const int r = avcodec_receive_packet(c, pkt.get());
    if (r == AVERROR(EAGAIN) || r == AVERROR_EOF)
      return true;
    if (r < 0 || !write(std::move(pkt)))
      return false;
  }
}

ff::CodecContextPtr OpenVideoEncoder(const TestMovieOptions& o, bool globalHeader, std::string* error) {
  const AVCodec* codec = avcodec_find_encoder_by_name(EncoderName(o.codec));
  if (!codec) {
    Fail(error, std::string("encoder missing: ") + EncoderName(o.codec));
    return nullptr;
  }
  ff::CodecContextPtr enc = ff::MakeCodecContext(codec);
  AVCodecContext* c = enc.get();
  c->width = o.width;
  c->height = o.height;
  c->pix_fmt = o.tenBit ? AV_PIX_FMT_YUV420P10LE : AV_PIX_FMT_YUV420P;
  c->time_base = Av(o.timeBase);
  if (o.pts.size() > 1 && o.pts.back() > o.pts.front())
    c->framerate = av_d2q(static_cast<double>(o.pts.size() - 1) * static_cast<double>(o.timeBase.den) /
                              static_cast<double>((o.pts.back() - o.pts.front()) * o.timeBase.num),
                          1 << 20);
  c->sample_aspect_ratio = Av(o.pixelAspect);
  c->gop_size = o.gop;
  c->max_b_frames = o.bFrames;
  c->thread_count = 1;
  if (globalHeader)
    c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  const std::string gop = std::to_string(o.gop);
  switch (o.codec) {
  case TestMovieCodec::H264:
    av_opt_set(c->priv_data, "preset", o.x264Preset.c_str(), 0);
    av_opt_set(c->priv_data, "crf", std::to_string(o.crf).c_str(), 0);
    av_opt_set(c->priv_data, "x264-params", "scenecut=0:log=-1", 0);
    break;
  case TestMovieCodec::Hevc:
    av_opt_set(c->priv_data, "preset", "ultrafast", 0);
    av_opt_set(c->priv_data, "crf", std::to_string(o.crf).c_str(), 0);
    av_opt_set(c->priv_data, "x265-params",
               ("log-level=none:scenecut=0:keyint=" + gop + ":min-keyint=" + gop).c_str(), 0);
    break;
  case TestMovieCodec::Vp8:
  case TestMovieCodec::Vp9:
    c->bit_rate = 1000000;
    av_opt_set(c->priv_data, "deadline", "realtime", 0);
    av_opt_set(c->priv_data, "cpu-used", "8", 0);
    av_opt_set(c->priv_data, "lag-in-frames", "0", 0);
    break;
  case TestMovieCodec::Av1:
    c->bit_rate = 1000000;
    av_opt_set(c->priv_data, "cpu-used", "8", 0);
    av_opt_set(c->priv_data, "usage", "realtime", 0);
    av_opt_set(c->priv_data, "lag-in-frames", "0", 0);
    break;
  case TestMovieCodec::Mpeg4:
    c->flags |= AV_CODEC_FLAG_QSCALE;
    c->global_quality = FF_QP2LAMBDA * 3;
    break;
  }
  if (const int r = avcodec_open2(c, codec, nullptr); r < 0) {
    Fail(error, std::string("cannot open encoder ") + EncoderName(o.codec) + ": " + ff::ErrorText(r));
    return nullptr;
  }
  return enc;
}

ff::CodecContextPtr OpenSoundEncoder(const TestMovieOptions& o, bool globalHeader, std::string* error) {
  const AVCodec* codec = avcodec_find_encoder_by_name(EncoderName(o.sound));
  if (!codec) {
    Fail(error, std::string("encoder missing: ") + EncoderName(o.sound));
    return nullptr;
  }
  ff::CodecContextPtr enc = ff::MakeCodecContext(codec);
  AVCodecContext* c = enc.get();
  c->sample_rate = o.soundRate;
  av_channel_layout_default(&c->ch_layout, o.soundChannels);
  c->sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
  c->time_base = AVRational{1, o.soundRate};
  c->bit_rate = o.sound == TestMovieSound::Flac ? 0 : 128000;
  if (globalHeader)
    c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  if (const int r = avcodec_open2(c, codec, nullptr); r < 0) {
    Fail(error, std::string("cannot open encoder ") + EncoderName(o.sound) + ": " + ff::ErrorText(r));
    return nullptr;
  }
  return enc;
}

// Writes `count` sample frames starting at sound sample `from` into `f` in the encoder's format.
void FillSound(AVFrame* f, const TestMovieOptions& o, std::int64_t from, int count) {
  const auto format = static_cast<AVSampleFormat>(f->format);
  const bool planar = av_sample_fmt_is_planar(format) != 0;
  const int bytes = av_get_bytes_per_sample(format);
  for (int i = 0; i < count; ++i) {
    const double v = from + i == o.click ? 0.9 : 0.0;
    for (int ch = 0; ch < o.soundChannels; ++ch) {
      std::uint8_t* at =
          planar ? f->extended_data[ch] + static_cast<std::ptrdiff_t>(i) * bytes
                 : f->extended_data[0] + (static_cast<std::ptrdiff_t>(i) * o.soundChannels + ch) * bytes;
      switch (av_get_packed_sample_fmt(format)) {
      case AV_SAMPLE_FMT_FLT: {
        const float s = static_cast<float>(v);
        std::memcpy(at, &s, 4);
        break;
      }
      case AV_SAMPLE_FMT_DBL:
        std::memcpy(at, &v, 8);
        break;
      case AV_SAMPLE_FMT_S32: {
        const auto s = static_cast<std::int32_t>(v * 2147483647.0);
        std::memcpy(at, &s, 4);
        break;
      }
      default: {
        const auto s = static_cast<std::int16_t>(v * 32767.0);
        std::memcpy(at, &s, 2);
        break;
      }
      }
    }
  }
}

// A small PNG picture for the cover-art stream.
PacketPtr CoverPicture(std::string* error) {
  const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_PNG);
  ff::CodecContextPtr enc = codec ? ff::MakeCodecContext(codec) : nullptr;
  if (!enc) {
    Fail(error, "encoder missing: png");
    return nullptr;
  }
  enc->width = 32;
  enc->height = 32;
  enc->pix_fmt = AV_PIX_FMT_RGB24;
  enc->time_base = AVRational{1, 1};
  const ff::FramePtr f = ff::MakeFrame();
  f->format = AV_PIX_FMT_RGB24;
  f->width = f->height = 32;
  if (avcodec_open2(enc.get(), codec, nullptr) < 0 || av_frame_get_buffer(f.get(), 0) < 0)
    return nullptr;
  for (int y = 0; y < 32; ++y)
    std::memset(f->data[0] + y * f->linesize[0], y * 8, 96);
  PacketPtr picture;
  Encode(enc.get(), f.get(), [&](PacketPtr p) {
    picture = std::move(p);
    return true;
  });
  return picture;
}

} // namespace

std::vector<std::int64_t> ConstantRatePts(int count, std::int64_t rateNum, std::int64_t rateDen,
                                          TestRational timeBase, std::int64_t first) {
  std::vector<std::int64_t> pts;
  for (int i = 0; i < count; ++i) {
    // i * rateDen / rateNum seconds in units of num/den, to the nearest unit.
    const __int128 n = static_cast<__int128>(i) * rateDen * timeBase.den;
    const __int128 d = static_cast<__int128>(rateNum) * timeBase.num;
    pts.push_back(first + static_cast<std::int64_t>((2 * n + d) / (2 * d)));
  }
  return pts;
}

bool HasMovieEncoder(TestMovieCodec codec) {
  return avcodec_find_encoder_by_name(EncoderName(codec)) != nullptr;
}

bool HasSoundEncoder(TestMovieSound sound) {
  return sound == TestMovieSound::None || avcodec_find_encoder_by_name(EncoderName(sound)) != nullptr;
}

bool WriteTestMovie(const std::filesystem::path& file, const TestMovieOptions& o, std::string* error) {
  const char* muxer = MuxerOf(file);
  if (!muxer)
    return Fail(error, "no container for " + file.string());
  ff::OutputPtr oc = ff::MakeOutput(muxer, file);
  if (!oc)
    return Fail(error, "cannot create " + file.string());
  oc->strict_std_compliance = FF_COMPLIANCE_EXPERIMENTAL;
  const bool globalHeader = (oc->oformat->flags & AVFMT_GLOBALHEADER) != 0;

  PacketPtr cover;
  AVStream* cs = nullptr;
  if (o.coverArt) {
    if (std::strcmp(muxer, "mp4") != 0 && std::strcmp(muxer, "mov") != 0)
      return Fail(error, "cover art only in MP4 and MOV");
    if (!(cover = CoverPicture(error)))
      return false;
    cs = avformat_new_stream(oc.get(), nullptr);
    cs->disposition |= AV_DISPOSITION_ATTACHED_PIC;
    cs->codecpar->codec_type = AVMEDIA_TYPE_VIDEO;
    cs->codecpar->codec_id = AV_CODEC_ID_PNG;
    cs->codecpar->width = cs->codecpar->height = 32;
  }

  ff::CodecContextPtr venc;
  AVStream* vs = nullptr;
  if (!o.pts.empty()) {
    if (!(venc = OpenVideoEncoder(o, globalHeader, error)))
      return false;
    vs = avformat_new_stream(oc.get(), nullptr);
    avcodec_parameters_from_context(vs->codecpar, venc.get());
    vs->time_base = Av(o.timeBase);
    vs->sample_aspect_ratio = Av(o.pixelAspect);
    if (o.rotation != 0 || o.hflip) {
      auto* m = reinterpret_cast<std::int32_t*>(
          av_stream_new_side_data(vs, AV_PKT_DATA_DISPLAYMATRIX, 9 * sizeof(std::int32_t)));
      if (!m)
        return Fail(error, "out of memory");
      av_display_rotation_set(m, o.rotation);
      av_display_matrix_flip(m, o.hflip ? 1 : 0, 0);
    }
  }
  ff::CodecContextPtr aenc;
  AVStream* as = nullptr;
  if (o.sound != TestMovieSound::None) {
    if (!(aenc = OpenSoundEncoder(o, globalHeader, error)))
      return false;
    as = avformat_new_stream(oc.get(), nullptr);
    avcodec_parameters_from_context(as->codecpar, aenc.get());
    as->time_base = AVRational{1, o.soundRate};
  }
  if (!vs && !as)
    return Fail(error, "neither pictures nor sound");
  if (const int r = avformat_write_header(oc.get(), nullptr); r < 0)
    return Fail(error, "cannot write the header of " + file.string() + ": " + ff::ErrorText(r));

  if (cs) {
    cover->stream_index = cs->index;
    cover->flags |= AV_PKT_FLAG_KEY;
    if (av_write_frame(oc.get(), cover.get()) < 0)
      return Fail(error, "cannot write the cover art");
  }

  // The index of each presentation time, for the durations of the packets.
  std::map<std::int64_t, std::size_t> pictureAt;
  for (std::size_t i = 0; i < o.pts.size(); ++i)
    pictureAt[o.pts[i]] = i;
  auto writeVideo = [&](PacketPtr pkt) {
    const auto at = pictureAt.find(pkt->pts);
    pkt->duration = at != pictureAt.end() ? DurationOf(o, at->second) : 0;
    pkt->stream_index = vs->index;
    av_packet_rescale_ts(pkt.get(), Av(o.timeBase), vs->time_base);
    return av_interleaved_write_frame(oc.get(), pkt.get()) >= 0;
  };
  auto writeSound = [&](PacketPtr pkt) {
    pkt->stream_index = as->index;
    av_packet_rescale_ts(pkt.get(), AVRational{1, o.soundRate}, as->time_base);
    return av_interleaved_write_frame(oc.get(), pkt.get()) >= 0;
  };

  // Sound: from soundStart for soundLength sample frames (default: to the end of the pictures).
  std::int64_t soundTotal = o.soundLength;
  if (as && soundTotal <= 0) {
    if (o.pts.empty()) {
      soundTotal = o.soundRate;
    } else {
      const std::int64_t end = o.pts.back() + DurationOf(o, o.pts.size() - 1);
      soundTotal = av_rescale_q(end, Av(o.timeBase), AVRational{1, o.soundRate}) - o.soundStart;
    }
  }
  std::int64_t soundDone = 0;
  const ff::FramePtr af = ff::MakeFrame();
  // Encodes sound up to the time `until` (in 1/soundRate units on the pictures' clock).
  auto soundUpTo = [&](std::int64_t until) {
    if (!as)
      return true;
    const int size = aenc->frame_size > 0 ? aenc->frame_size : 1024;
    while (soundDone < soundTotal && o.soundStart + soundDone <= until) {
      const int n = static_cast<int>(std::min<std::int64_t>(size, soundTotal - soundDone));
      av_frame_unref(af.get());
      af->format = aenc->sample_fmt;
      af->nb_samples = n;
      af->sample_rate = o.soundRate;
      if (av_channel_layout_copy(&af->ch_layout, &aenc->ch_layout) < 0 ||
          av_frame_get_buffer(af.get(), 0) < 0)
        return false;
      FillSound(af.get(), o, soundDone, n);
      af->pts = o.soundStart + soundDone;
      soundDone += n;
      if (!Encode(aenc.get(), af.get(), writeSound))
        return false;
    }
    return true;
  };

  if (vs) {
    const ff::FramePtr yuv = ff::MakeFrame();
    yuv->format = AV_PIX_FMT_YUV420P;
    yuv->width = o.width;
    yuv->height = o.height;
    const ff::FramePtr pic = ff::MakeFrame();
    pic->format = venc->pix_fmt;
    pic->width = o.width;
    pic->height = o.height;
    if (av_frame_get_buffer(yuv.get(), 0) < 0 || av_frame_get_buffer(pic.get(), 0) < 0)
      return Fail(error, "out of memory");
    const ff::SwsPtr sws =
        ff::MakeSws(o.width, o.height, AV_PIX_FMT_YUV420P, o.width, o.height, venc->pix_fmt, SWS_POINT);
    if (!sws)
      return Fail(error, "no converter");
    for (std::size_t i = 0; i < o.pts.size(); ++i) {
      if (!soundUpTo(av_rescale_q(o.pts[i], Av(o.timeBase), AVRational{1, o.soundRate})))
        return Fail(error, "sound encoding failed");
      if (av_frame_make_writable(pic.get()) < 0)
        return Fail(error, "frame not writable");
      if (o.texture)
        DrawTexture(yuv.get(), static_cast<int>(i));
      else
        DrawCode(yuv.get(), static_cast<int>(i));
      sws_scale(sws.get(), yuv->data, yuv->linesize, 0, o.height, pic->data, pic->linesize);
      pic->pts = o.pts[i];
      pic->sample_aspect_ratio = Av(o.pixelAspect);
      if (!Encode(venc.get(), pic.get(), writeVideo))
        return Fail(error, "video encoding failed");
    }
    if (!Encode(venc.get(), nullptr, writeVideo))
      return Fail(error, "video encoder flush failed");
  }
  if (!soundUpTo(INT64_MAX) || (aenc && !Encode(aenc.get(), nullptr, writeSound)))
    return Fail(error, "sound encoding failed");
  if (av_write_trailer(oc.get()) < 0)
    return Fail(error, "cannot finish " + file.string());
  return true;
}

int ReadMoviePictureNumber(const std::uint8_t* bgr, int width, int height, int rotation, bool hflip) {
  if (!bgr)
    return -2;
  const Turn t = TurnOf(rotation, hflip);
  if (t.a == 1 && t.d == 1)
    return ReadPictureNumber(bgr, width, height);
  // Puts the picture back the way it was drawn, then reads it as drawn.
  const bool across = t.a == 0;
  const int w = across ? height : width, h = across ? width : height;
  const int stride = (width * 3 + 3) & ~3, storedStride = (w * 3 + 3) & ~3;
  std::vector<std::uint8_t> stored(static_cast<std::size_t>(storedStride) * static_cast<std::size_t>(h));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      // Centred coordinates, doubled so they stay whole.
      const int u = 2 * x + 1 - w, v = 2 * y + 1 - h;
      const int dx = (t.a * u + t.c * v + width - 1) / 2, dy = (t.b * u + t.d * v + height - 1) / 2;
      const std::uint8_t* from = bgr + static_cast<std::ptrdiff_t>(height - 1 - dy) * stride + dx * 3;
      std::memcpy(stored.data() + static_cast<std::ptrdiff_t>(h - 1 - y) * storedStride + x * 3, from, 3);
    }
  return ReadPictureNumber(stored.data(), w, h);
}

int ExpectedMoviePicture(const TestMovieOptions& o, std::int64_t cutFrame) {
  if (o.pts.empty())
    return -1;
  const std::int64_t origin = *std::min_element(o.pts.begin(), o.pts.end());
  int shown = -1;
  std::int64_t shownPts = 0;
  for (std::size_t i = 0; i < o.pts.size(); ++i)
    if (RoundToFrames(o.pts[i] - origin, o.timeBase) <= cutFrame && (shown < 0 || o.pts[i] >= shownPts)) {
      shown = static_cast<int>(i);
      shownPts = o.pts[i];
    }
  return shown;
}

std::int64_t ExpectedMovieFrames(const TestMovieOptions& o) {
  if (o.pts.empty())
    return 0;
  const std::int64_t origin = *std::min_element(o.pts.begin(), o.pts.end());
  return RoundToFrames(o.pts.back() + DurationOf(o, o.pts.size() - 1) - origin, o.timeBase);
}

std::int64_t FindClick(const std::int16_t* samples, std::int64_t frames, int channels) {
  std::int64_t best = -1;
  int peak = 0;
  for (std::int64_t i = 0; i < frames; ++i)
    for (int ch = 0; ch < channels; ++ch) {
      const int v = std::abs(static_cast<int>(samples[i * channels + ch]));
      if (v > peak) {
        peak = v;
        best = i;
      }
    }
  return best;
}

} // namespace rw::test
