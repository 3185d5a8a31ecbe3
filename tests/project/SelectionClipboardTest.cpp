#include "ModelTestClips.h"

#include "project/VideoProject.h"

#include <gtest/gtest.h>

namespace rw::test {
namespace {

class SelectionClipboard : public ModelTest {
protected:
  VideoProject project{context};

  void Load(VideoClipList list, std::int32_t frame = 0) {
    project.State().list = std::move(list);
    ASSERT_TRUE(project.SetCurrentFrame(frame, true));
  }
  std::pair<std::int32_t, std::int32_t> Range() {
    ClipPos a;
    ClipPos b;
    EXPECT_TRUE(project.SelectionRange(a, b));
    return {project.List().FrameOf(a), project.List().FrameOf(b)};
  }
};

TEST_F(SelectionClipboard, FrameSelectionFollowsTheCurrentFrame) {
  Load(BuildList({30, 40}), 10);
  ClipPos a;
  ClipPos b;
  EXPECT_FALSE(project.SelectionRange(a, b)); // no selection
  ASSERT_TRUE(project.StartSelection(SelMode::Frames, 40));
  EXPECT_EQ(Range(), std::make_pair(10, 40));
  ASSERT_TRUE(project.SetCurrentFrame(55));
  EXPECT_EQ(Range(), std::make_pair(40, 55));
  // At the end position the range ends at the last frame.
  ASSERT_TRUE(project.SetCurrentFrame(70));
  EXPECT_EQ(Range(), std::make_pair(40, 69));
  // Once set, the end no longer follows.
  ASSERT_TRUE(project.SetSelectionEnd(45));
  EXPECT_FALSE(project.SetSelectionEnd(45));
  ASSERT_TRUE(project.SetCurrentFrame(0));
  EXPECT_EQ(Range(), std::make_pair(40, 45));
  EXPECT_FALSE(project.CanUndo()); // selecting is not an edit
}

TEST_F(SelectionClipboard, SelectionFramesAreClamped) {
  Load(BuildList({30, 40}));
  ASSERT_TRUE(project.StartSelection(SelMode::Frames, 500));
  EXPECT_EQ(project.Current().selStart, 69);
  EXPECT_EQ(project.Current().selEnd, -1);
  ASSERT_TRUE(project.StartSelection(SelMode::Frames, -20));
  EXPECT_EQ(project.Current().selStart, 0);
  EXPECT_TRUE(project.SetSelectionEnd(999));
  EXPECT_EQ(project.Current().selEnd, 69);
  EXPECT_FALSE(project.SetSelectionEnd(70));
}

TEST_F(SelectionClipboard, CutSelectionCoversWholeCuts) {
  Load(BuildList({10, 20, 30, 40, 50}));
  // Started in cut 3, ended in cut 1: cuts 1 to 3 completely.
  ASSERT_TRUE(project.StartSelection(SelMode::Cuts, project.List().StartOf(3) + 7));
  ASSERT_TRUE(project.SetSelectionEnd(project.List().StartOf(1) + 4));
  ClipPos a;
  ClipPos b;
  ASSERT_TRUE(project.SelectionRange(a, b));
  EXPECT_EQ(a.index, 1);
  EXPECT_EQ(a.frame, 0);
  EXPECT_EQ(b.index, 3);
  EXPECT_EQ(b.frame, 39);
  ASSERT_TRUE(project.Copy());
  EXPECT_EQ(project.Clipboard()->Count(), 3);
  EXPECT_EQ(project.Clipboard()->TotalFrames(), 90);
}

TEST_F(SelectionClipboard, PastingTwiceInsertsIndependentCopies) {
  Load(BuildList({30, 40}, {}, true), 0);
  ASSERT_TRUE(project.StartSelection(SelMode::Frames, 5));
  ASSERT_TRUE(project.SetSelectionEnd(14));
  ASSERT_TRUE(project.Copy());
  EXPECT_FALSE(project.CanUndo());
  ASSERT_TRUE(project.SetCurrentFrame(70));
  ASSERT_TRUE(project.Paste(project.CurrentPos()));
  EXPECT_EQ(project.CurrentFrame(), 80);
  ASSERT_TRUE(project.Paste(project.CurrentPos()));
  EXPECT_EQ(project.CurrentFrame(), 90);
  ASSERT_EQ(project.List().Count(), 4);
  const VideoClip clipboardCut = project.Clipboard()->EntryAt(0).clip;
  EXPECT_EQ(project.List().EntryAt(2).clip.Get(), clipboardCut.Get());
  EXPECT_EQ(project.List().EntryAt(3).clip.Get(), clipboardCut.Get());
  // Trimming one pasted cut changes neither the other nor the clipboard.
  ASSERT_TRUE(project.SetLength(4, 3));
  EXPECT_EQ(project.List().LengthOf(2), 10);
  EXPECT_EQ(project.List().LengthOf(3), 4);
  EXPECT_EQ(clipboardCut->Length(), 10);
  EXPECT_EQ(project.Clipboard()->TotalFrames(), 10);
}

TEST_F(SelectionClipboard, PasteInTheMiddleOfACut) {
  Load(BuildList({30, 40}, {}, true), 35);
  ASSERT_TRUE(project.StartSelection(SelMode::Cuts, 0));
  ASSERT_TRUE(project.SetSelectionEnd(0));
  ASSERT_TRUE(project.Copy());
  ASSERT_TRUE(project.Paste(project.CurrentPos()));
  EXPECT_EQ(project.List().Count(), 4);
  EXPECT_EQ(project.List().TotalFrames(), 100);
  EXPECT_EQ(project.CurrentFrame(), 65); // the same picture, behind the pasted cut
  EXPECT_EQ(project.CurrentPos().index, 3);
  EXPECT_EQ(project.CurrentPos().frame, 0);
  // Pasting needs a clipboard with frames.
  VideoProject empty(context);
  EXPECT_FALSE(empty.Paste(empty.CurrentPos()));
}

TEST_F(SelectionClipboard, UndoAfterCutRestoresTheMaterialAndKeepsTheClipboard) {
  Load(BuildList({30, 40, 20}), 80);
  ASSERT_TRUE(project.StartSelection(SelMode::Frames, 25));
  ASSERT_TRUE(project.SetSelectionEnd(44));
  ASSERT_TRUE(project.Cut());
  EXPECT_EQ(project.List().TotalFrames(), 70);
  EXPECT_EQ(project.CurrentFrame(), 60);
  EXPECT_EQ(project.Clipboard()->TotalFrames(), 20);
  ASSERT_TRUE(project.Undo());
  EXPECT_EQ(project.List().TotalFrames(), 90);
  EXPECT_EQ(project.CurrentFrame(), 80);
  EXPECT_EQ(project.Clipboard()->TotalFrames(), 20);
  EXPECT_EQ(project.Current().selStart, 25); // the selection is part of the state
  // Cut with the current frame inside the range lands on the range's start.
  ASSERT_TRUE(project.SetCurrentFrame(30));
  ASSERT_TRUE(project.Cut());
  EXPECT_EQ(project.CurrentFrame(), 25);
}

TEST_F(SelectionClipboard, FailedCutStillFillsTheClipboard) {
  Load(BuildList({30, 40, 30}, {0, 10, 0}), 0);
  // From inside the transition: the delete's split is refused.
  ASSERT_TRUE(project.StartSelection(SelMode::Frames, 23));
  ASSERT_TRUE(project.SetSelectionEnd(40));
  EXPECT_FALSE(project.Cut());
  EXPECT_EQ(messages.Get(), "映像効果中では切断できません\n");
  EXPECT_EQ(project.Clipboard()->TotalFrames(), 18);
  EXPECT_FALSE(project.CanUndo());
  EXPECT_EQ(project.List().TotalFrames(), 90);
}

} // namespace
} // namespace rw::test
