#pragma once

#include "view/ColorWheel.h"
#include "view/HsvColor.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace rw::view {

// What the colour picker shows and how it reacts, without a toolkit: one colour held as
// red/green/blue and as hue/saturation/value, the wheel, the brightness bar of 256 rows, the
// swatch and one bar and one edit for each of red, green and blue. Colours handed out for drawing
// are 0xRRGGBB with each component limited to 0..255; the colour itself keeps typed values as
// typed.
class ColorPickerState {
public:
  static constexpr std::int32_t kWheelSize = 257;
  static constexpr std::int32_t kBarWidth = 33;
  static constexpr std::int32_t kBarRows = 256;
  static constexpr std::int32_t kSwatchWidth = 33;
  static constexpr std::int32_t kSwatchHeight = 68;
  static constexpr std::int32_t kComponentWidth = 145;
  static constexpr std::int32_t kComponentHeight = 20;
  static constexpr std::int32_t kComponents = 3; // 0 red, 1 green, 2 blue

  // A round marker inside the box of x, y, width and height (7 x 7 around its centre), drawn
  // white or black so that it stands out against the colour beside it.
  struct Marker {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 7;
    std::int32_t height = 7;
    bool white = false;
    friend bool operator==(const Marker&, const Marker&) = default;
  };

  ColorPickerState();

  const HsvColor::Rgb& Rgb() const { return rgb_; }
  const HsvColor::Hsv& Hsv() const { return hsv_; }
  std::int32_t Component(std::int32_t c) const;
  const ColorWheel& Wheel() const { return wheel_; }

  // Stores the colour; when any component is above 0 the hue, saturation and value follow from
  // it, otherwise only the value becomes 0 and hue and saturation stay for the next change of
  // brightness.
  void SetColor(const HsvColor::Rgb& rgb);
  // Stores hue, saturation and value and the colour they give (kept as it was for a hue outside
  // 0..359).
  void SetHsv(const HsvColor::Hsv& hsv);

  // --- Drawing -------------------------------------------------------------------------------
  Marker WheelMarker() const;
  // Value of row `row` of the brightness bar: 255 at the top, 0 at the bottom.
  static std::int32_t BarRowValue(std::int32_t row);
  std::uint32_t BarRowColour(std::int32_t row) const;
  Marker BarMarker() const;
  // Column `column` of the bar of component `c`: the colour with that component replaced by the
  // column's share of 0..255.
  static std::int32_t ComponentColumnValue(std::int32_t column);
  std::uint32_t ComponentColumnColour(std::int32_t c, std::int32_t column) const;
  Marker ComponentMarker(std::int32_t c) const;
  std::uint32_t SwatchColour() const { return Displayed(rgb_); }

  // --- Input (each answers whether the colour changed) ---------------------------------------
  // The left button pressed, or moved while held, at a point of the wheel, the brightness bar or
  // the bar of component `c`; points outside the box count as its nearest edge.
  bool PressWheel(std::int32_t x, std::int32_t y);
  bool PressBar(std::int32_t y);
  bool PressComponent(std::int32_t c, std::int32_t x);
  // The text of the edit of component `c` changed: a decimal number (0 for text that is none),
  // taken as it is when it differs from the component.
  bool EditChanged(std::int32_t c, std::string_view text);
  // After a change: the text the edit of component `c` must be given, none when the text it shows
  // already reads as the component (so that typing is not disturbed).
  std::optional<std::string> EditRewrite(std::int32_t c, std::string_view shown) const;

  // 0xRRGGBB of a colour, each component limited to 0..255.
  static std::uint32_t Displayed(const HsvColor::Rgb& rgb);

private:
  static std::int32_t& ComponentOf(HsvColor::Rgb& rgb, std::int32_t c);
  static Marker Around(std::int64_t x, std::int64_t y, bool white);

  ColorWheel wheel_;
  HsvColor::Rgb rgb_;
  HsvColor::Hsv hsv_;
};

} // namespace rw::view
