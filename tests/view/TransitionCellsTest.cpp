#include "view/TransitionCells.h"

#include "render/TransitionKinds.h"

#include <gtest/gtest.h>

#include <cstring>

namespace rw::view {
namespace {

const std::uint8_t* Pixel(const DIB& dib, int x, int yTop) {
  return dib.Bits() + static_cast<std::ptrdiff_t>(dib.Height() - 1 - yTop) * dib.Stride() + x * 3;
}

bool SamePixel(const DIB& a, const DIB& b, int x, int y) {
  return std::memcmp(Pixel(a, x, y), Pixel(b, x, y), 3) == 0;
}

TEST(TransitionCells, SevenKindsFillTheFirstSevenCells) {
  TransitionCells cells;
  EXPECT_EQ(cells.KindCount(), 7);
  EXPECT_EQ(cells.Rows(), 2);
  EXPECT_FALSE(cells.ScrollBarShown());
  EXPECT_EQ(cells.ScrollMaximum(), 0);
  for (int s = 0; s < 7; ++s) {
    EXPECT_TRUE(cells.CellShown(s)) << s;
    EXPECT_EQ(cells.Label(s), TransitionKinds::DisplayName(s));
    EXPECT_EQ(cells.Transition(s).Length(), 15);
    EXPECT_EQ(cells.Transition(s).Keyword(), TransitionKinds::Keyword(s));
  }
  for (int s = 7; s < 12; ++s) {
    EXPECT_FALSE(cells.CellShown(s)) << s;
    EXPECT_EQ(cells.Label(s), "");
  }
  EXPECT_FALSE(cells.CellShown(-1));
  EXPECT_FALSE(cells.CellShown(12));
}

TEST(TransitionCells, MoreThanThreeRowsScroll) {
  EXPECT_FALSE(TransitionCells(12).ScrollBarShown());
  TransitionCells cells(13);
  EXPECT_TRUE(cells.ScrollBarShown());
  EXPECT_EQ(cells.Rows(), 4);
  EXPECT_EQ(cells.ScrollMaximum(), 1);
  // The second page starts at kind 4; kinds the registry does not have stay hidden.
  cells.ShowPage(1);
  EXPECT_EQ(cells.ScrollPosition(), 1);
  EXPECT_EQ(cells.Label(0), TransitionKinds::DisplayName(4));
  EXPECT_EQ(cells.Label(2), TransitionKinds::DisplayName(6));
  EXPECT_FALSE(cells.CellShown(3));
  cells.ShowPage(7);
  EXPECT_EQ(cells.ScrollPosition(), 1);
  // Fewer kinds than the registry has: only those.
  TransitionCells three(3);
  EXPECT_TRUE(three.CellShown(2));
  EXPECT_FALSE(three.CellShown(3));
}

TEST(TransitionCells, SelectionAndItsFrame) {
  TransitionCells cells(13);
  EXPECT_EQ(cells.Selected(), -1);
  EXPECT_EQ(cells.FrameSlot(), -1);
  EXPECT_FALSE(cells.Click(9)); // a hidden cell
  EXPECT_EQ(cells.Selected(), -1);
  EXPECT_TRUE(cells.Click(3));
  EXPECT_FALSE(cells.Click(3));
  EXPECT_EQ(cells.Selected(), 3);
  EXPECT_EQ(cells.FrameSlot(), 3);
  // On the second page kind 3 is above the first row: no frame. Clicking cell 2 there is kind 6.
  cells.ShowPage(1);
  EXPECT_EQ(cells.FrameSlot(), -1);
  EXPECT_TRUE(cells.Click(2));
  EXPECT_EQ(cells.Selected(), 6);
  EXPECT_EQ(cells.FrameSlot(), 2);
  cells.ShowPage(0);
  EXPECT_EQ(cells.FrameSlot(), 6);
}

TEST(TransitionCells, OneCycleIsFiveOutgoingFifteenFramesSixIncoming) {
  TransitionCells cells;
  EXPECT_EQ(cells.Tick(), 0);
  while (cells.Tick() != TransitionCells::kFirstTick)
    cells.Advance();
  int outgoing = 0, frames = 0, incoming = 0;
  do {
    const DIB& picture = cells.Picture(0);
    if (&picture == &cells.Outgoing())
      ++outgoing;
    else if (&picture == &cells.Incoming())
      ++incoming;
    else
      ++frames;
    cells.Advance();
  } while (cells.Tick() != TransitionCells::kFirstTick);
  EXPECT_EQ(outgoing, 5);
  EXPECT_EQ(frames, 15);
  EXPECT_EQ(incoming, 6);
}

TEST(TransitionCells, CellsPlayTheTransitionsOwnPreviewFrames) {
  TransitionCells cells;
  for (int tick = 0; tick < 15; ++tick) {
    for (int s = 0; s < 7; ++s) {
      VideoTransition own = TransitionKinds::MakeByIndex(s);
      own.SetLength(15);
      DIB expected;
      expected.Create(80, 60);
      ASSERT_TRUE(own.RenderQuick(expected, cells.Outgoing(), cells.Incoming(), tick));
      EXPECT_TRUE(cells.Picture(s).IsSame(expected)) << "kind " << s << " tick " << tick;
    }
    cells.Advance();
  }
  EXPECT_FALSE(cells.Picture(7).IsPresent());
}

TEST(TransitionCells, LeftToRightWipeUncoversFiveColumnsAtFrameZero) {
  TransitionCells cells;
  const DIB& picture = cells.Picture(TransitionKinds::kWipeL2R);
  for (int y = 0; y < 60; ++y) {
    for (int x = 0; x < 80; ++x) {
      const DIB& expected = x < 5 ? cells.Incoming() : cells.Outgoing();
      ASSERT_TRUE(SamePixel(picture, expected, x, y)) << x << "," << y;
    }
  }
}

TEST(TransitionCells, SamplePicturesDifferEverywhere) {
  const DIB outgoing = TransitionCells::MakeOutgoingSample();
  const DIB incoming = TransitionCells::MakeIncomingSample();
  ASSERT_EQ(outgoing.Width(), 80);
  ASSERT_EQ(outgoing.Height(), 60);
  ASSERT_EQ(incoming.Width(), 80);
  ASSERT_EQ(incoming.Height(), 60);
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 80; ++x)
      ASSERT_FALSE(SamePixel(outgoing, incoming, x, y)) << x << "," << y;
}

} // namespace
} // namespace rw::view
