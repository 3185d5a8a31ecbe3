#pragma once

#include "media/FfmpegPtr.h"

#include <string>

namespace rw {

class DIB;

// Turns 24-bit bottom-up pictures into frames of an encoder's input format. The RGB formats are
// converted byte by byte (exactly, for the lossless encoders); the YUV formats go through
// libswscale with BT.601 coefficients, the "j" formats at full range.
class PictureConverter {
public:
  // False with a reason in `detail` when the format cannot be made from 24-bit pictures.
  bool Setup(AVPixelFormat format, int width, int height, std::string& detail);
  // Fills `frame` (allocated by the caller at the set-up format and size, writable).
  bool Convert(const DIB& picture, AVFrame& frame) const;

  AVPixelFormat Format() const { return format_; }

private:
  AVPixelFormat format_ = AV_PIX_FMT_NONE;
  int width_ = 0;
  int height_ = 0;
  ff::SwsPtr sws_;
};

} // namespace rw
