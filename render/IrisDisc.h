#pragma once

#include "render/TransitionFrame.h"

#include <cstdint>

namespace rw {

// The disc of the two iris transitions, drawn row by row. The disc holds the points whose
// squared distance from the centre (width / 2, height / 2) is at most r * r + r; memory row y
// lies at the vertical offset y + height / 2 - height from the centre.
class IrisDisc {
public:
  // The picture's diagonal rounded to the nearest integer.
  static std::int64_t Diagonal(std::int64_t width, std::int64_t height);
  // The largest h >= 0 with h * h <= n (n >= 0).
  static std::int64_t IntegerSqrt(std::int64_t n);

  // Fills frame.out: `inside` within the disc of radius `r`, `outside` elsewhere. Rows that hold
  // any inside pixel keep their padding bytes as they were; other rows are copied whole from
  // `outside`. Half-widths past the picture's edges are clipped to the row.
  static void Draw(const TransitionFrame& frame, std::int64_t r, const std::uint8_t* inside,
                   const std::uint8_t* outside);
};

} // namespace rw
