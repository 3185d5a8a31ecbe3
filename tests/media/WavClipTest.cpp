#include "media/WavClip.h"
#include "base/MessageText.h"
#include "base/UserPrompt.h"
#include "media/AudioClipKinds.h"
#include "media/MediaContext.h"
#include "tests/support/TempDir.h"
#include "tests/support/WavTestFiles.h"

#include <gtest/gtest.h>

namespace rw {
namespace {

class WavClipTest : public ::testing::Test {
protected:
  WavClipTest() { test::WriteToneWav(file, 1000, 2, 16, 22050); }

  test::TempDir dir;
  std::filesystem::path file = dir / "tone.wav";
  MessageText messages;
  FixedPrompt prompt;
  MediaContext context{messages, prompt};
};

TEST_F(WavClipTest, OpensTheWholeFile) {
  AudioClip clip = WavClip::OpenFile(file, context);
  ASSERT_TRUE(clip);
  EXPECT_TRUE(clip->IsValid());
  EXPECT_EQ(clip->GetKindName(), "WAV");
  EXPECT_EQ(clip->FileName(), file);
  EXPECT_EQ(clip->GetBeginSample(), 0);
  EXPECT_EQ(clip->GetEndSample(), 999);
  EXPECT_EQ(clip->Length(), 1000);
  EXPECT_EQ(clip->GetSourceLength(), 1000);
  EXPECT_EQ(clip->GetChannels(), 2);
  EXPECT_EQ(clip->GetBits(), 16);
  EXPECT_EQ(clip->GetRate(), 22050);
  EXPECT_EQ(clip->Volume(), 256);
  EXPECT_EQ(clip->PlayFrame(), 0);
  EXPECT_TRUE(clip->OverClip());
}

TEST_F(WavClipTest, ANameRelativeToTheCurrentFolderIsKeptInFull) {
  // A project saved later, from another folder, must still find the file.
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(dir.Path());
  AudioClip clip = AudioClipKinds::OpenFile("tone.wav", context);
  std::filesystem::current_path(before);
  ASSERT_TRUE(clip);
  EXPECT_TRUE(clip->FileName().is_absolute());
  EXPECT_TRUE(std::filesystem::equivalent(clip->FileName(), file));
}

TEST_F(WavClipTest, OpenFileWantsAWavName) {
  std::filesystem::copy_file(file, dir / "upper.WAV");
  std::filesystem::copy_file(file, dir / "other.dat");
  EXPECT_TRUE(WavClip::OpenFile(dir / "upper.WAV", context));
  EXPECT_FALSE(WavClip::OpenFile(dir / "other.dat", context));
  EXPECT_FALSE(WavClip::OpenFile(dir / "missing.wav", context));
  // Through the kind table as well.
  EXPECT_TRUE(AudioClipKinds::OpenFile(file, context));
  EXPECT_FALSE(AudioClipKinds::OpenFile(dir / "other.dat", context));

  // A clip made directly from a file that does not open has no stream.
  WavClip blank(context, dir / "missing.wav");
  EXPECT_FALSE(blank.IsValid());
  EXPECT_EQ(blank.GetEndSample(), -1);
  EXPECT_EQ(blank.Length(), 0);
  EXPECT_EQ(blank.GetRate(), 0);
  EXPECT_EQ(blank.GetSourceLength(), 0);
  std::uint8_t buf[4];
  EXPECT_FALSE(blank.ReadSamples(buf, 0, 1));
}

TEST_F(WavClipTest, TrimmingRules) {
  WavClip clip(context, file);
  EXPECT_FALSE(clip.SetBeginSample(-1));
  EXPECT_FALSE(clip.SetBeginSample(1000));
  EXPECT_TRUE(clip.SetBeginSample(100));
  EXPECT_EQ(clip.Length(), 900);
  EXPECT_FALSE(clip.SetEndSample(99)); // before begin
  EXPECT_FALSE(clip.SetEndSample(1000));
  EXPECT_TRUE(clip.SetEndSample(199));
  EXPECT_EQ(clip.Length(), 100);
  EXPECT_FALSE(clip.SetBeginSample(200)); // after end
  EXPECT_TRUE(clip.SetBeginSample(199));
  EXPECT_EQ(clip.Length(), 1);
  EXPECT_FALSE(clip.SetLength(-1));
  EXPECT_FALSE(clip.SetLength(802)); // 199 + 802 - 1 = 1000 is past the source
  EXPECT_TRUE(clip.SetLength(801));
  EXPECT_EQ(clip.GetEndSample(), 999);
  EXPECT_TRUE(clip.SetLength(0));
  EXPECT_EQ(clip.GetEndSample(), 198);
  EXPECT_EQ(clip.Length(), 0);
}

TEST_F(WavClipTest, ReadsRelativeToItsBegin) {
  WavClip clip(context, file);
  ASSERT_TRUE(clip.SetBeginSample(500));
  std::uint8_t buf[8];
  ASSERT_TRUE(clip.ReadSamples(buf, 10, 2));
  EXPECT_EQ(static_cast<std::int16_t>(buf[0] | buf[1] << 8), test::ToneSample16(510, 0));
  EXPECT_EQ(static_cast<std::int16_t>(buf[6] | buf[7] << 8), test::ToneSample16(511, 1));
  EXPECT_FALSE(clip.ReadSamples(buf, 500, 1));  // past the data
  EXPECT_FALSE(clip.ReadSamples(buf, -501, 1)); // before the file
}

TEST_F(WavClipTest, ClipsShareOneStreamAndCopyOnWrite) {
  AudioClip a = WavClip::OpenFile(file, context);
  AudioClip b = WavClip::OpenFile(file, context);
  ASSERT_TRUE(a && b);
  EXPECT_EQ(static_cast<WavClip*>(a.Get())->Stream(), static_cast<WavClip*>(b.Get())->Stream());
  EXPECT_EQ(context.WavStreams().Size(), 1u);

  AudioClip shared = a;
  ASSERT_TRUE(shared.SetBeginSample(10));
  ASSERT_TRUE(shared.SetVolume(100));
  ASSERT_TRUE(shared.SetPlayFrame(-3));
  EXPECT_NE(shared, a);
  EXPECT_EQ(a->GetBeginSample(), 0);
  EXPECT_EQ(a->Volume(), 256);
  EXPECT_EQ(shared->GetBeginSample(), 10);
  EXPECT_EQ(shared->Length(), 990);
  EXPECT_EQ(shared->Volume(), 100);
  EXPECT_EQ(shared->PlayFrame(), -3);
  // The copy keeps reading the same stream.
  EXPECT_EQ(static_cast<WavClip*>(shared.Get())->Stream(), static_cast<WavClip*>(a.Get())->Stream());
  EXPECT_EQ(shared->GetRate(), 22050);

  a.Reset();
  b.Reset();
  EXPECT_EQ(context.WavStreams().Size(), 1u);
  shared.Reset();
  EXPECT_EQ(context.WavStreams().Size(), 0u);
}

TEST_F(WavClipTest, DeclinedReloadSilencesEveryClipOfTheFile) {
  AudioClip a = WavClip::OpenFile(file, context);
  AudioClip b = WavClip::OpenFile(file, context);
  test::WriteToneWav(file, 500, 2, 16, 22050);
  FixedPrompt cancel(UserPrompt::Answer::Cancel);
  context.SetPrompt(cancel);
  EXPECT_TRUE(AudioClipKinds::CheckFiles(context));
  std::uint8_t buf[4];
  EXPECT_FALSE(a->ReadSamples(buf, 0, 1));
  EXPECT_FALSE(b->ReadSamples(buf, 0, 1));

  // Accepted: both read the new file; their trimming is not revisited.
  FixedPrompt ok(UserPrompt::Answer::Ok);
  context.SetPrompt(ok);
  EXPECT_TRUE(AudioClipKinds::CheckFiles(context));
  EXPECT_TRUE(a->ReadSamples(buf, 0, 1));
  EXPECT_EQ(a->GetSourceLength(), 500);
  EXPECT_EQ(a->GetEndSample(), 999);
  EXPECT_FALSE(AudioClipKinds::CheckFiles(context));
}

} // namespace
} // namespace rw
