#include "output/CompressorCatalogue.h"
#include "output/MovieCompile.h"

#include "tests/output/MovieCompileTestSupport.h"
#include "tests/support/PictureTestFiles.h"
#include "tests/support/TestAvi.h"

#include <gtest/gtest.h>

namespace rw {
namespace {

using test::CompiledMovie;
using test::CompileProject;

constexpr int kWidth = 64;
constexpr int kHeight = 48;

// A short timeline with every kind of cut and two kinds of transition: a picture of gradients,
// a colour mat, a moving AVI cut.
void BuildTimeline(CompileProject& p, const char* code) {
  p.Output(kWidth, kHeight, code, true, 22050, 16, 1, /*recompress=*/true);
  const auto picture = p / "pattern.bmp";
  test::TestPicture gradient;
  gradient.width = kWidth;
  gradient.height = kHeight;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      gradient.rgb.push_back(static_cast<std::uint32_t>((x * 3) << 16 | (40 + y * 4) << 8 | (200 - x - y)));
  test::WriteBytes(picture, test::BmpBytes(gradient, test::BmpVariant::Bgr24));
  const auto movie = p / "moving.avi";
  test::TestAviOptions options;
  options.codec = test::TestAviCodec::Huffyuv;
  options.width = kWidth;
  options.height = kHeight;
  options.frames = 16;
  options.audioRate = 22050;
  std::string error;
  ASSERT_TRUE(test::WriteTestAvi(movie, options, &error)) << error;
  ASSERT_TRUE(p.AddPicture(picture, 6));
  ASSERT_TRUE(p.AddMat(30, 160, 90, 8));
  ASSERT_TRUE(p.AddAvi(movie, 2, 13));
  ASSERT_TRUE(p.SetTransition(1, "WipeR2L", 3));
  ASSERT_TRUE(p.SetTransition(2, "WipeE2I", 4));
}

class EveryCompressor : public testing::TestWithParam<const CompressorInfo*> {};

TEST_P(EveryCompressor, MovieDecodesToTheRenderedPicturesWithinTheCompressorsLoss) {
  const CompressorInfo& info = *GetParam();
  CompileProject p;
  BuildTimeline(p, info.CodeText().c_str());
  const auto out = p / "movie.avi";
  ASSERT_TRUE(p.Compile(out)) << p.Messages().Get();

  CompiledMovie movie;
  std::string error;
  ASSERT_TRUE(movie.Load(out, error)) << error;
  const std::vector<DIB> expected = p.ExpectedPictures();
  ASSERT_EQ(movie.frames, static_cast<std::int64_t>(expected.size()));
  if (info.family != EncoderFamily::Stored) {
    EXPECT_TRUE(CompressorCatalogue::SameCode(movie.parameters->codec_tag, info.code));
  }
  std::vector<DIB> pictures;
  ASSERT_TRUE(movie.Pictures(pictures, error)) << error;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    if (info.lossless)
      EXPECT_TRUE(test::SamePixels(pictures[i], expected[i])) << info.CodeText() << " frame " << i;
    else {
      // Within the compressor's loss on pictures with sharper edges than its trial picture, and
      // nearer to its own frame than to any other.
      const double own = test::MeanDifference(pictures[i], expected[i]);
      EXPECT_LE(own, 1.5 * info.trialTolerance) << info.CodeText() << " frame " << i;
      for (std::size_t j = 0; j < expected.size(); ++j)
        EXPECT_LE(own, test::MeanDifference(pictures[i], expected[j])) << info.CodeText() << " frame " << i;
    }
  }
  EXPECT_EQ(movie.audio, p.ExpectedSound());
}

std::vector<const CompressorInfo*> Available() {
  test::QuietMediaLibraries();
  static CompressorCatalogue catalogue;
  return catalogue.Entries();
}

INSTANTIATE_TEST_SUITE_P(Catalogue, EveryCompressor, testing::ValuesIn(Available()),
                         [](const testing::TestParamInfo<const CompressorInfo*>& info) {
                           std::string name;
                           for (char c : info.param->CodeText())
                             if (std::isalnum(static_cast<unsigned char>(c)))
                               name += c;
                           return name;
                         });

// Decoding ahead on a second thread and the encoders' own threads change nothing in the file.
TEST(MovieCompileThreads, MoreThreadsWriteTheSameBytes) {
  CompressorCatalogue catalogue;
  for (const char* code : {"MJPG", "FMP4", "H264", "FFV1", "MP42"}) {
    if (!catalogue.Find(*CompressorCatalogue::ParseCode(code)))
      continue;
    CompileProject p;
    BuildTimeline(p, code);
    const auto one = p / "one.avi";
    const auto two = p / "two.avi";
    ASSERT_TRUE(p.Compile(one, 1)) << p.Messages().Get();
    ASSERT_TRUE(p.Compile(two, 4)) << p.Messages().Get();
    EXPECT_EQ(test::ReadFileBytes(one), test::ReadFileBytes(two)) << code;
  }
}

// The same with movie cuts whose decoded pictures go to the encoder as they are (JPEG and H.264
// with B-frames at the movie's size), between rendered transitions and stills.
TEST(MovieCompileThreads, MoreThreadsWriteTheSameBytesWhenPicturesPassThrough) {
  CompressorCatalogue catalogue;
  for (const char* code : {"MJPG", "FMP4", "H264"}) {
    if (!catalogue.Find(*CompressorCatalogue::ParseCode(code)))
      continue;
    CompileProject p;
    p.Output(kWidth, kHeight, code, true, 22050, 16, 1, /*recompress=*/true);
    for (const auto& [name, codec] : {std::pair{"jpeg.avi", test::TestAviCodec::Mjpeg},
                                      std::pair{"h264.avi", test::TestAviCodec::H264BFrames}}) {
      test::TestAviOptions options;
      options.codec = codec;
      options.width = kWidth;
      options.height = kHeight;
      options.frames = 40;
      options.texture = true;
      options.audioRate = 22050;
      std::string error;
      ASSERT_TRUE(test::WriteTestAvi(p / name, options, &error)) << error;
      ASSERT_TRUE(p.AddAvi(p / name, 3, 36));
    }
    ASSERT_TRUE(p.AddMat(30, 160, 90, 4));
    ASSERT_TRUE(p.AddAvi(p / "jpeg.avi", 10, 30));
    ASSERT_TRUE(p.SetTransition(1, "Overlap", 5));
    ASSERT_TRUE(p.SetTransition(3, "WipeL2R", 3));
    const auto one = p / "one.avi";
    const auto two = p / "two.avi";
    ASSERT_TRUE(p.Compile(one, 1)) << p.Messages().Get();
    EXPECT_GT(p.Compiler().Result().passedPictures, 20) << code;
    ASSERT_TRUE(p.Compile(two, 4)) << p.Messages().Get();
    EXPECT_EQ(test::ReadFileBytes(one), test::ReadFileBytes(two)) << code;
  }
}

// A stretch without new pictures longer than the muxer holds sound back for (10 s) while the
// sound goes on: what reaches the file must not depend on how long the encoder's threads keep
// the last picture before it.
TEST(MovieCompileThreads, SoundAfterARepeatedPictureIsPlacedAlikeWithAnyThreads) {
  CompileProject p;
  p.Output(320, 240, "MJPG", true, 44100, 16, 2, /*recompress=*/true);
  test::TestAviOptions options;
  options.width = 320;
  options.height = 240;
  options.frames = 12;
  options.texture = true;
  std::string error;
  ASSERT_TRUE(test::WriteTestAvi(p / "moving.avi", options, &error)) << error;
  ASSERT_TRUE(p.AddAvi(p / "moving.avi", 0, 11));
  ASSERT_TRUE(p.AddMat(200, 30, 60, 330));
  ASSERT_TRUE(p.AddAvi(p / "moving.avi", 0, 11));
  const auto one = p / "one.avi";
  const auto two = p / "two.avi";
  ASSERT_TRUE(p.Compile(one, 1)) << p.Messages().Get();
  for (int run = 0; run < 3; ++run) {
    ASSERT_TRUE(p.Compile(two, 4)) << p.Messages().Get();
    EXPECT_EQ(test::ReadFileBytes(one), test::ReadFileBytes(two)) << run;
  }
}

} // namespace
} // namespace rw
