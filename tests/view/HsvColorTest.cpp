#include "view/HsvColor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <limits>

namespace rw::view {
namespace {

using Rgb = HsvColor::Rgb;
using Hsv = HsvColor::Hsv;

Rgb ToRgb(const Hsv& hsv) {
  Rgb rgb{-1, -1, -1};
  EXPECT_TRUE(HsvColor::ToRgb(hsv, rgb));
  return rgb;
}

TEST(HsvColor, PrimaryColoursAndTheWorkedExamples) {
  EXPECT_EQ(HsvColor::ToHsv({255, 0, 0}), (Hsv{0, 255, 255}));
  EXPECT_EQ(HsvColor::ToHsv({0, 255, 0}), (Hsv{120, 255, 255}));
  EXPECT_EQ(HsvColor::ToHsv({0, 0, 255}), (Hsv{240, 255, 255}));
  EXPECT_EQ(HsvColor::ToHsv({0, 0, 0}), (Hsv{0, 0, 0}));
  EXPECT_EQ(HsvColor::ToHsv({90, 90, 90}), (Hsv{0, 0, 90}));
  EXPECT_EQ(ToRgb({30, 255, 255}), (Rgb{255, 129, 0}));
  EXPECT_EQ(ToRgb({0, 255, 255}), (Rgb{255, 0, 0}));
  EXPECT_EQ(ToRgb({120, 255, 255}), (Rgb{0, 255, 0}));
  EXPECT_EQ(ToRgb({240, 255, 255}), (Rgb{0, 0, 255}));
  EXPECT_EQ(ToRgb({77, 0, 200}), (Rgb{200, 200, 200}));
}

TEST(HsvColor, HueOutsideTheCircleLeavesTheColour) {
  Rgb rgb{1, 2, 3};
  EXPECT_FALSE(HsvColor::ToRgb({360, 255, 255}, rgb));
  EXPECT_FALSE(HsvColor::ToRgb({-1, 255, 255}, rgb));
  EXPECT_FALSE(HsvColor::ToRgb({1000, 0, 255}, rgb));
  EXPECT_EQ(rgb, (Rgb{1, 2, 3}));
  EXPECT_TRUE(HsvColor::ToRgb({359, 255, 255}, rgb));
}

TEST(HsvColor, TypedValuesBeyondAByteConvertWithoutOverflow) {
  EXPECT_EQ(HsvColor::ToHsv({300, 0, 0}), (Hsv{0, 255, 300}));
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  EXPECT_EQ(HsvColor::ToHsv({kMax, 0, 0}), (Hsv{0, 255, kMax}));
  const Hsv wide = HsvColor::ToHsv({kMax, kMin, 0});
  EXPECT_GE(wide.hue, 0);
  EXPECT_LT(wide.hue, 360);
  EXPECT_EQ(wide.value, kMax);
  // A value of 32 bits scaled by a sector position stays exact in the wider arithmetic.
  EXPECT_EQ(ToRgb({0, 0, kMax}), (Rgb{kMax, kMax, kMax}));
  EXPECT_EQ(ToRgb({60, 255, kMax}).green, kMax);
  EXPECT_EQ(ToRgb({60, 255, kMax}).red, kMax); // f = 0: q = V
}

// The hue/saturation/value of a colour, evaluated afresh from the written rules: the
// brightest component is the value, the spread over it the saturation, and the hue counts sixths
// of a degree from the brightest component's base (red 0, green 720, blue 1440), rounding each
// component's distance by half the spread.
Hsv ReferenceHsv(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
  const std::array<std::int64_t, 3> c{r, g, b};
  std::size_t top = 0;
  for (std::size_t i = 1; i < 3; ++i)
    if (c[i] > c[top])
      top = i;
  const std::int64_t v = c[top];
  const std::int64_t m = std::min(c[0], std::min(c[1], c[2]));
  if (v == 0 || v == m)
    return {0, 0, static_cast<std::int32_t>(v)};
  const std::int64_t spread = v - m;
  std::array<std::int64_t, 3> dist{};
  for (std::size_t i = 0; i < 3; ++i)
    dist[i] = ((v - c[i]) * 360 + spread / 2) / spread;
  // For each brightest component: base, then the following and the preceding component.
  const std::int64_t base = 720 * static_cast<std::int64_t>(top);
  const std::int64_t next = dist[(top + 2) % 3]; // the component before it on the circle
  const std::int64_t prev = dist[(top + 1) % 3];
  std::int64_t h = base + next - prev;
  while (h < 0)
    h += 2160;
  return {static_cast<std::int32_t>(h / 6), static_cast<std::int32_t>(spread * 255 / v),
          static_cast<std::int32_t>(v)};
}

TEST(HsvColor, EveryColourMatchesTheRulesEvaluatedAfresh) {
  int failures = 0;
  for (std::uint32_t rgb = 0; rgb < (1u << 24) && failures < 10; ++rgb) {
    const std::uint32_t r = rgb >> 16, g = (rgb >> 8) & 255, b = rgb & 255;
    const Hsv expected = ReferenceHsv(r, g, b);
    const Hsv got = HsvColor::ToHsv(
        {static_cast<std::int32_t>(r), static_cast<std::int32_t>(g), static_cast<std::int32_t>(b)});
    if (got != expected) {
      ++failures;
      ADD_FAILURE() << "rgb " << r << "," << g << "," << b << ": got " << got.hue << "," << got.saturation
                    << "," << got.value << " expected " << expected.hue << "," << expected.saturation << ","
                    << expected.value;
    }
  }
}

// The colour of a hue/saturation/value, evaluated afresh: the value drops by the saturation's
// share at the sector's low end and moves linearly (59 steps per sector) across it.
Rgb ReferenceRgb(std::int64_t h, std::int64_t s, std::int64_t v) {
  if (s == 0)
    return {static_cast<std::int32_t>(v), static_cast<std::int32_t>(v), static_cast<std::int32_t>(v)};
  const std::int64_t sector = h / 60, f = h % 60;
  const std::int64_t low = v * (255 - s) / 255;
  const std::int64_t falling = v * (255 * 59 - f * s) / (255 * 59);
  const std::int64_t rising = v * (255 * 59 - s * (59 - f)) / (255 * 59);
  // Red, green and blue in each sector: which one is full, which rises, which falls.
  static constexpr std::array<std::array<char, 3>, 6> kPattern{
      {{'v', 'r', 'l'}, {'f', 'v', 'l'}, {'l', 'v', 'r'}, {'l', 'f', 'v'}, {'r', 'l', 'v'}, {'v', 'l', 'f'}}};
  std::array<std::int32_t, 3> out{};
  for (std::size_t i = 0; i < 3; ++i) {
    const char k = kPattern[static_cast<std::size_t>(sector)][i];
    out[i] = static_cast<std::int32_t>(k == 'v' ? v : k == 'r' ? rising : k == 'f' ? falling : low);
  }
  return {out[0], out[1], out[2]};
}

TEST(HsvColor, EveryHueSaturationAndValueMatchesTheRulesEvaluatedAfresh) {
  int failures = 0;
  for (std::int32_t h = 0; h < 360 && failures < 10; ++h) {
    for (std::int32_t s = 0; s < 256; ++s) {
      for (std::int32_t v = 0; v < 256; ++v) {
        Rgb got;
        HsvColor::ToRgb({h, s, v}, got);
        const Rgb expected = ReferenceRgb(h, s, v);
        if (got != expected && ++failures < 10)
          ADD_FAILURE() << "hsv " << h << "," << s << "," << v << ": got " << got.red << "," << got.green
                        << "," << got.blue << " expected " << expected.red << "," << expected.green << ","
                        << expected.blue;
      }
    }
  }
}

TEST(HsvColor, FullColoursComeBackWithinADegree) {
  for (std::int32_t h = 0; h < 360; ++h) {
    const Hsv back = HsvColor::ToHsv(ToRgb({h, 255, 255}));
    const int apart = std::abs(back.hue - h);
    EXPECT_LE(std::min(apart, 360 - apart), 1) << h; // around the circle: 359 is next to 0
    EXPECT_EQ(back.saturation, 255);
    EXPECT_EQ(back.value, 255);
  }
}

} // namespace
} // namespace rw::view
