#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libavutil/frame.h>
#include <libswscale/swscale.h>
}

#include <memory>
#include <string>

namespace rw::ff {

// Owning pointers for the FFmpeg objects of the movie output layer.
struct CodecContextFree {
  void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct FrameFree {
  void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketFree {
  void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct SwsFree {
  void operator()(SwsContext* s) const { sws_freeContext(s); }
};
struct DictionaryFree {
  void operator()(AVDictionary* d) const { av_dict_free(&d); }
};
struct IoContextFree {
  // For contexts made with avio_alloc_context: the buffer belongs to the context.
  void operator()(AVIOContext* io) const {
    if (io)
      av_freep(&io->buffer);
    avio_context_free(&io);
  }
};
struct InputFree {
  void operator()(AVFormatContext* f) const { avformat_close_input(&f); }
};
struct OutputFree {
  // The output's pb is closed by its owner before this runs.
  void operator()(AVFormatContext* f) const { avformat_free_context(f); }
};
struct ParametersFree {
  void operator()(AVCodecParameters* p) const { avcodec_parameters_free(&p); }
};

using CodecContextPtr = std::unique_ptr<AVCodecContext, CodecContextFree>;
using FramePtr = std::unique_ptr<AVFrame, FrameFree>;
using PacketPtr = std::unique_ptr<AVPacket, PacketFree>;
using SwsPtr = std::unique_ptr<SwsContext, SwsFree>;
using IoContextPtr = std::unique_ptr<AVIOContext, IoContextFree>;
using InputPtr = std::unique_ptr<AVFormatContext, InputFree>;
using OutputPtr = std::unique_ptr<AVFormatContext, OutputFree>;
using ParametersPtr = std::unique_ptr<AVCodecParameters, ParametersFree>;

// FFmpeg's text for an error code.
inline std::string ErrorText(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return text;
}

} // namespace rw::ff
