#include "view/StripPlan.h"

#include "tests/view/DisplayTestProject.h"

#include <gtest/gtest.h>

#include <random>

namespace rw::view {
namespace {

// The strip walked independently: the timeline as one row of items (each transition before the
// cut it leads into), "Now" the item at the position, the slots its neighbours.
StripRefs Walked(const pVideoClipList& list, std::int32_t frame) {
  std::vector<SlotRef> row;
  std::ptrdiff_t now = -1;
  const ClipPos pos = list.PosAt(frame);
  for (std::int32_t i = 0; i < list.Count(); ++i) {
    const std::int32_t t = i > 0 ? list.TransOf(i) : 0;
    if (t > 0) {
      if (pos.index == i && pos.frame < t)
        now = static_cast<std::ptrdiff_t>(row.size());
      row.push_back({i, true});
    }
    if (pos.index == i && now < 0)
      now = static_cast<std::ptrdiff_t>(row.size());
    row.push_back({i, false});
  }
  StripRefs refs;
  if (now < 0) { // the end position: "Now" is the entry behind the last
    now = static_cast<std::ptrdiff_t>(row.size());
    refs[4] = {list.Count(), false};
  }
  for (int slot = -4; slot <= 4; ++slot) {
    const std::ptrdiff_t at = now + slot;
    if (at >= 0 && at < static_cast<std::ptrdiff_t>(row.size()))
      refs[static_cast<std::size_t>(slot + 4)] = row[static_cast<std::size_t>(at)];
  }
  return refs;
}

TEST(StripPlan, AgreesWithTheTimelineWalkedAsOneRow) {
  std::mt19937 random(20261208);
  for (int round = 0; round < 60; ++round) {
    test::DisplayTestProject p;
    const int count = static_cast<int>(random() % 12);
    for (int i = 0; i < count; ++i)
      p.Cut(i, 1 + static_cast<std::int32_t>(random() % 40));
    for (int i = 1; i < count; ++i) {
      if (random() % 2)
        p.Transition(i, 1 + static_cast<std::int32_t>(random() % 30)); // refused when it does not fit
    }
    const pVideoClipList& list = p.project.List();
    for (std::int32_t f = 0; f <= list.TotalFrames(); ++f) {
      const ClipPos pos = list.PosAt(f);
      const std::int32_t entry = f == list.TotalFrames() ? list.Count() : pos.index;
      const std::int32_t frame = f == list.TotalFrames() ? 0 : pos.frame;
      ASSERT_EQ(StripPlan::Make(list, entry, frame), Walked(list, f)) << "round " << round << " frame " << f;
    }
  }
}

TEST(StripPlan, InsideATransitionNowShowsItAndSlotOneTheCut) {
  test::DisplayTestProject p;
  p.Cut(0, 30);
  p.Cut(1, 40);
  ASSERT_TRUE(p.Transition(1, 10));
  const StripRefs inside = StripPlan::Make(p.project.List(), 1, 3);
  EXPECT_EQ(inside[4], (SlotRef{1, true}));
  EXPECT_EQ(inside[5], (SlotRef{1, false}));
  EXPECT_EQ(inside[3], (SlotRef{0, false}));
  const StripRefs after = StripPlan::Make(p.project.List(), 1, 10);
  EXPECT_EQ(after[4], (SlotRef{1, false}));
  EXPECT_EQ(after[3], (SlotRef{1, true}));
  EXPECT_TRUE(after[5].Empty());
}

} // namespace
} // namespace rw::view
