#pragma once

#include <cstdint>
#include <vector>

namespace rw::view {

// The hue/saturation wheel of the colour picker: a disc inside a box of width x height pixels,
// hue 0 straight up and growing clockwise, saturation 0 at the centre and 256 on the rim. The
// hue and saturation of every pixel and the painted picture are computed once.
class ColorWheel {
public:
  struct Pick {
    std::int32_t hue = 0;
    std::int32_t saturation = 0;
    friend bool operator==(const Pick&, const Pick&) = default;
  };
  struct Pixel {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const Pixel&, const Pixel&) = default;
  };

  static constexpr std::uint32_t kOutside = 0xC0C0C0; // grey around the disc, 0xRRGGBB

  // Both sizes at least 4 (smaller boxes are taken as 4).
  ColorWheel(std::int32_t width, std::int32_t height);

  std::int32_t Width() const { return width_; }
  std::int32_t Height() const { return height_; }
  std::int32_t CentreX() const { return width_ / 2; }
  std::int32_t CentreY() const { return height_ / 2; }
  std::int32_t RadiusX() const { return width_ / 2 - 1; }
  std::int32_t RadiusY() const { return height_ / 2 - 1; }

  // Hue and saturation of pixel (x, y) inside the box; the saturation is above 255 outside the
  // disc.
  Pick At(std::int32_t x, std::int32_t y) const;
  // What a click at (x, y) chooses: the point is moved into the box, and a point outside the disc
  // takes saturation 255 (the rim colour in that direction).
  Pick Choose(std::int32_t x, std::int32_t y) const;
  // The pixel that shows a hue and saturation (the centre of the marker).
  Pixel PixelOf(std::int32_t hue, std::int32_t saturation) const;
  // The painted wheel, rows top-down, one 0xRRGGBB per pixel: inside the disc the colour of
  // (hue, saturation, value 255), outside it grey.
  const std::vector<std::uint32_t>& Picture() const { return picture_; }

  // Hue and saturation of one pixel of a box, from its geometry alone.
  static Pick Compute(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height);

private:
  std::size_t Index(std::int32_t x, std::int32_t y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x);
  }

  std::int32_t width_;
  std::int32_t height_;
  std::vector<std::int32_t> hue_;
  std::vector<std::int32_t> saturation_;
  std::vector<std::uint32_t> picture_;
};

} // namespace rw::view
