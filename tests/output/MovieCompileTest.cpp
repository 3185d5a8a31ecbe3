#include "output/MovieCompile.h"

#include "tests/output/MovieCompileTestSupport.h"
#include "tests/support/WavTestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace rw {
namespace {

using test::CompiledMovie;
using test::CompileProject;

std::vector<bool> KeyFlags(const CompiledMovie& movie) {
  std::vector<bool> keys;
  for (const test::IndexEntry& e : movie.video)
    keys.push_back(e.size > 0 && e.Key());
  return keys;
}

TEST(MovieCompileFrames, StillOfTenFramesIsWrittenAtItsFirstAndLastFrameOnly) {
  CompileProject p;
  p.Output(64, 48, "FFV1");
  ASSERT_TRUE(p.AddMat(200, 40, 10, 10));
  const auto out = p / "still.avi";
  ASSERT_TRUE(p.Compile(out)) << p.Messages().Get();

  CompiledMovie movie;
  std::string error;
  ASSERT_TRUE(movie.Load(out, error)) << error;
  EXPECT_EQ(movie.frames, 10);
  ASSERT_EQ(movie.video.size(), 10u);
  EXPECT_EQ(movie.Written(), (std::vector<std::int64_t>{0, 9}));
  EXPECT_TRUE(movie.video[0].Key());
  EXPECT_TRUE(movie.video[9].Key());
  EXPECT_EQ(p.Compiler().Result().encodedPictures, 2);

  std::vector<DIB> pictures;
  ASSERT_TRUE(movie.Pictures(pictures, error)) << error;
  const std::vector<DIB> expected = p.ExpectedPictures();
  for (int i = 0; i < 10; ++i)
    EXPECT_TRUE(test::SamePixels(pictures[i], expected[i])) << i;
}

// A transition of five frames into a still: the still's frames 0 and 4 are key frames, 1..3 are
// not; frame 5, the first after the blend, shows the still itself.
TEST(MovieCompileFrames, TransitionIntoACutFlagsItsFirstAndLastStepAndShowsTheCutAfterIt) {
  CompileProject p;
  p.Output(64, 48, "FMP4");
  ASSERT_TRUE(p.AddMat(250, 250, 250, 10));
  ASSERT_TRUE(p.AddMat(0, 0, 200, 12));
  ASSERT_TRUE(p.SetTransition(1, "WipeL2R", 5));
  ASSERT_EQ(p.List().TotalFrames(), 17);
  const auto out = p / "wipe.avi";
  ASSERT_TRUE(p.Compile(out)) << p.Messages().Get();

  CompiledMovie movie;
  std::string error;
  ASSERT_TRUE(movie.Load(out, error)) << error;
  ASSERT_EQ(movie.video.size(), 17u);
  // Timeline: the white mat's own frames 0..4, the wipe 5..9 (frames 0..4 of the blue mat),
  // the blue mat alone 10..16.
  EXPECT_EQ(movie.Written(), (std::vector<std::int64_t>{0, 5, 6, 7, 8, 9, 10, 16}));
  const std::vector<bool> keys = KeyFlags(movie);
  for (int i : {0, 5, 9, 16})
    EXPECT_TRUE(keys[i]) << i;
  for (int i : {6, 7, 8})
    EXPECT_FALSE(keys[i]) << i;

  std::vector<DIB> pictures;
  ASSERT_TRUE(movie.Pictures(pictures, error)) << error;
  const std::vector<DIB> expected = p.ExpectedPictures();
  for (int i = 10; i < 17; ++i)
    EXPECT_LT(test::MeanDifference(pictures[i], expected[i]), 2.0) << i;
  // Not the last blended picture, which still shows part of the white mat.
  EXPECT_GT(test::MeanDifference(pictures[10], expected[9]), 20.0);
}

TEST(MovieCompileFrames, StillAfterATransitionGetsItsOwnPictureAtTheEndOfTheBlend) {
  CompileProject p;
  p.Output(48, 32, "DIB");
  const auto still = p / "still.bmp";
  test::WriteStillPicture(still, 48, 32, 0x3060C0);
  ASSERT_TRUE(p.AddMat(10, 200, 10, 8));
  ASSERT_TRUE(p.AddPicture(still, 9));
  ASSERT_TRUE(p.SetTransition(1, "Overlap", 4));
  const auto out = p / "fade.avi";
  ASSERT_TRUE(p.Compile(out)) << p.Messages().Get();

  CompiledMovie movie;
  std::string error;
  ASSERT_TRUE(movie.Load(out, error)) << error;
  std::vector<DIB> pictures;
  ASSERT_TRUE(movie.Pictures(pictures, error)) << error;
  const std::vector<DIB> expected = p.ExpectedPictures();
  ASSERT_EQ(pictures.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i)
    EXPECT_TRUE(test::SamePixels(pictures[i], expected[i])) << i;
}

TEST(MovieCompileStop, StopAtTheFirstCallWritesNoFrameAndStillSucceeds) {
  CompileProject p;
  p.Output(64, 48, "MJPG", true);
  ASSERT_TRUE(p.AddMat(1, 2, 3, 20));
  const auto out = p / "stopped.avi";
  int calls = 0;
  ASSERT_TRUE(p.Compile(out, 1, [&](int percent) {
    EXPECT_EQ(percent, 0);
    ++calls;
    return false;
  }));
  EXPECT_EQ(calls, 1);
  EXPECT_TRUE(p.Compiler().Result().stopped);
  EXPECT_EQ(p.Compiler().Result().encodedPictures, 0);

  CompiledMovie movie;
  std::string error;
  ASSERT_TRUE(movie.Load(out, error)) << error;
  EXPECT_EQ(movie.Written().size(), 0u);
  EXPECT_TRUE(movie.audio.empty());
  EXPECT_FALSE(std::filesystem::exists(MovieCompile::PartialName(out)));
}

TEST(MovieCompileStop, StopHalfwayLeavesAPlayableMovieOfTheFramesMade) {
  for (int threads : {1, 2}) {
    CompileProject p;
    p.Output(64, 48, "MJPG", true, 32000);
    ASSERT_TRUE(p.AddMat(200, 0, 0, 10));
    ASSERT_TRUE(p.AddMat(0, 0, 200, 30));
    ASSERT_TRUE(p.SetTransition(1, "Overlap", 6));
    const auto out = p / "half.avi";
    std::vector<int> percents;
    ASSERT_TRUE(p.Compile(out, threads, [&](int percent) {
      percents.push_back(percent);
      return percents.size() <= 13;
    }));
    // Frames 0..12 were made; the call before frame 13 stopped the compile.
    ASSERT_EQ(percents.size(), 14u);
    for (std::size_t i = 0; i < percents.size(); ++i)
      EXPECT_EQ(percents[i], static_cast<int>(i * 100 / 34));
    EXPECT_EQ(p.Compiler().Result().done, 13);

    CompiledMovie movie;
    std::string error;
    ASSERT_TRUE(movie.Load(out, error)) << error;
    EXPECT_EQ(movie.frames, 13);
    EXPECT_EQ(movie.audio.size(), static_cast<std::size_t>(32000 * 13 / 30) * 4);
    std::vector<DIB> pictures;
    ASSERT_TRUE(movie.Pictures(pictures, error)) << error;
    const std::vector<DIB> expected = p.ExpectedPictures();
    for (int i = 0; i < 13; ++i)
      EXPECT_LT(test::MeanDifference(pictures[i], expected[i]), 3.0) << i;
  }
}

TEST(MovieCompileSound, EveryRateGivesExactlyItsSamplesPerFrameInterleavedWithThePictures) {
  const auto tone = [](CompileProject& p) {
    const auto wav = p / "tone.wav";
    test::WriteToneWav(wav, 30000, 2, 16, 22050);
    return wav;
  };
  for (int rate : {11025, 22050, 32000, 44100, 48000}) {
    CompileProject p;
    p.Output(32, 24, "MJPG", true, rate, 16, 2);
    ASSERT_TRUE(p.AddMat(9, 9, 9, 25));
    ASSERT_TRUE(p.AddMat(90, 9, 9, 20));
    ASSERT_TRUE(p.AddWav(tone(p), 3));
    const auto out = p / "sound.avi";
    ASSERT_TRUE(p.Compile(out)) << p.Messages().Get();
    CompiledMovie movie;
    std::string error;
    ASSERT_TRUE(movie.Load(out, error)) << error;
    EXPECT_EQ(movie.audio.size(), static_cast<std::size_t>(rate) * 45 / 30 * 4) << rate;
    EXPECT_EQ(movie.audio, p.ExpectedSound()) << rate;
    EXPECT_EQ(p.Compiler().Result().audioSamples, std::int64_t{rate} * 45 / 30);
    // Frame by frame: each video entry is followed by that frame's sound.
    const std::vector<test::IndexEntry> all = test::ReadIndex(movie.bytes);
    std::size_t sound = 0;
    for (const test::IndexEntry& e : all)
      if (e.chunk == "01wb")
        ++sound;
    EXPECT_GE(sound, 44u) << rate;
  }
}

// Both sides of a mono 8-bit movie are limited to ±32767 before they are packed.
TEST(MovieCompileSound, MonoEightBitSoundIsLimitedBeforePacking) {
  CompileProject p;
  p.Output(32, 24, "MJPG", true, 22050, 8, 1);
  const auto loud = p / "loud.wav";
  const auto quiet = p / "quiet.wav";
  auto constant = [](const std::filesystem::path& file, std::int16_t value) {
    std::vector<std::uint8_t> data;
    for (int i = 0; i < 22050 * 10 / 30; ++i)
      for (int ch = 0; ch < 2; ++ch)
        test::PutU16(data, static_cast<std::uint16_t>(value));
    test::WavBuilder().Fmt(1, 2, 22050, 16).Data(data).Write(file);
  };
  constant(loud, 20000);
  constant(quiet, -20000);
  ASSERT_TRUE(p.AddMat(0, 0, 0, 30));
  // Frames 0..9 two loud clips (40000), 10..19 two quiet ones (-40000), 20..29 silence.
  ASSERT_TRUE(p.AddWav(loud, 0));
  ASSERT_TRUE(p.AddWav(loud, 0));
  ASSERT_TRUE(p.AddWav(quiet, 10));
  ASSERT_TRUE(p.AddWav(quiet, 10));
  const auto out = p / "clamp.avi";
  ASSERT_TRUE(p.Compile(out)) << p.Messages().Get();
  CompiledMovie movie;
  std::string error;
  ASSERT_TRUE(movie.Load(out, error)) << error;
  ASSERT_EQ(movie.audio.size(), 22050u);
  EXPECT_EQ(movie.audio[0], 255);
  EXPECT_EQ(movie.audio[22050 / 3 - 1], 255);
  EXPECT_EQ(movie.audio[22050 / 3 + 1], 0);
  EXPECT_EQ(movie.audio[22050 * 2 / 3 - 1], 0);
  EXPECT_EQ(movie.audio[22050 * 2 / 3 + 1], 128);
  EXPECT_EQ(movie.audio.back(), 128);
}

} // namespace
} // namespace rw
