#include "ModelTestClips.h"

#include "project/VideoProject.h"

#include <gtest/gtest.h>

namespace rw::test {
namespace {

class Sharing : public ModelTest {
protected:
  CloneCounter counter;
  VideoProject project{context};

  void SetUp() override {
    VideoClipList list = VideoClipList::New();
    for (int i = 0; i < 1000; ++i)
      ASSERT_TRUE(list->AppendEntry(ClipInfo(Movie(20, i, &counter)), messages));
    project.State().list = list;
    ASSERT_TRUE(project.SetCurrentFrame(0, true));
  }
  // Entries that the current list and the state before the last edit hold in the same memory.
  int SharedEntries() const {
    const pVideoClipList& now = project.List();
    const pVideoClipList& before = *project.HistoryRecord(project.UndoCount() - 1).list;
    int shared = 0;
    for (std::int32_t i = 0; i < now.Count() && i < before.Count(); ++i)
      shared += &now.EntryAt(i) == &before.EntryAt(i) ? 1 : 0;
    return shared;
  }
};

TEST_F(Sharing, RecordingAnEditCopiesNoCut) {
  const auto cutStart = [this](std::int32_t f) {
    return project.List().CutStartPos(project.List().PosAt(f));
  };
  ASSERT_TRUE(project.SetTransition(Wipe(5), 500));
  ASSERT_TRUE(project.DeleteClip(project.List().PosAt(20 * 300)));
  ASSERT_TRUE(project.InsertClip(cutStart(20 * 700), Movie(9, -1, &counter)));
  ASSERT_TRUE(project.AppendClip(Movie(9, -2, &counter)));
  ASSERT_TRUE(project.StartSelection(SelMode::Cuts, 100));
  ASSERT_TRUE(project.SetSelectionEnd(400));
  ASSERT_TRUE(project.Copy());
  ASSERT_TRUE(project.Paste(cutStart(20 * 900)));
  ASSERT_TRUE(project.Undo());
  ASSERT_TRUE(project.Redo());
  EXPECT_EQ(counter.clones, 0);
  // Each edit left most of the entries where the previous state holds them.
  EXPECT_GT(SharedEntries(), 700);
}

TEST_F(Sharing, ACutIsCopiedOnlyWhenItChanges) {
  ASSERT_TRUE(project.SetLength(10, 400));
  EXPECT_EQ(counter.clones, 1);
  EXPECT_GE(SharedEntries(), 1000 - EntrySequence::kChunkMax * 2);
  EXPECT_EQ(project.HistoryRecord(0).list->LengthOf(400), 20);
  // Splitting gives each part its own cut.
  ASSERT_TRUE(project.Split(project.List().PosAt(20 * 600 + 7)));
  EXPECT_EQ(counter.clones, 3);
  ASSERT_TRUE(project.Undo());
  ASSERT_TRUE(project.Undo());
  EXPECT_EQ(project.List().LengthOf(400), 20);
  EXPECT_EQ(counter.clones, 3);
}

} // namespace
} // namespace rw::test
