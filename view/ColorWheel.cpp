#include "view/ColorWheel.h"

#include "view/HsvColor.h"

#include <algorithm>
#include <cmath>

namespace rw::view {
namespace {

constexpr double kDegreesPerRadian = 57.29577951308232;

// Floating-point to int, truncating, within a range that can always be represented.
std::int32_t Truncate(double v) {
  return static_cast<std::int32_t>(std::clamp(v, -1.0e9, 1.0e9));
}

} // namespace

ColorWheel::ColorWheel(std::int32_t width, std::int32_t height)
    : width_(std::max(width, 4)), height_(std::max(height, 4)) {
  const std::size_t n = static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_);
  hue_.resize(n);
  saturation_.resize(n);
  picture_.resize(n);
  for (std::int32_t y = 0; y < height_; ++y) {
    for (std::int32_t x = 0; x < width_; ++x) {
      const Pick pick = Compute(x, y, width_, height_);
      const std::size_t i = Index(x, y);
      hue_[i] = pick.hue;
      saturation_[i] = pick.saturation;
      if (pick.saturation > 255) {
        picture_[i] = kOutside;
        continue;
      }
      HsvColor::Rgb rgb;
      HsvColor::ToRgb({pick.hue, pick.saturation, 255}, rgb);
      picture_[i] = static_cast<std::uint32_t>(rgb.red) << 16 | static_cast<std::uint32_t>(rgb.green) << 8 |
                    static_cast<std::uint32_t>(rgb.blue);
    }
  }
}

ColorWheel::Pick ColorWheel::Compute(std::int32_t x, std::int32_t y, std::int32_t width,
                                     std::int32_t height) {
  const double dx = static_cast<double>(x - width / 2) / (width / 2 - 1);
  const double dy = static_cast<double>(y - height / 2) / (height / 2 - 1);
  Pick pick;
  pick.saturation = Truncate(std::sqrt(dx * dx + dy * dy) * 256);
  if (pick.saturation == 0)
    return pick;
  std::int32_t hue = Truncate(std::atan2(dx, -dy) * kDegreesPerRadian);
  if (hue < 0)
    hue += 360;
  if (hue > 358)
    hue = 359;
  pick.hue = hue;
  return pick;
}

ColorWheel::Pick ColorWheel::At(std::int32_t x, std::int32_t y) const {
  const std::size_t i = Index(x, y);
  return {hue_[i], saturation_[i]};
}

ColorWheel::Pick ColorWheel::Choose(std::int32_t x, std::int32_t y) const {
  Pick pick = At(std::clamp(x, 0, width_ - 1), std::clamp(y, 0, height_ - 1));
  pick.saturation = std::min(pick.saturation, 255);
  return pick;
}

ColorWheel::Pixel ColorWheel::PixelOf(std::int32_t hue, std::int32_t saturation) const {
  const double angle = hue / kDegreesPerRadian;
  return {CentreX() + Truncate(std::sin(angle) * saturation / 255 * RadiusX()),
          CentreY() + Truncate(-std::cos(angle) * saturation / 255 * RadiusY())};
}

} // namespace rw::view
