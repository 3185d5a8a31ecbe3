#pragma once

#include "media/FfmpegPtr.h"

#include <cstdint>

namespace rw {

// Reads the picture type of a stored picture from its headers, without decoding it, for the
// codecs that libavcodec has a parser for (MPEG-4 part 2, H.264, …).
class AviPictureParser {
public:
  struct Info {
    AVPictureType type = AV_PICTURE_TYPE_NONE;
    bool key = false; // a picture the decoder can start from (IDR, recovery point)
  };

  explicit AviPictureParser(AVCodecID codec);
  bool IsAvailable() const { return parser_ && context_; }
  // The headers of one complete stored picture. Type NONE when they cannot be read.
  Info Parse(const std::uint8_t* data, int size);

private:
  ff::ParserPtr parser_;
  ff::CodecContextPtr context_;
};

} // namespace rw
