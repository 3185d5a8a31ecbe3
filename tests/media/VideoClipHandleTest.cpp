// Handle-level editing of cuts and audio clips: copy-on-write, the "unchanged value" rule and
// the audio handed out for editing.
#include "media/ColormatClip.h"
#include "media/VideoClip.h"
#include "tests/support/VideoClipTestKinds.h"

#include "base/ColorChooser.h"

#include <gtest/gtest.h>

namespace rw {
namespace {

using test::KindCounters;
using test::TestAudioClip;
using test::TestVideoClip;

class FixedChooser : public ColorChooser {
public:
  FixedChooser(bool confirm, std::uint32_t r, std::uint32_t g, std::uint32_t b)
      : confirm_(confirm), r_(r), g_(g), b_(b) {}
  bool Choose(std::uint32_t& red, std::uint32_t& green, std::uint32_t& blue) override {
    ++calls;
    offered[0] = red;
    offered[1] = green;
    offered[2] = blue;
    if (!confirm_)
      return false;
    red = r_;
    green = g_;
    blue = b_;
    return true;
  }
  int calls = 0;
  std::uint32_t offered[3] = {};

private:
  bool confirm_;
  std::uint32_t r_, g_, b_;
};

TEST(VideoClipHandle, ChangeOfSharedClipStaysWithTheChangingHolder) {
  KindCounters counters;
  VideoClip timeline = VideoClip::Make<TestVideoClip>(&counters);
  const VideoClip undoRecord = timeline;
  const VideoClip clipboard = timeline;
  ASSERT_EQ(timeline.UseCount(), 3);

  EXPECT_TRUE(timeline.SetBeginFrame(10));
  EXPECT_EQ(counters.clones, 1);
  EXPECT_EQ(timeline->GetBeginFrame(), 10);
  EXPECT_EQ(undoRecord->GetBeginFrame(), 0);
  EXPECT_EQ(clipboard->GetBeginFrame(), 0);
  EXPECT_EQ(undoRecord, clipboard);
  EXPECT_EQ(undoRecord.UseCount(), 2);
  EXPECT_EQ(timeline.UseCount(), 1);

  // Now private: further edits change it in place.
  EXPECT_TRUE(timeline.SetEndFrame(50));
  EXPECT_TRUE(timeline.SetSize(320, 240));
  EXPECT_TRUE(timeline.SetLength(41));
  EXPECT_EQ(counters.clones, 1);
  EXPECT_EQ(undoRecord->GetEndFrame(), 99);
  EXPECT_EQ(undoRecord->GetWidth(), 64);
  EXPECT_EQ(undoRecord->Length(), 100);
  EXPECT_EQ(counters.destroyed, 0);
}

TEST(VideoClipHandle, EachEditOfASharedClipMakesOneCopy) {
  KindCounters counters;
  VideoClip a = VideoClip::Make<TestVideoClip>(&counters);
  VideoClip b = a;
  EXPECT_TRUE(b.SetSize(10, 20));
  EXPECT_EQ(counters.clones, 1);
  VideoClip c = b;
  EXPECT_TRUE(c.SetLength(7));
  EXPECT_EQ(counters.clones, 2);
  EXPECT_EQ(b->Length(), 100);
  EXPECT_EQ(c->GetWidth(), 10); // the copy carries the size
  a.Reset();
  EXPECT_EQ(counters.destroyed, 1);
}

TEST(VideoClipHandle, UnchangedValueOrNullHandleTouchesNothing) {
  KindCounters counters;
  VideoClip clip = VideoClip::Make<TestVideoClip>(&counters);
  const VideoClip other = clip;
  EXPECT_FALSE(clip.SetBeginFrame(0));
  EXPECT_FALSE(clip.SetEndFrame(99));
  EXPECT_FALSE(clip.SetLength(100));
  EXPECT_FALSE(clip.SetSize(64, 48));
  EXPECT_EQ(counters.clones, 0);
  EXPECT_EQ(clip, other);

  // Only one of width and height differs: still a change.
  EXPECT_TRUE(clip.SetSize(64, 49));
  EXPECT_EQ(clip->GetHeight(), 49);

  VideoClip none;
  FixedChooser chooser(true, 1, 2, 3);
  EXPECT_FALSE(none.SetBeginFrame(3));
  EXPECT_FALSE(none.SetEndFrame(3));
  EXPECT_FALSE(none.SetLength(3));
  EXPECT_FALSE(none.SetSize(3, 3));
  EXPECT_FALSE(none.Configure(chooser));
  EXPECT_EQ(none.AudioForEditing(), nullptr);
  EXPECT_EQ(chooser.calls, 0);
}

TEST(VideoClipHandle, AnswersTrueEvenWhenTheClipRefusesTheValue) {
  KindCounters counters;
  VideoClip clip = VideoClip::Make<TestVideoClip>(&counters);
  const VideoClip other = clip;
  EXPECT_TRUE(clip.SetBeginFrame(500)); // beyond the end frame: the clip refuses
  EXPECT_EQ(clip->GetBeginFrame(), 0);
  EXPECT_EQ(counters.clones, 1); // but the handle was made private first

  VideoClip mat = VideoClip::Make<ColormatClip>(1u, 2u, 3u);
  EXPECT_TRUE(mat.SetLength(40000));
  EXPECT_EQ(mat->Length(), 30);
}

TEST(VideoClipHandle, ConfigureWorksOnAPrivateCopy) {
  VideoClip timeline = VideoClip::Make<ColormatClip>(10u, 20u, 30u);
  const VideoClip undoRecord = timeline;

  FixedChooser cancel(false, 0, 0, 0);
  EXPECT_FALSE(timeline.Configure(cancel));
  EXPECT_EQ(cancel.offered[0], 10u);
  EXPECT_EQ(cancel.offered[2], 30u);

  FixedChooser ok(true, 200, 100, 50);
  EXPECT_TRUE(timeline.Configure(ok));
  const auto& now = static_cast<const ColormatClip&>(*timeline);
  const auto& before = static_cast<const ColormatClip&>(*undoRecord);
  EXPECT_EQ(now.Red(), 200u);
  EXPECT_EQ(before.Red(), 10u);
  EXPECT_NE(timeline, undoRecord);
}

TEST(VideoClipHandle, AudioForEditingBelongsToThisClipOnly) {
  KindCounters videoCounters, audioCounters;
  auto* raw = new TestVideoClip(&videoCounters);
  raw->SetAudio(AudioClip::Make<TestAudioClip>(&audioCounters));
  VideoClip timeline = VideoClip::Adopt(raw);
  const VideoClip undoRecord = timeline;

  AudioClip* audio = timeline.AudioForEditing();
  ASSERT_NE(audio, nullptr);
  EXPECT_EQ(videoCounters.clones, 1);
  EXPECT_EQ(audio, &timeline->Audio());
  // The cut copy shares its sound until the sound itself is edited.
  EXPECT_EQ(timeline->Audio(), undoRecord->Audio());

  EXPECT_TRUE(audio->SetVolume(100));
  EXPECT_EQ(audioCounters.clones, 1);
  EXPECT_EQ(timeline->Audio()->Volume(), 100);
  EXPECT_EQ(undoRecord->Audio()->Volume(), 256);

  // Private already: no further copies.
  EXPECT_EQ(timeline.AudioForEditing(), audio);
  EXPECT_EQ(videoCounters.clones, 1);
}

TEST(VideoClipHandle, NoAudioForEditingWithoutValidSound) {
  KindCounters counters;
  VideoClip silent = VideoClip::Make<TestVideoClip>(&counters);
  const VideoClip shared = silent;
  EXPECT_EQ(silent.AudioForEditing(), nullptr);

  auto* raw = new TestVideoClip(&counters);
  raw->SetAudio(AudioClip::Make<TestAudioClip>(nullptr, false));
  VideoClip broken = VideoClip::Adopt(raw);
  const VideoClip sharedBroken = broken;
  EXPECT_EQ(broken.AudioForEditing(), nullptr);
  EXPECT_EQ(counters.clones, 0); // nothing was copied for nothing
}

TEST(VideoClipObject, CopySharesSoundButNotTheLoadedVolume) {
  TestVideoClip original;
  original.SetFileName("/media/a b.avi");
  original.SetAudio(AudioClip::Make<TestAudioClip>());
  original.SetLoadedVolume(77);
  original.SetBeginFrame(5);
  const TestVideoClip copy(original);
  EXPECT_EQ(copy.RefCount(), 1);
  EXPECT_EQ(copy.FileName(), original.FileName());
  EXPECT_EQ(copy.GetBeginFrame(), 5);
  EXPECT_EQ(copy.Length(), 100);
  EXPECT_EQ(copy.Audio(), original.Audio());
  EXPECT_EQ(copy.LoadedVolume(), -1);
}

TEST(VideoClipObject, BaseRebuildAnswersTheSameObject) {
  VideoClip clip = VideoClip::Make<TestVideoClip>();
  VideoClip rebuilt = clip->Rebuild();
  EXPECT_EQ(rebuilt, clip);
  EXPECT_EQ(clip.UseCount(), 2);
}

TEST(AudioClipHandle, SettersCopySharedClipFirst) {
  KindCounters counters;
  AudioClip clip = AudioClip::Make<TestAudioClip>(&counters);
  const AudioClip other = clip;

  EXPECT_FALSE(clip.SetBeginSample(0));
  EXPECT_FALSE(clip.SetEndSample(999));
  EXPECT_FALSE(clip.SetLength(1000));
  EXPECT_FALSE(clip.SetPlayFrame(0));
  EXPECT_FALSE(clip.SetVolume(256));
  EXPECT_EQ(counters.clones, 0);

  EXPECT_TRUE(clip.SetPlayFrame(-12));
  EXPECT_EQ(counters.clones, 1);
  EXPECT_TRUE(clip.SetBeginSample(100));
  EXPECT_TRUE(clip.SetEndSample(499));
  EXPECT_TRUE(clip.SetVolume(0));
  EXPECT_EQ(counters.clones, 1);
  EXPECT_EQ(clip->PlayFrame(), -12);
  EXPECT_EQ(clip->Length(), 400);
  EXPECT_EQ(clip->Volume(), 0);

  EXPECT_EQ(other->PlayFrame(), 0);
  EXPECT_EQ(other->GetBeginSample(), 0);
  EXPECT_EQ(other->Length(), 1000);
  EXPECT_EQ(other->Volume(), 256);

  AudioClip none;
  EXPECT_FALSE(none.SetVolume(3));
  EXPECT_FALSE(none.SetPlayFrame(3));
  EXPECT_FALSE(none.SetLength(3));
}

TEST(AudioClipHandle, KindWithoutItsOwnCloneIsStillCopiedOnWrite) {
  AudioClip clip = AudioClip::Make<pAudioClip>();
  const AudioClip other = clip;
  EXPECT_TRUE(clip.SetVolume(10));
  EXPECT_NE(clip, other);
  EXPECT_EQ(other->Volume(), 256);
  EXPECT_EQ(clip.UseCount(), 1);
  EXPECT_EQ(other.UseCount(), 1);

  AudioClip rebuilt = other->Rebuild();
  EXPECT_EQ(rebuilt, other);
}

} // namespace
} // namespace rw
