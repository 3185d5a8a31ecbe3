#include "output/MovieWriter.h"

#include "base/LittleEndian.h"
#include "base/MessageText.h"
#include "output/FileMovieSink.h"
#include "output/MovieSink.h"
#include "output/StreamParameters.h"
#include "output/settings/OutputInfo.h"
#include "render/DIB.h"

extern "C" {
#include <libavutil/channel_layout.h>
}

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace rw {

namespace {

#if LIBAVFORMAT_VERSION_MAJOR < 61
using IoBytes = std::uint8_t*;
#else
using IoBytes = const std::uint8_t*;
#endif

constexpr int kIoBufferSize = 1 << 16;

bool ValidAudio(const MovieFormat& f) {
  const bool rate = f.audioRate == 11025 || f.audioRate == 22050 || f.audioRate == 32000 ||
                    f.audioRate == 44100 || f.audioRate == 48000;
  return rate && (f.audioBits == 8 || f.audioBits == 16) && (f.audioChannels == 1 || f.audioChannels == 2);
}

} // namespace

MovieFormat MovieFormat::From(const OutputInfo& settings) {
  MovieFormat f;
  f.width = settings.VideoWidth();
  f.height = settings.VideoHeight();
  f.frameRate = settings.VideoRate();
  f.audio = settings.AudioOut();
  f.audioRate = settings.AudioRate();
  f.audioBits = settings.AudioBits();
  f.audioChannels = settings.AudioChannels();
  return f;
}

MovieWriter::MovieWriter(MessageText& messages) : messages_(messages) {}

MovieWriter::~MovieWriter() = default;

int MovieWriter::WriteCallback(void* opaque, const std::uint8_t* data, int size) {
  auto* self = static_cast<MovieWriter*>(opaque);
  if (size < 0 || !self->sink_->Write(data, static_cast<std::size_t>(size))) {
    self->sinkFailed_ = true;
    return AVERROR(EIO);
  }
  return size;
}

std::int64_t MovieWriter::SeekCallback(void* opaque, std::int64_t offset, int whence) {
  auto* self = static_cast<MovieWriter*>(opaque);
  MovieSink& sink = *self->sink_;
  if (whence & AVSEEK_SIZE) {
    const std::int64_t here = sink.Seek(0, SEEK_CUR);
    const std::int64_t end = sink.Seek(0, SEEK_END);
    if (here < 0 || end < 0 || sink.Seek(here, SEEK_SET) < 0)
      return -1;
    return end;
  }
  const std::int64_t result = sink.Seek(offset, whence & ~AVSEEK_FORCE);
  return result < 0 ? AVERROR(EIO) : result;
}

MovieWriter::OpenResult MovieWriter::Open(const std::filesystem::path& file, const MovieFormat& format,
                                          const VideoSource& video) {
  Reset();
  auto sink = std::make_unique<FileMovieSink>(file);
  if (!sink->Open()) {
    detail_ = file.string() + ": " + sink->ErrorText();
    return OpenResult::FileNotWritable;
  }
  fileSink_ = std::move(sink);
  sink_ = fileSink_.get();
  const OpenResult result = OpenOutput(format, video);
  if (result != OpenResult::Opened)
    Close();
  return result;
}

MovieWriter::OpenResult MovieWriter::Open(MovieSink& sink, const MovieFormat& format,
                                          const VideoSource& video) {
  Reset();
  sink_ = &sink;
  const OpenResult result = OpenOutput(format, video);
  if (result != OpenResult::Opened)
    Close();
  return result;
}

MovieWriter::OpenResult MovieWriter::OpenOutput(const MovieFormat& format, const VideoSource& video) {
  format_ = format;
  auto write = [](void* opaque, IoBytes data, int size) { return WriteCallback(opaque, data, size); };
  ff::IoContextPtr io = ff::MakeIoContext(kIoBufferSize, true, this, nullptr, write, SeekCallback);
  if (!io) {
    detail_ = "out of memory";
    return OpenResult::FileNotWritable;
  }
  io->seekable = AVIO_SEEKABLE_NORMAL;
  output_ = ff::MakeOutput("avi", std::move(io));
  if (!output_) {
    detail_ = "no AVI muxer";
    return OpenResult::FileNotWritable;
  }
  output_->flags |= AVFMT_FLAG_BITEXACT;

  if (format.width <= 0 || format.height <= 0 || format.frameRate <= 0) {
    detail_ = "invalid movie size or rate";
    return OpenResult::VideoStreamFailed;
  }
  ff::Dictionary muxerOptions;
  const OpenResult videoResult = AddVideo(video, muxerOptions);
  if (videoResult != OpenResult::Opened)
    return videoResult;
  if (format.audio && !AddAudio())
    return OpenResult::AudioStreamFailed;

  const int header = avformat_write_header(output_.get(), muxerOptions.Address());
  if (header < 0 || sinkFailed_) {
    detail_ = "cannot write the movie header: " + (sinkFailed_ ? sink_->ErrorText() : ff::ErrorText(header));
    return sinkFailed_ ? OpenResult::FileNotWritable : OpenResult::VideoStreamFailed;
  }
  return OpenResult::Opened;
}

MovieWriter::OpenResult MovieWriter::AddVideo(const VideoSource& video, ff::Dictionary& muxerOptions) {
  if (!video.compressor && !video.copyFrom) {
    detail_ = "no compressor and no source stream";
    return OpenResult::VideoStreamFailed;
  }
  videoStream_ = avformat_new_stream(output_.get(), nullptr);
  if (!videoStream_) {
    detail_ = "out of memory";
    return OpenResult::VideoStreamFailed;
  }
  videoStream_->time_base = AVRational{1, format_.frameRate};
  videoStream_->avg_frame_rate = AVRational{format_.frameRate, 1};
  AVCodecParameters& par = *videoStream_->codecpar;
  bool bottomUp = true;
  if (video.copyFrom) {
    const AVCodecParameters& src = *video.copyFrom;
    if (src.codec_type != AVMEDIA_TYPE_VIDEO || src.width != format_.width || src.height != format_.height) {
      detail_ = "the source stream is not video of the movie's size";
      return OpenResult::VideoStreamFailed;
    }
    if (avcodec_parameters_copy(&par, &src) < 0) {
      detail_ = "out of memory";
      return OpenResult::VideoStreamFailed;
    }
    if (par.codec_id == AV_CODEC_ID_RAWVIDEO) {
      // Raw rows are stored bottom-up when the reader marked them so; the mark itself is not
      // codec private data of the file.
      bottomUp = StreamParameters::IsBottomUpMark(par);
      av_freep(&par.extradata);
      par.extradata_size = 0;
    }
  }
  if (video.compressor) {
    const AVPixelFormat pixelFormat =
        video.copyFrom ? static_cast<AVPixelFormat>(video.copyFrom->format) : video.pixelFormat;
    if (!encoder_.Open(*video.compressor, video.settings, format_.width, format_.height, format_.frameRate,
                       pixelFormat, detail_))
      return OpenResult::EncoderFailed;
    hasEncoder_ = true;
    const ff::ParametersPtr encoded = ff::MakeParameters();
    if (!encoded || !encoder_.FillParameters(*encoded)) {
      detail_ = "the encoder gives no stream parameters";
      return OpenResult::EncoderFailed;
    }
    if (video.copyFrom) {
      if (encoded->codec_id != par.codec_id || encoded->format != par.format ||
          (par.codec_id == AV_CODEC_ID_RAWVIDEO
               ? !bottomUp || encoded->bits_per_coded_sample != par.bits_per_coded_sample
               : !StreamParameters::SameExtradata(*encoded, par))) {
        detail_ = "the compressor's samples would not match the copied stream";
        return OpenResult::EncoderFailed;
      }
    } else if (avcodec_parameters_copy(&par, encoded.get()) < 0) {
      detail_ = "out of memory";
      return OpenResult::VideoStreamFailed;
    }
  }
  if (par.codec_id == AV_CODEC_ID_RAWVIDEO && bottomUp)
    muxerOptions.Set("flipped_raw_rgb", "1");
  return OpenResult::Opened;
}

bool MovieWriter::AddAudio() {
  if (!ValidAudio(format_)) {
    detail_ = "unsupported audio format";
    return false;
  }
  audioStream_ = avformat_new_stream(output_.get(), nullptr);
  if (!audioStream_) {
    detail_ = "out of memory";
    return false;
  }
  AVCodecParameters& p = *audioStream_->codecpar;
  p.codec_type = AVMEDIA_TYPE_AUDIO;
  p.codec_id = format_.audioBits == 8 ? AV_CODEC_ID_PCM_U8 : AV_CODEC_ID_PCM_S16LE;
  p.sample_rate = format_.audioRate;
  av_channel_layout_default(&p.ch_layout, format_.audioChannels);
  p.bits_per_coded_sample = format_.audioBits;
  p.block_align = format_.BlockAlign();
  p.bit_rate = static_cast<std::int64_t>(p.block_align) * format_.audioRate * 8;
  audioStream_->time_base = AVRational{1, format_.audioRate};
  return true;
}

const AVCodecParameters* MovieWriter::VideoParameters() const {
  return videoStream_ ? videoStream_->codecpar : nullptr;
}

bool MovieWriter::Fail(const std::string& what) {
  if (!failed_)
    messages_.Append(what + "\n");
  failed_ = true;
  return false;
}

bool MovieWriter::WriteFailed(int code) {
  const std::string reason =
      sinkFailed_ && !sink_->ErrorText().empty() ? sink_->ErrorText() : ff::ErrorText(code);
  return Fail("ムービー'" + sink_->Name() + "'の書き込みに失敗しました (" + reason + ")");
}

bool MovieWriter::Usable(const char* what) {
  if (!output_) {
    messages_.Append(std::string(what) + ": ムービーが開かれていません\n");
    return false;
  }
  return !failed_;
}

bool MovieWriter::Mux(ff::PacketPtr packet, AVStream* stream, AVRational timeBase) {
  packet->stream_index = stream->index;
  av_packet_rescale_ts(packet.get(), timeBase, stream->time_base);
  const int result = av_interleaved_write_frame(output_.get(), packet.get());
  if (result < 0 || sinkFailed_ || output_->pb->error < 0)
    return WriteFailed(result < 0 ? result : output_->pb->error);
  return true;
}

bool MovieWriter::WriteEmptyUntil(std::int64_t position) {
  const AVRational timeBase{1, format_.frameRate};
  while (videoWritten_ < position) {
    ff::PacketPtr empty = ff::MakePacket();
    if (!empty)
      return Fail("ムービーの書き込みに失敗しました (out of memory)");
    empty->pts = empty->dts = videoWritten_;
    empty->duration = 1;
    if (!Mux(std::move(empty), videoStream_, timeBase))
      return false;
    ++videoWritten_;
    ++emptyWritten_;
  }
  return true;
}

bool MovieWriter::FlushReady(bool last) {
  // The order of what reaches the muxer depends only on the calls, never on when the encoder's
  // threads hand out their samples: sound that starts at position d goes once every position
  // before d is out, position p once sound starting after p has come (or at the end).
  const AVRational timeBase{1, format_.frameRate};
  for (;;) {
    const std::int64_t p = videoWritten_;
    const bool videoDone = slots_.empty() && p >= nextPosition_;
    if (!sounds_.empty() && (sounds_.front().position <= p || (last && videoDone))) {
      ff::PacketPtr packet = std::move(sounds_.front().packet);
      sounds_.pop_front();
      if (!Mux(std::move(packet), audioStream_, AVRational{1, format_.audioRate}))
        return false;
      continue;
    }
    if (audioStream_ && !last && soundStart_ <= p)
      return true;
    if (!slots_.empty() && slots_.front().position == p) {
      if (!slots_.front().packet)
        return true; // the encoder still holds it
      ff::PacketPtr packet = std::move(slots_.front().packet);
      slots_.pop_front();
      packet->pts = packet->dts = p;
      packet->duration = 1;
      if (!Mux(std::move(packet), videoStream_, timeBase))
        return false;
      ++videoWritten_;
      continue;
    }
    // A position that can no longer be written and has no sample stays empty.
    if (p < nextPosition_ && (slots_.empty() || slots_.front().position > p)) {
      if (!WriteEmptyUntil(p + 1))
        return false;
      continue;
    }
    return true;
  }
}

bool MovieWriter::TakeEncoded(std::vector<ff::PacketPtr>& packets) {
  auto slot = slots_.begin();
  for (ff::PacketPtr& packet : packets) {
    while (slot != slots_.end() && slot->packet)
      ++slot;
    if (slot == slots_.end())
      return Fail("映像の圧縮に失敗しました (the encoder gave more samples than pictures)");
    slot->packet = std::move(packet);
  }
  packets.clear();
  return true;
}

template <typename Encode>
bool MovieWriter::Compress(const char* what, std::int64_t position, Encode encode) {
  if (!Usable(what))
    return false;
  if (!hasEncoder_)
    return Fail("映像の圧縮に失敗しました (the movie has no compressor)");
  if (position < nextPosition_) {
    messages_.Append("映像の位置 " + std::to_string(position) + " は既に書き込まれた位置の前です\n");
    return false;
  }
  slots_.push_back(Slot{position, nullptr});
  nextPosition_ = position + 1;
  std::vector<ff::PacketPtr> packets;
  std::string detail;
  if (!encode(packets, detail))
    return Fail("映像の圧縮に失敗しました (" + detail + ")");
  ++encodedPictures_;
  return TakeEncoded(packets) && FlushReady();
}

bool MovieWriter::WritePicture(std::int64_t position, const DIB& picture, bool forceKey) {
  return Compress("WritePicture", position, [&](std::vector<ff::PacketPtr>& packets, std::string& detail) {
    return encoder_.Encode(picture, position, forceKey, packets, detail);
  });
}

bool MovieWriter::WriteFrame(std::int64_t position, const AVFrame& picture, bool forceKey) {
  return Compress("WriteFrame", position, [&](std::vector<ff::PacketPtr>& packets, std::string& detail) {
    return encoder_.EncodeFrame(picture, position, forceKey, packets, detail);
  });
}

bool MovieWriter::WriteSample(std::int64_t position, std::span<const std::uint8_t> bytes, bool key) {
  if (!Usable("WriteSample"))
    return false;
  if (position < nextPosition_) {
    messages_.Append("映像の位置 " + std::to_string(position) + " は既に書き込まれた位置の前です\n");
    return false;
  }
  nextPosition_ = position + 1;
  if (bytes.empty())
    return FlushReady();
  ff::PacketPtr packet = ff::MakePacket(bytes.data(), bytes.size());
  if (!packet)
    return Fail("ムービーの書き込みに失敗しました (out of memory)");
  if (key)
    packet->flags |= AV_PKT_FLAG_KEY;
  slots_.push_back(Slot{position, std::move(packet)});
  ++copiedSamples_;
  return FlushReady();
}

bool MovieWriter::WriteAudio(std::span<const std::uint8_t> bytes) {
  if (!Usable("WriteAudio"))
    return false;
  if (!audioStream_)
    return Fail("音声の書き込みに失敗しました (the movie has no audio stream)");
  const auto block = static_cast<std::size_t>(format_.BlockAlign());
  if (bytes.size() % block != 0) {
    messages_.Append("音声の書き込みに失敗しました (not whole sample frames)\n");
    return false;
  }
  if (bytes.empty())
    return true;
  const auto samples = static_cast<std::int64_t>(bytes.size() / block);
  ff::PacketPtr packet = ff::MakePacket(bytes.data(), bytes.size());
  if (!packet)
    return Fail("ムービーの書き込みに失敗しました (out of memory)");
  packet->flags |= AV_PKT_FLAG_KEY;
  packet->pts = packet->dts = audioSamples_;
  packet->duration = samples;
  // Positions whose time lies before the start of these samples are complete now.
  const std::int64_t start = audioSamples_;
  audioSamples_ += samples;
  const std::int64_t rate = format_.audioRate;
  const std::int64_t decided = (start * format_.frameRate + rate - 1) / rate;
  if (decided > gapLimit_)
    gapLimit_ = decided;
  if (gapLimit_ > nextPosition_)
    nextPosition_ = gapLimit_;
  soundStart_ = std::max(soundStart_, decided);
  sounds_.push_back(Sound{decided, std::move(packet)});
  return FlushReady();
}

bool MovieWriter::Finish(std::int64_t positions) {
  if (!Usable("Finish")) {
    Close();
    return false;
  }
  std::vector<ff::PacketPtr> packets;
  std::string detail;
  if (hasEncoder_ && !encoder_.Drain(packets, detail)) {
    Fail("映像の圧縮に失敗しました (" + detail + ")");
    Close();
    return false;
  }
  bool ok = TakeEncoded(packets);
  if (ok && positions > nextPosition_)
    gapLimit_ = nextPosition_ = positions;
  if (ok)
    ok = FlushReady(true);
  if (ok && !slots_.empty())
    ok = Fail("映像の圧縮に失敗しました (the encoder lost pictures)");
  if (ok) {
    const int trailer = av_write_trailer(output_.get());
    if (trailer < 0 || sinkFailed_ || output_->pb->error < 0)
      ok = WriteFailed(trailer < 0 ? trailer : output_->pb->error);
  }
  if (ok) {
    avio_flush(output_->pb);
    if (sinkFailed_ || output_->pb->error < 0)
      ok = WriteFailed(output_->pb->error);
  }
  if (ok && emptyWritten_ > 0)
    ok = UnflagEmptySamples();
  if (ok && fileSink_ && !fileSink_->Close()) {
    sinkFailed_ = true;
    ok = WriteFailed(AVERROR(EIO));
  }
  Close();
  return ok;
}

// libavformat flags every sample of an intra-only codec as a key frame, the empty ones too. An
// empty sample holds no picture, so its entry in the idx1 index loses the flag again. Movies
// past 1 GB keep further RIFF parts with their own indexes, which stay as written; so does a
// movie in a sink that cannot read back.
bool MovieWriter::UnflagEmptySamples() {
  std::uint8_t head[12];
  if (!sink_->ReadAt(0, head, sizeof head) || std::memcmp(head, "RIFF", 4) != 0 ||
      std::memcmp(head + 8, "AVI ", 4) != 0)
    return true;
  const std::int64_t riffEnd = 8 + static_cast<std::int64_t>(U32Le(head + 4));
  std::int64_t at = 12;
  std::uint8_t chunk[8];
  while (at + 8 <= riffEnd && sink_->ReadAt(at, chunk, sizeof chunk)) {
    const std::int64_t size = U32Le(chunk + 4);
    if (std::memcmp(chunk, "idx1", 4) != 0) {
      at += 8 + size + (size & 1);
      continue;
    }
    constexpr std::int64_t kEntry = 16;
    constexpr std::int64_t kBlock = 4096 * kEntry;
    std::vector<std::uint8_t> block;
    for (std::int64_t offset = at + 8; offset + kEntry <= at + 8 + size; offset += kBlock) {
      const std::int64_t length = std::min(kBlock, (at + 8 + size - offset) / kEntry * kEntry);
      block.resize(static_cast<std::size_t>(length));
      if (!sink_->ReadAt(offset, block.data(), block.size()))
        return true;
      bool changed = false;
      for (std::size_t e = 0; e < block.size(); e += kEntry) {
        std::uint8_t* entry = block.data() + e;
        if (entry[0] == '0' && entry[1] == '0' && entry[2] == 'd' && U32Le(entry + 12) == 0 &&
            (entry[4] & 0x10)) {
          entry[4] &= static_cast<std::uint8_t>(~0x10u);
          changed = true;
        }
      }
      if (changed && (sink_->Seek(offset, SEEK_SET) != offset || !sink_->Write(block.data(), block.size()))) {
        sinkFailed_ = true;
        return WriteFailed(AVERROR(EIO));
      }
    }
    return true;
  }
  return true;
}

void MovieWriter::Abandon() {
  Close();
}

void MovieWriter::Close() {
  slots_.clear();
  sounds_.clear();
  encoder_.Close();
  hasEncoder_ = false;
  output_.reset();
  fileSink_.reset();
  sink_ = nullptr;
  sinkFailed_ = false;
  videoStream_ = nullptr;
  audioStream_ = nullptr;
}

void MovieWriter::Reset() {
  Close();
  detail_.clear();
  failed_ = false;
  nextPosition_ = 0;
  gapLimit_ = 0;
  soundStart_ = -1;
  sounds_.clear();
  videoWritten_ = 0;
  emptyWritten_ = 0;
  audioSamples_ = 0;
  encodedPictures_ = 0;
  copiedSamples_ = 0;
}

} // namespace rw
