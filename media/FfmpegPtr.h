#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/frame.h>
#include <libswscale/swscale.h>
}

#include <memory>

namespace rw {

// Owning pointers for the FFmpeg objects the media readers keep.
struct AvFormatInputCloser {
  void operator()(AVFormatContext* c) const { avformat_close_input(&c); }
};
struct AvCodecContextFree {
  void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct AvFrameFree {
  void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct AvPacketFree {
  void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct AvParserClose {
  void operator()(AVCodecParserContext* p) const { av_parser_close(p); }
};
struct AvCodecParametersFree {
  void operator()(AVCodecParameters* p) const { avcodec_parameters_free(&p); }
};
struct SwsContextFree {
  void operator()(SwsContext* s) const { sws_freeContext(s); }
};

using AvFormatInputPtr = std::unique_ptr<AVFormatContext, AvFormatInputCloser>;
using AvCodecContextPtr = std::unique_ptr<AVCodecContext, AvCodecContextFree>;
using AvFramePtr = std::unique_ptr<AVFrame, AvFrameFree>;
using AvPacketPtr = std::unique_ptr<AVPacket, AvPacketFree>;
using AvParserPtr = std::unique_ptr<AVCodecParserContext, AvParserClose>;
using AvCodecParametersPtr = std::unique_ptr<AVCodecParameters, AvCodecParametersFree>;
using SwsContextPtr = std::unique_ptr<SwsContext, SwsContextFree>;

} // namespace rw
