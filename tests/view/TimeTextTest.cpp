#include "view/TimeText.h"
#include "view/VolumeScale.h"

#include <gtest/gtest.h>

#include <cmath>

namespace rw::view {
namespace {

TEST(TimeText, FormatsSwitchAtOneMinuteAndMinutesDoNotWrap) {
  EXPECT_EQ(TimeText::Short(0), "00:00");
  EXPECT_EQ(TimeText::Short(1799), "59:29");
  EXPECT_EQ(TimeText::Short(1800), "1:00:00");
  EXPECT_EQ(TimeText::Short(108000 + 31), "60:01:01");
  EXPECT_EQ(TimeText::Long(0), "00:00:00");
  EXPECT_EQ(TimeText::Long(1799), "00:59:29");
  EXPECT_EQ(TimeText::Long(108000), "60:00:00");
  EXPECT_EQ(TimeText::Long(-5), "00:00:00");
}

TEST(TimeText, ParsesFromTheRightSkippingOtherCharacters) {
  EXPECT_EQ(TimeText::Parse("1:2:3"), 1 * 1800 + 2 * 30 + 3);
  EXPECT_EQ(TimeText::Parse("2:00:00:00"), 2 * 108000);
  EXPECT_EQ(TimeText::Parse(""), 0);
  EXPECT_EQ(TimeText::Parse("17"), 17);
  EXPECT_EQ(TimeText::Parse(" 1m:0x5 "), 1 * 30 + 5);
  EXPECT_EQ(TimeText::Parse("9:1:2:3:4"), 1 * 108000 + 2 * 1800 + 3 * 30 + 4); // the 9 is dropped
  EXPECT_EQ(TimeText::Parse("1::"), 1800);
  // Every text the formats write reads back as the same frame.
  for (std::int32_t f : {0, 29, 30, 1799, 1800, 54321, 108000, 1234567})
    EXPECT_EQ(TimeText::Parse(TimeText::Short(f)), f) << f;
  // Absurd numbers give the largest frame instead of wrapping.
  EXPECT_EQ(TimeText::Parse("99999999999999999999:0"), INT32_MAX);
  EXPECT_EQ(TimeText::Parse("4294967296"), INT32_MAX);
}

TEST(VolumeScale, UnitySilenceAndRoundTrip) {
  EXPECT_EQ(VolumeScale::Decibels(256), 0);
  EXPECT_EQ(VolumeScale::Label(VolumeScale::Decibels(256)), "0dB");
  EXPECT_EQ(VolumeScale::Decibels(0), -40);
  EXPECT_EQ(VolumeScale::Label(VolumeScale::Decibels(0)), "-∽dB");
  EXPECT_EQ(VolumeScale::Gain(-40), 0);
  EXPECT_EQ(VolumeScale::Gain(-55), 0);
  EXPECT_EQ(VolumeScale::Decibels(512), 6);
  EXPECT_EQ(VolumeScale::Decibels(128), -6);
  EXPECT_EQ(VolumeScale::Label(-6), "-6dB");
  // Every track bar position down to -30 dB gives a gain that the panel shows as the same
  // position (below, gains of a few 1/256 steps are too coarse to tell every decibel apart).
  for (std::int32_t d = -30; d <= 30; ++d) {
    const std::int32_t gain = VolumeScale::Gain(d);
    EXPECT_EQ(gain, static_cast<std::int32_t>(std::pow(10.0, d / 20.0) * 256 + 0.5)) << d;
    EXPECT_EQ(VolumeScale::Decibels(gain), d) << d;
  }
}

} // namespace
} // namespace rw::view
