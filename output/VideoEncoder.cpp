#include "output/VideoEncoder.h"

#include "render/DIB.h"

extern "C" {
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
}

#include <algorithm>

namespace rw {

namespace {

// Quality 0..10000 onto a quantiser scale 31..2 (rounded).
int QuantiserOf(int quality) {
  const int q = std::clamp(quality, 0, 10000);
  return 2 + ((10000 - q) * 29 + 5000) / 10000;
}

// Quality 0..10000 onto libx264's constant rate factor 51..0.
double RateFactorOf(int quality) {
  const int q = std::clamp(quality, 0, 10000);
  return 51.0 * (10000 - q) / 10000.0;
}

// An interval the encoders of the restart family never reach on their own: their key frames
// are made by reopening them.
constexpr int kNeverKey = 1 << 24;

// Frame threads of libx264.
constexpr int kX264Threads = 2;

bool IsFullRange(AVPixelFormat format) {
  return format == AV_PIX_FMT_YUVJ420P || format == AV_PIX_FMT_YUVJ422P || format == AV_PIX_FMT_YUVJ444P;
}

} // namespace

bool VideoEncoder::Open(const CompressorInfo& compressor, const EncoderSettings& settings, int width,
                        int height, int frameRate, AVPixelFormat format, std::string& detail) {
  open_ = false;
  context_.reset();
  extradata_.clear();
  compressor_ = compressor;
  settings_ = settings;
  width_ = width;
  height_ = height;
  frameRate_ = frameRate;
  if (width <= 0 || height <= 0 || frameRate <= 0) {
    detail = "invalid picture size or rate";
    return false;
  }
  if (compressor.family == EncoderFamily::Stored) {
    if (format != AV_PIX_FMT_NONE && format != AV_PIX_FMT_BGR24) {
      detail = "uncompressed pictures are 24-bit BGR";
      return false;
    }
    format_ = AV_PIX_FMT_BGR24;
    open_ = true;
    return true;
  }
  codec_ = avcodec_find_encoder_by_name(std::string(compressor.encoder).c_str());
  if (!codec_) {
    detail = "encoder '" + std::string(compressor.encoder) + "' is not available";
    return false;
  }
  format_ = format != AV_PIX_FMT_NONE ? format : av_get_pix_fmt(std::string(compressor.pixelFormat).c_str());
  if (format_ == AV_PIX_FMT_NONE) {
    detail = "unknown pixel format";
    return false;
  }
  if (compressor.family == EncoderFamily::X264 && (width % 2 != 0 || height % 2 != 0)) {
    // Refused here: libx264 loses memory when it refuses a size itself.
    detail = "libx264 needs an even width and height";
    return false;
  }
  if (!converter_.Setup(format_, width, height, detail))
    return false;
  if (!OpenContext(detail))
    return false;
  if (context_->extradata && context_->extradata_size > 0)
    extradata_.assign(context_->extradata, context_->extradata + context_->extradata_size);
  open_ = true;
  return true;
}

bool VideoEncoder::OpenContext(std::string& detail) {
  context_ = ff::MakeCodecContext(codec_);
  if (!context_) {
    detail = "out of memory";
    return false;
  }
  AVCodecContext& c = *context_;
  c.width = width_;
  c.height = height_;
  c.pix_fmt = format_;
  c.time_base = AVRational{1, frameRate_};
  c.framerate = AVRational{frameRate_, 1};
  c.sample_aspect_ratio = AVRational{1, 1};
  c.max_b_frames = 0;
  if (IsFullRange(format_))
    c.color_range = AVCOL_RANGE_JPEG;
  // Only frame threads: they give the same bytes as one thread, slice threads do not. Rate
  // control keeps a state per thread, so a data-rate target runs on one thread.
  c.thread_type = FF_THREAD_FRAME;
  c.thread_count = settings_.threads < 0 ? 1 : settings_.threads;
  const bool byRate = compressor_.dataRate && settings_.bytesPerSecond > 0;
  if (byRate)
    c.thread_count = 1;

  ff::Dictionary options;
  switch (compressor_.family) {
  case EncoderFamily::MpegVideo:
    if (byRate) {
      c.bit_rate = settings_.bytesPerSecond * 8;
    } else if (compressor_.quality) {
      c.flags |= AV_CODEC_FLAG_QSCALE;
      c.global_quality = QuantiserOf(settings_.quality) * FF_QP2LAMBDA;
    }
    if (compressor_.keyFrames)
      c.gop_size = std::max(1, settings_.keyFrameEvery);
    break;
  case EncoderFamily::X264:
    // libx264's bytes depend on its number of frame threads (not on the timing of the threads):
    // always two, whatever the machine and the compile's threads, so that the movie is the same.
    c.thread_count = byRate ? 1 : kX264Threads;
    if (byRate)
      c.bit_rate = settings_.bytesPerSecond * 8;
    else
      options.Set("crf", std::to_string(RateFactorOf(settings_.quality)).c_str());
    options.Set("forced-idr", "1");
    c.gop_size = std::max(1, settings_.keyFrameEvery);
    break;
  case EncoderFamily::Restart:
    c.gop_size = kNeverKey;
    c.keyint_min = kNeverKey;
    if (compressor_.quality) {
      c.flags |= AV_CODEC_FLAG_QSCALE;
      c.global_quality = QuantiserOf(settings_.quality) * FF_QP2LAMBDA;
    }
    break;
  case EncoderFamily::Intra:
  case EncoderFamily::Stored:
    break;
  }
  const int result = avcodec_open2(context_.get(), codec_, options.Address());
  if (result < 0) {
    detail = "cannot open encoder '" + std::string(compressor_.encoder) + "': " + ff::ErrorText(result);
    context_.reset();
    return false;
  }
  sinceKey_ = 0;
  return true;
}

bool VideoEncoder::FillParameters(AVCodecParameters& parameters) const {
  if (!open_)
    return false;
  if (compressor_.family == EncoderFamily::Stored) {
    parameters.codec_type = AVMEDIA_TYPE_VIDEO;
    parameters.codec_id = AV_CODEC_ID_RAWVIDEO;
    parameters.codec_tag = 0; // BI_RGB
    parameters.format = AV_PIX_FMT_BGR24;
    parameters.width = width_;
    parameters.height = height_;
    parameters.bits_per_coded_sample = 24;
    parameters.sample_aspect_ratio = AVRational{1, 1};
    return true;
  }
  if (!context_ || avcodec_parameters_from_context(&parameters, context_.get()) < 0)
    return false;
  parameters.codec_tag = compressor_.code;
  return true;
}

bool VideoEncoder::EncodeStored(const DIB& picture, std::int64_t position, std::vector<ff::PacketPtr>& out,
                                std::string& detail) {
  ff::PacketPtr packet = ff::MakePacket(picture.Bits(), picture.SizeImage());
  if (!packet) {
    detail = "out of memory";
    return false;
  }
  packet->pts = packet->dts = position;
  packet->duration = 1;
  packet->flags |= AV_PKT_FLAG_KEY;
  out.push_back(std::move(packet));
  return true;
}

bool VideoEncoder::Encode(const DIB& picture, std::int64_t position, bool forceKey,
                          std::vector<ff::PacketPtr>& out, std::string& detail) {
  if (!open_) {
    detail = "the encoder is not open";
    return false;
  }
  if (!picture.IsPresent() || picture.Width() != width_ || picture.Height() != height_ ||
      picture.SizeImage() !=
          static_cast<std::uint32_t>(DIB::StrideOf(width_)) * static_cast<std::uint32_t>(height_)) {
    detail = "the picture does not have the movie's size";
    return false;
  }
  if (compressor_.family == EncoderFamily::Stored)
    return EncodeStored(picture, position, out, detail);

  ff::FramePtr frame = ff::MakeFrame();
  if (!frame) {
    detail = "out of memory";
    return false;
  }
  frame->format = format_;
  frame->width = width_;
  frame->height = height_;
  if (av_frame_get_buffer(frame.get(), 0) < 0) {
    detail = "out of memory";
    return false;
  }
  if (!converter_.Convert(picture, *frame)) {
    detail = "the picture could not be converted";
    return false;
  }
  return Send(std::move(frame), position, forceKey, out, detail);
}

bool VideoEncoder::EncodeFrame(const AVFrame& picture, std::int64_t position, bool forceKey,
                               std::vector<ff::PacketPtr>& out, std::string& detail) {
  if (!open_) {
    detail = "the encoder is not open";
    return false;
  }
  if (compressor_.family == EncoderFamily::Stored || picture.format != format_ || picture.width != width_ ||
      picture.height != height_) {
    detail = "the picture is not in the encoder's format and size";
    return false;
  }
  ff::FramePtr frame = ff::MakeFrame();
  if (!frame || av_frame_ref(frame.get(), &picture) < 0) {
    detail = "out of memory";
    return false;
  }
  return Send(std::move(frame), position, forceKey, out, detail);
}

bool VideoEncoder::Send(ff::FramePtr frame, std::int64_t position, bool forceKey,
                        std::vector<ff::PacketPtr>& out, std::string& detail) {
  if (compressor_.family == EncoderFamily::Restart && sinceKey_ > 0 &&
      (forceKey || (compressor_.keyFrames && sinceKey_ >= std::max(1, settings_.keyFrameEvery)))) {
    // A fresh encoder starts with a key frame; the samples of the old one come out first.
    if (!Drain(out, detail))
      return false;
    if (!OpenContext(detail))
      return false;
    const std::vector<std::uint8_t> extradata(context_->extradata,
                                              context_->extradata + std::max(0, context_->extradata_size));
    if (extradata != extradata_) {
      detail = "the reopened encoder changed its codec private data";
      return false;
    }
    open_ = true;
  }
  frame->color_range = IsFullRange(format_) ? AVCOL_RANGE_JPEG : AVCOL_RANGE_UNSPECIFIED;
  frame->pts = position;
  frame->pict_type = forceKey ? AV_PICTURE_TYPE_I : AV_PICTURE_TYPE_NONE;
  if (context_->flags & AV_CODEC_FLAG_QSCALE)
    frame->quality = context_->global_quality;
  const int sent = avcodec_send_frame(context_.get(), frame.get());
  if (sent < 0) {
    detail = "encoding failed: " + ff::ErrorText(sent);
    return false;
  }
  ++sinceKey_;
  return Receive(out, false, detail);
}

bool VideoEncoder::Receive(std::vector<ff::PacketPtr>& out, bool draining, std::string& detail) {
  for (;;) {
    ff::PacketPtr packet = ff::MakePacket();
    if (!packet) {
      detail = "out of memory";
      return false;
    }
    const int result = avcodec_receive_packet(context_.get(), packet.get());
    if (result == AVERROR(EAGAIN) && !draining)
      return true;
    if (result == AVERROR_EOF)
      return true;
    if (result < 0) {
      detail = "encoding failed: " + ff::ErrorText(result);
      return false;
    }
    packet->dts = packet->pts;
    packet->duration = 1;
    out.push_back(std::move(packet));
  }
}

void VideoEncoder::Close() {
  context_.reset();
  open_ = false;
}

bool VideoEncoder::Drain(std::vector<ff::PacketPtr>& out, std::string& detail) {
  if (!open_)
    return true;
  open_ = false;
  if (compressor_.family == EncoderFamily::Stored)
    return true;
  const int sent = avcodec_send_frame(context_.get(), nullptr);
  if (sent < 0 && sent != AVERROR_EOF) {
    detail = "encoding failed: " + ff::ErrorText(sent);
    return false;
  }
  const bool ok = Receive(out, true, detail);
  context_.reset();
  return ok;
}

} // namespace rw
