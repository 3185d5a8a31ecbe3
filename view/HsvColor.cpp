#include "view/HsvColor.h"

#include <algorithm>
#include <limits>

namespace rw::view {
namespace {

std::int32_t Limit(std::int64_t v) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, std::numeric_limits<std::int32_t>::min(),
                                                            std::numeric_limits<std::int32_t>::max()));
}

} // namespace

HsvColor::Hsv HsvColor::ToHsv(const Rgb& rgb) {
  const std::int64_t r = rgb.red, g = rgb.green, b = rgb.blue;
  const std::int64_t v = std::max({r, g, b});
  const std::int64_t m = std::min({r, g, b});
  const std::int64_t s = v > 0 ? (v - m) * 255 / v : 0;
  std::int64_t hue = 0;
  if (s != 0) {
    const std::int64_t d = v - m;
    const std::int64_t k = d / 2;
    const std::int64_t gs = ((v - g) * 360 + k) / d;
    const std::int64_t bs = ((v - b) * 360 + k) / d;
    const std::int64_t rs = ((v - r) * 360 + k) / d;
    std::int64_t h = 0;
    if (r == v)
      h = bs - gs;
    else if (g == v)
      h = rs - bs + 720;
    else
      h = gs - rs + 1440;
    if (h < 0)
      h += 2160;
    hue = h / 6;
  }
  return {Limit(hue), Limit(s), Limit(v)};
}

bool HsvColor::ToRgb(const Hsv& hsv, Rgb& rgb) {
  if (hsv.hue < 0 || hsv.hue >= 360)
    return false;
  const std::int64_t v = hsv.value;
  const std::int64_t s = hsv.saturation;
  if (s == 0) {
    rgb = {Limit(v), Limit(v), Limit(v)};
    return true;
  }
  // 15045 = 255 * 59: the position inside a sector counts 0..59.
  const std::int64_t f = hsv.hue % 60;
  const std::int32_t p = Limit(v * (255 - s) / 255);
  const std::int32_t q = Limit(v * (15045 - f * s) / 15045);
  const std::int32_t t = Limit(v * (15045 - s * (59 - f)) / 15045);
  const std::int32_t V = Limit(v);
  switch (hsv.hue / 60) {
  case 0:
    rgb = {V, t, p};
    break;
  case 1:
    rgb = {q, V, p};
    break;
  case 2:
    rgb = {p, V, t};
    break;
  case 3:
    rgb = {p, q, V};
    break;
  case 4:
    rgb = {t, p, V};
    break;
  default:
    rgb = {V, p, q};
    break;
  }
  return true;
}

} // namespace rw::view
