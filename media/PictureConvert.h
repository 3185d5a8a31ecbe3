#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct AVFrame;

namespace rw {

// Top-down BGR rows (3 bytes per pixel, rows `stride` bytes apart, 32-byte aligned with room
// behind the last row) made from a decoded picture.
struct BgrPicture {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::size_t stride = 0;
  std::vector<std::uint8_t> bytes;
};

// Converts a decoded picture into BGR rows: any pixel format libswscale reads; with
// `overBlack`, a picture with an alpha channel (or a palette with alpha) is composited over
// black; an orientation in the EXIF numbering (1 as stored, 2 to 8 mirrored and/or turned) is
// applied, so the rows come out as the picture is meant to be seen.
class PictureConvert {
public:
  // False when the pixel format cannot be converted; may throw std::bad_alloc.
  static bool ToBgr(const AVFrame& frame, bool overBlack, int orientation, BgrPicture& out);
  // The orientation a decoder recorded in the frame's metadata ("Orientation"), 1 when none
  // or not one of 1 to 8.
  static int OrientationOf(const AVFrame& frame);

private:
  static bool Direct(const AVFrame& frame, BgrPicture& out);
  static bool Scale(const AVFrame& frame, BgrPicture& out);
  static void Orient(int orientation, BgrPicture& picture);
  static void Allocate(std::int32_t w, std::int32_t h, BgrPicture& out);
};

} // namespace rw
