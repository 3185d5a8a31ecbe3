// Projects with cuts of MP4 and MKV movies: saved and opened again with their trimming, volume
// and pictures; a missing movie stays as an offline entry written back unchanged.

#include "media/AviClip.h"
#include "media/ContainerClip.h"
#include "project/OfflineMedia.h"
#include "tests/project/ProjectFileFixture.h"
#include "tests/support/ContainerTestFiles.h"

namespace rw::test {
namespace {

class ContainerProjectTest : public ProjectFileTest {
protected:
  std::filesystem::path Movie(const std::string& name, int pictures, bool sound) {
    TestMovieOptions o;
    o.width = 64;
    o.height = 48;
    o.pts = ConstantRatePts(pictures, 30, 1, {1, 30});
    o.bFrames = 2;
    if (sound)
      o.sound = TestMovieSound::Aac;
    std::string error;
    EXPECT_TRUE(WriteTestMovie(dir / name, o, &error)) << error;
    return dir / name;
  }
  static int Number(const VideoClip& clip, int i) {
    return ReadMoviePictureNumber(clip->GetFrame(i), clip->GetWidth(), clip->GetHeight());
  }
  // Two movie cuts around an AVI one, trimmed, the first one's sound turned down.
  void Build() {
    ASSERT_TRUE(project.AppendClip(ContainerClip::OpenFile(Movie("take 1.mp4", 60, true), context)))
        << messages.Get();
    TestAviOptions avi;
    avi.frames = 20;
    ASSERT_TRUE(WriteTestAvi(dir / "b.avi", avi));
    ASSERT_TRUE(project.AppendClip(AviClip::OpenFile(dir / "b.avi", context)));
    ASSERT_TRUE(project.AppendClip(ContainerClip::OpenFile(Movie("sub/c.mkv", 45, false), context)));
    project.SetEndFrame(49, 0);
    project.SetBeginFrame(10, 0);
    if (project.List().EntryAt(0).clip->Audio())
      project.SetAudioVolume(AudioRef{0, -1}, 300);
    project.SetBeginFrame(7, 2);
  }
};

TEST_F(ContainerProjectTest, MovieCutsSurviveSavingAndOpening) {
  std::filesystem::create_directory(dir / "sub");
  Build();
  const std::string first = SaveText("first.rwe");
  ASSERT_FALSE(first.empty()) << messages.Get();
  EXPECT_NE(first.find("Movie"), std::string::npos);
  EXPECT_NE(first.find("take 1.mp4"), std::string::npos);

  VideoProject opened(context);
  ASSERT_TRUE(ProjectFile::Open(opened, dir / "first.rwe", 160, 120)) << messages.Get();
  ASSERT_EQ(opened.List().Count(), 3);
  const VideoClip& a = opened.List().EntryAt(0).clip;
  const VideoClip& c = opened.List().EntryAt(2).clip;
  EXPECT_EQ(a->GetKindName(), "Movie");
  EXPECT_EQ(a->GetBeginFrame(), 10);
  EXPECT_EQ(a->Length(), 40);
  EXPECT_EQ(Number(a, 0), 10);
  EXPECT_EQ(Number(a, 39), 49);
  ASSERT_TRUE(a->Audio() && a->Audio()->IsValid());
  EXPECT_EQ(a->Audio()->Volume(), 300);
  EXPECT_EQ(a->Audio()->GetBeginSample(), 10 * 48000 / 30);
  EXPECT_EQ(c->GetKindName(), "Movie");
  EXPECT_EQ(Number(c, 0), 7);
  EXPECT_EQ(opened.List().TotalFrames(), project.List().TotalFrames());
  EXPECT_EQ(SaveText(opened, "second.rwe"), first);
}

TEST_F(ContainerProjectTest, AMissingMovieIsKeptAndWrittenBackUnchanged) {
  std::filesystem::create_directory(dir / "sub");
  Build();
  const std::string first = SaveText("first.rwe");
  ASSERT_FALSE(first.empty());
  project = VideoProject(context);
  std::filesystem::rename(dir / "sub" / "c.mkv", dir / "elsewhere.mkv");

  VideoProject opened(context);
  ASSERT_TRUE(ProjectFile::Open(opened, dir / "first.rwe", 160, 120)) << messages.Get();
  ASSERT_EQ(opened.List().Count(), 3);
  EXPECT_TRUE(opened.List().EntryAt(2).clip->IsOffline());
  EXPECT_EQ(opened.List().EntryAt(2).clip->Length(), 38);
  const std::vector<OfflineFile> files = OfflineMedia::List(opened.List());
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0].file, dir / "sub" / "c.mkv");
  EXPECT_EQ(files[0].reason, "見つかりません");
  EXPECT_EQ(opened.List().TotalFrames(), 40 + 20 + 38);
  EXPECT_EQ(SaveText(opened, "second.rwe"), first);
}

} // namespace
} // namespace rw::test
