#include "tests/support/TestAvi.h"

#include "media/FfmpegPtr.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>

namespace rw::test {
namespace {

using ff::PacketPtr;

constexpr int kGrid = 4;

int CodeOf(int n) {
  const int check = (n ^ (n >> 4) ^ (n >> 8) ^ 0x5) & 0xF;
  return (n & 0xFFF) | (check << 12);
}

bool Fail(std::string* error, const std::string& text) {
  if (error)
    *error = text;
  return false;
}

// Draws the block code of `n` into a YUV 4:2:0 picture: white and black cells, neutral chroma.
void DrawCode(AVFrame* f, int n) {
  const int code = CodeOf(n);
  for (int y = 0; y < f->height; ++y) {
    const int cy = std::min(kGrid - 1, y * kGrid / f->height);
    for (int x = 0; x < f->width; ++x) {
      const int cx = std::min(kGrid - 1, x * kGrid / f->width);
      const bool on = (code >> (cy * kGrid + cx)) & 1;
      f->data[0][y * f->linesize[0] + x] = on ? 235 : 16;
    }
  }
  for (int p = 1; p < 3; ++p)
    for (int y = 0; y < (f->height + 1) / 2; ++y)
      std::memset(f->data[p] + y * f->linesize[p], 128, static_cast<std::size_t>((f->width + 1) / 2));
}

// Moving gradients with noise: content that costs an encoder and a decoder some work.
void DrawTexture(AVFrame* f, int n) {
  std::uint32_t seed = static_cast<std::uint32_t>(n) * 2654435761u;
  for (int y = 0; y < f->height; ++y)
    for (int x = 0; x < f->width; ++x) {
      seed = seed * 1664525u + 1013904223u;
      f->data[0][y * f->linesize[0] + x] = static_cast<std::uint8_t>(((x + 2 * n) ^ (y + n)) + (seed >> 28));
    }
  for (int p = 1; p < 3; ++p)
    for (int y = 0; y < (f->height + 1) / 2; ++y)
      for (int x = 0; x < (f->width + 1) / 2; ++x)
        f->data[p][y * f->linesize[p] + x] = static_cast<std::uint8_t>(p == 1 ? x + n : y - n);
}

struct EncoderSetup {
  const char* name;
  AVPixelFormat format;
};

EncoderSetup SetupOf(TestAviCodec codec) {
  switch (codec) {
  case TestAviCodec::Mjpeg:
    return {"mjpeg", AV_PIX_FMT_YUVJ420P};
  case TestAviCodec::Mpeg4:
  case TestAviCodec::Mpeg4BFrames:
    return {"mpeg4", AV_PIX_FMT_YUV420P};
  case TestAviCodec::H264BFrames:
    return {"libx264", AV_PIX_FMT_YUV420P};
  case TestAviCodec::Ffv1:
    return {"ffv1", AV_PIX_FMT_YUV420P};
  case TestAviCodec::Huffyuv:
    return {"huffyuv", AV_PIX_FMT_YUV422P};
  case TestAviCodec::RawBgr24:
  case TestAviCodec::RawBgr24BottomUp:
    return {"rawvideo", AV_PIX_FMT_BGR24};
  case TestAviCodec::RawPal8:
    return {"rawvideo", AV_PIX_FMT_PAL8};
  case TestAviCodec::None:
    break;
  }
  return {nullptr, AV_PIX_FMT_NONE};
}

// Removes the sequence and picture parameter sets (NAL units 7 and 8) from an H.264 packet in
// start-code form.
void DropParameterSets(AVPacket& pkt) {
  std::vector<std::uint8_t> kept;
  const std::uint8_t* d = pkt.data;
  const std::size_t n = static_cast<std::size_t>(pkt.size);
  std::vector<std::size_t> starts; // positions of the 00 00 01 before each unit
  for (std::size_t i = 0; i + 3 <= n; ++i)
    if (d[i] == 0 && d[i + 1] == 0 && d[i + 2] == 1)
      starts.push_back(i);
  for (std::size_t k = 0; k < starts.size(); ++k) {
    const std::size_t from = starts[k];
    std::size_t to = k + 1 < starts.size() ? starts[k + 1] : n;
    if (k + 1 < starts.size() && to > from && d[to - 1] == 0)
      --to; // the zero byte of a four-byte start code belongs to the next unit
    const int type = from + 3 < n ? d[from + 3] & 0x1F : 0;
    if (type != 7 && type != 8)
      kept.insert(kept.end(), d + from, d + to);
  }
  if (kept.empty())
    return;
  av_shrink_packet(&pkt, 0);
  av_grow_packet(&pkt, static_cast<int>(kept.size()));
  std::memcpy(pkt.data, kept.data(), kept.size());
}

// Encodes the pictures of all non-empty entries; packets come back in decode order.
bool EncodeVideo(const TestAviOptions& o, ff::CodecContextPtr& enc, std::vector<PacketPtr>& packets,
                 std::string* error) {
  const EncoderSetup setup = SetupOf(o.codec);
  const AVCodec* codec = avcodec_find_encoder_by_name(setup.name);
  if (!codec)
    return Fail(error, std::string("encoder missing: ") + setup.name);
  enc = ff::MakeCodecContext(codec);
  AVCodecContext* c = enc.get();
  c->width = o.width;
  c->height = o.height;
  c->pix_fmt = setup.format;
  c->time_base = AVRational{o.scale, o.rate};
  c->framerate = AVRational{o.rate, o.scale};
  c->gop_size = o.gop;
  c->max_b_frames = 0;
  c->thread_count = 1;
  switch (o.codec) {
  case TestAviCodec::Mjpeg:
  case TestAviCodec::Mpeg4:
  case TestAviCodec::Mpeg4BFrames:
    c->flags |= AV_CODEC_FLAG_QSCALE;
    c->global_quality = FF_QP2LAMBDA * 3;
    if (o.codec == TestAviCodec::Mpeg4BFrames)
      c->max_b_frames = 2;
    break;
  case TestAviCodec::H264BFrames:
    c->max_b_frames = 3;
    av_opt_set(c->priv_data, "preset", "veryfast", 0);
    av_opt_set(c->priv_data, "x264-params", "scenecut=0:b-pyramid=normal:b-adapt=0", 0);
    av_opt_set(c->priv_data, "crf", "20", 0);
    break;
  default:
    break;
  }
  if (avcodec_open2(c, codec, nullptr) < 0)
    return Fail(error, std::string("cannot open encoder ") + setup.name);

  const ff::FramePtr yuv = ff::MakeFrame();
  yuv->format = AV_PIX_FMT_YUV420P;
  yuv->width = o.width;
  yuv->height = o.height;
  const ff::FramePtr pic = ff::MakeFrame();
  pic->format = setup.format;
  pic->width = o.width;
  pic->height = o.height;
  if (av_frame_get_buffer(yuv.get(), 0) < 0 || av_frame_get_buffer(pic.get(), 0) < 0)
    return Fail(error, "out of memory");
  const bool pal8 = setup.format == AV_PIX_FMT_PAL8;
  const ff::SwsPtr sws = ff::MakeSws(o.width, o.height, AV_PIX_FMT_YUV420P, o.width, o.height,
                                     pal8 ? AV_PIX_FMT_GRAY8 : setup.format, SWS_POINT);
  if (!sws)
    return Fail(error, "no converter");
  const bool flip = o.codec == TestAviCodec::RawBgr24BottomUp;

  auto drain = [&]() -> bool {
    for (;;) {
      PacketPtr pkt = ff::MakePacket();
      const int r = avcodec_receive_packet(c, pkt.get());
      if (r == AVERROR(EAGAIN) || r == AVERROR_EOF)
        return true;
      if (r < 0)
        return false;
      packets.push_back(std::move(pkt));
    }
  };
  const std::set<int> empty(o.empty.begin(), o.empty.end());
  std::int64_t pts = 0;
  for (int e = 0; e < o.frames; ++e) {
    if (empty.count(e))
      continue;
    if (av_frame_make_writable(pic.get()) < 0)
      return Fail(error, "frame not writable");
    if (o.texture)
      DrawTexture(yuv.get(), e);
    else
      DrawCode(yuv.get(), e);
    if (flip) {
      // Feed the rows upside down so that the stored bytes are bottom-up.
      const std::uint8_t* src[4] = {yuv->data[0] + (o.height - 1) * yuv->linesize[0],
                                    yuv->data[1] + ((o.height + 1) / 2 - 1) * yuv->linesize[1],
                                    yuv->data[2] + ((o.height + 1) / 2 - 1) * yuv->linesize[2], nullptr};
      const int strides[4] = {-yuv->linesize[0], -yuv->linesize[1], -yuv->linesize[2], 0};
      sws_scale(sws.get(), src, strides, 0, o.height, pic->data, pic->linesize);
    } else if (pal8) {
      // Dark cells become colour 3 and light ones colour 7 of a palette where no other entry
      // is grey, so that only a palette read right gives the code back.
      auto* palette = reinterpret_cast<std::uint32_t*>(pic->data[1]);
      for (std::uint32_t i = 0; i < 256; ++i)
        palette[i] = 0xFF000000u | (i * 0x3F1Bu & 0xFF) << 16 | (i * 0x9Du & 0x7F);
      palette[3] = 0xFF000000u;
      palette[7] = 0xFFFFFFFFu;
      for (int y = 0; y < o.height; ++y)
        for (int x = 0; x < o.width; ++x)
          pic->data[0][y * pic->linesize[0] + x] = yuv->data[0][y * yuv->linesize[0] + x] > 128 ? 7 : 3;
    } else {
      sws_scale(sws.get(), yuv->data, yuv->linesize, 0, o.height, pic->data, pic->linesize);
    }
    pic->pts = pts++;
    if (avcodec_send_frame(c, pic.get()) < 0 || !drain())
      return Fail(error, "encoding failed");
  }
  if (avcodec_send_frame(c, nullptr) < 0 || !drain())
    return Fail(error, "encoder flush failed");
  if (o.headersOnce)
    for (std::size_t i = 1; i < packets.size(); ++i)
      DropParameterSets(*packets[i]);
  return true;
}

AVCodecID AudioCodecOf(TestAviSample s) {
  switch (s) {
  case TestAviSample::U8:
    return AV_CODEC_ID_PCM_U8;
  case TestAviSample::S16:
    return AV_CODEC_ID_PCM_S16LE;
  case TestAviSample::S24:
    return AV_CODEC_ID_PCM_S24LE;
  case TestAviSample::S32:
    return AV_CODEC_ID_PCM_S32LE;
  case TestAviSample::F32:
    return AV_CODEC_ID_PCM_F32LE;
  case TestAviSample::Alaw:
    return AV_CODEC_ID_PCM_ALAW;
  }
  return AV_CODEC_ID_NONE;
}

int BytesOf(TestAviSample s) {
  switch (s) {
  case TestAviSample::U8:
  case TestAviSample::Alaw:
    return 1;
  case TestAviSample::S16:
    return 2;
  case TestAviSample::S24:
    return 3;
  default:
    return 4;
  }
}

// Turns the idx1 chunk into JUNK and clears AVIF_HASINDEX in the main header.
void StripIndex(const std::filesystem::path& file) {
  std::vector<std::uint8_t> b = ReadFileBytes(file);
  auto le32 = [&](std::size_t p) {
    return static_cast<std::uint32_t>(b[p] | b[p + 1] << 8 | b[p + 2] << 16) |
           static_cast<std::uint32_t>(b[p + 3]) << 24;
  };
  for (std::size_t p = 12; p + 8 <= b.size();) {
    if (std::memcmp(b.data() + p, "idx1", 4) == 0) {
      std::memcpy(b.data() + p, "JUNK", 4);
      break;
    }
    const std::uint32_t size = le32(p + 4);
    p += 8 + size + (size & 1);
  }
  // RIFF header (12), LIST hdrl header (12), then the avih chunk: dwFlags is its fourth field.
  if (b.size() >= 32 + 16 && std::memcmp(b.data() + 24, "avih", 4) == 0)
    b[32 + 12] &= static_cast<std::uint8_t>(~0x10);
  WriteFileBytes(file, b);
}

} // namespace

void QuietMediaLibraries() {
  av_log_set_level(AV_LOG_QUIET);
}

std::vector<std::uint8_t> ReadFileBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::filesystem::path& file, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<TestAviIndexEntry> ReadVideoIndex(const std::filesystem::path& file) {
  const std::vector<std::uint8_t> b = ReadFileBytes(file);
  auto le32 = [&](std::size_t p) {
    return static_cast<std::uint32_t>(b[p] | b[p + 1] << 8 | b[p + 2] << 16) |
           static_cast<std::uint32_t>(b[p + 3]) << 24;
  };
  std::vector<TestAviIndexEntry> entries;
  for (std::size_t p = 12; p + 8 <= b.size();) {
    const std::uint32_t size = le32(p + 4);
    if (std::memcmp(b.data() + p, "idx1", 4) == 0) {
      for (std::size_t e = p + 8; e + 16 <= std::min<std::size_t>(b.size(), p + 8 + size); e += 16)
        if (b[e] == '0' && b[e + 1] == '0')
          entries.push_back({(le32(e + 4) & 0x10) != 0, le32(e + 12)});
      break;
    }
    p += 8 + size + (size & 1);
  }
  return entries;
}

int ExpectedPictureNumber(const TestAviOptions& options, int entry) {
  entry = std::clamp(entry, 0, options.frames - 1);
  const std::set<int> empty(options.empty.begin(), options.empty.end());
  while (entry > 0 && empty.count(entry))
    --entry;
  return entry;
}

std::vector<int> PlayerOrderNumbers(const std::filesystem::path& file) {
  std::vector<int> numbers;
  int error = 0;
  const ff::InputPtr fc = ff::OpenInput(file, nullptr, error);
  if (!fc)
    return numbers;
  const int vi = av_find_best_stream(fc.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  if (vi < 0)
    return numbers;
  const AVCodecParameters* par = fc->streams[vi]->codecpar;
  const ff::CodecContextPtr dec = ff::OpenDecoder(*par);
  if (!dec)
    return numbers;
  const ff::FramePtr frame = ff::MakeFrame();
  const PacketPtr pkt = ff::MakePacket();
  const int w = par->width, h = std::abs(par->height), stride = (w * 3 + 3) & ~3;
  std::vector<std::uint8_t> bgr(static_cast<std::size_t>(stride) * h);
  auto receive = [&] {
    while (avcodec_receive_frame(dec.get(), frame.get()) == 0) {
      const ff::SwsPtr sws =
          ff::MakeSws(frame->width, frame->height, static_cast<AVPixelFormat>(frame->format), w, h,
                      AV_PIX_FMT_BGR24, SWS_POINT);
      std::uint8_t* dest[4] = {bgr.data() + static_cast<std::ptrdiff_t>(h - 1) * stride, nullptr, nullptr,
                               nullptr};
      const int destStride[4] = {-stride, 0, 0, 0};
      sws_scale(sws.get(), frame->data, frame->linesize, 0, frame->height, dest, destStride);
      numbers.push_back(ReadPictureNumber(bgr.data(), w, h));
    }
  };
  while (av_read_frame(fc.get(), pkt.get()) >= 0) {
    if (pkt->stream_index == vi && avcodec_send_packet(dec.get(), pkt.get()) >= 0)
      receive();
    av_packet_unref(pkt.get());
  }
  avcodec_send_packet(dec.get(), nullptr);
  receive();
  return numbers;
}

int ReadPictureNumber(const std::uint8_t* bgr, int width, int height) {
  if (!bgr)
    return -2;
  const int stride = (width * 3 + 3) & ~3;
  int code = 0;
  for (int cy = 0; cy < kGrid; ++cy)
    for (int cx = 0; cx < kGrid; ++cx) {
      const int x0 = cx * width / kGrid + width / (4 * kGrid),
                x1 = (cx + 1) * width / kGrid - width / (4 * kGrid);
      const int y0 = cy * height / kGrid + height / (4 * kGrid),
                y1 = (cy + 1) * height / kGrid - height / (4 * kGrid);
      long sum = 0, count = 0;
      for (int y = y0; y < y1; ++y) {
        const std::uint8_t* row = bgr + static_cast<std::ptrdiff_t>(height - 1 - y) * stride;
        for (int x = x0; x < x1; ++x, ++count)
          sum += row[x * 3] + row[x * 3 + 1] + row[x * 3 + 2];
      }
      if (count && sum / count > 3 * 128)
        code |= 1 << (cy * kGrid + cx);
    }
  const int n = code & 0xFFF;
  return CodeOf(n) == code ? n : -1;
}

std::int32_t TestAviSampleValue(TestAviSample sample, std::int64_t index, int channel) {
  const auto i = static_cast<std::uint64_t>(index);
  const auto ch = static_cast<std::uint64_t>(channel);
  switch (sample) {
  case TestAviSample::U8:
  case TestAviSample::Alaw:
    return static_cast<std::int32_t>((i * 7 + ch * 85 + (i >> 8) * 3) & 0xFF);
  case TestAviSample::S16:
    return static_cast<std::int16_t>((i * 37 + ch * 9973 + (i >> 7) * 3) & 0xFFFF);
  case TestAviSample::S24: {
    const auto v = static_cast<std::int32_t>(((i * 2654435761u + ch * 12345) >> 5) & 0xFFFFFF);
    return v >= 0x800000 ? v - 0x1000000 : v;
  }
  case TestAviSample::S32:
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(i * 2654435761u + ch * 40503));
  case TestAviSample::F32: {
    const float f = static_cast<float>(static_cast<int>((i * 37 + ch * 101) % 2001) - 1000) / 1000.0f;
    std::int32_t bits;
    std::memcpy(&bits, &f, 4);
    return bits;
  }
  }
  return 0;
}

std::int64_t TestAviAudioLength(const TestAviOptions& o) {
  if (o.audioRate <= 0)
    return 0;
  return static_cast<std::int64_t>(o.frames) * o.scale * o.audioRate / o.rate;
}

bool WriteTestAvi(const std::filesystem::path& file, const TestAviOptions& o, std::string* error) {
  ff::CodecContextPtr enc;
  std::vector<PacketPtr> video;
  if (o.codec != TestAviCodec::None && !EncodeVideo(o, enc, video, error))
    return false;

  ff::OutputPtr oc = ff::MakeOutput("avi", file);
  if (!oc)
    return Fail(error, "cannot create " + file.string());
  AVStream* vs = nullptr;
  if (enc) {
    vs = avformat_new_stream(oc.get(), nullptr);
    avcodec_parameters_from_context(vs->codecpar, enc.get());
    vs->time_base = AVRational{o.scale, o.rate};
  }
  AVStream* as = nullptr;
  const int bytes = BytesOf(o.audioSample);
  const int block = bytes * o.audioChannels;
  if (o.audioRate > 0) {
    as = avformat_new_stream(oc.get(), nullptr);
    AVCodecParameters* p = as->codecpar;
    p->codec_type = AVMEDIA_TYPE_AUDIO;
    p->codec_id = AudioCodecOf(o.audioSample);
    p->sample_rate = o.audioRate;
    av_channel_layout_default(&p->ch_layout, o.audioChannels);
    p->bits_per_coded_sample = bytes * 8;
    p->block_align = block;
    p->bit_rate = static_cast<std::int64_t>(block) * o.audioRate * 8;
    as->time_base = AVRational{1, o.audioRate};
  }
  ff::Dictionary opts;
  if (o.codec == TestAviCodec::RawBgr24BottomUp)
    opts.Set("flipped_raw_rgb", "1");
  const int hr = avformat_write_header(oc.get(), opts.Address());
  if (hr < 0)
    return Fail(error, "cannot write the AVI header");

  // Video packets carry their entry number as time stamp; the muxer stores zero-size chunks for
  // the skipped entry numbers.
  const std::set<int> empty(o.empty.begin(), o.empty.end());
  std::vector<int> entryOf;
  for (int e = 0; e < o.frames; ++e)
    if (!empty.count(e))
      entryOf.push_back(e);
  std::size_t vi = 0;
  const std::int64_t audioTotal = TestAviAudioLength(o);
  std::int64_t audioPos = 0;
  static constexpr int kChunk[] = {1000, 1470, 333, 2048, 1};
  int chunk = 0;
  while (vi < video.size() || audioPos < audioTotal) {
    // Write whichever stream is behind in time.
    const double vt = vi < video.size() ? static_cast<double>(entryOf[vi]) * o.scale / o.rate : 1e30;
    const double at = audioPos < audioTotal ? static_cast<double>(audioPos) / o.audioRate : 1e30;
    PacketPtr pkt;
    if (vt <= at) {
      pkt = std::move(video[vi]);
      pkt->stream_index = vs->index;
      pkt->pts = pkt->dts = entryOf[vi];
      pkt->duration = 1;
      av_packet_rescale_ts(pkt.get(), AVRational{o.scale, o.rate}, vs->time_base);
      ++vi;
    } else {
      const std::int64_t n = std::min<std::int64_t>(kChunk[chunk++ % 5], audioTotal - audioPos);
      pkt = ff::MakePacket();
      if (av_new_packet(pkt.get(), static_cast<int>(n * block)) < 0)
        return Fail(error, "out of memory");
      std::uint8_t* d = pkt->data;
      for (std::int64_t i = 0; i < n; ++i)
        for (int ch = 0; ch < o.audioChannels; ++ch) {
          const std::int32_t v = TestAviSampleValue(o.audioSample, audioPos + i, ch);
          for (int b = 0; b < bytes; ++b)
            *d++ = static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> (8 * b));
        }
      pkt->stream_index = as->index;
      pkt->pts = pkt->dts = audioPos;
      pkt->duration = n;
      av_packet_rescale_ts(pkt.get(), AVRational{1, o.audioRate}, as->time_base);
      audioPos += n;
    }
    pkt->flags |=
        AV_PKT_FLAG_KEY * (pkt->stream_index != (vs ? vs->index : -1) || (pkt->flags & AV_PKT_FLAG_KEY));
    if (av_write_frame(oc.get(), pkt.get()) < 0)
      return Fail(error, "packet write failed");
  }
  if (av_write_trailer(oc.get()) < 0)
    return Fail(error, "cannot finish the AVI file");
  oc.reset();
  if (o.stripIndex)
    StripIndex(file);
  return true;
}

} // namespace rw::test
