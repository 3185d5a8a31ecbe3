#include "ModelTestClips.h"

#include "project/VideoClipList.h"

#include <gtest/gtest.h>

namespace rw::test {
namespace {

using ClipListStructure = ModelTest;

constexpr std::string_view kSplitRefused = "映像効果中では切断できません\n";
constexpr std::string_view kPrevShort = "前のカットとの映像効果に必要なフレームが足りません\n";
constexpr std::string_view kNextShort = "後のカットとの映像効果に必要なフレームが足りません\n";
constexpr std::string_view kFirstTrans = "最初のカットの前には映像効果を作ることはできませｎ\n";

TEST_F(ClipListStructure, SplitMakesTwoCutsOfTheSameFrames) {
  VideoClipList list = BuildList({60, 40}, {0, 10}, true);
  const VideoClip original = list->EntryAt(0).clip;
  const std::int32_t total = list->TotalFrames();
  const ClipPos second = list->Split(list->PosAt(20), messages);
  ASSERT_TRUE(list->IsValidPos(second));
  EXPECT_EQ(second.index, 1);
  EXPECT_EQ(second.frame, 0);
  EXPECT_EQ(list->Count(), 3);
  EXPECT_EQ(list->TotalFrames(), total);
  EXPECT_EQ(list->LengthOf(0), 20);
  EXPECT_EQ(list->LengthOf(1), 40);
  EXPECT_EQ(list->EntryAt(1).clip->GetBeginFrame(), 20);
  EXPECT_EQ(list->TransOf(1), 0);  // the second part has no incoming transition
  EXPECT_EQ(list->TransOf(2), 10); // the outgoing one stays with the second part
  EXPECT_NE(list->EntryAt(0).clip.Get(), list->EntryAt(1).clip.Get());
  // The cut that was split is untouched where it is still held.
  EXPECT_EQ(original->Length(), 60);
}

TEST_F(ClipListStructure, SplitAtFrameZeroChangesNothing) {
  VideoClipList list = BuildList({30, 40});
  const ClipPos pos = list->PosAt(30);
  const ClipPos answer = list->Split(pos, messages);
  EXPECT_EQ(answer, pos);
  EXPECT_EQ(list->Count(), 2);
  EXPECT_TRUE(messages.Empty());
}

TEST_F(ClipListStructure, SplitInsideATransitionIsRefused) {
  VideoClipList list = BuildList({30, 40, 30}, {0, 10, 10});
  // Inside the incoming transition of cut 1.
  EXPECT_EQ(list->Split(list->PosAt(25), messages).index, -1);
  EXPECT_EQ(messages.Get(), kSplitRefused);
  messages.Clear();
  // Frame 30 of cut 1: the rest (10 frames) lies wholly inside the transition to cut 2.
  ClipPos tail = list->PosAt(20);
  tail.frame = 30;
  ASSERT_TRUE(list->IsValidPos(tail));
  EXPECT_EQ(list->Split(tail, messages).index, -1);
  EXPECT_EQ(messages.Get(), kSplitRefused);
  EXPECT_EQ(list->Count(), 3);
  // The last own frame of cut 1 still splits.
  messages.Clear();
  EXPECT_EQ(list->Split(list->PosAt(49), messages).index, 2);
}

TEST_F(ClipListStructure, AudioFollowsTheSplitOfMovieAndStillCuts) {
  for (const bool movie : {true, false}) {
    SCOPED_TRACE(movie ? "movie" : "still");
    VideoClipList list = BuildList({60}, {}, movie);
    ClipInfo entry = list->EntryAt(0);
    entry.audio.Detach();
    entry.audio->Append(Sound(25));
    entry.audio->Append(Sound(10));
    ASSERT_TRUE(list->UpdateEntry(entry, 0));
    const ClipPos second = list->Split(list->PosAt(20), messages);
    ASSERT_EQ(second.index, 1);
    ASSERT_EQ(list->EntryAt(0).audio.Count(), 1);
    EXPECT_EQ(list->EntryAt(0).audio.At(0)->PlayFrame(), 10);
    ASSERT_EQ(list->EntryAt(1).audio.Count(), 1);
    EXPECT_EQ(list->EntryAt(1).audio.At(0)->PlayFrame(), 5);
    // Both keep their timeline frame.
    EXPECT_EQ(list->AudioStartFrame({1, 0}), 25);
    EXPECT_EQ(list->AudioStartFrame({0, 0}), 10);
  }
}

TEST_F(ClipListStructure, TrimmingDropsAudioOutsideTheCut) {
  ClipInfo entry(Movie(60));
  entry.audio->Append(Sound(5));
  entry.audio->Append(Sound(40));
  entry.audio->Append(Sound(-3));
  EXPECT_TRUE(entry.SetTotal(30)); // keeps anchors below the new length, negative ones too
  ASSERT_EQ(entry.audio.Count(), 2);
  EXPECT_EQ(entry.audio.At(0)->PlayFrame(), 5);
  EXPECT_EQ(entry.audio.At(1)->PlayFrame(), -3);
  EXPECT_TRUE(entry.SetBegin(4)); // moves anchors, drops those now before the cut
  ASSERT_EQ(entry.audio.Count(), 1);
  EXPECT_EQ(entry.audio.At(0)->PlayFrame(), 1);
  EXPECT_FALSE(entry.SetBegin(4)); // no change
  ClipInfo empty;
  EXPECT_FALSE(empty.SetBegin(3));
  EXPECT_FALSE(empty.SetTotal(3));
}

TEST_F(ClipListStructure, DeleteWholeTimelineLeavesAnEmptyList) {
  VideoClipList list = BuildList({30, 40, 20}, {0, 10, 0});
  EXPECT_TRUE(list->DeleteRange(list->FirstPos(), list->LastPos(), messages));
  EXPECT_EQ(list->Count(), 0);
  EXPECT_EQ(list->TotalFrames(), 0);
}

TEST_F(ClipListStructure, DeleteRangeInsideAndAcrossCuts) {
  VideoClipList list = BuildList({30, 40, 20}, {}, true);
  // Frames 10..19 of cut 0.
  ASSERT_TRUE(list->DeleteRange(list->PosAt(19), list->PosAt(10), messages));
  EXPECT_EQ(list->TotalFrames(), 80);
  EXPECT_EQ(list->Count(), 4);
  EXPECT_EQ(list->LengthOf(0), 10);
  EXPECT_EQ(list->EntryAt(1).clip->GetBeginFrame(), 20);
  // From frame 15 (cut 1 frame 5) to frame 64 (cut 3 frame 4).
  ASSERT_TRUE(list->DeleteRange(list->PosAt(15), list->PosAt(64), messages));
  EXPECT_EQ(list->TotalFrames(), 30);
  ASSERT_EQ(list->Count(), 3);
  EXPECT_EQ(list->LengthOf(1), 5);
  EXPECT_EQ(list->LengthOf(2), 15);
  EXPECT_EQ(list->EntryAt(2).clip->GetBeginFrame(), 5);
  // To the end of the timeline.
  ASSERT_TRUE(list->DeleteRange(list->PosAt(12), list->LastPos(), messages));
  EXPECT_EQ(list->TotalFrames(), 12);
  EXPECT_EQ(list->Count(), 2);
}

TEST_F(ClipListStructure, DeleteRangeWithARefusedSplitChangesNothing) {
  VideoClipList list = BuildList({30, 40, 30}, {0, 10, 0});
  VideoClipList before = list;
  list.Detach();
  // The range starts 3 frames into the 10-frame transition: its split is refused after the
  // split behind the range has already been made.
  const ClipPos a = list->PosAt(23);
  const ClipPos b = list->PosAt(40);
  EXPECT_FALSE(list->DeleteRange(a, b, messages));
  EXPECT_EQ(messages.Get(), kSplitRefused);
  ASSERT_EQ(list->Count(), 3);
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(list->EntryAt(i).clip.Get(), before->EntryAt(i).clip.Get());
  EXPECT_EQ(list->TotalFrames(), before->TotalFrames());
}

TEST_F(ClipListStructure, DeleteRefusedWhenThePreviousCutCannotHoldTheTransition) {
  // Deleting cut 1 would join the 5-frame cut 0 with the 10-frame transition into cut 2.
  VideoClipList list = BuildList({5, 30, 40}, {0, 0, 10});
  const ClipPos pos = list->PosAt(10);
  EXPECT_FALSE(list->DeleteRange(list->CutStartPos(pos), list->CutEndPos(pos), messages));
  EXPECT_EQ(messages.Get(), kPrevShort);
  EXPECT_EQ(list->Count(), 3);
  EXPECT_EQ(list->TotalFrames(), 65);
}

TEST_F(ClipListStructure, InsertEntryAndAppendEntry) {
  VideoClipList list = VideoClipList::New();
  // An empty list takes the entry whatever the position.
  EXPECT_TRUE(list->InsertEntry(ClipPos::Invalid(), ClipInfo(Mat(30)), messages));
  EXPECT_TRUE(list->AppendEntry(ClipInfo(Mat(20)), messages));
  // Inserting in the middle of a cut splits it.
  ASSERT_TRUE(list->InsertEntry(list->PosAt(10), ClipInfo(Mat(7)), messages));
  EXPECT_EQ(list->Count(), 4);
  EXPECT_EQ(list->TotalFrames(), 57);
  EXPECT_EQ(list->LengthOf(0), 10);
  EXPECT_EQ(list->LengthOf(1), 7);
  EXPECT_EQ(list->LengthOf(2), 20);
  // The end position cannot be split: inserting there fails.
  EXPECT_FALSE(list->InsertEntry(list->EndPos(), ClipInfo(Mat(5)), messages));
  // Invalid cuts are refused.
  EXPECT_FALSE(list->AppendEntry(ClipInfo(VideoClip()), messages));
  auto* unknown = new ColormatClip(); // length not known yet
  EXPECT_FALSE(list->AppendEntry(ClipInfo(VideoClip::Adopt(unknown)), messages));
  EXPECT_EQ(list->Count(), 4);
}

TEST_F(ClipListStructure, InsertionMustNotOverrunAShortCut) {
  // A 4-frame cut inserted before a cut with a 10-frame incoming transition could not hold it.
  VideoClipList list = BuildList({30, 40}, {0, 10});
  EXPECT_FALSE(list->InsertEntry(list->PosAt(20), ClipInfo(Mat(4)), messages));
  EXPECT_EQ(messages.Get(), kNextShort);
  EXPECT_EQ(list->Count(), 2);
  // A list whose first entry brings a 12-frame transition, pasted after 5 frames of a cut.
  messages.Clear();
  VideoClipList other = BuildList({3, 20}, {12, 0});
  EXPECT_FALSE(list->InsertList(list->PosAt(5), other.Get(), messages));
  EXPECT_EQ(messages.Get(), kPrevShort);
  EXPECT_EQ(list->Count(), 2); // the split made for the insertion was taken back
  EXPECT_EQ(list->LengthOf(0), 30);
  messages.Clear();
  EXPECT_TRUE(list->InsertList(list->PosAt(15), other.Get(), messages));
  EXPECT_EQ(list->Count(), 5);
  EXPECT_EQ(list->TransOf(1), 12);
}

TEST_F(ClipListStructure, InsertListSharesTheEntries) {
  VideoClipList list = BuildList({30, 40});
  VideoClipList other = BuildList({5, 6}, {0, 2});
  ASSERT_TRUE(list->InsertList(list->EndPos(), other.Get(), messages));
  ASSERT_EQ(list->Count(), 4);
  EXPECT_EQ(list->EntryAt(2).clip.Get(), other->EntryAt(0).clip.Get());
  EXPECT_EQ(list->TransOf(3), 2);
  EXPECT_EQ(list->TotalFrames(), 30 + 40 + 5 + 6 - 2);
  EXPECT_FALSE(list->InsertList(list->EndPos(), nullptr, messages));
}

TEST_F(ClipListStructure, ReplaceEntryChecksTransitionsInOrder) {
  VideoClipList list = BuildList({20, 30, 40}, {0, 5, 0});
  // Too long for the previous cut, which also holds its own incoming transition of 5? (cut 1).
  ClipInfo entry = list->EntryAt(2);
  entry.trans = Wipe(26);
  EXPECT_FALSE(list->ReplaceEntry(entry, 2, messages));
  EXPECT_EQ(messages.Get(), kPrevShort);
  messages.Clear();
  entry.trans = Wipe(25);
  EXPECT_TRUE(list->ReplaceEntry(entry, 2, messages));
  EXPECT_EQ(list->TotalFrames(), 20 + 30 + 40 - 5 - 25);
  // The new cut must hold both of its transitions.
  ClipInfo shortCut(Mat(29), Wipe(5), AudioClipSet::New());
  EXPECT_FALSE(list->ReplaceEntry(shortCut, 1, messages));
  EXPECT_EQ(messages.Get(), kNextShort);
  messages.Clear();
  // No transition before the first cut.
  ClipInfo first(Mat(20), Wipe(3), AudioClipSet::New());
  EXPECT_FALSE(list->ReplaceEntry(first, 0, messages));
  EXPECT_EQ(messages.Get(), kFirstTrans);
  messages.Clear();
  EXPECT_FALSE(list->ReplaceEntry(ClipInfo(Mat(20)), 3, messages));
  EXPECT_TRUE(messages.Empty());
}

TEST_F(ClipListStructure, CopyRangeTrimsTheEndsAndKeepsTransitions) {
  VideoClipList list = BuildList({30, 40, 20}, {0, 10, 4}, true);
  list->SetOutput([] {
    OutputInfo o;
    o.SetVideoWidth(320);
    return o;
  }());
  // From cut 0 frame 5 to cut 2 frame 7.
  const ClipPos a = list->PosAt(5);
  ClipPos b = list->PosAt(list->StartOf(2) + 7);
  ASSERT_EQ(b.index, 2);
  VideoClipList copy = pVideoClipList::CopyRange(*list, b, a);
  ASSERT_FALSE(copy.IsNull());
  ASSERT_EQ(copy->Count(), 3);
  EXPECT_EQ(copy->LengthOf(0), 25);
  EXPECT_EQ(copy->EntryAt(0).clip->GetBeginFrame(), 5);
  EXPECT_EQ(copy->EntryAt(1).clip.Get(), list->EntryAt(1).clip.Get());
  EXPECT_EQ(copy->LengthOf(2), 8);
  EXPECT_EQ(copy->TransOf(1), 10);
  EXPECT_EQ(copy->TransOf(2), 4);
  EXPECT_EQ(copy->Output().VideoWidth(), 320);
  // The source is untouched.
  EXPECT_EQ(list->LengthOf(0), 30);
  EXPECT_EQ(list->LengthOf(2), 20);
  // Within one cut.
  VideoClipList one = pVideoClipList::CopyRange(*list, list->PosAt(3), list->PosAt(9));
  ASSERT_EQ(one->Count(), 1);
  EXPECT_EQ(one->TotalFrames(), 7);
  EXPECT_EQ(one->EntryAt(0).clip->GetBeginFrame(), 3);
  EXPECT_TRUE(pVideoClipList::CopyRange(*list, ClipPos::Invalid(), a).IsNull());
}

TEST_F(ClipListStructure, AudioClipSetRules) {
  AudioClipSet set = AudioClipSet::New();
  EXPECT_TRUE(set.At(0).IsNull());
  for (int i = 0; i < 40; ++i)
    set->Append(Sound(i));
  EXPECT_EQ(set.Count(), 40);
  set->Remove(3);
  set->Remove(-1);
  set->Remove(99);
  EXPECT_EQ(set.Count(), 39);
  EXPECT_EQ(set.At(3)->PlayFrame(), 4);
  EXPECT_TRUE(set.At(39).IsNull());
  AudioClipSet copy = set;
  copy.Detach();
  copy->Remove(0);
  EXPECT_EQ(set.Count(), 39);
  EXPECT_EQ(copy.At(0).Get(), set.At(1).Get()); // the copy shares the clips
}

TEST_F(ClipListStructure, AudioOfTheList) {
  VideoClipList list = BuildList({30, 40}, {}, true);
  ClipInfo entry = list->EntryAt(1);
  entry.clip.Detach();
  static_cast<MovieCut*>(entry.clip.Get())->SetOwnAudio(Sound(0, 40 * 1470));
  entry.audio.Detach();
  entry.audio->Append(Sound(10, 44100)); // 30 frames from timeline frame 40
  ASSERT_TRUE(list->UpdateEntry(entry, 1));
  EXPECT_EQ(list->AudioCount(), 2);
  EXPECT_EQ(list->AudioStartFrame({1, -1}), 30);
  EXPECT_EQ(list->AudioStartFrame({1, 0}), 40);
  EXPECT_EQ(list->AudioStartFrame({0, -1}), -1);
  EXPECT_EQ(list->AudioVolume({1, 0}), 256);
  EXPECT_EQ(list->AudioVolume({7, 0}), 0);
  EXPECT_TRUE(list->AudioAt({1, 5}).IsNull());

  EXPECT_TRUE(list->AudioInWindow(0, 29).empty());
  const auto both = list->AudioInWindow(35, 10);
  ASSERT_EQ(both.size(), 2u);
  EXPECT_EQ(both[0], (AudioRef{1, -1}));
  EXPECT_EQ(both[1], (AudioRef{1, 0}));
  EXPECT_EQ(list->AudioInWindow(69, 0).size(), 2u);

  // Move within the entry, then into cut 0.
  EXPECT_TRUE(list->MoveAudio({1, 0}, 50));
  EXPECT_EQ(list->AudioStartFrame({1, 0}), 50);
  EXPECT_FALSE(list->MoveAudio({1, 0}, 50)); // nothing to change
  EXPECT_TRUE(list->MoveAudio({1, 0}, 12));
  EXPECT_EQ(list->EntryAt(1).audio.Count(), 0);
  ASSERT_EQ(list->EntryAt(0).audio.Count(), 1);
  EXPECT_EQ(list->AudioStartFrame({0, 0}), 12);
  EXPECT_FALSE(list->MoveAudio({0, 0}, 70)); // past the end
  EXPECT_FALSE(list->MoveAudio({1, -1}, 5)); // a cut's own sound stays with its cut
}

TEST_F(ClipListStructure, DisplaySizeAndOutputForTheDialog) {
  VideoClipList mats = BuildList({30, 20});
  const VideoClip before = mats->EntryAt(1).clip;
  mats->SetDisplaySize(80, 60);
  EXPECT_EQ(mats->EntryAt(1).clip->GetWidth(), 80);
  EXPECT_EQ(before->GetWidth(), 1); // the shared cut was copied, not changed
  // Only movie cuts record a frame size for the dialog.
  EXPECT_EQ(mats->OutputForDialog().VideoWidth(), 0);
  VideoClipList movies = BuildList({30}, {}, true);
  const OutputInfo settings = movies->OutputForDialog();
  EXPECT_EQ(settings.VideoWidth(), 64);
  EXPECT_EQ(settings.VideoHeight(), 48);
  EXPECT_EQ(movies->Output().VideoWidth(), 0);
}

} // namespace
} // namespace rw::test
