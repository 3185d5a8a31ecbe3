#include "output/MovieReader.h"

#include "render/DIB.h"

extern "C" {
#include <libavutil/imgutils.h>
}

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace rw {

struct MovieReader::MemoryInput {
  std::span<const std::uint8_t> bytes;
  std::size_t position = 0;

  static int Read(void* opaque, std::uint8_t* data, int size) {
    auto* in = static_cast<MemoryInput*>(opaque);
    const std::size_t left = in->bytes.size() - in->position;
    const std::size_t n = std::min(left, static_cast<std::size_t>(std::max(size, 0)));
    if (n == 0)
      return AVERROR_EOF;
    std::memcpy(data, in->bytes.data() + in->position, n);
    in->position += n;
    return static_cast<int>(n);
  }

  static std::int64_t Seek(void* opaque, std::int64_t offset, int whence) {
    auto* in = static_cast<MemoryInput*>(opaque);
    const auto size = static_cast<std::int64_t>(in->bytes.size());
    if (whence & AVSEEK_SIZE)
      return size;
    std::int64_t base = 0;
    switch (whence & ~AVSEEK_FORCE) {
    case SEEK_SET:
      break;
    case SEEK_CUR:
      base = static_cast<std::int64_t>(in->position);
      break;
    case SEEK_END:
      base = size;
      break;
    default:
      return -1;
    }
    const std::int64_t target = base + offset;
    if (target < 0 || target > size)
      return -1;
    in->position = static_cast<std::size_t>(target);
    return target;
  }
};

MovieReader::MovieReader() = default;

MovieReader::~MovieReader() = default;

bool MovieReader::Open(const std::filesystem::path& file, std::string& error) {
  input_.reset();
  memory_.reset();
  int result = 0;
  input_ = ff::OpenInput(file, av_find_input_format("avi"), result);
  if (!input_) {
    error = file.string() + ": " + ff::ErrorText(result);
    return false;
  }
  return OpenInput(error);
}

bool MovieReader::Open(std::span<const std::uint8_t> bytes, std::string& error) {
  input_.reset();
  memory_ = std::make_unique<MemoryInput>();
  memory_->bytes = bytes;
  constexpr int kBufferSize = 1 << 15;
  ff::IoContextPtr io =
      ff::MakeIoContext(kBufferSize, false, memory_.get(), MemoryInput::Read, nullptr, MemoryInput::Seek);
  if (!io) {
    error = "out of memory";
    return false;
  }
  int result = 0;
  input_ = ff::OpenInput(std::move(io), av_find_input_format("avi"), result);
  if (!input_) {
    error = "not a readable AVI movie: " + ff::ErrorText(result);
    return false;
  }
  return OpenInput(error);
}

bool MovieReader::OpenInput(std::string& error) {
  // The stream search completes the pixel formats by decoding, but it also extracts codec
  // private data from the first samples; the parameters should say what the file carries.
  std::vector<bool> hadExtradata;
  for (unsigned i = 0; i < input_->nb_streams; ++i)
    hadExtradata.push_back(input_->streams[i]->codecpar->extradata_size > 0);
  const int info = avformat_find_stream_info(input_.get(), nullptr);
  if (info < 0) {
    error = "no stream information: " + ff::ErrorText(info);
    return false;
  }
  for (unsigned i = 0; i < input_->nb_streams && i < hadExtradata.size(); ++i) {
    AVCodecParameters* par = input_->streams[i]->codecpar;
    if (!hadExtradata[i] && par->extradata) {
      av_freep(&par->extradata);
      par->extradata_size = 0;
    }
  }
  videoIndex_ = av_find_best_stream(input_.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  audioIndex_ = av_find_best_stream(input_.get(), AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
  if (videoIndex_ < 0)
    videoIndex_ = -1;
  if (audioIndex_ < 0)
    audioIndex_ = -1;
  return true;
}

const AVCodecParameters* MovieReader::Video() const {
  return input_ && videoIndex_ >= 0 ? input_->streams[videoIndex_]->codecpar : nullptr;
}

const AVCodecParameters* MovieReader::Audio() const {
  return input_ && audioIndex_ >= 0 ? input_->streams[audioIndex_]->codecpar : nullptr;
}

std::int64_t MovieReader::VideoFrames() const {
  return input_ && videoIndex_ >= 0 ? input_->streams[videoIndex_]->nb_frames : 0;
}

bool MovieReader::ReadAll(std::vector<VideoSample>& video, std::vector<std::uint8_t>& audio,
                          std::string& error) {
  if (!input_) {
    error = "no movie open";
    return false;
  }
  const ff::PacketPtr packet = ff::MakePacket();
  if (!packet) {
    error = "out of memory";
    return false;
  }
  for (;;) {
    const int result = av_read_frame(input_.get(), packet.get());
    if (result == AVERROR_EOF)
      return true;
    if (result < 0) {
      error = "cannot read the movie: " + ff::ErrorText(result);
      return false;
    }
    if (packet->stream_index == videoIndex_) {
      const AVStream* stream = input_->streams[videoIndex_];
      VideoSample sample;
      const std::int64_t dts = packet->dts != AV_NOPTS_VALUE ? packet->dts : packet->pts;
      sample.position =
          av_rescale_q(dts, stream->time_base,
                       av_inv_q(stream->avg_frame_rate.num ? stream->avg_frame_rate : stream->r_frame_rate));
      sample.bytes.assign(packet->data, packet->data + packet->size);
      sample.key = (packet->flags & AV_PKT_FLAG_KEY) != 0;
      video.push_back(std::move(sample));
    } else if (packet->stream_index == audioIndex_) {
      audio.insert(audio.end(), packet->data, packet->data + packet->size);
    }
    av_packet_unref(packet.get());
  }
}

namespace {

bool ToPicture(const AVFrame& frame, DIB& picture, std::string& error) {
  if (!picture.Create(frame.width, frame.height)) {
    error = "invalid decoded picture size";
    return false;
  }
  AVPixelFormat format = static_cast<AVPixelFormat>(frame.format);
  bool fullRange = frame.color_range == AVCOL_RANGE_JPEG;
  switch (format) {
  case AV_PIX_FMT_YUVJ420P:
    format = AV_PIX_FMT_YUV420P, fullRange = true;
    break;
  case AV_PIX_FMT_YUVJ422P:
    format = AV_PIX_FMT_YUV422P, fullRange = true;
    break;
  case AV_PIX_FMT_YUVJ444P:
    format = AV_PIX_FMT_YUV444P, fullRange = true;
    break;
  default:
    break;
  }
  const ff::SwsPtr sws =
      ff::MakeSws(frame.width, frame.height, format, frame.width, frame.height, AV_PIX_FMT_BGR24,
                  SWS_BICUBIC | SWS_ACCURATE_RND | SWS_BITEXACT | SWS_FULL_CHR_H_INT);
  if (!sws) {
    error = "no conversion from the decoded format";
    return false;
  }
  const int* coefficients = sws_getCoefficients(SWS_CS_ITU601);
  sws_setColorspaceDetails(sws.get(), coefficients, fullRange ? 1 : 0, coefficients, 1, 0, 1 << 16, 1 << 16);
  std::uint8_t* dst[1] = {picture.Bits() + static_cast<std::ptrdiff_t>(frame.height - 1) * picture.Stride()};
  const int dstStride[1] = {-picture.Stride()};
  if (sws_scale(sws.get(), frame.data, frame.linesize, 0, frame.height, dst, dstStride) != frame.height) {
    error = "picture conversion failed";
    return false;
  }
  return true;
}

} // namespace

bool MovieReader::Decode(const std::vector<VideoSample>& samples, std::int64_t count,
                         std::vector<DIB>& pictures, std::string& error) const {
  const AVCodecParameters* par = Video();
  if (!par) {
    error = "no video stream";
    return false;
  }
  const ff::CodecContextPtr context = ff::OpenDecoder(*par, {}, &error);
  if (!context)
    return false;
  // Decoded pictures, in the order of the non-empty samples.
  std::vector<std::int64_t> positions;
  std::vector<DIB> decoded;
  const ff::FramePtr frame = ff::MakeFrame();
  if (!frame) {
    error = "out of memory";
    return false;
  }
  auto receive = [&]() {
    for (;;) {
      const int result = avcodec_receive_frame(context.get(), frame.get());
      if (result == AVERROR(EAGAIN) || result == AVERROR_EOF)
        return true;
      if (result < 0) {
        error = "decoding failed: " + ff::ErrorText(result);
        return false;
      }
      DIB picture;
      if (!ToPicture(*frame, picture, error))
        return false;
      decoded.push_back(std::move(picture));
      av_frame_unref(frame.get());
    }
  };
  for (const VideoSample& sample : samples) {
    if (sample.bytes.empty())
      continue;
    const ff::PacketPtr packet = ff::MakePacket(sample.bytes.data(), sample.bytes.size());
    if (!packet) {
      error = "out of memory";
      return false;
    }
    packet->pts = packet->dts = sample.position;
    if (sample.key)
      packet->flags |= AV_PKT_FLAG_KEY;
    positions.push_back(sample.position);
    const int sent = avcodec_send_packet(context.get(), packet.get());
    if (sent < 0) {
      error = "decoding failed: " + ff::ErrorText(sent);
      return false;
    }
    if (!receive())
      return false;
  }
  avcodec_send_packet(context.get(), nullptr);
  if (!receive())
    return false;
  if (decoded.size() != positions.size()) {
    error = "the decoder gave " + std::to_string(decoded.size()) + " pictures for " +
            std::to_string(positions.size()) + " samples";
    return false;
  }
  pictures.clear();
  std::size_t next = 0;
  for (std::int64_t p = 0; p < count; ++p) {
    while (next < positions.size() && positions[next] < p)
      ++next;
    if (next < positions.size() && positions[next] == p) {
      pictures.push_back(decoded[next]);
    } else if (!pictures.empty()) {
      pictures.push_back(pictures.back());
    } else {
      error = "position " + std::to_string(p) + " has no picture";
      return false;
    }
  }
  return true;
}

} // namespace rw
