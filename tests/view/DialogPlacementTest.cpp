#include "view/DialogPlacement.h"

#include <gtest/gtest.h>

namespace rw::view {
namespace {

constexpr ScreenArea kScreen{0, 0, 1920, 1080};
// A second screen to the right of the first one.
constexpr ScreenArea kRightScreen{1920, 0, 1280, 1024};

TEST(DialogPlacementAroundPointer, CentresOnThePointerWhenThereIsRoom) {
  EXPECT_EQ(DialogPlacement::AroundPointer(640, 480, {960, 540}, kScreen), (ScreenPoint{640, 300}));
  // An odd size puts the extra column and row after the pointer.
  EXPECT_EQ(DialogPlacement::AroundPointer(641, 481, {960, 540}, kScreen), (ScreenPoint{640, 300}));
}

TEST(DialogPlacementAroundPointer, StaysInsideTheScreenAtItsCorners) {
  EXPECT_EQ(DialogPlacement::AroundPointer(640, 480, {0, 0}, kScreen), (ScreenPoint{0, 0}));
  EXPECT_EQ(DialogPlacement::AroundPointer(640, 480, {1919, 1079}, kScreen), (ScreenPoint{1280, 600}));
  EXPECT_EQ(DialogPlacement::AroundPointer(640, 480, {1919, 0}, kScreen), (ScreenPoint{1280, 0}));
  EXPECT_EQ(DialogPlacement::AroundPointer(640, 480, {0, 1079}, kScreen), (ScreenPoint{0, 600}));
  // A window exactly as large as the screen covers it wherever the pointer is.
  EXPECT_EQ(DialogPlacement::AroundPointer(1920, 1080, {100, 1000}, kScreen), (ScreenPoint{0, 0}));
}

TEST(DialogPlacementAroundPointer, LargerThanTheScreenEndsAtTheRightAndBottomEdges) {
  const ScreenPoint wide = DialogPlacement::AroundPointer(2000, 300, {960, 540}, kScreen);
  EXPECT_EQ(wide.x + 2000, 1920);
  EXPECT_LT(wide.x, 0);
  EXPECT_EQ(wide.y, 390);
  // Whatever the pointer, the left edge is the same.
  EXPECT_EQ(DialogPlacement::AroundPointer(2000, 300, {0, 540}, kScreen).x, -80);
  EXPECT_EQ(DialogPlacement::AroundPointer(2000, 300, {1919, 540}, kScreen).x, -80);

  const ScreenPoint tall = DialogPlacement::AroundPointer(300, 1200, {0, 0}, kScreen);
  EXPECT_EQ(tall, (ScreenPoint{0, -120}));
}

TEST(DialogPlacementAroundPointer, KeepsToTheScreenThePointerIsOn) {
  EXPECT_EQ(DialogPlacement::AroundPointer(640, 480, {1920, 0}, kRightScreen), (ScreenPoint{1920, 0}));
  EXPECT_EQ(DialogPlacement::AroundPointer(640, 480, {3199, 1023}, kRightScreen), (ScreenPoint{2560, 544}));
  EXPECT_EQ(DialogPlacement::AroundPointer(1400, 100, {2500, 500}, kRightScreen).x, 3200 - 1400);
  // A screen above and left of the primary one has negative coordinates.
  const ScreenArea upperLeft{-1024, -768, 1024, 768};
  EXPECT_EQ(DialogPlacement::AroundPointer(640, 480, {-1, -1}, upperLeft), (ScreenPoint{-640, -480}));
}

TEST(DialogPlacementAroundPointer, ExtremeValuesDoNotOverflow) {
  constexpr std::int32_t kMax = 2147483647;
  const ScreenArea far{kMax - 1000, 0, 1000, 1000};
  EXPECT_EQ(DialogPlacement::AroundPointer(400, 400, {kMax - 1, 500}, far), (ScreenPoint{kMax - 400, 300}));
}

TEST(DialogPlacementCentred, PutsTheWindowInTheMiddleOfItsScreen) {
  EXPECT_EQ(DialogPlacement::Centred(320, 92, kScreen), (ScreenPoint{800, 494}));
  EXPECT_EQ(DialogPlacement::Centred(320, 92, kRightScreen), (ScreenPoint{1920 + 480, 466}));
  // Larger than the screen: overhangs both edges evenly.
  EXPECT_EQ(DialogPlacement::Centred(2000, 1100, kScreen), (ScreenPoint{-40, -10}));
}

} // namespace
} // namespace rw::view
