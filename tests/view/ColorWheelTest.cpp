#include "view/ColorWheel.h"

#include "view/HsvColor.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace rw::view {
namespace {

using Pick = ColorWheel::Pick;
using Pixel = ColorWheel::Pixel;

class ColorWheelTest : public ::testing::Test {
protected:
  ColorWheel wheel{257, 257};
};

TEST_F(ColorWheelTest, GeometryOfTheDisc) {
  EXPECT_EQ(wheel.CentreX(), 128);
  EXPECT_EQ(wheel.CentreY(), 128);
  EXPECT_EQ(wheel.RadiusX(), 127);
  EXPECT_EQ(wheel.RadiusY(), 127);
  EXPECT_EQ(wheel.At(128, 128), (Pick{0, 0}));
  // Hue 0 straight up, growing clockwise; the outermost pixels of each axis lie on the rim (256).
  EXPECT_EQ(wheel.At(128, 1), (Pick{0, 256}));
  EXPECT_EQ(wheel.At(128, 2), (Pick{0, 253}));
  EXPECT_EQ(wheel.At(254, 128), (Pick{90, 253}));
  EXPECT_EQ(wheel.At(128, 254), (Pick{180, 253}));
  EXPECT_EQ(wheel.At(2, 128), (Pick{270, 253}));
  EXPECT_EQ(wheel.At(0, 0).hue, 315);
  EXPECT_GT(wheel.At(0, 0).saturation, 255);
  // Just left of straight up: a fraction of a degree truncates to 0, more to the end of the circle.
  EXPECT_EQ(wheel.At(127, 2).hue, 0);
  EXPECT_EQ(wheel.At(124, 2).hue, 359);
}

TEST_F(ColorWheelTest, PictureIsGreyOutsideAndFullColourInside) {
  const auto& picture = wheel.Picture();
  ASSERT_EQ(picture.size(), 257u * 257u);
  EXPECT_EQ(picture[0], ColorWheel::kOutside);
  EXPECT_EQ(picture[256], ColorWheel::kOutside);
  EXPECT_EQ(picture[128 * 257 + 128], 0xFFFFFFu); // no saturation: white
  EXPECT_EQ(picture[1 * 257 + 128], ColorWheel::kOutside);
  for (int y = 0; y < 257; y += 16) {
    for (int x = 0; x < 257; x += 16) {
      const Pick pick = wheel.At(x, y);
      HsvColor::Rgb rgb;
      HsvColor::ToRgb({pick.hue, pick.saturation, 255}, rgb);
      const std::uint32_t expected =
          pick.saturation > 255 ? ColorWheel::kOutside
                                : static_cast<std::uint32_t>(rgb.red << 16 | rgb.green << 8 | rgb.blue);
      EXPECT_EQ(picture[static_cast<std::size_t>(y * 257 + x)], expected) << x << "," << y;
    }
  }
}

TEST_F(ColorWheelTest, ClicksOutsideTheDiscPickTheRimInThatDirection) {
  EXPECT_EQ(wheel.Choose(0, 0), (Pick{315, 255}));
  EXPECT_EQ(wheel.Choose(256, 0), (Pick{45, 255}));
  EXPECT_EQ(wheel.Choose(256, 256), (Pick{135, 255}));
  EXPECT_EQ(wheel.Choose(0, 256), (Pick{225, 255}));
  // Points beyond the box are first moved into it.
  EXPECT_EQ(wheel.Choose(-40, -7), wheel.Choose(0, 0));
  EXPECT_EQ(wheel.Choose(1000, 128), (Pick{90, 255}));
  EXPECT_EQ(wheel.Choose(128, 100000), (Pick{180, 255}));
  // Inside the disc the maps answer unchanged.
  EXPECT_EQ(wheel.Choose(200, 100), wheel.At(200, 100));
}

TEST_F(ColorWheelTest, MarkerPixels) {
  EXPECT_EQ(wheel.PixelOf(0, 255), (Pixel{128, 1}));
  EXPECT_EQ(wheel.PixelOf(90, 255), (Pixel{255, 128}));
  EXPECT_EQ(wheel.PixelOf(180, 255), (Pixel{128, 255}));
  EXPECT_EQ(wheel.PixelOf(270, 255), (Pixel{1, 128}));
  EXPECT_EQ(wheel.PixelOf(123, 0), (Pixel{128, 128}));
  // Every pixel of the disc shows its own hue and saturation back where it is, up to the
  // truncation of a degree and of a 256th of the radius.
  for (int y = 0; y < 257; ++y) {
    for (int x = 0; x < 257; ++x) {
      const Pick pick = wheel.At(x, y);
      if (pick.saturation > 255 || pick.saturation < 16)
        continue;
      const Pixel back = wheel.PixelOf(pick.hue, pick.saturation);
      ASSERT_LE(std::abs(back.x - x) + std::abs(back.y - y), 4) << x << "," << y;
    }
  }
}

TEST(ColorWheel, OtherBoxSizes) {
  const ColorWheel wide(101, 51);
  EXPECT_EQ(wide.At(50, 25), (Pick{0, 0}));
  EXPECT_EQ(wide.At(99, 25), (Pick{90, 256}));
  EXPECT_EQ(wide.At(50, 1), (Pick{0, 256}));
  EXPECT_EQ(wide.PixelOf(90, 255), (Pixel{99, 25}));
  // Degenerate boxes are widened instead of dividing by a zero radius.
  const ColorWheel tiny(1, 0);
  EXPECT_EQ(tiny.Width(), 4);
  EXPECT_EQ(tiny.Height(), 4);
  EXPECT_EQ(tiny.Choose(9, 9).saturation, 255);
}

} // namespace
} // namespace rw::view
