#pragma once

#include "media/FfmpegPtr.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace rw {

// Turns decoded pictures of any pixel format libswscale reads (8 or more bits, YUV or RGB) into
// 24-bit BGR rows of a given size, top row first, in a buffer the caller lends (its content
// means nothing from one conversion to the next). YUV sources keep their colour matrix and
// range: full range for the JPEG formats or when the picture says so, the matrix the picture
// names (BT.601 when it names none). One converter per decoder; it keeps its libswscale context
// and colour tables for as long as the source stays the same.
class BgrRowConverter {
public:
  // Bytes the converter may write past the end of a row.
  static constexpr std::size_t kRowSlack = 64;

  // Converts `frame` to width × height; the rows start at the result, `stride` bytes apart (at
  // least width * 3 + kRowSlack). Null when the frame cannot be converted or `rows` cannot grow.
  const std::uint8_t* Convert(const AVFrame& frame, std::int32_t width, std::int32_t height,
                              std::vector<std::uint8_t>& rows, std::size_t& stride);
  // Converts `frame` to width × height into a bottom-up picture: height rows `stride` bytes
  // apart (at least width * 3), the bottom row at `picture`; the bytes between rows are left as
  // they are. The buffer must have kRowSlack bytes to spare after its last row. Rows whose width
  // libswscale writes in whole blocks are written in place; others go through `scratch` (as
  // Convert) and are copied. The pixels are the same either way. False as Convert.
  bool ConvertBottomUp(const AVFrame& frame, std::int32_t width, std::int32_t height,
                       std::vector<std::uint8_t>& scratch, std::uint8_t* picture, std::size_t stride);
  // True when ConvertBottomUp writes a picture of this width in place.
  static bool WritesInPlace(std::int32_t width) { return width % kBlockPixels == 0; }
  void Reset();

private:
  // libswscale's BGR writers work on up to this many pixels at a time: rows of a multiple of it
  // end on a block and are written without a byte past their end.
  static constexpr std::int32_t kBlockPixels = 16;

  bool Prepare(const AVFrame& frame, std::int32_t width, std::int32_t height);

  struct Colours {
    const SwsContext* context = nullptr;
    int width = 0;
    int height = 0;
    AVPixelFormat format = AV_PIX_FMT_NONE;
    int space = 0;
    bool fullRange = false;
    friend bool operator==(const Colours&, const Colours&) = default;
  };

  ff::SwsPtr sws_;
  Colours colours_; // what the converter's colour tables were set up for
};

} // namespace rw
