#include "view/ColorPickerState.h"

#include "view/DecimalText.h"

#include <algorithm>

namespace rw::view {
namespace {

// A marker stands out in white against a colour whose components add up to at most this.
constexpr std::int64_t kDarkSum = 250;

bool IsDark(const HsvColor::Rgb& rgb) {
  return std::int64_t{rgb.red} + rgb.green + rgb.blue <= kDarkSum;
}

} // namespace

ColorPickerState::ColorPickerState() : wheel_(kWheelSize, kWheelSize) {}

std::int32_t ColorPickerState::Component(std::int32_t c) const {
  HsvColor::Rgb copy = rgb_;
  return ComponentOf(copy, c);
}

std::int32_t& ColorPickerState::ComponentOf(HsvColor::Rgb& rgb, std::int32_t c) {
  return c <= 0 ? rgb.red : c == 1 ? rgb.green : rgb.blue;
}

void ColorPickerState::SetColor(const HsvColor::Rgb& rgb) {
  rgb_ = rgb;
  if (rgb.red > 0 || rgb.green > 0 || rgb.blue > 0)
    hsv_ = HsvColor::ToHsv(rgb);
  else
    hsv_.value = 0;
}

void ColorPickerState::SetHsv(const HsvColor::Hsv& hsv) {
  hsv_ = hsv;
  HsvColor::ToRgb(hsv, rgb_);
}

std::uint32_t ColorPickerState::Displayed(const HsvColor::Rgb& rgb) {
  const auto byte = [](std::int32_t v) { return static_cast<std::uint32_t>(std::clamp(v, 0, 255)); };
  return byte(rgb.red) << 16 | byte(rgb.green) << 8 | byte(rgb.blue);
}

ColorPickerState::Marker ColorPickerState::Around(std::int64_t x, std::int64_t y, bool white) {
  // Far-off centres (from typed values) are kept where a box can still be described.
  constexpr std::int64_t kFar = 1 << 20;
  Marker marker;
  marker.x = static_cast<std::int32_t>(std::clamp(x, -kFar, kFar)) - 3;
  marker.y = static_cast<std::int32_t>(std::clamp(y, -kFar, kFar)) - 3;
  marker.white = white;
  return marker;
}

ColorPickerState::Marker ColorPickerState::WheelMarker() const {
  const ColorWheel::Pixel centre = wheel_.PixelOf(hsv_.hue, hsv_.saturation);
  return Around(centre.x, centre.y, false);
}

std::int32_t ColorPickerState::BarRowValue(std::int32_t row) {
  return (kBarRows - row - 1) * 255 / (kBarRows - 1);
}

std::uint32_t ColorPickerState::BarRowColour(std::int32_t row) const {
  HsvColor::Rgb rgb;
  HsvColor::ToRgb({hsv_.hue, hsv_.saturation, BarRowValue(row)}, rgb);
  return Displayed(rgb);
}

ColorPickerState::Marker ColorPickerState::BarMarker() const {
  // The colour just above the marker decides: the last row brighter than the current value.
  HsvColor::Rgb above{255, 255, 255};
  for (std::int32_t row = 0; row < kBarRows; ++row) {
    const std::int32_t value = BarRowValue(row);
    if (value > hsv_.value)
      HsvColor::ToRgb({hsv_.hue, hsv_.saturation, value}, above);
  }
  const std::int64_t row = kBarRows - std::int64_t{hsv_.value} * (kBarRows - 1) / 255 - 1;
  return Around(kBarWidth / 2, row, IsDark(above));
}

std::int32_t ColorPickerState::ComponentColumnValue(std::int32_t column) {
  return column * 256 / (kComponentWidth + 1);
}

std::uint32_t ColorPickerState::ComponentColumnColour(std::int32_t c, std::int32_t column) const {
  HsvColor::Rgb rgb = rgb_;
  ComponentOf(rgb, c) = ComponentColumnValue(column);
  return Displayed(rgb);
}

ColorPickerState::Marker ColorPickerState::ComponentMarker(std::int32_t c) const {
  const std::int32_t current = Component(c);
  // The colour just left of the marker decides: the last column below the current component.
  HsvColor::Rgb left{0, 0, 0};
  for (std::int32_t column = 0; column < kComponentWidth; ++column) {
    const std::int32_t value = ComponentColumnValue(column);
    if (value < current) {
      left = rgb_;
      ComponentOf(left, c) = value;
    }
  }
  const std::int64_t column = std::int64_t{current} * (kComponentWidth + 1) / 256;
  return Around(column, kComponentHeight / 2, IsDark(left));
}

bool ColorPickerState::PressWheel(std::int32_t x, std::int32_t y) {
  const ColorWheel::Pick pick = wheel_.Choose(x, y);
  if (pick.hue == hsv_.hue && pick.saturation == hsv_.saturation)
    return false;
  SetHsv({pick.hue, pick.saturation, hsv_.value});
  return true;
}

bool ColorPickerState::PressBar(std::int32_t y) {
  const std::int64_t v = (kBarRows - std::int64_t{y} - 1) * 255 / (kBarRows - 1);
  const auto value = static_cast<std::int32_t>(std::clamp<std::int64_t>(v, 0, 255));
  if (value == hsv_.value)
    return false;
  SetHsv({hsv_.hue, hsv_.saturation, value});
  return true;
}

bool ColorPickerState::PressComponent(std::int32_t c, std::int32_t x) {
  const std::int64_t v = std::int64_t{x} * 256 / (kComponentWidth + 1);
  const auto value = static_cast<std::int32_t>(std::clamp<std::int64_t>(v, 0, 255));
  if (value == Component(c))
    return false;
  HsvColor::Rgb rgb = rgb_;
  ComponentOf(rgb, c) = value;
  SetColor(rgb);
  return true;
}

bool ColorPickerState::EditChanged(std::int32_t c, std::string_view text) {
  const std::int32_t value = DecimalText::ParseOrZero(text);
  if (value == Component(c))
    return false;
  HsvColor::Rgb rgb = rgb_;
  ComponentOf(rgb, c) = value;
  SetColor(rgb);
  return true;
}

std::optional<std::string> ColorPickerState::EditRewrite(std::int32_t c, std::string_view shown) const {
  const std::int32_t value = Component(c);
  if (DecimalText::ParseOrZero(shown) == value)
    return std::nullopt;
  return std::to_string(value);
}

} // namespace rw::view
