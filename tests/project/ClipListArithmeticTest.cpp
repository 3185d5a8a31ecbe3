#include "ModelTestClips.h"

#include "project/VideoClipList.h"

#include <gtest/gtest.h>

namespace rw::test {
namespace {

using ClipListArithmetic = ModelTest;

TEST_F(ClipListArithmetic, EmptyListHasOnlyTheEndPosition) {
  VideoClipList list = VideoClipList::New();
  EXPECT_EQ(list->TotalFrames(), 0);
  EXPECT_EQ(list->FirstPos().index, -1);
  EXPECT_EQ(list->LastPos().index, -1);
  const ClipPos end = list->PosAt(0);
  EXPECT_EQ(end.index, 0);
  EXPECT_EQ(end.frame, 0);
  EXPECT_FALSE(list->IsValidPos(end));
  EXPECT_EQ(list->PosAt(1).index, -1);
  EXPECT_EQ(list->StartOf(0), 0);
  // Lookups outside the list answer the shared default entry.
  EXPECT_TRUE(list->EntryAt(5).clip.IsNull());
  EXPECT_EQ(list->EntryAt(-1).TransLength(), 0);
  EXPECT_EQ(&list->EntryAt(3), &ClipInfo::Default());
}

TEST_F(ClipListArithmetic, TransitionOverlapsTheCuts) {
  // 30 and 40 frames, a 10-frame transition into the second.
  VideoClipList list = BuildList({30, 40}, {0, 10});
  EXPECT_EQ(list->TotalFrames(), 60);
  const ClipPos p19 = list->PosAt(19);
  EXPECT_EQ(p19.index, 0);
  EXPECT_EQ(p19.frame, 19);
  const ClipPos p20 = list->PosAt(20);
  EXPECT_EQ(p20.index, 1);
  EXPECT_EQ(p20.frame, 0);
  const ClipPos p59 = list->PosAt(59);
  EXPECT_EQ(p59.index, 1);
  EXPECT_EQ(p59.frame, 39);
  const ClipPos end = list->PosAt(60);
  EXPECT_EQ(end.index, 2);
  EXPECT_EQ(end.frame, 0);
  EXPECT_FALSE(list->IsValidPos(end));
  EXPECT_EQ(list->PosAt(61).index, -1);
  EXPECT_EQ(list->PosAt(-1).index, -1);

  EXPECT_EQ(list->StartOf(1), 20);
  EXPECT_EQ(list->OwnStartOf(1), 30);
  EXPECT_EQ(list->OwnEndOf(0), 19);
  EXPECT_EQ(list->LastFrameOf(0), 29);
  EXPECT_EQ(list->OwnEndOf(1), 59);
  // The index just past the last entry starts where the timeline ends.
  EXPECT_EQ(list->StartOf(2), 60);
  EXPECT_EQ(list->StartOf(3), -1);
  EXPECT_EQ(list->StartOf(-1), -1);

  // Stepping crosses the transition in both directions.
  const ClipPos next = list->NextPos(p19);
  EXPECT_EQ(next.index, 1);
  EXPECT_EQ(next.frame, 0);
  const ClipPos back = list->PrevPos(p20);
  EXPECT_EQ(back.index, 0);
  EXPECT_EQ(back.frame, 19);
  const ClipPos after = list->NextPos(p59);
  EXPECT_EQ(after.index, 2);
  EXPECT_EQ(after.frame, 0);
  EXPECT_EQ(list->PrevPos(list->PosAt(0)).index, -1);
  EXPECT_EQ(list->NextPos(end).index, -1);
}

TEST_F(ClipListArithmetic, FirstCutInsideTheTransitionIsSteppedOver) {
  // The first cut is no longer than the transition to the second: it is never a frame of its own.
  VideoClipList list = BuildList({10, 40, 20}, {0, 10, 0});
  const ClipPos first = list->FirstPos();
  EXPECT_EQ(first.index, 1);
  EXPECT_EQ(first.frame, 0);
  EXPECT_EQ(list->PosAt(0).index, 1);
  EXPECT_EQ(list->PrevPos(first).index, -1);

  // The same in the middle: cut 1 of 10 frames lies wholly inside the transition into cut 2.
  VideoClipList middle = BuildList({20, 10, 30}, {0, 0, 10});
  EXPECT_EQ(middle->TotalFrames(), 50);
  const ClipPos last0 = middle->PosAt(19);
  const ClipPos step = middle->NextPos(last0);
  EXPECT_EQ(step.index, 2);
  EXPECT_EQ(step.frame, 0);
  EXPECT_EQ(middle->FrameOf(step), 20);
  const ClipPos stepBack = middle->PrevPos(step);
  EXPECT_EQ(stepBack.index, 0);
  EXPECT_EQ(stepBack.frame, 19);
}

TEST_F(ClipListArithmetic, PositionsNavigateBetweenCuts) {
  VideoClipList list = BuildList({30, 10, 40});
  const ClipPos p = list->PosAt(35); // cut 1, frame 5
  ASSERT_EQ(p.index, 1);
  const ClipPos prev = list->PrevCutPos(p);
  EXPECT_EQ(prev.index, 0);
  EXPECT_EQ(prev.frame, 5);
  const ClipPos deep = list->PosAt(75); // cut 2, frame 35
  const ClipPos limited = list->PrevCutPos(deep);
  EXPECT_EQ(limited.index, 1);
  EXPECT_EQ(limited.frame, 9); // limited to the neighbour's last frame
  EXPECT_EQ(list->NextCutPos(deep).index, -1);
  EXPECT_EQ(list->PrevCutPos(list->PosAt(3)).index, -1);
  EXPECT_EQ(list->CutStartPos(deep).frame, 0);
  EXPECT_EQ(list->CutEndPos(deep).frame, 39);
  EXPECT_EQ(list->LastPos().index, 2);
  EXPECT_EQ(list->LastPos().frame, 39);
}

TEST_F(ClipListArithmetic, FrameCountCountsCutFrames) {
  VideoClipList list = BuildList({30, 40, 20}, {0, 10, 5});
  const ClipPos a = list->PosAt(5);  // cut 0, frame 5
  const ClipPos b = list->PosAt(25); // cut 1, frame 5
  EXPECT_EQ(list->FrameCount(a, a), 1);
  EXPECT_EQ(list->FrameCount(a, b), (30 - 5) + 5 + 1);
  EXPECT_EQ(list->FrameCount(b, a), list->FrameCount(a, b));
  const ClipPos c = list->LastPos();
  EXPECT_EQ(list->FrameCount(a, c), 25 + 40 + 20);
  EXPECT_EQ(list->FrameCount(a, list->EndPos()), 0);
}

TEST_F(ClipListArithmetic, PositionIsValidOnlyForTheSameCutObject) {
  VideoClipList list = BuildList({30, 40});
  const ClipPos pos = list->PosAt(35);
  ASSERT_TRUE(list->IsValidPos(pos));
  EXPECT_EQ(list->FrameOf(pos), 35);

  // An equal cut in another object does not make the position valid.
  VideoClipList other = list;
  other.Detach();
  ClipInfo entry = other->EntryAt(1);
  entry.clip.Detach();
  entry.clip->SetLength(40); // the same length: still another object
  ASSERT_TRUE(other->UpdateEntry(entry, 1));
  EXPECT_TRUE(list->IsValidPos(pos));
  EXPECT_FALSE(other->IsValidPos(pos));
  EXPECT_EQ(other->FrameOf(pos), -1);

  ClipPos beyond = pos;
  beyond.frame = 40;
  EXPECT_FALSE(list->IsValidPos(beyond));
  ClipPos negative = pos;
  negative.frame = -1;
  EXPECT_FALSE(list->IsValidPos(negative));
}

TEST_F(ClipListArithmetic, LongListLooksUpEveryFrame) {
  // Enough cuts for several shared chunks; lengths and transitions vary.
  std::vector<std::int32_t> lengths;
  std::vector<std::int32_t> trans;
  for (int i = 0; i < 300; ++i) {
    lengths.push_back(3 + i % 7);
    trans.push_back(i > 0 && i % 5 == 0 ? 2 : 0);
  }
  VideoClipList list = BuildList(lengths, trans);
  std::int64_t expected = 0;
  for (int i = 0; i < 300; ++i)
    expected += lengths[i] - (i + 1 < 300 ? trans[i + 1] : 0);
  ASSERT_EQ(list->TotalFrames(), expected);
  ClipPos pos = list->FirstPos();
  for (std::int32_t f = 0; f < list->TotalFrames(); ++f) {
    const ClipPos at = list->PosAt(f);
    ASSERT_TRUE(list->IsValidPos(at)) << f;
    ASSERT_EQ(list->FrameOf(at), f);
    ASSERT_EQ(at, pos) << f;
    pos = list->NextPos(pos);
  }
  EXPECT_EQ(pos.index, list->Count());
}

} // namespace
} // namespace rw::test
