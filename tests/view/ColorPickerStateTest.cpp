#include "view/ColorPickerState.h"

#include <gtest/gtest.h>

namespace rw::view {
namespace {

using Rgb = HsvColor::Rgb;
using Hsv = HsvColor::Hsv;
using Marker = ColorPickerState::Marker;

class ColorPickerStateTest : public ::testing::Test {
protected:
  ColorPickerState state;
};

TEST_F(ColorPickerStateTest, SettingAColourSetsHueSaturationAndValue) {
  state.SetColor({255, 0, 0});
  EXPECT_EQ(state.Hsv(), (Hsv{0, 255, 255}));
  // The marker sits on the top of the rim.
  EXPECT_EQ(state.WheelMarker(), (Marker{125, -2, 7, 7, false}));
  state.SetColor({0, 128, 255});
  EXPECT_EQ(state.Hsv(), (Hsv{209, 255, 255}));
  state.SetHsv({30, 255, 255});
  EXPECT_EQ(state.Rgb(), (Rgb{255, 129, 0}));
  EXPECT_EQ(state.SwatchColour(), 0xFF8100u);
  // A hue outside the circle keeps the colour.
  state.SetHsv({400, 10, 10});
  EXPECT_EQ(state.Rgb(), (Rgb{255, 129, 0}));
}

TEST_F(ColorPickerStateTest, BlackKeepsHueAndSaturationForTheBrightnessBar) {
  state.SetColor({0, 128, 255});
  state.SetColor({0, 0, 0});
  EXPECT_EQ(state.Hsv(), (Hsv{209, 255, 0}));
  EXPECT_EQ(state.Rgb(), (Rgb{0, 0, 0}));
  // Row 0 of the bar is full brightness: the earlier hue comes back.
  EXPECT_TRUE(state.PressBar(0));
  EXPECT_EQ(state.Hsv(), (Hsv{209, 255, 255}));
  EXPECT_EQ(state.Rgb(), (Rgb{0, 129, 255}));
  EXPECT_FALSE(state.PressBar(0));
  // Rows beyond the bar count as its ends.
  EXPECT_TRUE(state.PressBar(300));
  EXPECT_EQ(state.Hsv().value, 0);
  EXPECT_TRUE(state.PressBar(-50));
  EXPECT_EQ(state.Hsv().value, 255);
  EXPECT_TRUE(state.PressBar(128));
  EXPECT_EQ(state.Hsv().value, 127);
}

TEST_F(ColorPickerStateTest, TypedValuesAreKeptAsTyped) {
  state.SetColor({10, 20, 30});
  EXPECT_TRUE(state.EditChanged(0, "300"));
  EXPECT_EQ(state.Rgb(), (Rgb{300, 20, 30}));
  EXPECT_EQ(state.Hsv().value, 300);
  EXPECT_EQ(state.EditRewrite(0, "300"), std::nullopt);
  EXPECT_EQ(state.EditRewrite(1, "300"), "20");
  // The bars are drawn from it: the swatch and every column show red at most at full strength,
  // and the red marker lies beyond the end of its bar.
  EXPECT_EQ(state.SwatchColour(), 0xFF141Eu);
  EXPECT_EQ(state.ComponentColumnColour(1, 0), 0xFF001Eu);
  EXPECT_EQ(state.ComponentMarker(0).x, 300 * 146 / 256 - 3);
  // Text that is no number reads as 0; a number written differently is not rewritten.
  EXPECT_TRUE(state.EditChanged(2, "blue"));
  EXPECT_EQ(state.Rgb().blue, 0);
  EXPECT_EQ(state.EditRewrite(2, "blue"), std::nullopt);
  EXPECT_FALSE(state.EditChanged(1, " 020"));
  EXPECT_EQ(state.EditRewrite(1, " 020"), std::nullopt);
  EXPECT_TRUE(state.EditChanged(1, "-7"));
  EXPECT_EQ(state.Rgb().green, -7);
  // The edits never overflow the conversions.
  EXPECT_TRUE(state.EditChanged(0, "99999999999"));
  EXPECT_EQ(state.Rgb().red, 2147483647);
  EXPECT_EQ(state.Hsv().value, 2147483647);
}

TEST_F(ColorPickerStateTest, WheelClicks) {
  state.SetColor({200, 0, 0});
  // A grey corner picks the rim colour at its angle, at the present brightness.
  EXPECT_TRUE(state.PressWheel(0, 0));
  const ColorWheel::Pick corner = state.Wheel().Choose(0, 0);
  EXPECT_EQ(state.Hsv(), (Hsv{corner.hue, 255, 200}));
  Rgb expected;
  HsvColor::ToRgb({corner.hue, 255, 200}, expected);
  EXPECT_EQ(state.Rgb(), expected);
  EXPECT_FALSE(state.PressWheel(-30, -30)); // the same corner: no change
  EXPECT_TRUE(state.PressWheel(128, 128));
  EXPECT_EQ(state.Hsv(), (Hsv{0, 0, 200}));
  EXPECT_EQ(state.Rgb(), (Rgb{200, 200, 200}));
  EXPECT_TRUE(state.PressWheel(128, 400));
  EXPECT_EQ(state.Hsv(), (Hsv{180, 255, 200}));
}

TEST_F(ColorPickerStateTest, ComponentBarClicks) {
  state.SetColor({0, 0, 0});
  EXPECT_TRUE(state.PressComponent(1, 73));
  EXPECT_EQ(state.Rgb(), (Rgb{0, 128, 0}));
  EXPECT_EQ(state.Hsv(), (Hsv{120, 255, 128}));
  EXPECT_FALSE(state.PressComponent(1, 73));
  EXPECT_TRUE(state.PressComponent(2, 1000));
  EXPECT_EQ(state.Rgb().blue, 255);
  EXPECT_TRUE(state.PressComponent(2, -4));
  EXPECT_EQ(state.Rgb().blue, 0);
  EXPECT_EQ(ColorPickerState::ComponentColumnValue(0), 0);
  EXPECT_EQ(ColorPickerState::ComponentColumnValue(144), 252);
}

TEST_F(ColorPickerStateTest, MarkerPositionsAndColours) {
  // Full red: the bar marker on the top row, black (nothing brighter above it); the red marker at
  // the bar's end, black beside a bright red; green and blue at their start, white beside black.
  state.SetColor({255, 0, 0});
  EXPECT_EQ(state.BarMarker(), (Marker{13, -3, 7, 7, false}));
  EXPECT_EQ(state.ComponentMarker(0), (Marker{142, 7, 7, 7, false}));
  EXPECT_EQ(state.ComponentMarker(1), (Marker{-3, 7, 7, 7, true}));
  // A dark red: the row above is (129, 0, 0), dark enough for a white marker.
  state.SetHsv({0, 255, 128});
  EXPECT_EQ(state.BarMarker(), (Marker{13, 124, 7, 7, true}));
  EXPECT_EQ(state.ComponentMarker(0), (Marker{70, 7, 7, 7, true}));
  // A grey of 100: the row above, (101, 101, 101), adds up to more than 250.
  state.SetColor({100, 100, 100});
  EXPECT_EQ(state.BarMarker(), (Marker{13, 152, 7, 7, false}));
  // Black: the bottom row, white.
  state.SetColor({0, 0, 0});
  EXPECT_EQ(state.BarMarker(), (Marker{13, 252, 7, 7, true}));
  EXPECT_EQ(state.WheelMarker(), (Marker{125, 125, 7, 7, false}));
}

TEST_F(ColorPickerStateTest, BarColours) {
  EXPECT_EQ(ColorPickerState::BarRowValue(0), 255);
  EXPECT_EQ(ColorPickerState::BarRowValue(255), 0);
  state.SetColor({0, 0, 255});
  EXPECT_EQ(state.BarRowColour(0), 0x0000FFu);
  EXPECT_EQ(state.BarRowColour(255), 0x000000u);
  EXPECT_EQ(state.BarRowColour(155), 0x000064u);
  EXPECT_EQ(state.ComponentColumnColour(0, 144), 0xFC00FFu);
  EXPECT_EQ(state.ComponentColumnColour(2, 0), 0x000000u);
}

} // namespace
} // namespace rw::view
