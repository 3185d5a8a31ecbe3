#include "media/ContainerSound.h"
#include "base/MessageText.h"
#include "base/UserPrompt.h"
#include "media/ContainerAudioClip.h"
#include "media/MediaContext.h"
#include "tests/support/ContainerTestFiles.h"
#include "tests/support/SoundTestFiles.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
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

} // namespace
} // namespace rw
