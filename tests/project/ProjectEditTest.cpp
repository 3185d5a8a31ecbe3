#include "ModelTestClips.h"

#include "base/ColorChooser.h"
#include "project/EditDialogs.h"
#include "project/VideoProject.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace rw::test {
namespace {

class ProjectEdit : public ModelTest {
protected:
  VideoProject project{context};

  // Puts a list into the project without recording anything, as reading a file does.
  void Load(VideoClipList list, std::int32_t frame = 0) {
    project.State().list = std::move(list);
    ASSERT_TRUE(project.SetCurrentFrame(frame, true));
  }
  std::vector<std::int32_t> Lengths() const {
    std::vector<std::int32_t> lengths;
    for (std::int32_t i = 0; i < project.List().Count(); ++i)
      lengths.push_back(project.List().LengthOf(i));
    return lengths;
  }
};

TEST_F(ProjectEdit, HistoryKeepsSixtyFourStates) {
  for (int i = 1; i <= 65; ++i)
    ASSERT_TRUE(project.AppendClip(Mat(i)));
  EXPECT_EQ(project.UndoCount(), 64);
  for (int i = 0; i < 64; ++i)
    ASSERT_TRUE(project.Undo()) << i;
  // The state after the first edit: its cut of 1 frame.
  EXPECT_EQ(Lengths(), std::vector<std::int32_t>{1});
  EXPECT_FALSE(project.CanUndo());
  EXPECT_FALSE(project.Undo());
  EXPECT_EQ(project.RedoLimit(), 64);
  for (int i = 0; i < 64; ++i)
    ASSERT_TRUE(project.Redo());
  EXPECT_EQ(project.List().Count(), 65);
  EXPECT_FALSE(project.Redo());
}

TEST_F(ProjectEdit, AnEditAfterUndoDiscardsTheRedoStates) {
  ASSERT_TRUE(project.AppendClip(Mat(10)));
  ASSERT_TRUE(project.AppendClip(Mat(20)));
  ASSERT_TRUE(project.Undo());
  EXPECT_TRUE(project.CanRedo());
  ASSERT_TRUE(project.AppendClip(Mat(30)));
  EXPECT_FALSE(project.CanRedo());
  EXPECT_EQ(project.RedoLimit(), project.UndoCount());
  EXPECT_EQ(Lengths(), (std::vector<std::int32_t>{10, 30}));
}

TEST_F(ProjectEdit, UndoRestoresModifiedFlagAndFileName) {
  // Open a file, edit twice, save, undo once: the restored state was recorded modified.
  Load(BuildList({30}));
  project.MarkSaved("a.rwe");
  ASSERT_TRUE(project.AppendClip(Mat(10)));
  ASSERT_TRUE(project.AppendClip(Mat(10)));
  project.MarkSaved("a.rwe");
  EXPECT_FALSE(project.Modified());
  ASSERT_TRUE(project.Undo());
  EXPECT_TRUE(project.Modified());

  // Open, edit once, save, undo once: not modified, although the file holds the edit.
  VideoProject fresh(context);
  project = fresh;
  Load(BuildList({30}));
  project.MarkSaved("b.rwe");
  ASSERT_TRUE(project.AppendClip(Mat(10)));
  project.MarkSaved("b.rwe");
  ASSERT_TRUE(project.Undo());
  EXPECT_FALSE(project.Modified());

  // Save under a new name, then undo: the name goes back with the state.
  ASSERT_TRUE(project.Redo());
  project.MarkSaved("c.rwe");
  ASSERT_TRUE(project.Undo());
  EXPECT_EQ(project.FileName(), "b.rwe");
}

TEST_F(ProjectEdit, FailedEditsRecordNothing) {
  Load(BuildList({30, 40}, {0, 10}), 25);
  EXPECT_FALSE(project.Split(project.List().PosAt(20))); // frame 0 of a cut
  EXPECT_TRUE(messages.Empty());
  EXPECT_FALSE(project.Split(project.List().PosAt(25))); // inside the transition
  EXPECT_EQ(messages.Get(), "映像効果中では切断できません\n");
  EXPECT_FALSE(project.CanUndo());
  EXPECT_FALSE(project.Modified());
  EXPECT_EQ(project.CurrentFrame(), 25);
  EXPECT_FALSE(project.SetCurrentFrame(61));
  EXPECT_FALSE(project.SetCurrentFrame(-1));
  EXPECT_EQ(project.CurrentFrame(), 25);
  EXPECT_EQ(project.CurrentPos().index, 1);
}

TEST_F(ProjectEdit, SetTransitionChecksTheEntry) {
  Load(BuildList({20, 30, 40}), 50);
  EXPECT_FALSE(project.SetTransition(Wipe(5), 0)); // before the first cut: refused, no message
  EXPECT_TRUE(messages.Empty());
  EXPECT_FALSE(project.SetTransition(Wipe(21), 1));
  EXPECT_EQ(messages.Get(), "前のカットとの映像効果に必要なフレームが足りません\n");
  EXPECT_FALSE(project.CanUndo());
  // The current frame, behind the transition, keeps its picture.
  ASSERT_TRUE(project.SetTransition(Wipe(8), 1));
  EXPECT_EQ(project.CurrentFrame(), 42);
  EXPECT_EQ(project.CurrentPos().index, 2);
  EXPECT_EQ(project.CurrentPos().frame, 0);
}

TEST_F(ProjectEdit, TransitionCommandsAtTheCurrentFrame) {
  Load(BuildList({20, 30, 40}), 20); // frame 0 of cut 1
  ASSERT_TRUE(project.TransitionEndingHere(Wipe(1, TransitionKinds::kOverlap)));
  EXPECT_EQ(project.List().TransOf(1), 1);
  EXPECT_EQ(project.List().EntryAt(1).trans.Keyword(), "Overlap");
  // From frame 10 of cut 1: into cut 2, 30 - 10 = 20 frames.
  ASSERT_TRUE(project.SetCurrentFrame(project.List().StartOf(1) + 10, true));
  ASSERT_TRUE(project.TransitionStartingHere(Wipe(1)));
  EXPECT_EQ(project.List().TransOf(2), 20);
  // The current frame, formerly cut 1's frame 10, now opens the transition into cut 2.
  EXPECT_EQ(project.CurrentPos().index, 2);
  EXPECT_EQ(project.CurrentPos().frame, 0);
  // Removing works only inside the incoming transition.
  ASSERT_TRUE(project.SetCurrentFrame(project.List().StartOf(2) + 25, true));
  EXPECT_FALSE(project.RemoveTransitionHere());
  ASSERT_TRUE(project.SetCurrentFrame(project.List().StartOf(2) + 3, true));
  ASSERT_TRUE(project.RemoveTransitionHere());
  EXPECT_EQ(project.List().TransOf(2), 0);
  EXPECT_EQ(project.List().TotalFrames(), 20 + 30 + 40 - 1);
}

TEST_F(ProjectEdit, DeletingACutMovesTheCurrentFrame) {
  Load(BuildList({30, 40, 20}), 45); // frame 15 of cut 1
  ASSERT_TRUE(project.DeleteClip(project.CurrentPos()));
  EXPECT_EQ(project.CurrentFrame(), 30); // where the deleted cut began
  EXPECT_EQ(project.CurrentPos().index, 1);
  EXPECT_EQ(project.CurrentPos().frame, 0);

  // Behind a deleted cut that had a transition into it, the picture stays the same.
  Load(BuildList({30, 40, 20}, {0, 10, 0}), 65); // frame 5 of cut 2
  const VideoClip shown = project.CurrentPos().info.clip;
  ASSERT_TRUE(project.DeleteClip(project.List().PosAt(25)));
  EXPECT_EQ(project.CurrentPos().info.clip.Get(), shown.Get());
  EXPECT_EQ(project.CurrentPos().frame, 5);
  EXPECT_EQ(project.CurrentFrame(), 35);
}

TEST_F(ProjectEdit, DeletingFramesMovesTheCurrentFrame) {
  Load(BuildList({30, 40}), 50);
  const pVideoClipList& list = project.List();
  ASSERT_TRUE(project.DeleteFrames(list.PosAt(10), list.PosAt(19)));
  EXPECT_EQ(project.CurrentFrame(), 40);
  // The current frame inside the range.
  ASSERT_TRUE(project.DeleteFrames(project.List().PosAt(35), project.List().PosAt(45)));
  EXPECT_EQ(project.CurrentFrame(), 34);
  // Deleting the current frame alone keeps the frame number.
  ASSERT_TRUE(project.DeleteFrames(project.CurrentPos(), project.CurrentPos()));
  EXPECT_EQ(project.CurrentFrame(), 34);
  EXPECT_EQ(project.List().TotalFrames(), 48);
}

TEST_F(ProjectEdit, AppendAndInsertKeepTheCurrentPicture) {
  ASSERT_TRUE(project.AppendClip(Mat(30)));
  EXPECT_EQ(project.CurrentFrame(), 30); // at the end, it stays at the end
  ASSERT_TRUE(project.SetCurrentFrame(10));
  ASSERT_TRUE(project.AppendClip(Mat(20)));
  EXPECT_EQ(project.CurrentFrame(), 10);
  ASSERT_TRUE(project.InsertClip(project.List().PosAt(5), Mat(7)));
  EXPECT_EQ(project.CurrentFrame(), 17);
  EXPECT_FALSE(project.InsertClip(project.List().EndPos(), Mat(7))); // the caller appends instead
  EXPECT_FALSE(project.AppendClip(VideoClip()));
}

TEST_F(ProjectEdit, CutTargets) {
  Load(BuildList({30, 40}, {0, 10}), 59);
  EXPECT_EQ(project.NextCutTarget(), 0); // from the last frame it wraps
  ASSERT_TRUE(project.SetCurrentFrame(0));
  EXPECT_EQ(project.PrevCutTarget(), 59); // from frame 0 it wraps to the last frame
  EXPECT_EQ(project.NextCutTarget(), 19); // the last frame before the transition
  ASSERT_TRUE(project.SetCurrentFrame(22));
  EXPECT_EQ(project.NextCutTarget(), 29); // the last frame of the transition
  EXPECT_EQ(project.PrevCutTarget(), 20);
  ASSERT_TRUE(project.SetCurrentFrame(40));
  EXPECT_EQ(project.NextCutTarget(), 59);
  EXPECT_EQ(project.PrevCutTarget(), 29);
  EXPECT_EQ(project.CurrentEntryIndex(), 1);
  ASSERT_TRUE(project.SetCurrentFrame(60));
  EXPECT_EQ(project.CurrentEntryIndex(), 2);
}

TEST_F(ProjectEdit, SteppingAgreesWithLookup) {
  Load(BuildList({5, 3, 8, 4}, {0, 2, 3, 1}));
  const std::int32_t total = project.List().TotalFrames();
  for (std::int32_t f = 1; f <= total; ++f) {
    ASSERT_TRUE(project.SetCurrentFrame(f));
    ASSERT_EQ(project.CurrentPos(), project.List().PosAt(f)) << f;
  }
  for (std::int32_t f = total - 1; f >= 0; --f) {
    ASSERT_TRUE(project.SetCurrentFrame(f));
    ASSERT_EQ(project.CurrentPos(), project.List().PosAt(f)) << f;
  }
}

TEST_F(ProjectEdit, TrimmingACut) {
  Load(BuildList({30, 40}, {}, true), 50); // frame 20 of cut 1
  ASSERT_TRUE(project.SetBeginFrame(5, 1));
  EXPECT_EQ(project.List().LengthOf(1), 35);
  EXPECT_EQ(project.CurrentFrame(), 45); // the same picture
  EXPECT_EQ(project.CurrentPos().frame, 15);
  ASSERT_TRUE(project.SetBeginFrame(2, 1));
  EXPECT_EQ(project.CurrentFrame(), 48);
  ASSERT_TRUE(project.SetEndFrame(20, 1)); // cut 1 now frames 2..20 (19 frames)
  EXPECT_EQ(project.List().LengthOf(1), 19);
  EXPECT_EQ(project.CurrentFrame(), 48);
  ASSERT_TRUE(project.SetLength(5, 1));
  EXPECT_EQ(project.CurrentFrame(), 34); // clamped to the cut's new last frame
  // A value the cut refuses records nothing (and the frame does not move).
  const std::int32_t undo = project.UndoCount();
  EXPECT_FALSE(project.SetBeginFrame(200, 1));
  EXPECT_FALSE(project.SetEndFrame(200, 1));
  EXPECT_FALSE(project.SetLength(5, 1)); // unchanged
  EXPECT_FALSE(project.SetBeginFrame(3, 7));
  EXPECT_EQ(project.UndoCount(), undo);
  EXPECT_EQ(project.CurrentFrame(), 34);
  // Stills have no begin frame to move.
  Load(BuildList({30}), 10);
  EXPECT_FALSE(project.SetBeginFrame(5, 0));
  ASSERT_TRUE(project.SetLength(12, 0));
  EXPECT_EQ(project.CurrentFrame(), 10);
}

class ScriptedDialogs : public EditDialogs {
public:
  bool confirm = true;
  int width = 640;
  int formatCalls = 0;
  int seenWidth = -1;
  bool EditOutputFormat(OutputInfo& settings) override {
    ++formatCalls;
    seenWidth = settings.VideoWidth();
    settings.SetVideoWidth(width);
    return confirm;
  }
  bool ChooseCompressor(OutputInfo& settings) override {
    settings.Compress().fccHandler = 0x47504a4d; // "MJPG"
    return confirm;
  }
};

TEST_F(ProjectEdit, DialogEditsAreUndoable) {
  Load(BuildList({30}, {}, true));
  ScriptedDialogs dialogs;
  dialogs.confirm = false;
  EXPECT_FALSE(project.SetOutputFormat(dialogs));
  EXPECT_FALSE(project.ChooseCompressor(dialogs));
  EXPECT_EQ(project.List().Output().VideoWidth(), 0);
  EXPECT_FALSE(project.CanUndo());
  EXPECT_EQ(dialogs.seenWidth, 64); // the dialog starts from the first movie cut's size
  dialogs.confirm = true;
  ASSERT_TRUE(project.SetOutputFormat(dialogs));
  ASSERT_TRUE(project.ChooseCompressor(dialogs));
  EXPECT_EQ(project.List().Output().VideoWidth(), 640);
  EXPECT_EQ(project.List().Output().Compress().fccHandler, 0x47504a4du);
  ASSERT_TRUE(project.Undo());
  EXPECT_EQ(project.List().Output().Compress().fccHandler, 0u);
  ASSERT_TRUE(project.Undo());
  EXPECT_EQ(project.List().Output().VideoWidth(), 0);
}

class ScriptedColors : public ColorChooser {
public:
  bool confirm = true;
  bool Choose(std::uint32_t& red, std::uint32_t& green, std::uint32_t& blue) override {
    red = 1;
    green = 2;
    blue = 3;
    return confirm;
  }
};

TEST_F(ProjectEdit, ConfiguringACutChangesOnlyTheNewState) {
  Load(BuildList({30, 20}, {}, false));
  const VideoClip before = project.List().EntryAt(1).clip;
  ScriptedColors colors;
  colors.confirm = false;
  EXPECT_FALSE(project.ConfigureClip(colors, 1));
  colors.confirm = true;
  ASSERT_TRUE(project.ConfigureClip(colors, 1));
  const auto* mat = static_cast<const ColormatClip*>(project.List().EntryAt(1).clip.Get());
  EXPECT_EQ(mat->Blue(), 3u);
  EXPECT_EQ(static_cast<const ColormatClip*>(before.Get())->Blue(), 0u);
  EXPECT_FALSE(project.ConfigureClip(colors, 2));
  Load(BuildList({30}, {}, true));
  EXPECT_FALSE(project.ConfigureClip(colors, 0)); // not configurable
}

TEST_F(ProjectEdit, AudioEdits) {
  Load(BuildList({30, 40}, {}, true));
  const pVideoClipList& list = project.List();
  ASSERT_TRUE(project.AddAudioClip(Sound(0, 44100), project.List().PosAt(35)));
  EXPECT_EQ(project.List().AudioStartFrame({1, 0}), 35);
  ASSERT_TRUE(project.MoveAudioClip({1, 0}, 50));
  EXPECT_EQ(project.List().AudioStartFrame({1, 0}), 50);
  EXPECT_FALSE(project.MoveAudioClip({1, 0}, 50));
  ASSERT_TRUE(project.SetAudioStart({1, 0}, 10)); // 10 frames into the source
  EXPECT_EQ(project.List().AudioAt({1, 0})->GetBeginSample(), 14700);
  EXPECT_FALSE(project.SetAudioStart({1, 0}, 10));
  ASSERT_TRUE(project.SetAudioLength({1, 0}, 6));
  EXPECT_EQ(project.List().AudioAt({1, 0})->Length(), 8820);
  EXPECT_FALSE(project.SetAudioLength({1, 0}, 40)); // more than the source holds
  ASSERT_TRUE(project.SetAudioVolume({1, 0}, 128));
  EXPECT_EQ(project.List().AudioVolume({1, 0}), 128);
  EXPECT_FALSE(project.SetAudioVolume({1, 0}, 128));
  EXPECT_FALSE(project.SetAudioVolume({1, 0}, -1));
  EXPECT_FALSE(project.SetAudioVolume({1, -1}, 10)); // no own sound
  ASSERT_TRUE(project.SetAudioLength({1, 0}, 0));    // removes it
  EXPECT_EQ(project.List().AudioCount(), 0);
  ASSERT_TRUE(project.Undo());
  EXPECT_EQ(project.List().AudioCount(), 1);
  EXPECT_EQ(list.AudioCount(), 0); // the list before the first edit never changed
  EXPECT_FALSE(project.AddAudioClip(Sound(0), project.List().EndPos()));
}

TEST_F(ProjectEdit, VolumeOfACutsOwnSound) {
  VideoClipList list = BuildList({30}, {}, true);
  ClipInfo entry = list->EntryAt(0);
  static_cast<MovieCut*>(entry.clip.Get())->SetOwnAudio(Sound(0, 30 * 1470));
  Load(list);
  const AudioClip before = project.List().AudioAt({0, -1});
  ASSERT_TRUE(project.SetAudioVolume({0, -1}, 64));
  EXPECT_EQ(project.List().AudioVolume({0, -1}), 64);
  EXPECT_EQ(before->Volume(), 256);
}

TEST_F(ProjectEdit, AssignmentCopiesHistoryAndSharesTheClipboard) {
  ASSERT_TRUE(project.AppendClip(Mat(30)));
  ASSERT_TRUE(project.AppendClip(Mat(20)));
  ASSERT_TRUE(project.StartSelection(SelMode::Cuts, 5));
  ASSERT_TRUE(project.Copy());
  project.SetViewSize(320, 240);
  VideoProject other(context);
  other = project;
  EXPECT_EQ(other.UndoCount(), 2);
  EXPECT_EQ(other.Clipboard().Get(), project.Clipboard().Get());
  EXPECT_EQ(other.ViewWidth(), 320);
  EXPECT_EQ(other.CurrentFrame(), project.CurrentFrame());
  ASSERT_TRUE(other.Undo());
  EXPECT_EQ(project.List().Count(), 2); // the source keeps its own state
  EXPECT_EQ(other.List().Count(), 1);
}

} // namespace
} // namespace rw::test
