#include "media/ContainerSound.h"
#include "base/MessageText.h"
#include "base/RecordReader.h"
#include "base/RecordWriter.h"
#include "base/UserPrompt.h"
#include "media/AudioClipKinds.h"
#include "media/AudioClipRecord.h"
#include "media/ContainerAudioClip.h"
#include "media/MediaContext.h"
#include "media/OfflineAudioClip.h"
#include "tests/support/ContainerTestFiles.h"
#include "tests/support/SoundTestFiles.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <vector>

namespace rw {
namespace {

using test::TestSoundCodec;
using test::TestSoundOptions;

class ContainerSoundTest : public ::testing::Test {
protected:
  // The whole sound of `file` through the audio clip kind.
  std::vector<std::int16_t> ReadAll(const std::filesystem::path& file, AudioClip* opened = nullptr) {
    AudioClip clip = ContainerAudioClip::OpenFile(file, context);
    if (!clip)
      return {};
    std::vector<std::int16_t> pcm(static_cast<std::size_t>(clip->Length()) * clip->GetChannels());
    EXPECT_TRUE(clip->ReadSamples(pcm.data(), 0, clip->Length()));
    if (opened)
      *opened = clip;
    return pcm;
  }

  test::TempDir dir;
  MessageText messages;
  FixedPrompt prompt;
  MediaContext context{messages, prompt};
};

struct AudioFileCase {
  TestSoundCodec codec;
  const char* name;
  int rate;
  int channels;
  // How far from the written sample the click may be found (lossy codecs smear it).
  int bound;
  // Where Matroska keeps no encoder delay for a codec (AAC), the delay is part of the sound.
  int delay = 0;
};

// Audio-only files: sample 0 is the first sample written, whatever the encoder's delay.
TEST_F(ContainerSoundTest, TheClickOfASoundFileLandsOnItsSample) {
  const AudioFileCase cases[] = {
      {TestSoundCodec::Flac, "a.flac", 44100, 2, 0}, {TestSoundCodec::Pcm, "b.mkv", 48000, 1, 0},
      {TestSoundCodec::Aac, "c.m4a", 48000, 2, 2},   {TestSoundCodec::Aac, "d.MP4", 44100, 1, 2},
      {TestSoundCodec::Opus, "e.opus", 48000, 2, 2}, {TestSoundCodec::Opus, "f.webm", 48000, 2, 2},
      {TestSoundCodec::Mp3, "g.mp3", 44100, 2, 2},   {TestSoundCodec::Vorbis, "h.ogg", 44100, 2, 2},
      {TestSoundCodec::Flac, "i.ogg", 32000, 6, 0},  {TestSoundCodec::Aac, "j.mkv", 48000, 2, 2, 1024},
  };
  for (const AudioFileCase& c : cases) {
    SCOPED_TRACE(c.name);
    if (!test::HasTestSoundEncoder(c.codec))
      continue;
    TestSoundOptions o;
    o.codec = c.codec;
    o.rate = c.rate;
    o.channels = c.channels;
    o.frames = c.rate; // one second
    o.click = 12345;
    std::string error;
    ASSERT_TRUE(test::WriteTestSound(dir / c.name, o, &error)) << error;
    AudioClip clip;
    const std::vector<std::int16_t> pcm = ReadAll(dir / c.name, &clip);
    ASSERT_TRUE(clip) << messages.Get();
    EXPECT_EQ(clip->GetKindName(), "Sound");
    EXPECT_EQ(clip->GetRate(), c.rate);
    EXPECT_EQ(clip->GetBits(), 16);
    EXPECT_EQ(clip->GetChannels(), c.channels == 1 ? 1 : 2);
    // The length is the samples written, up to a block of the codec at either end.
    EXPECT_LE(std::llabs(clip->GetSourceLength() - o.frames - c.delay), c.bound == 0 ? 0 : 2048);
    const std::int64_t click = test::FindClick(pcm.data(), clip->Length(), clip->GetChannels());
    EXPECT_LE(std::llabs(click - o.click - c.delay), c.bound) << "found at " << click;
  }
}

struct MovieCase {
  const char* name;
  test::TestMovieSound sound;
  std::int64_t firstPicture; // pts of the first picture, in 1/30 s
  std::int64_t soundStart;   // first sound sample, in 1/48000 s on the pictures' clock
  int bound;
  // The Matroska muxer moves the pictures 7 ms later to keep the Opus pre-skip (6.5 ms) before
  // time zero: the file's pictures start that much after the sound's time zero.
  int shift = 0;
};

// Sample n of a movie's sound is at time n / rate from its first picture: sound before the
// picture is dropped, a gap before the sound is silence.
TEST_F(ContainerSoundTest, TheSoundOfAMovieStartsAtItsFirstPicture) {
  const MovieCase cases[] = {
      {"a.mp4", test::TestMovieSound::Aac, 0, 0, 2},
      {"b.mp4", test::TestMovieSound::Aac, 3, 0, 2},
      {"c.mkv", test::TestMovieSound::Opus, 0, 0, 48, 336},
      {"d.mkv", test::TestMovieSound::Opus, 0, 2400, 48, 336},
      {"e.mov", test::TestMovieSound::Aac, 0, 4800, 48},
      {"f.webm", test::TestMovieSound::Opus, 2, 0, 48, 336},
  };
  for (const MovieCase& c : cases) {
    SCOPED_TRACE(c.name);
    test::TestMovieOptions o;
    if (std::string(c.name).ends_with(".webm"))
      o.codec = test::HasMovieEncoder(test::TestMovieCodec::Vp9) ? test::TestMovieCodec::Vp9
                                                                 : test::TestMovieCodec::Vp8;
    if (!test::HasMovieEncoder(o.codec) || !test::HasSoundEncoder(c.sound))
      continue;
    o.pts = test::ConstantRatePts(30, 30, 1, {1, 30}, c.firstPicture);
    o.sound = c.sound;
    o.soundStart = c.soundStart;
    o.click = 9000;
    std::string error;
    ASSERT_TRUE(test::WriteTestMovie(dir / c.name, o, &error)) << error;
    AudioClip clip;
    const std::vector<std::int16_t> pcm = ReadAll(dir / c.name, &clip);
    ASSERT_TRUE(clip) << messages.Get();
    // Within a tick of the file's time stamps (1 ms in Matroska; MOV's edit lists count in the
    // movie's 1/1000 s), exact where they count samples (MP4).
    const std::int64_t expected = c.soundStart + o.click - c.firstPicture * 1600 - c.shift;
    const std::int64_t click = test::FindClick(pcm.data(), clip->Length(), clip->GetChannels());
    EXPECT_LE(std::llabs(click - expected), c.bound) << "found at " << click << ", expected " << expected;
    // Before a late sound: silence.
    for (std::int64_t i = 0; i < std::min<std::int64_t>(c.soundStart - 1200, clip->Length()) * 2; ++i)
      ASSERT_EQ(pcm[static_cast<std::size_t>(i)], 0) << "at " << i / 2;
  }
}

// Reads in any order give what one read from the start gives: exactly for codecs whose
// decoder settles within the pre-roll, within a small bound for Opus.
TEST_F(ContainerSoundTest, RandomReadsMatchAReadFromTheStart) {
  const std::pair<TestSoundCodec, const char*> cases[] = {{TestSoundCodec::Flac, "a.flac"},
                                                          {TestSoundCodec::Aac, "b.m4a"},
                                                          {TestSoundCodec::Mp3, "c.mp3"},
                                                          {TestSoundCodec::Opus, "d.opus"},
                                                          {TestSoundCodec::Opus, "e.mkv"}};
  for (const auto& [codec, name] : cases) {
    SCOPED_TRACE(name);
    if (!test::HasTestSoundEncoder(codec))
      continue;
    TestSoundOptions o;
    o.codec = codec;
    o.rate = codec == TestSoundCodec::Mp3 ? 44100 : 48000;
    o.frames = 5 * o.rate;
    o.tone = true;
    ASSERT_TRUE(test::WriteTestSound(dir / name, o));
    AudioClip clip;
    const std::vector<std::int16_t> whole = ReadAll(dir / name, &clip);
    ASSERT_TRUE(clip);
    const int exactness = codec == TestSoundCodec::Opus ? 400 : 0;
    // Backwards, far jumps and reads that overlap the last one.
    const std::int32_t starts[] = {4 * o.rate + 17,   3 * o.rate, 100,       2 * o.rate + 5000,
                                   2 * o.rate + 4000, 0,          o.rate / 3};
    std::vector<std::int16_t> part(static_cast<std::size_t>(4000 * clip->GetChannels()));
    for (std::int32_t first : starts) {
      ASSERT_TRUE(clip->ReadSamples(part.data(), first, 4000));
      int worst = 0;
      for (std::size_t i = 0; i < part.size(); ++i)
        worst = std::max(
            worst, std::abs(part[i] - whole[static_cast<std::size_t>(first) * clip->GetChannels() + i]));
      EXPECT_LE(worst, exactness) << "reading from " << first;
    }
  }
}

TEST_F(ContainerSoundTest, TrimmingRecordAndOfflineEntry) {
  TestSoundOptions o;
  o.codec = TestSoundCodec::Flac;
  o.frames = 48000;
  o.click = 30000;
  ASSERT_TRUE(test::WriteTestSound(dir / "t.flac", o));
  AudioClip clip = AudioClipKinds::OpenFile(dir / "t.flac", context);
  ASSERT_TRUE(clip);
  ASSERT_TRUE(clip.SetBeginSample(20000));
  ASSERT_TRUE(clip.SetLength(15000));
  EXPECT_FALSE(clip->SetLength(28001)) << "past the end of the source";
  std::vector<std::int16_t> pcm(15000 * 2);
  ASSERT_TRUE(clip->ReadSamples(pcm.data(), 0, 15000));
  EXPECT_EQ(test::FindClick(pcm.data(), 15000, 2), 10000);
  clip.SetPlayFrame(7);
  clip.SetVolume(128);

  // Saved and read again through the kind table.
  RecordWriter writer(dir.Path());
  ASSERT_TRUE(AudioClipRecord::Write(*clip, writer, 0));
  const std::string text = writer.Text();
  {
    RecordReader reader(text, dir.Path());
    AudioClip again = AudioClipKinds::LoadRecord("sound", reader, context);
    ASSERT_TRUE(again) << messages.Get();
    EXPECT_EQ(again->GetKindName(), "Sound");
    EXPECT_EQ(again->GetBeginSample(), 20000);
    EXPECT_EQ(again->Length(), 15000);
    EXPECT_EQ(again->PlayFrame(), 7);
    EXPECT_EQ(again->Volume(), 128);
    EXPECT_EQ(static_cast<const ContainerAudioClip&>(*again).Sound().Get(),
              static_cast<const ContainerAudioClip&>(*clip).Sound().Get())
        << "one reader per file";
  }
  // With the file gone the record becomes an offline entry that writes it back.
  clip = AudioClip();
  std::filesystem::rename(dir / "t.flac", dir / "moved.flac");
  RecordReader reader(text, dir.Path());
  AudioClip offline = OfflineAudioClip::Read("Sound", reader, context);
  ASSERT_TRUE(offline);
  EXPECT_TRUE(offline->IsOffline());
  EXPECT_EQ(offline->GetBeginSample(), 20000);
  RecordWriter back(dir.Path());
  ASSERT_TRUE(AudioClipRecord::Write(*offline, back, 0));
  EXPECT_EQ(back.Text(), text);
  AudioClip relinked = static_cast<const OfflineAudioClip&>(*offline).Relink(dir / "moved.flac", context);
  ASSERT_TRUE(relinked);
  EXPECT_FALSE(relinked->IsOffline());
  EXPECT_EQ(relinked->Length(), 15000);
}

TEST_F(ContainerSoundTest, BadInputIsRefusedWithTheFileNamed) {
  const auto write = [&](const char* name, const std::string& bytes) {
    std::ofstream(dir / name, std::ios::binary) << bytes;
    return dir / name;
  };
  TestSoundOptions o;
  o.codec = TestSoundCodec::Flac;
  ASSERT_TRUE(test::WriteTestSound(dir / "good.flac", o));
  std::ifstream in(dir / "good.flac", std::ios::binary);
  const std::string good((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::filesystem::path bad[] = {write("empty.mp3", ""),
                                       write("text.m4a", "this is not a sound file at all"),
                                       write("cut.flac", good.substr(0, 60)), dir / "missing.ogg"};
  for (const auto& file : bad) {
    SCOPED_TRACE(file.filename().string());
    messages.Set("");
    EXPECT_FALSE(ContainerAudioClip::OpenFile(file, context));
    EXPECT_NE(messages.Get().find(file.filename().string()), std::string::npos) << messages.Get();
  }
  // A movie without sound gives no clip; a name of another kind is not even opened.
  test::TestMovieOptions movie;
  movie.pts = test::ConstantRatePts(5, 30, 1, {1, 30});
  if (test::HasMovieEncoder(movie.codec)) {
    ASSERT_TRUE(test::WriteTestMovie(dir / "silent.mp4", movie));
    EXPECT_FALSE(ContainerAudioClip::OpenFile(dir / "silent.mp4", context));
  }
  std::filesystem::copy_file(dir / "good.flac", dir / "good.wav");
  messages.Set("");
  EXPECT_FALSE(ContainerAudioClip::OpenFile(dir / "good.wav", context));
  EXPECT_TRUE(messages.Empty());
  EXPECT_TRUE(ContainerAudioClip::OpenFile(dir / "good.flac", context));
}

} // namespace
} // namespace rw
