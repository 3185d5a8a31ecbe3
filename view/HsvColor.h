#pragma once

#include <cstdint>

namespace rw::view {

// One colour as red/green/blue and as hue/saturation/value, and the integer conversions between
// the two that the colour picker keeps them consistent with. Hue is in degrees (0..359, 0 is
// red), saturation and value 0..255. Components are normally 0..255, but typed values are kept as
// typed; the arithmetic runs in 64 bits so that no value of 32 bits can overflow, and the
// results are limited to the 32-bit range.
class HsvColor {
public:
  struct Rgb {
    std::int32_t red = 0;
    std::int32_t green = 0;
    std::int32_t blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
  };
  struct Hsv {
    std::int32_t hue = 0;
    std::int32_t saturation = 0;
    std::int32_t value = 0;
    friend bool operator==(const Hsv&, const Hsv&) = default;
  };

  // A full circle counts 2160 sixths of a degree; the differences are rounded by half the span.
  // A colour without saturation (grey, or a value of 0 or less) has hue 0.
  static Hsv ToHsv(const Rgb& rgb);
  // The colour of a hue/saturation/value. A hue outside 0..359 converts to nothing: `rgb` is left
  // as it was and the answer is false.
  static bool ToRgb(const Hsv& hsv, Rgb& rgb);
};

} // namespace rw::view
