#include "output/MovieCompile.h"

#include "media/AviStream.h"
#include "tests/output/MovieCompileTestSupport.h"
#include "tests/support/TestAvi.h"

#include <gtest/gtest.h>

#include <map>

namespace rw {
namespace {

using test::CompiledMovie;
using test::CompileProject;
using test::TestAviCodec;

std::filesystem::path Source(CompileProject& p, const char* name, TestAviCodec codec, int width, int height,
                             int frames, int audioRate = 44100) {
  test::TestAviOptions options;
  options.codec = codec;
  options.width = width;
  options.height = height;
  options.frames = frames;
  options.audioRate = audioRate;
  const auto file = p / name;
  std::string error;
  EXPECT_TRUE(test::WriteTestAvi(file, options, &error)) << error;
  return file;
}

// The stored sample of the source frame shown at timeline frame i.
std::vector<std::uint8_t> SourceSample(const pVideoClipList& list, std::int32_t i) {
  const ClipPos pos = list.PosAt(i);
  const pVideoClip& clip = *pos.info.clip;
  std::vector<std::uint8_t> bytes;
  EXPECT_TRUE((*clip.GetStream())->ReadVideoSample(clip.GetBeginFrame() + pos.frame, bytes));
  return bytes;
}

std::map<std::int64_t, const MovieReader::VideoSample*> ByPosition(const CompiledMovie& movie) {
  std::map<std::int64_t, const MovieReader::VideoSample*> samples;
  for (const MovieReader::VideoSample& s : movie.samples)
    if (!s.bytes.empty())
      samples[s.position] = &s;
  return samples;
}

bool InTransition(const pVideoClipList& list, std::int32_t i) {
  const ClipPos pos = list.PosAt(i);
  return pos.frame < pos.info.TransLength();
}

// Three trimmed MJPEG cuts at the movie's size, one joined by a wipe: only the wipe is
// compressed, every other frame is the source's own sample and decodes to the source's picture.
TEST(MovieCompileCopy, TrimmedMjpegCutsAreCopiedExceptInsideTheTransition) {
  CompileProject p;
  p.Output(96, 64, "MJPG", true);
  const auto a = Source(p, "a.avi", TestAviCodec::Mjpeg, 96, 64, 40);
  const auto b = Source(p, "b.avi", TestAviCodec::Mjpeg, 96, 64, 40);
  ASSERT_TRUE(p.AddAvi(a, 3, 30));
  ASSERT_TRUE(p.AddAvi(b, 5, 25));
  ASSERT_TRUE(p.AddAvi(a, 0, 15));
  ASSERT_TRUE(p.SetTransition(1, "WipeL2R", 6));
  const pVideoClipList& list = p.List();
  const std::int32_t n = list.TotalFrames();
  ASSERT_EQ(n, 28 + 21 + 16 - 6);
  const auto out = p / "copied.avi";
  ASSERT_TRUE(p.Compile(out)) << p.Messages().Get();
  EXPECT_EQ(p.Compiler().Result().encodedPictures, 6);
  EXPECT_EQ(p.Compiler().Result().copiedSamples, n - 6);

  CompiledMovie movie;
  std::string error;
  ASSERT_TRUE(movie.Load(out, error)) << error;
  ASSERT_EQ(movie.frames, n);
  const auto samples = ByPosition(movie);
  ASSERT_EQ(samples.size(), static_cast<std::size_t>(n));
  for (std::int32_t i = 0; i < n; ++i)
    if (!InTransition(list, i)) {
      EXPECT_EQ(samples.at(i)->bytes, SourceSample(list, i)) << i;
    }

  // Decoded: the copied frames are the sources' pictures exactly, the wipe within JPEG's loss.
  std::vector<DIB> pictures;
  ASSERT_TRUE(movie.Pictures(pictures, error)) << error;
  CompiledMovie sourceA;
  CompiledMovie sourceB;
  ASSERT_TRUE(sourceA.Load(a, error)) << error;
  ASSERT_TRUE(sourceB.Load(b, error)) << error;
  std::vector<DIB> picturesA;
  std::vector<DIB> picturesB;
  ASSERT_TRUE(sourceA.Pictures(picturesA, error)) << error;
  ASSERT_TRUE(sourceB.Pictures(picturesB, error)) << error;
  const std::vector<DIB> expected = p.ExpectedPictures();
  for (std::int32_t i = 0; i < n; ++i) {
    const ClipPos pos = list.PosAt(i);
    const std::int32_t s = pos.info.clip->GetBeginFrame() + pos.frame;
    if (InTransition(list, i))
      EXPECT_LT(test::MeanDifference(pictures[i], expected[i]), 6.0) << i;
    else
      EXPECT_TRUE(test::SamePixels(pictures[i], pos.index == 1 ? picturesB[s] : picturesA[s])) << i;
  }
  EXPECT_EQ(movie.audio, p.ExpectedSound());
}

TEST(MovieCompileCopy, RecompressEncodesEveryFrame) {
  CompileProject p;
  p.Output(96, 64, "MJPG", false, 44100, 16, 2, /*recompress=*/true);
  const auto a = Source(p, "a.avi", TestAviCodec::Mjpeg, 96, 64, 20);
  ASSERT_TRUE(p.AddAvi(a, 2, 17));
  ASSERT_TRUE(p.Compile(p / "out.avi")) << p.Messages().Get();
  EXPECT_EQ(p.Compiler().Result().encodedPictures, 16);
  EXPECT_EQ(p.Compiler().Result().copiedSamples, 0);
}

// Samples that would not be valid in the movie's stream are never copied.
TEST(MovieCompileCopy, SourcesOfAnotherSizeCompressorOrOrderAreRendered) {
  struct Case {
    const char* name;
    TestAviCodec codec;
    int width;
    const char* output;
  };
  for (const Case& c : {Case{"other size", TestAviCodec::Mjpeg, 80, "MJPG"},
                        Case{"other compressor", TestAviCodec::Mjpeg, 96, "FFV1"},
                        Case{"reordered pictures", TestAviCodec::Mpeg4BFrames, 96, "FMP4"},
                        Case{"top-down rows", TestAviCodec::RawBgr24, 96, "DIB"}}) {
    CompileProject p;
    p.Output(96, 64, c.output);
    const auto a = Source(p, "a.avi", c.codec, c.width, 64, 30, 0);
    ASSERT_TRUE(p.AddAvi(a, 0, 29)) << c.name;
    const auto out = p / "out.avi";
    ASSERT_TRUE(p.Compile(out)) << c.name << p.Messages().Get();
    EXPECT_EQ(p.Compiler().Result().copiedSamples, 0) << c.name;
    EXPECT_EQ(p.Compiler().Result().encodedPictures, 30) << c.name;

    CompiledMovie movie;
    std::string error;
    ASSERT_TRUE(movie.Load(out, error)) << error;
    std::vector<DIB> pictures;
    ASSERT_TRUE(movie.Pictures(pictures, error)) << error;
    const std::vector<DIB> expected = p.ExpectedPictures();
    for (std::size_t i = 0; i < expected.size(); ++i)
      EXPECT_LT(test::MeanDifference(pictures[i], expected[i]), 8.0) << c.name << " frame " << i;
  }
}

TEST(MovieCompileCopy, BottomUpUncompressedSourcesAreCopied) {
  CompileProject p;
  p.Output(96, 64, "DIB", true);
  const auto a = Source(p, "a.avi", TestAviCodec::RawBgr24BottomUp, 96, 64, 12);
  ASSERT_TRUE(p.AddAvi(a, 1, 10));
  const auto out = p / "out.avi";
  ASSERT_TRUE(p.Compile(out)) << p.Messages().Get();
  EXPECT_EQ(p.Compiler().Result().copiedSamples, 10);
  CompiledMovie movie;
  std::string error;
  ASSERT_TRUE(movie.Load(out, error)) << error;
  std::vector<DIB> pictures;
  ASSERT_TRUE(movie.Pictures(pictures, error)) << error;
  const std::vector<DIB> expected = p.ExpectedPictures();
  for (std::size_t i = 0; i < expected.size(); ++i)
    EXPECT_TRUE(test::SamePixels(pictures[i], expected[i])) << i;
}

// An inter-frame source: frames before its first key frame in the cut are compressed, a copy
// run starts at the key frame, and the picture after the run is a key frame of its own.
TEST(MovieCompileCopy, InterFrameSourcesAreCopiedFromTheirFirstKeyFrameOn) {
  CompileProject p;
  p.Output(160, 120, "FMP4");
  const auto a = Source(p, "a.avi", TestAviCodec::Mpeg4, 160, 120, 40, 0);
  ASSERT_TRUE(p.AddAvi(a, 5, 30)); // key frames of the source at 0, 12, 24
  ASSERT_TRUE(p.AddMat(20, 40, 60, 5));
  const auto out = p / "out.avi";
  ASSERT_TRUE(p.Compile(out)) << p.Messages().Get();
  const auto& result = p.Compiler().Result();
  EXPECT_EQ(result.copiedSamples, 19);      // source frames 12 .. 30
  EXPECT_EQ(result.encodedPictures, 7 + 2); // source frames 5 .. 11, the mat and its last frame

  CompiledMovie movie;
  std::string error;
  ASSERT_TRUE(movie.Load(out, error)) << error;
  ASSERT_EQ(movie.video.size(), 31u);
  EXPECT_TRUE(movie.video[0].Key());
  EXPECT_TRUE(movie.video[7].Key());  // the copy run's first sample
  EXPECT_TRUE(movie.video[26].Key()); // the mat, after the copied run
  std::vector<DIB> pictures;
  ASSERT_TRUE(movie.Pictures(pictures, error)) << error;
  test::TestAviOptions options;
  options.codec = TestAviCodec::Mpeg4;
  options.width = 160;
  options.height = 120;
  options.frames = 40;
  for (int i = 0; i < 26; ++i)
    EXPECT_EQ(test::ReadPictureNumber(pictures[i].Bits(), 160, 120),
              test::ExpectedPictureNumber(options, 5 + i))
        << i;
  const std::vector<DIB> expected = p.ExpectedPictures();
  for (int i = 26; i < 31; ++i)
    EXPECT_LT(test::MeanDifference(pictures[i], expected[i]), 3.0) << i;
}

} // namespace
} // namespace rw
