#pragma once

#include "render/DIB.h"

#include <cstdint>
#include <random>

namespace rw::test {

// Straightforward per-pixel forms of the two resamplers, written from their closed-form
// descriptions rather than the incremental loops, for comparing results bit for bit.
// dst must already have its size; its padding bytes are left alone.
void ReferenceResize(const DIB& src, DIB& dst);
void ReferenceQuickResize(const DIB& src, DIB& dst);

// A width x height picture of random bytes, padding included.
DIB RandomPicture(std::int32_t width, std::int32_t height, std::mt19937& rng);

// Colour of pixel (x, y), y counted from the bottom row as stored.
struct Bgr {
  std::uint8_t blue;
  std::uint8_t green;
  std::uint8_t red;
  bool operator==(const Bgr&) const = default;
};
Bgr PixelAt(const DIB& dib, std::int32_t x, std::int32_t y);
void SetPixel(DIB& dib, std::int32_t x, std::int32_t y, Bgr colour);

} // namespace rw::test
