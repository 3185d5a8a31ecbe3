#pragma once

#include "tests/support/PictureTestFiles.h"

#include <cstdint>
#include <vector>

namespace rw::test {

// PNG files made by libavcodec's png encoder, one per pixel layout it writes.
enum class PngVariant {
  Rgb24,
  Rgb48, // 16 bits a sample: each 8-bit value v stored as v * 257
  Rgba,
  Rgba64,
  Grey8,
  Grey16,
  GreyAlpha8,
  GreyAlpha16,
  Palette, // 8-bit indices into at most 256 colours with alpha (tRNS)
  Mono,    // 1 bit a pixel: grey values below 128 black, the rest white
};
// `alpha` (one value a pixel, top row first; empty: opaque) is used by the layouts with alpha.
std::vector<std::uint8_t> PngBytes(const TestPicture& picture, PngVariant variant,
                                   const std::vector<std::uint8_t>& alpha = {});

// A baseline JPEG file made by libavcodec's mjpeg encoder (4:4:4, high quality).
std::vector<std::uint8_t> JpegBytes(const TestPicture& picture);
// The JPEG with an EXIF segment holding `orientation` (1 to 8, or any value to test refusal)
// right after its start, in either byte order.
std::vector<std::uint8_t> WithExifOrientation(const std::vector<std::uint8_t>& jpeg,
                                              std::uint16_t orientation, bool bigEndian = false);
// A progressive JPEG written byte by byte: grey level 144 all over, `blocksWide` x `blocksHigh`
// blocks of 8 x 8, one DC scan and one AC scan.
std::vector<std::uint8_t> ProgressiveGreyJpeg(std::int32_t blocksWide, std::int32_t blocksHigh);

} // namespace rw::test
