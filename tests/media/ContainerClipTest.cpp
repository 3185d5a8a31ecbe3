// Movie cuts of MP4, MOV, MKV and WebM files: opening by extension, trimming and thumbnails,
// the own sound following the trimming, records (offline ones included), reloads and bad input.
#include "media/ContainerClip.h"
#include "base/MessageText.h"
#include "base/RecordReader.h"
#include "base/RecordWriter.h"
#include "base/UserPrompt.h"
#include "media/MediaContext.h"
#include "media/OfflineClip.h"
#include "media/VideoClipKinds.h"
#include "media/VideoClipRecord.h"
#include "tests/support/ContainerTestFiles.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestAvi.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string_view>

namespace rw {
namespace {

using test::TestMovieOptions;

class ContainerClipTest : public ::testing::Test {
protected:
  void SetUp() override { test::QuietMediaLibraries(); }

  std::filesystem::path Write(const std::string& name, int pictures, bool sound = false) {
    const std::filesystem::path file = dir_ / name;
    TestMovieOptions o;
    o.width = 64;
    o.height = 48;
    o.pts = test::ConstantRatePts(pictures, 30, 1, {1, 30});
    o.bFrames = 2;
    if (file.extension() == ".webm")
      o.codec = test::TestMovieCodec::Vp9;
    if (sound) {
      o.sound = test::TestMovieSound::Aac;
      o.soundRate = 48000;
    }
    std::string error;
    EXPECT_TRUE(test::WriteTestMovie(file, o, &error)) << error;
    return file;
  }
  VideoClip Open(const std::filesystem::path& file) { return VideoClipKinds::OpenFile(file, context_); }
  static int Number(VideoClip& clip, int i) {
    return test::ReadMoviePictureNumber(clip->GetFrame(i), clip->GetWidth(), clip->GetHeight());
  }
  VideoClip SaveAndLoad(const pVideoClip& clip) {
    RecordWriter writer(dir_.Path());
    EXPECT_TRUE(VideoClipRecord::Write(clip, writer, 1));
    RecordReader reader(writer.Text(), dir_.Path());
    return OfflineClip::Read(clip.GetKindName(), reader, context_);
  }

  test::TempDir dir_;
  MessageText messages_;
  FixedPrompt prompt_{UserPrompt::Answer::Ok};
  MediaContext context_{messages_, prompt_};
};

TEST_F(ContainerClipTest, OpensMovieExtensionsInAnyLetterCaseAndSharesTheReader) {
  const auto mp4 = Write("clip.mp4", 10);
  std::filesystem::copy_file(mp4, dir_ / "UPPER.MP4");
  std::filesystem::copy_file(mp4, dir_ / "clip.m4v");
  std::filesystem::copy_file(mp4, dir_ / "clip.txt");
  for (const char* name : {"clip.mp4", "UPPER.MP4", "clip.m4v"}) {
    VideoClip clip = Open(dir_ / name);
    ASSERT_TRUE(clip) << name << messages_.Get();
    EXPECT_EQ(clip->GetKindName(), "Movie");
    EXPECT_TRUE(clip->IsMovieFile());
    // The compile re-encodes these pictures.
    EXPECT_FALSE(clip->CanCopyStream());
    EXPECT_EQ(clip->GetStream(), nullptr);
    EXPECT_EQ(clip->Length(), 10);
    EXPECT_EQ(clip->GetWidth(), 64);
  }
  EXPECT_FALSE(ContainerClip::OpenFile(dir_ / "clip.txt", context_));
  EXPECT_FALSE(ContainerClip::HasMovieExtension(".mp4"));
  EXPECT_TRUE(ContainerClip::HasMovieExtension("a.WebM"));
  EXPECT_TRUE(ContainerClip::HasMovieExtension("a.mkv"));
  EXPECT_TRUE(ContainerClip::HasMovieExtension("a.Mov"));

  VideoClip a = Open(mp4);
  VideoClip b = Open(mp4);
  auto* ca = dynamic_cast<ContainerClip*>(a.Get());
  auto* cb = dynamic_cast<ContainerClip*>(b.Get());
  ASSERT_TRUE(ca && cb);
  EXPECT_EQ(ca->Stream().Get(), cb->Stream().Get());
  EXPECT_EQ(ca->Decoder().Get(), cb->Decoder().Get());
}

TEST_F(ContainerClipTest, TrimmingAndThumbnails) {
  VideoClip clip = Open(Write("trim.mkv", 40));
  ASSERT_TRUE(clip) << messages_.Get();
  EXPECT_EQ(clip->GetSourceLength(), 40);
  EXPECT_FALSE(clip->SetBeginFrame(40));
  EXPECT_FALSE(clip->SetEndFrame(-1));
  ASSERT_TRUE(clip.SetEndFrame(29));
  ASSERT_TRUE(clip.SetBeginFrame(12));
  EXPECT_FALSE(clip->SetBeginFrame(30)) << "after the end";
  EXPECT_EQ(clip->Length(), 18);
  EXPECT_EQ(test::ReadMoviePictureNumber(clip->GetFirstFrame(), 64, 48), 12);
  EXPECT_EQ(test::ReadMoviePictureNumber(clip->GetLastFrame(), 64, 48), 29);
  EXPECT_EQ(Number(clip, 5), 17);
  EXPECT_FALSE(clip->SetLength(29)) << "past the end of the file";
  ASSERT_TRUE(clip.SetLength(28));
  EXPECT_EQ(clip->GetEndFrame(), 39);
  EXPECT_TRUE(clip->IsNewFrame(0));
  EXPECT_TRUE(clip->IsKeyFrame(0)) << "frame 12 is the first picture of a group of 12";
}

TEST_F(ContainerClipTest, TheSoundFollowsTheTrimming) {
  VideoClip clip = Open(Write("sound.mp4", 60, true));
  ASSERT_TRUE(clip) << messages_.Get();
  const AudioClip& audio = clip->Audio();
  if (!audio || !audio->IsValid())
    GTEST_SKIP() << "the movie sound reader does not open files yet";
  EXPECT_EQ(audio->GetKindName(), "Sound");
  EXPECT_EQ(audio->GetRate(), 48000);
  EXPECT_EQ(audio->GetBeginSample(), 0);
  ASSERT_TRUE(clip.SetEndFrame(44));
  ASSERT_TRUE(clip.SetBeginFrame(15));
  EXPECT_EQ(clip->Audio()->GetBeginSample(), 24000);
  EXPECT_EQ(clip->Audio()->GetEndSample(), 45 * 1600 - 1);
  ASSERT_TRUE(clip.SetLength(0));
  EXPECT_EQ(clip->Audio()->Length(), 0);
}

// The pictures start half a second after the sound: frame 0 and sound sample 0 are both at the
// first picture, so a click one second after it is heard at the start of frame 30.
TEST_F(ContainerClipTest, TheOwnSoundIsAlignedWithTheFirstPicture) {
  for (const char* name : {"late.mp4", "late.mkv"}) {
    TestMovieOptions o;
    o.width = 64;
    o.height = 48;
    o.pts = test::ConstantRatePts(60, 30, 1, {1, 30}, 15);
    o.bFrames = 2;
    o.sound = test::TestMovieSound::Aac;
    o.soundRate = 48000;
    o.soundChannels = 1;
    o.click = 72000;
    ASSERT_TRUE(test::WriteTestMovie(dir_ / name, o));
    VideoClip clip = Open(dir_ / name);
    ASSERT_TRUE(clip) << messages_.Get();
    EXPECT_EQ(Number(clip, 0), 0);
    ASSERT_TRUE(clip->Audio() && clip->Audio()->IsValid());
    ASSERT_TRUE(clip.SetBeginFrame(29));
    std::vector<std::int16_t> samples(3200);
    ASSERT_TRUE(clip->Audio()->ReadSamples(samples.data(), 0, 3200));
    // Frame 29 starts 1600 samples before the click; MKV stores times in whole milliseconds,
    // which places its sound within 48 samples.
    const double slack = std::string_view(name).ends_with(".mkv") ? 48.0 : 2.0;
    EXPECT_NEAR(static_cast<double>(test::FindClick(samples.data(), 3200, 1)), 1600.0, slack) << name;
  }
}

TEST_F(ContainerClipTest, RecordsRoundTripAndAMissingFileStaysAsAnOfflineEntry) {
  const auto file = Write("record.mov", 50);
  VideoClip clip = Open(file);
  ASSERT_TRUE(clip);
  clip.SetBeginFrame(5);
  clip.SetEndFrame(44);
  RecordWriter writer(dir_.Path());
  ASSERT_TRUE(VideoClipRecord::Write(*clip, writer, 1));
  const std::string text = writer.Text();
  EXPECT_NE(text.find("StartFrame: 5"), std::string::npos);
  EXPECT_NE(text.find("EndFrame: 44"), std::string::npos);

  VideoClip loaded = SaveAndLoad(*clip);
  ASSERT_TRUE(loaded && loaded->IsValid()) << messages_.Get();
  EXPECT_EQ(loaded->GetKindName(), "Movie");
  EXPECT_EQ(loaded->GetBeginFrame(), 5);
  EXPECT_EQ(loaded->Length(), 40);
  EXPECT_EQ(Number(loaded, 0), 5);

  // The file gone: an offline entry that keeps the record and writes it back unchanged.
  clip = VideoClip();
  loaded = VideoClip();
  std::filesystem::remove(file);
  RecordReader reader(text, dir_.Path());
  VideoClip offline = OfflineClip::Read("Movie", reader, context_);
  ASSERT_TRUE(offline);
  EXPECT_TRUE(offline->IsOffline());
  EXPECT_EQ(offline->GetKindName(), "Movie");
  EXPECT_EQ(offline->Length(), 40);
  RecordWriter again(dir_.Path());
  ASSERT_TRUE(VideoClipRecord::Write(*offline, again, 1));
  EXPECT_EQ(again.Text(), text);
  // Back in place, it comes alive.
  Write("record.mov", 50);
  VideoClip revived = dynamic_cast<const OfflineClip&>(*offline).Revive(context_);
  ASSERT_TRUE(revived && revived->IsValid());
  EXPECT_EQ(Number(revived, 39), 44);
}

TEST_F(ContainerClipTest, ReloadsReachEveryCutOfTheFile) {
  const auto file = Write("reload.webm", 40);
  VideoClip a = Open(file);
  ASSERT_TRUE(a) << messages_.Get();
  std::filesystem::remove(file);
  Write("reload.webm", 30);
  std::filesystem::last_write_time(file, std::filesystem::last_write_time(file) + std::chrono::seconds(2));
  FixedPrompt no(UserPrompt::Answer::Cancel);
  context_.SetPrompt(no);
  EXPECT_TRUE(VideoClipKinds::CheckFiles(context_));
  EXPECT_FALSE(a->IsValid());
  EXPECT_EQ(a->GetFrame(0), nullptr);
  FixedPrompt yes(UserPrompt::Answer::Ok);
  context_.SetPrompt(yes);
  EXPECT_TRUE(VideoClipKinds::CheckFiles(context_));
  ASSERT_TRUE(a->IsValid());
  EXPECT_EQ(a->GetSourceLength(), 30);
  EXPECT_EQ(Number(a, 39), 29) << "requests past the new end are clamped";
}

TEST_F(ContainerClipTest, BadFilesAreRefusedWithAMessageNamingThem) {
  const auto good = Write("good.mp4", 30);
  const std::vector<std::uint8_t> bytes = test::ReadFileBytes(good);
  // Cut short before the index at its end; garbage; sound alone; nothing at all.
  test::WriteFileBytes(dir_ / "short.mp4",
                       {bytes.begin(), bytes.begin() + static_cast<long>(bytes.size() / 2)});
  std::vector<std::uint8_t> garbage(5000);
  for (std::size_t i = 0; i < garbage.size(); ++i)
    garbage[i] = static_cast<std::uint8_t>(i * 7919 >> 3);
  test::WriteFileBytes(dir_ / "garbage.mkv", garbage);
  TestMovieOptions soundOnly;
  soundOnly.sound = test::TestMovieSound::Aac;
  ASSERT_TRUE(test::WriteTestMovie(dir_ / "sound.mp4", soundOnly));
  test::WriteFileBytes(dir_ / "empty.webm", {});
  for (const char* name : {"short.mp4", "garbage.mkv", "sound.mp4", "empty.webm", "absent.mov"}) {
    messages_.Clear();
    EXPECT_FALSE(Open(dir_ / name)) << name;
    EXPECT_NE(messages_.Get().find(name), std::string::npos) << messages_.Get();
  }
  EXPECT_NE(messages_.Get().find("を開けません"), std::string::npos) << messages_.Get();
  EXPECT_EQ(context_.ContainerFiles().StreamCount(), 0u) << "nothing half open";
}

} // namespace
} // namespace rw
