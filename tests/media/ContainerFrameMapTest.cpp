// Where movie pictures fall on the 30 fps frames of a cut: exact rational rounding, halves up.
#include "media/ContainerFrameMap.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace rw {
namespace {

using Picture = ContainerFrameMap::Picture;

// Pictures at i * step ticks (the first at `first`), every `gop`-th a key.
std::vector<Picture> Regular(int count, std::int64_t step, std::int64_t first = 0, int gop = 1) {
  std::vector<Picture> pictures;
  for (int i = 0; i < count; ++i)
    pictures.push_back({first + i * step, step, i % gop == 0});
  return pictures;
}

TEST(ContainerFrameMapTest, ThirtyFramesMapOneToOneWhateverTheTimeBase) {
  ContainerFrameMap map;
  // 1/1000: 0, 33, 67, 100, … as a muxer rounds them.
  std::vector<Picture> pictures;
  for (int i = 0; i < 300; ++i)
    pictures.push_back({(i * 1000 + 15) / 30, 0, i % 10 == 0});
  ASSERT_TRUE(map.Build(pictures, 1, 1000));
  EXPECT_EQ(map.FrameCount(), 300);
  for (int n = 0; n < 300; ++n) {
    EXPECT_EQ(map.PictureAt(n), n);
    EXPECT_TRUE(map.IsNewFrame(n));
    EXPECT_EQ(map.IsKeyFrame(n), n % 10 == 0);
  }
}

TEST(ContainerFrameMapTest, NtscRateHoldsOnePictureEveryThousandFrames) {
  ContainerFrameMap map;
  ASSERT_TRUE(map.Build(Regular(2100, 1001), 1, 30000));
  // 2100 pictures of 1001/30000 s last 2102.1 frames.
  EXPECT_EQ(map.FrameCount(), 2102);
  std::vector<int> held;
  for (int n = 1; n < map.FrameCount(); ++n)
    if (!map.IsNewFrame(n))
      held.push_back(n);
  // Picture 500 lies at 500.5 frames and rounds up: frame 500 still shows 499; likewise 1500.
  EXPECT_EQ(held, (std::vector<int>{500, 1501}));
  EXPECT_EQ(map.PictureAt(499), 499);
  EXPECT_EQ(map.PictureAt(500), 499);
  EXPECT_EQ(map.PictureAt(501), 500);
  EXPECT_EQ(map.FirstFrameOf(500), 501);
}

TEST(ContainerFrameMapTest, SixtyFramesTakeEveryOtherAndTwentyFiveRepeat) {
  ContainerFrameMap sixty;
  ASSERT_TRUE(sixty.Build(Regular(120, 1), 1, 60));
  EXPECT_EQ(sixty.FrameCount(), 60);
  for (int n = 0; n < 60; ++n)
    EXPECT_EQ(sixty.PictureAt(n), 2 * n);
  // The odd pictures round half up onto the next frame, where the even one after them wins.
  EXPECT_EQ(sixty.FirstFrameOf(1), -1);

  ContainerFrameMap pal;
  ASSERT_TRUE(pal.Build(Regular(50, 1), 1, 25));
  EXPECT_EQ(pal.FrameCount(), 60);
  // Picture i at 1.2 i frames: 0, 1.2, 2.4, 3.6, 4.8, 6 → frames 0, 1, 2, 4, 5, 6.
  const int expected[] = {0, 1, 2, 2, 3, 4, 5, 6, 7, 7};
  for (int n = 0; n < 10; ++n)
    EXPECT_EQ(pal.PictureAt(n), expected[n]) << n;
}

TEST(ContainerFrameMapTest, VariableRateKeepsItsTimingFromTheFirstPicture) {
  ContainerFrameMap map;
  // Milliseconds, starting late: 0, 20, 100, 1000 after the first; the last lasts 50 ms.
  const std::vector<Picture> pictures = {
      {5000, 0, true}, {5020, 0, false}, {5100, 0, false}, {6000, 50, true}};
  ASSERT_TRUE(map.Build(pictures, 1, 1000));
  EXPECT_EQ(map.Origin(), 5000);
  // 1050 ms = 31.5 frames, rounded half up.
  EXPECT_EQ(map.FrameCount(), 32);
  EXPECT_EQ(map.PictureAt(0), 0);
  EXPECT_EQ(map.PictureAt(1), 1); // 20 ms = 0.6 frames → 1
  EXPECT_EQ(map.PictureAt(2), 1);
  EXPECT_EQ(map.PictureAt(3), 2); // 100 ms = 3 frames
  EXPECT_EQ(map.PictureAt(29), 2);
  EXPECT_EQ(map.PictureAt(30), 3);
  EXPECT_TRUE(map.IsKeyFrame(30));
  EXPECT_FALSE(map.IsKeyFrame(29));
  // Requests beyond the cut are clamped.
  EXPECT_EQ(map.PictureAt(-5), 0);
  EXPECT_EQ(map.PictureAt(1000), 3);
  EXPECT_FALSE(map.IsNewFrame(32));
}

TEST(ContainerFrameMapTest, RoundsExactlyWithHalvesUp) {
  EXPECT_EQ(ContainerFrameMap::RoundToFrames(1, 1, 60), 1);  // 0.5 → 1
  EXPECT_EQ(ContainerFrameMap::RoundToFrames(-1, 1, 60), 0); // -0.5 → 0
  EXPECT_EQ(ContainerFrameMap::RoundToFrames(-3, 1, 60), -1);
  EXPECT_EQ(ContainerFrameMap::RoundToFrames(16, 1, 1000), 0); // 0.48
  EXPECT_EQ(ContainerFrameMap::RoundToFrames(17, 1, 1000), 1); // 0.51
  // A product beyond 64 bits still rounds right.
  EXPECT_EQ(ContainerFrameMap::RoundToFrames(INT64_MAX / 2, 90000, 90000 * 30LL), INT64_MAX / 2);
}

TEST(ContainerFrameMapTest, RefusesWhatCannotBeAMovie) {
  ContainerFrameMap map;
  EXPECT_FALSE(map.Build({}, 1, 30));
  EXPECT_FALSE(map.Build(Regular(3, 1), 0, 30));
  EXPECT_FALSE(map.Build(Regular(3, 1), 1, -30));
  // Times that do not rise.
  EXPECT_FALSE(map.Build({{0, 1, true}, {5, 1, false}, {5, 1, false}}, 1, 30));
  // Hostile stamps: a gap that makes the cut longer than any 32-bit frame count, and a
  // difference that does not fit 64 bits.
  EXPECT_FALSE(map.Build({{0, 1, true}, {INT64_MAX / 4, 1, false}}, 1, 30));
  EXPECT_FALSE(map.Build({{INT64_MIN + 1, 1, true}, {INT64_MAX - 1, 1, false}}, 1, 1));
  EXPECT_EQ(map.FrameCount(), 0);
  EXPECT_EQ(map.PictureAt(0), -1);
  // One picture without a duration lasts one frame.
  ASSERT_TRUE(map.Build({{7, 0, true}}, 1, 90000));
  EXPECT_EQ(map.FrameCount(), 1);
}

} // namespace
} // namespace rw
