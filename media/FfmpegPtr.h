#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libavutil/frame.h>
#include <libavutil/mem.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include "media/DecoderBuffers.h"

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

// The owners of every FFmpeg object the program keeps, and the factories that make them: a raw
// FFmpeg pointer never outlives the line that made it. Each deleter frees its object and what
// that object owns, and nothing else, so owners may be released in any order.
namespace rw::ff {

struct CodecContextFree {
  void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct FrameFree {
  void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketFree {
  void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct ParserClose {
  void operator()(AVCodecParserContext* p) const { av_parser_close(p); }
};
struct ParametersFree {
  void operator()(AVCodecParameters* p) const { avcodec_parameters_free(&p); }
};
struct SwsFree {
  void operator()(SwsContext* s) const { sws_freeContext(s); }
};
struct SwrFree {
  void operator()(SwrContext* s) const { swr_free(&s); }
};
// An I/O context made by avio_alloc_context, with the buffer it holds (FFmpeg may have replaced
// the one it was given).
struct IoContextFree {
  void operator()(AVIOContext* io) const {
    if (io)
      av_freep(&io->buffer);
    avio_context_free(&io);
  }
};
// An input opened by avformat_open_input. A context reading through the caller's I/O
// (AVFMT_FLAG_CUSTOM_IO) owns that I/O context too; otherwise FFmpeg closes its own.
struct InputClose {
  void operator()(AVFormatContext* c) const {
    AVIOContext* custom = c && (c->flags & AVFMT_FLAG_CUSTOM_IO) ? c->pb : nullptr;
    avformat_close_input(&c);
    IoContextFree()(custom);
  }
};
// An output context with the I/O context it writes through: the caller's (AVFMT_FLAG_CUSTOM_IO)
// is freed, a file opened by avio_open is closed.
struct OutputFree {
  void operator()(AVFormatContext* c) const {
    if (!c)
      return;
    if (c->flags & AVFMT_FLAG_CUSTOM_IO)
      IoContextFree()(c->pb);
    else
      avio_closep(&c->pb);
    c->pb = nullptr;
    avformat_free_context(c);
  }
};

using CodecContextPtr = std::unique_ptr<AVCodecContext, CodecContextFree>;
using FramePtr = std::unique_ptr<AVFrame, FrameFree>;
using PacketPtr = std::unique_ptr<AVPacket, PacketFree>;
using ParserPtr = std::unique_ptr<AVCodecParserContext, ParserClose>;
using ParametersPtr = std::unique_ptr<AVCodecParameters, ParametersFree>;
using SwsPtr = std::unique_ptr<SwsContext, SwsFree>;
using SwrPtr = std::unique_ptr<SwrContext, SwrFree>;
using IoContextPtr = std::unique_ptr<AVIOContext, IoContextFree>;
using InputPtr = std::unique_ptr<AVFormatContext, InputClose>;
using OutputPtr = std::unique_ptr<AVFormatContext, OutputFree>;

// A set of options for the FFmpeg calls that take an AVDictionary** (they leave in it the
// options they did not use).
class Dictionary {
public:
  Dictionary() = default;
  Dictionary(const Dictionary&) = delete;
  Dictionary& operator=(const Dictionary&) = delete;
  ~Dictionary() { av_dict_free(&options_); }

  void Set(const char* key, const char* value) { av_dict_set(&options_, key, value, 0); }
  AVDictionary** Address() { return &options_; }

private:
  AVDictionary* options_ = nullptr;
};

// FFmpeg's text for an error code.
inline std::string ErrorText(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return text;
}

inline FramePtr MakeFrame() {
  return FramePtr(av_frame_alloc());
}
inline PacketPtr MakePacket() {
  return PacketPtr(av_packet_alloc());
}
// A packet of `size` bytes with a copy of `data`; null when out of memory or too large.
inline PacketPtr MakePacket(const std::uint8_t* data, std::size_t size) {
  PacketPtr packet = MakePacket();
  if (!packet || size > static_cast<std::size_t>(INT32_MAX - AV_INPUT_BUFFER_PADDING_SIZE) ||
      av_new_packet(packet.get(), static_cast<int>(size)) < 0)
    return nullptr;
  if (size > 0)
    std::memcpy(packet->data, data, size);
  return packet;
}
// A copy of `source`, or empty parameters without one; null when out of memory.
inline ParametersPtr MakeParameters(const AVCodecParameters* source = nullptr) {
  ParametersPtr p(avcodec_parameters_alloc());
  if (p && source && avcodec_parameters_copy(p.get(), source) < 0)
    return nullptr;
  return p;
}
inline CodecContextPtr MakeCodecContext(const AVCodec* codec) {
  return CodecContextPtr(avcodec_alloc_context3(codec));
}
inline ParserPtr MakeParser(AVCodecID codec) {
  return ParserPtr(av_parser_init(codec));
}
inline SwsPtr MakeSws(int srcWidth, int srcHeight, AVPixelFormat srcFormat, int dstWidth, int dstHeight,
                      AVPixelFormat dstFormat, int flags) {
  return SwsPtr(sws_getContext(srcWidth, srcHeight, srcFormat, dstWidth, dstHeight, dstFormat, flags, nullptr,
                               nullptr, nullptr));
}
// Keeps `sws` when it already converts so, else replaces it (sws_getCachedContext); false, with
// `sws` null, when no converter can be made.
inline bool ReuseSws(SwsPtr& sws, int srcWidth, int srcHeight, AVPixelFormat srcFormat, int dstWidth,
                     int dstHeight, AVPixelFormat dstFormat, int flags) {
  sws.reset(sws_getCachedContext(sws.release(), srcWidth, srcHeight, srcFormat, dstWidth, dstHeight,
                                 dstFormat, flags, nullptr, nullptr, nullptr));
  return sws != nullptr;
}

// How a decoder runs.
struct DecoderSetup {
  int threadCount = 1;
  int threadType = 0;                // 0: FFmpeg's default
  std::int64_t maxPixels = 0;        // 0: FFmpeg's default
  DecoderBuffers* buffers = nullptr; // null: libavcodec's own picture buffers
};
// An open decoder of `codec` for streams described by `parameters` (may be null); null when
// there is no such decoder or it does not open (`why`, when given, says which).
inline CodecContextPtr OpenDecoder(AVCodecID codec, const AVCodecParameters* parameters,
                                   const DecoderSetup& setup = {}, std::string* why = nullptr) {
  const AVCodec* decoder = avcodec_find_decoder(codec);
  CodecContextPtr context = decoder ? MakeCodecContext(decoder) : nullptr;
  if (!context || (parameters && avcodec_parameters_to_context(context.get(), parameters) < 0)) {
    if (why)
      *why = "no decoder";
    return nullptr;
  }
  context->thread_count = setup.threadCount;
  if (setup.threadType)
    context->thread_type = setup.threadType;
  if (setup.maxPixels > 0)
    context->max_pixels = setup.maxPixels;
  if (setup.buffers)
    setup.buffers->Attach(*context);
  if (const int result = avcodec_open2(context.get(), decoder, nullptr); result < 0) {
    if (why)
      *why = "cannot open the decoder: " + ErrorText(result);
    return nullptr;
  }
  return context;
}
inline CodecContextPtr OpenDecoder(const AVCodecParameters& parameters, const DecoderSetup& setup = {},
                                   std::string* why = nullptr) {
  return OpenDecoder(parameters.codec_id, &parameters, setup, why);
}

// An I/O context over the caller's callbacks with a buffer of `size` bytes (FFmpeg's own
// allocation, owned by the context); null when out of memory.
inline IoContextPtr MakeIoContext(int size, bool write, void* opaque, int (*read)(void*, std::uint8_t*, int),
#if LIBAVFORMAT_VERSION_MAJOR < 61
                                  int (*writeBytes)(void*, std::uint8_t*, int),
#else
                                  int (*writeBytes)(void*, const std::uint8_t*, int),
#endif
                                  std::int64_t (*seek)(void*, std::int64_t, int)) {
  auto* buffer = static_cast<unsigned char*>(av_malloc(static_cast<std::size_t>(size)));
  if (!buffer)
    return nullptr;
  IoContextPtr io(avio_alloc_context(buffer, size, write ? 1 : 0, opaque, read, writeBytes, seek));
  if (!io)
    av_free(buffer);
  return io;
}

// Opens `file` with the demuxer `format` (null: probe); null on failure with FFmpeg's code in
// `error`.
inline InputPtr OpenInput(const std::filesystem::path& file, const AVInputFormat* format, int& error) {
  AVFormatContext* context = nullptr;
  error = avformat_open_input(&context, file.c_str(), format, nullptr);
  return InputPtr(error < 0 ? nullptr : context);
}
// Opens an input reading through `io`, which the input then owns; null on failure with FFmpeg's
// code in `error` (`io` is freed then).
inline InputPtr OpenInput(IoContextPtr io, const AVInputFormat* format, int& error) {
  AVFormatContext* context = avformat_alloc_context();
  if (!context) {
    error = AVERROR(ENOMEM);
    return nullptr;
  }
  context->pb = io.get();
  context->flags |= AVFMT_FLAG_CUSTOM_IO;
  // avformat_open_input frees the context on failure, never the caller's I/O.
  error = avformat_open_input(&context, nullptr, format, nullptr);
  if (error < 0)
    return nullptr;
  io.release();
  return InputPtr(context);
}

// An output context of the muxer `format` writing through `io`, which the output then owns;
// null when there is no such muxer or no memory (`io` is freed then).
inline OutputPtr MakeOutput(const char* format, IoContextPtr io) {
  AVFormatContext* context = nullptr;
  if (!io || avformat_alloc_output_context2(&context, nullptr, format, nullptr) < 0 || !context)
    return nullptr;
  context->pb = io.release();
  context->flags |= AVFMT_FLAG_CUSTOM_IO;
  return OutputPtr(context);
}
// An output context of the muxer `format` writing the file `file` (created or truncated); null
// when the muxer is missing or the file cannot be created.
inline OutputPtr MakeOutput(const char* format, const std::filesystem::path& file) {
  AVFormatContext* context = nullptr;
  if (avformat_alloc_output_context2(&context, nullptr, format, file.c_str()) < 0 || !context)
    return nullptr;
  OutputPtr output(context);
  if (avio_open(&output->pb, file.c_str(), AVIO_FLAG_WRITE) < 0)
    return nullptr;
  return output;
}

} // namespace rw::ff
