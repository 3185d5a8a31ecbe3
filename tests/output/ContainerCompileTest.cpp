// Compiles of projects with movie cuts of MP4 and MKV files: their pictures are always encoded
// again (never copied), and a project mixing them with AVI cuts and a PNG still decodes back with
// the pictures and sample counts of its timeline.
#include "media/ContainerClip.h"
#include "media/PictureClip.h"
#include "tests/output/MovieCompileTestSupport.h"
#include "tests/support/ContainerTestFiles.h"
#include "tests/support/StillTestFiles.h"
#include "tests/support/TestAvi.h"

#include <gtest/gtest.h>

namespace rw {
namespace {

using test::CompiledMovie;
using test::CompileProject;

constexpr int kWidth = 64;
constexpr int kHeight = 48;

std::filesystem::path Movie(CompileProject& p, const char* name, int pictures, bool sound) {
  test::TestMovieOptions o;
  o.width = kWidth;
  o.height = kHeight;
  o.pts = test::ConstantRatePts(pictures, 30, 1, {1, 30});
  o.bFrames = 2;
  if (sound) {
    o.sound = test::TestMovieSound::Aac;
    o.soundRate = 48000;
  }
  std::string error;
  EXPECT_TRUE(test::WriteTestMovie(p / name, o, &error)) << error;
  return p / name;
}

bool AddMovie(CompileProject& p, const std::filesystem::path& file, int begin, int end) {
  VideoClip clip = ContainerClip::OpenFile(file, p.Context());
  if (clip.IsNull())
    return false;
  clip.SetEndFrame(end);
  clip.SetBeginFrame(begin);
  return p.Project().AppendClip(clip);
}

std::filesystem::path Avi(CompileProject& p, const char* name, int frames) {
  test::TestAviOptions o;
  o.codec = test::TestAviCodec::Mjpeg;
  o.width = kWidth;
  o.height = kHeight;
  o.frames = frames;
  o.audioRate = 44100;
  EXPECT_TRUE(test::WriteTestAvi(p / name, o));
  return p / name;
}

int Number(const DIB& picture) {
  return test::ReadPictureNumber(picture.Bits(), picture.Width(), picture.Height());
}

TEST(ContainerCompile, MovieCutsAreEncodedWhereAviCutsAreCopied) {
  test::QuietMediaLibraries();
  CompileProject p;
  p.Output(kWidth, kHeight, "MJPG");
  ASSERT_TRUE(p.AddAvi(Avi(p, "a.avi", 20), 0, 9));
  ASSERT_TRUE(AddMovie(p, Movie(p, "b.mp4", 30, false), 3, 22)) << p.Messages().Get();
  const auto out = p / "out.avi";
  ASSERT_TRUE(p.Compile(out)) << p.Messages().Get();
  EXPECT_EQ(p.Compiler().Result().copiedSamples, 10);
  EXPECT_EQ(p.Compiler().Result().encodedPictures, 20);
  CompiledMovie movie;
  std::string error;
  ASSERT_TRUE(movie.Load(out, error)) << error;
  std::vector<DIB> pictures;
  ASSERT_TRUE(movie.Pictures(pictures, error)) << error;
  ASSERT_EQ(pictures.size(), 30u);
  for (int i = 0; i < 30; ++i)
    EXPECT_EQ(Number(pictures[static_cast<std::size_t>(i)]), i < 10 ? i : i - 10 + 3) << i;
}

TEST(ContainerCompile, MixedProjectDecodesBackWithItsPicturesAndSound) {
  test::QuietMediaLibraries();
  CompileProject p;
  p.Output(kWidth, kHeight, "MJPG", true, 44100, 16, 2);
  ASSERT_TRUE(p.AddAvi(Avi(p, "a.avi", 20), 2, 11));
  ASSERT_TRUE(AddMovie(p, Movie(p, "b.mp4", 40, true), 5, 24)) << p.Messages().Get();
  ASSERT_TRUE(AddMovie(p, Movie(p, "c.mkv", 30, false), 0, 14)) << p.Messages().Get();
  // Smooth enough for the compressor, with the top left quarter marked so that a flip shows.
  test::TestPicture still{kWidth, kHeight, {}};
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      still.rgb.push_back(static_cast<std::uint32_t>(x * 4) << 16 | static_cast<std::uint32_t>(y * 5) << 8 |
                          (x < kWidth / 2 && y < kHeight / 2 ? 0xF0u : 0x10u));
  test::WriteBytes(p / "d.png", test::PngBytes(still, test::PngVariant::Rgb24));
  ASSERT_TRUE(p.AddPicture(p / "d.png", 10)) << p.Messages().Get();
  const int frames = 10 + 20 + 15 + 10;
  ASSERT_EQ(p.List().TotalFrames(), frames);
  const auto out = p / "mixed.avi";
  ASSERT_TRUE(p.Compile(out)) << p.Messages().Get();

  CompiledMovie movie;
  std::string error;
  ASSERT_TRUE(movie.Load(out, error)) << error;
  std::vector<DIB> pictures;
  ASSERT_TRUE(movie.Pictures(pictures, error)) << error;
  ASSERT_EQ(pictures.size(), static_cast<std::size_t>(frames));
  const std::vector<DIB> expected = p.ExpectedPictures();
  for (int i = 0; i < frames; ++i) {
    const DIB& got = pictures[static_cast<std::size_t>(i)];
    if (i < 10)
      EXPECT_EQ(Number(got), 2 + i) << i;
    else if (i < 30)
      EXPECT_EQ(Number(got), 5 + i - 10) << i;
    else if (i < 45)
      EXPECT_EQ(Number(got), i - 30) << i;
    else
      EXPECT_LT(test::MeanDifference(got, expected[static_cast<std::size_t>(i)]), 4.0) << i;
  }
  // Every frame's sound: 1470 stereo 16-bit sample frames each, the movie's own sound included.
  EXPECT_EQ(movie.audio.size(), std::size_t{44100} * frames / 30 * 4);
  EXPECT_EQ(p.Compiler().Result().audioSamples, std::int64_t{44100} * frames / 30);
  EXPECT_EQ(movie.audio, p.ExpectedSound());
}

} // namespace
} // namespace rw
