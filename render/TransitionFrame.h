#pragma once

#include "render/BitmapInfoHeader.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace rw {

// One rendering step of a transition, checked once for every kind: the picture geometry, the
// three pixel blocks, the length and the index. Sizes are kept in 64 bits so that no product of
// the kinds' rules can overflow, whatever length a project file gave.
struct TransitionFrame {
  enum class Step {
    kRefused, // bad header or a null block: nothing written
    kDone,    // index outside the transition: the outgoing picture was copied
    kDraw,    // the kind's rule is to fill `out`
  };

  std::int64_t width = 0;
  std::int64_t height = 0;
  std::size_t stride = 0; // bytes per memory row, a multiple of 4
  std::size_t bytes = 0;  // stride * height
  std::int64_t length = 0;
  std::int64_t index = 0;
  std::uint8_t* out = nullptr;
  const std::uint8_t* outgoing = nullptr;
  const std::uint8_t* incoming = nullptr;

  // Checks the arguments and handles the out-of-range index; fills `frame` for kDraw.
  static Step Prepare(const BitmapInfoHeader* header, std::uint8_t* out, const std::uint8_t* outgoing,
                      const std::uint8_t* incoming, std::int64_t index, std::int64_t length,
                      TransitionFrame& frame);

  std::uint8_t* OutRow(std::int64_t y) const { return out + static_cast<std::size_t>(y) * stride; }
  const std::uint8_t* OutgoingRow(std::int64_t y) const {
    return outgoing + static_cast<std::size_t>(y) * stride;
  }
  const std::uint8_t* IncomingRow(std::int64_t y) const {
    return incoming + static_cast<std::size_t>(y) * stride;
  }
  std::size_t PixelBytes() const { return static_cast<std::size_t>(width) * 3; }

  // Copies `n` bytes; the source may be the destination itself (rendering in place).
  static void Copy(std::uint8_t* to, const std::uint8_t* from, std::size_t n) {
    if (n != 0 && to != from)
      std::memmove(to, from, n);
  }
};

} // namespace rw
