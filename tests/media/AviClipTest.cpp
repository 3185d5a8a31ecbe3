// AVI cuts and AVI audio clips: opening by extension, trimming, the own sound following the
// trimming, copies, records and reloads.
#include "media/AviClip.h"
#include "base/MessageText.h"
#include "base/RecordReader.h"
#include "base/RecordWriter.h"
#include "base/ScaleDiv.h"
#include "base/UserPrompt.h"
#include "media/AudioClipKinds.h"
#include "media/AudioClipRecord.h"
#include "media/AviAudioClip.h"
#include "media/MediaContext.h"
#include "media/VideoClipKinds.h"
#include "media/VideoClipRecord.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestAvi.h"

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

namespace rw {
namespace {

using test::TestAviCodec;
using test::TestAviOptions;
using test::TestAviSample;

class AviClipTest : public ::testing::Test {
protected:
  void SetUp() override { test::QuietMediaLibraries(); }

  std::filesystem::path Write(const std::string& name, int frames, int audioRate = 44100) {
    TestAviOptions o;
    o.codec = TestAviCodec::Mjpeg;
    o.width = 64;
    o.height = 48;
    o.frames = frames;
    o.audioRate = audioRate;
    const std::filesystem::path file = dir_ / name;
    std::string error;
    EXPECT_TRUE(test::WriteTestAvi(file, o, &error)) << error;
    return file;
  }
  VideoClip Open(const std::filesystem::path& file) { return AviClip::OpenFile(file, context_); }
  static int Number(VideoClip& clip, int i) { return test::ReadPictureNumber(clip->GetFrame(i), 64, 48); }

  test::TempDir dir_;
  MessageText messages_;
  FixedPrompt prompt_{UserPrompt::Answer::Ok};
  MediaContext context_{messages_, prompt_};
};

TEST_F(AviClipTest, OpensFilesEndingInAviInAnyLetterCase) {
  const auto lower = Write("movie.avi", 10);
  VideoClip clip = Open(lower);
  ASSERT_TRUE(clip) << messages_.Get();
  EXPECT_TRUE(clip->IsValid());
  EXPECT_EQ(clip->GetKindName(), "AVI");
  EXPECT_EQ(clip->GetBeginFrame(), 0);
  EXPECT_EQ(clip->GetEndFrame(), 9);
  EXPECT_EQ(clip->Length(), 10);
  EXPECT_EQ(clip->GetSourceLength(), 10);
  EXPECT_EQ(clip->GetWidth(), 64);
  EXPECT_EQ(clip->GetHeight(), 48);
  EXPECT_TRUE(clip->HasBeginEnd());
  EXPECT_TRUE(clip->IsMovieFile());
  EXPECT_TRUE(clip->CanCopyStream());
  ASSERT_NE(clip->GetStream(), nullptr);
  EXPECT_TRUE(clip->GetStream()->Get()->IsOpen());
  EXPECT_EQ(clip->FileName(), lower);
  EXPECT_EQ(Number(clip, 3), 3);
  EXPECT_EQ(test::ReadPictureNumber(clip->GetLastFrame(), 64, 48), 9);
  EXPECT_EQ(clip->GetSourceFormat(), clip->GetFormat());
  EXPECT_TRUE(clip->Audio());

  std::filesystem::copy_file(lower, dir_ / "UPPER.AVI");
  EXPECT_TRUE(Open(dir_ / "UPPER.AVI"));
  std::filesystem::copy_file(lower, dir_ / "movie.avi.bak");
  EXPECT_FALSE(Open(dir_ / "movie.avi.bak"));
  EXPECT_FALSE(Open(dir_ / "avi"));
  EXPECT_FALSE(Open(dir_ / "gone.avi"));
  // Through the kind table the AVI row answers.
  VideoClip viaTable = VideoClipKinds::OpenFile(lower, context_);
  ASSERT_TRUE(viaTable);
  EXPECT_EQ(viaTable->GetKindName(), "AVI");
}

TEST_F(AviClipTest, TwoCutsOfOneFileShareStreamAndDecoder) {
  const auto file = Write("shared.avi", 30);
  VideoClip a = Open(file);
  VideoClip b = Open(file);
  ASSERT_TRUE(a && b);
  EXPECT_NE(a.Get(), b.Get());
  EXPECT_EQ(a->GetStream()->Get(), b->GetStream()->Get());
  EXPECT_EQ(static_cast<AviClip*>(a.Get())->Decoder().Get(), static_cast<AviClip*>(b.Get())->Decoder().Get());
  EXPECT_EQ(context_.AviFiles().StreamCount(), 1u);
  EXPECT_EQ(context_.AviFiles().DecoderCount(), 1u);
  b.SetBeginFrame(20);
  EXPECT_EQ(Number(a, 2), 2);
  EXPECT_EQ(Number(b, 2), 22);
  EXPECT_EQ(Number(a, 5), 5);
}

// A 100-frame file: the trimming rules at their edges.
TEST_F(AviClipTest, TrimmingRules) {
  VideoClip clip = Open(Write("hundred.avi", 100));
  ASSERT_TRUE(clip);
  AviClip& c = static_cast<AviClip&>(*clip);
  EXPECT_TRUE(c.SetBeginFrame(99));
  EXPECT_EQ(c.Length(), 1);
  EXPECT_FALSE(c.SetBeginFrame(100));
  EXPECT_FALSE(c.SetBeginFrame(-1));
  EXPECT_TRUE(c.SetBeginFrame(10));
  EXPECT_FALSE(c.SetEndFrame(5));
  EXPECT_FALSE(c.SetEndFrame(100));
  EXPECT_TRUE(c.SetEndFrame(10));
  EXPECT_EQ(c.Length(), 1);
  EXPECT_FALSE(c.SetBeginFrame(11)) << "begin may not pass the end";
  EXPECT_TRUE(c.SetLength(0));
  EXPECT_EQ(c.GetEndFrame(), 9);
  EXPECT_EQ(c.Length(), 0);
  EXPECT_TRUE(c.SetLength(90));
  EXPECT_EQ(c.GetEndFrame(), 99);
  EXPECT_FALSE(c.SetLength(91));
  EXPECT_FALSE(c.SetLength(-1));
  EXPECT_EQ(c.GetEndFrame(), 99);
  EXPECT_EQ(Number(clip, 0), 10);
  EXPECT_TRUE(c.IsKeyFrame(0));
  EXPECT_TRUE(c.IsNewFrame(89));
  EXPECT_FALSE(c.IsNewFrame(90));
  // Frames past the end of the file are clamped to its last frame.
  EXPECT_EQ(Number(clip, 500), 99);
}

// The own sound covers exactly the samples of frames begin … end at 30 frames per second.
TEST_F(AviClipTest, TheSoundFollowsTheTrimming) {
  VideoClip clip = Open(Write("sound.avi", 100));
  ASSERT_TRUE(clip && clip->Audio());
  const AudioClip& audio = clip->Audio();
  EXPECT_EQ(audio->GetRate(), 44100);
  EXPECT_EQ(audio->GetBeginSample(), 0);
  EXPECT_EQ(audio->GetEndSample(), 100 * 1470 - 1);
  EXPECT_EQ(audio->GetKindName(), "AVIAudio");

  ASSERT_TRUE(clip->SetEndFrame(59));
  ASSERT_TRUE(clip->SetBeginFrame(30));
  EXPECT_EQ(clip->Audio()->GetBeginSample(), 44100);
  // The last sample of frame 59, so that a cut at any frame leaves no gap in the sound.
  EXPECT_EQ(clip->Audio()->GetEndSample(), ScaleDiv(60, 44100, 30) - 1);
  EXPECT_EQ(clip->Audio()->Length(), 30 * 1470);

  // A cut without frames is silent.
  ASSERT_TRUE(clip->SetLength(0));
  EXPECT_EQ(clip->Audio()->Length(), 0);
  ASSERT_TRUE(clip->SetLength(2));
  EXPECT_EQ(clip->Audio()->GetBeginSample(), 44100);
  EXPECT_EQ(clip->Audio()->GetEndSample(), 32 * 1470 - 1);
}

// The cut counts its frames at 30 per second whatever the file's own rate, so its sound range
// can reach past the end of the stream's sound.
TEST_F(AviClipTest, SoundRangesStayWithinTheSound) {
  TestAviOptions o;
  o.codec = TestAviCodec::RawBgr24;
  o.width = 16;
  o.height = 16;
  o.frames = 100;
  o.audioRate = 8000;
  o.audioChannels = 1;
  o.rate = 15; // 100 frames of 15 per second: 53333 samples, more than the cut's 26666
  const auto slow = dir_ / "slow.avi";
  ASSERT_TRUE(test::WriteTestAvi(slow, o));
  VideoClip clip = AviClip::OpenFile(slow, context_);
  ASSERT_TRUE(clip && clip->Audio());
  ASSERT_EQ(clip->Audio()->GetSourceLength(), 100 * 8000 / 15);
  EXPECT_EQ(clip->Audio()->GetEndSample(), ScaleDiv(100, 8000, 30) - 1);

  o.rate = 60; // 100 frames of 60 per second: 13333 samples, fewer than the cut's 26666
  const auto fast = dir_ / "fast.avi";
  ASSERT_TRUE(test::WriteTestAvi(fast, o));
  VideoClip cut = AviClip::OpenFile(fast, context_);
  ASSERT_TRUE(cut && cut->Audio());
  const std::int32_t sound = cut->Audio()->GetSourceLength();
  ASSERT_EQ(sound, 100 * 8000 / 60);
  EXPECT_EQ(cut->Audio()->GetEndSample(), sound - 1) << "the end is cut to the sound";
  ASSERT_TRUE(cut->SetBeginFrame(60)); // 2 s into the cut: past the sound
  EXPECT_EQ(cut->Audio()->Length(), 0) << "silent rather than playing an old range";
  ASSERT_TRUE(cut->SetBeginFrame(30));
  EXPECT_EQ(cut->Audio()->GetBeginSample(), 8000);
  EXPECT_EQ(cut->Audio()->GetEndSample(), sound - 1);
}

TEST_F(AviClipTest, ACloneTrimmedLeavesTheOriginalAlone) {
  VideoClip first = Open(Write("clone.avi", 60));
  ASSERT_TRUE(first);
  VideoClip second = first;
  EXPECT_TRUE(second.SetBeginFrame(20));
  EXPECT_TRUE(second.SetEndFrame(40));
  EXPECT_NE(first.Get(), second.Get());
  EXPECT_EQ(first->GetBeginFrame(), 0);
  EXPECT_EQ(first->GetEndFrame(), 59);
  EXPECT_EQ(first->Audio()->GetBeginSample(), 0);
  EXPECT_EQ(first->Audio()->GetEndSample(), 60 * 1470 - 1);
  EXPECT_EQ(second->Audio()->GetBeginSample(), 20 * 1470);
  EXPECT_EQ(second->Audio()->GetEndSample(), 41 * 1470 - 1);
  EXPECT_NE(first->Audio().Get(), second->Audio().Get());
  EXPECT_EQ(first->GetStream()->Get(), second->GetStream()->Get());
  // The sound of the copy is edited alone too.
  AudioClip* sound = second.AudioForEditing();
  ASSERT_NE(sound, nullptr);
  EXPECT_TRUE(sound->SetVolume(100));
  EXPECT_EQ(first->Audio()->Volume(), 256);
  EXPECT_EQ(Number(second, 0), 20);
  EXPECT_EQ(Number(first, 0), 0);
}

VideoClip SaveAndLoad(const pVideoClip& clip, const std::filesystem::path& folder, MediaContext& context) {
  RecordWriter writer(folder);
  EXPECT_TRUE(VideoClipRecord::Write(clip, writer, 1));
  RecordReader reader(writer.Text(), folder);
  return VideoClipKinds::LoadRecord("avi", reader, context);
}

TEST_F(AviClipTest, RecordRoundTripKeepsTrimmingAndVolume) {
  VideoClip clip = Open(Write("record.avi", 50));
  ASSERT_TRUE(clip);
  clip.SetBeginFrame(5);
  clip.SetEndFrame(44);
  clip.AudioForEditing()->SetVolume(100);
  RecordWriter writer(dir_.Path());
  ASSERT_TRUE(VideoClipRecord::Write(*clip, writer, 1));
  EXPECT_NE(writer.Text().find("StartFrame: 5"), std::string::npos);
  EXPECT_NE(writer.Text().find("EndFrame: 44"), std::string::npos);
  EXPECT_NE(writer.Text().find("Volume: 100"), std::string::npos);
  EXPECT_EQ(writer.Text().find("TotalFrame"), std::string::npos);

  VideoClip loaded = SaveAndLoad(*clip, dir_.Path(), context_);
  ASSERT_TRUE(loaded) << messages_.Get();
  EXPECT_EQ(loaded->GetKindName(), "AVI");
  EXPECT_EQ(loaded->GetBeginFrame(), 5);
  EXPECT_EQ(loaded->GetEndFrame(), 44);
  EXPECT_EQ(loaded->Length(), 40);
  EXPECT_EQ(loaded->Audio()->Volume(), 100);
  EXPECT_EQ(loaded->Audio()->GetBeginSample(), 5 * 1470);
  EXPECT_EQ(loaded->GetStream()->Get(), clip->GetStream()->Get());
  EXPECT_EQ(Number(loaded, 0), 5);
}

TEST_F(AviClipTest, ARecordThatNoLongerFitsAShorterFileKeepsWhatFits) {
  const auto file = Write("shrinks.avi", 150);
  const std::string text = "begin\n  FileName: shrinks.avi\n  StartFrame: 200\n  EndFrame: 300\nend\n";
  RecordReader reader(text, dir_.Path());
  VideoClip clip = VideoClipKinds::LoadRecord("AVI", reader, context_);
  ASSERT_TRUE(clip) << messages_.Get();
  EXPECT_EQ(clip->GetBeginFrame(), 0);
  EXPECT_EQ(clip->GetEndFrame(), 149);
  RecordReader partly("begin\nFileName: shrinks.avi\nStartFrame: 100\nEndFrame: 300\nTotalFrame: 7\nend\n",
                      dir_.Path());
  VideoClip part = VideoClipKinds::LoadRecord("AVI", partly, context_);
  ASSERT_TRUE(part);
  EXPECT_EQ(part->GetBeginFrame(), 100);
  EXPECT_EQ(part->GetEndFrame(), 149);
  EXPECT_EQ(part->Length(), 50);
  // A record whose file is gone gives no clip.
  RecordReader gone("begin\nFileName: nothing.avi\nend\n", dir_.Path());
  EXPECT_FALSE(VideoClipKinds::LoadRecord("AVI", gone, context_));
}

TEST_F(AviClipTest, ReloadsReachEveryCutOfTheFile) {
  const auto file = Write("reload.avi", 40);
  VideoClip a = Open(file);
  VideoClip b = Open(file);
  b.SetBeginFrame(30);
  TestAviOptions o;
  o.width = 64;
  o.height = 48;
  o.frames = 35;
  std::filesystem::remove(file);
  ASSERT_TRUE(test::WriteTestAvi(file, o));
  std::filesystem::last_write_time(file, std::filesystem::last_write_time(file) + std::chrono::seconds(2));

  FixedPrompt no(UserPrompt::Answer::Cancel);
  context_.SetPrompt(no);
  EXPECT_TRUE(VideoClipKinds::CheckFiles(context_));
  EXPECT_FALSE(a->IsValid());
  EXPECT_FALSE(b->IsValid());
  EXPECT_EQ(a->GetFrame(0), nullptr);
  EXPECT_FALSE(a->Audio()->IsValid());

  FixedPrompt yes(UserPrompt::Answer::Ok);
  context_.SetPrompt(yes);
  EXPECT_TRUE(AudioClipKinds::CheckFiles(context_)) << "the AVI audio kind checks the same files";
  EXPECT_TRUE(a->IsValid());
  EXPECT_EQ(a->GetEndFrame(), 39) << "trimming is not re-validated; requests are clamped";
  EXPECT_EQ(Number(a, 39), 34);
  EXPECT_EQ(Number(b, 2), 32);
  EXPECT_FALSE(a->Audio()->IsValid()) << "the new file has no sound";
}

// The sound of an AVI file as an audio clip of its own.
TEST_F(AviClipTest, AviAudioClipsReadTheirRangeOfTheStream) {
  const auto file = Write("music.avi", 30, 22050);
  AudioClip clip = AviAudioClip::OpenFile(file, context_);
  ASSERT_TRUE(clip);
  EXPECT_EQ(clip->GetKindName(), "AVIAudio");
  EXPECT_EQ(clip->GetChannels(), 2);
  EXPECT_EQ(clip->GetBits(), 16);
  EXPECT_EQ(clip->GetRate(), 22050);
  EXPECT_EQ(clip->GetSourceLength(), 30 * 735);
  EXPECT_EQ(clip->Length(), 30 * 735);
  EXPECT_EQ(clip->FileName(), file);
  ASSERT_TRUE(clip->SetBeginSample(1000));
  std::vector<std::int16_t> got(2 * 50);
  ASSERT_TRUE(clip->ReadSamples(got.data(), 7, 50));
  for (int i = 0; i < 50; ++i) {
    EXPECT_EQ(got[2 * i], test::TestAviSampleValue(TestAviSample::S16, 1007 + i, 0)) << i;
    EXPECT_EQ(got[2 * i + 1], test::TestAviSampleValue(TestAviSample::S16, 1007 + i, 1)) << i;
  }
  EXPECT_FALSE(clip->SetBeginSample(30 * 735));
  EXPECT_FALSE(clip->SetEndSample(999));
  EXPECT_TRUE(clip->SetEndSample(2000));
  EXPECT_EQ(clip->Length(), 1001);
  EXPECT_TRUE(clip->SetLength(0));
  EXPECT_FALSE(clip->SetLength(30 * 735));

  // Through the kind table: WAV first refuses, the AVI audio row answers.
  AudioClip viaTable = AudioClipKinds::OpenFile(file, context_);
  ASSERT_TRUE(viaTable);
  EXPECT_EQ(viaTable->GetKindName(), "AVIAudio");
  // A movie without sound gives no audio clip.
  EXPECT_FALSE(AviAudioClip::OpenFile(Write("mute.avi", 5, 0), context_));
}

TEST_F(AviClipTest, AviAudioRecordRoundTrip) {
  const auto file = Write("tune.avi", 30, 44100);
  AudioClip clip = AviAudioClip::OpenFile(file, context_);
  ASSERT_TRUE(clip);
  clip.SetBeginSample(500);
  clip.SetLength(7000);
  clip.SetVolume(100);
  clip.SetPlayFrame(-4);
  RecordWriter writer(dir_.Path());
  ASSERT_TRUE(AudioClipRecord::Write(*clip, writer, 0));
  RecordReader reader(writer.Text(), dir_.Path());
  AudioClip loaded = AudioClipKinds::LoadRecord("aviaudio", reader, context_);
  ASSERT_TRUE(loaded) << messages_.Get();
  EXPECT_EQ(loaded->GetKindName(), "AVIAudio");
  EXPECT_EQ(loaded->GetBeginSample(), 500);
  EXPECT_EQ(loaded->Length(), 7000);
  EXPECT_EQ(loaded->GetEndSample(), 7499);
  EXPECT_EQ(loaded->Volume(), 100);
  EXPECT_EQ(loaded->PlayFrame(), -4);
  // A copy shares the stream.
  AudioClip copy = loaded;
  copy.SetVolume(3);
  EXPECT_EQ(static_cast<AviAudioClip*>(copy.Get())->Stream().Get(),
            static_cast<AviAudioClip*>(loaded.Get())->Stream().Get());
  EXPECT_EQ(loaded->Volume(), 100);
}

} // namespace
} // namespace rw
