#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libavutil/frame.h>
#include <libswscale/swscale.h>
}

#include "media/FfmpegPtr.h"

#include <memory>
#include <string>

namespace rw::ff {

// Owning pointers for the FFmpeg objects of the movie output layer: the readers' ones, plus
// those only the writer needs.
using CodecContextPtr = AvCodecContextPtr;
using FramePtr = AvFramePtr;
using PacketPtr = AvPacketPtr;
using SwsPtr = SwsContextPtr;
using InputPtr = AvFormatInputPtr;
using ParametersPtr = AvCodecParametersPtr;

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
struct OutputFree {
  // The output's pb is closed by its owner before this runs.
  void operator()(AVFormatContext* f) const { avformat_free_context(f); }
};

using IoContextPtr = std::unique_ptr<AVIOContext, IoContextFree>;
using OutputPtr = std::unique_ptr<AVFormatContext, OutputFree>;

// FFmpeg's text for an error code.
inline std::string ErrorText(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return text;
}

} // namespace rw::ff
