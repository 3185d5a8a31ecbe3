#pragma once

#include <cstdint>

namespace rw {

// Work state of one smoothing resample from a 24-bit bottom-up source into a destination of a
// different size. Build it on the stack, call Run once, discard it.
class ResizeWork {
public:
  ResizeWork(std::int32_t dstWidth, std::int32_t dstHeight, std::int32_t srcWidth, std::int32_t srcHeight);

  // Resamples src into dst (both with rows padded to a multiple of 4 bytes). Padding bytes of
  // dst are not written. False when a size is below 1 or the work arrays cannot be allocated.
  bool Run(const std::uint8_t* src, std::uint8_t* dst);

private:
  std::int32_t dstWidth_;
  std::int32_t dstHeight_;
  std::int32_t srcWidth_;
  std::int32_t srcHeight_;
};

} // namespace rw
