// reelwright-cli new: a project made from media files.

#include "base/MessageText.h"
#include "base/UserPrompt.h"
#include "media/MediaContext.h"
#include "project/ProjectFile.h"
#include "project/VideoProject.h"
#include "tests/cli/CliRunner.h"
#include "tests/support/PictureTestFiles.h"
#include "tests/support/StillTestFiles.h"
#include "tests/support/TestAvi.h"
#include "tests/support/WavTestFiles.h"

namespace rw::test {
namespace {

class NewCommandTest : public ::testing::Test {
protected:
  NewCommandTest() {
    TestAviOptions movie;
    movie.width = 176;
    movie.height = 144;
    movie.frames = 20;
    movie.audioRate = 22050;
    EXPECT_TRUE(WriteTestAvi(dir / "movie.avi", movie));
    movie.width = 96;
    movie.height = 64;
    movie.frames = 10;
    EXPECT_TRUE(WriteTestAvi(dir / "small.AVI", movie));
    WriteBytes(dir / "still.png", PngBytes(TestPicture::Pattern(40, 30), PngVariant::Rgba));
    WriteBytes(dir / "board.bmp", BmpBytes(TestPicture::Pattern(8, 6), BmpVariant::Bgr24));
    WriteToneWav(dir / "tune.wav", 44100, 2, 16, 44100);
    WriteToneWav(dir / "click.WAV", 4410, 1, 16, 44100);
  }

  std::string Name(const char* file) const { return (dir / file).string(); }

  // The saved project opened again as the editor opens it.
  struct Opened {
    MessageText messages;
    FixedPrompt prompt;
    MediaContext context{messages, prompt};
    VideoProject project{context};
  };
  std::unique_ptr<Opened> Open(const std::filesystem::path& file) {
    auto opened = std::make_unique<Opened>();
    EXPECT_TRUE(ProjectFile::Open(opened->project, file, 160, 120)) << opened->messages.Get();
    return opened;
  }

  // "entry:startFrame" of every audio clip of the sets, in entry order.
  static std::vector<std::string> Anchors(const pVideoClipList& list) {
    std::vector<std::string> out;
    for (std::int32_t i = 0; i < list.Count(); ++i)
      for (std::int32_t k = 0; k < list.EntryAt(i).audio.Count(); ++k)
        out.push_back(std::to_string(i) + ":" + std::to_string(list.AudioStartFrame({i, k})));
    return out;
  }

  TempDir dir;
};

TEST_F(NewCommandTest, CutsInOrderSoundsWithTheCutBeforeThemSizeOfTheFirstMovie) {
  const auto out = dir / "made.rwe";
  // The tune comes before any cut: it goes with the first. The click follows the second movie.
  const CliResult result =
      RunCli({"new", out.string(), Name("tune.wav"), Name("still.png"), Name("movie.avi"), Name("board.bmp"),
              Name("small.AVI"), Name("click.WAV")});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.out.find("4 cuts, 2 sound files, 90 frames"), std::string::npos) << result.out;
  const auto opened = Open(out);
  const pVideoClipList& list = opened->project.List();
  ASSERT_EQ(list.Count(), 4);
  const char* files[] = {"still.png", "movie.avi", "board.bmp", "small.AVI"};
  const std::int32_t lengths[] = {30, 20, 30, 10};
  for (std::int32_t i = 0; i < 4; ++i) {
    EXPECT_EQ(list.EntryAt(i).clip->FileName().filename(), files[i]);
    EXPECT_EQ(list.LengthOf(i), lengths[i]);
  }
  EXPECT_EQ(Anchors(list), (std::vector<std::string>{"0:0", "3:80"}));
  // The movie's size, not the picture's given before it.
  EXPECT_EQ(list.Output().VideoWidth(), 176);
  EXPECT_EQ(list.Output().VideoHeight(), 144);
  // Names are stored relative to the project's folder.
  EXPECT_NE(FileText(out).find("FileName: still.png"), std::string::npos) << FileText(out);
}

TEST_F(NewCommandTest, SizeOptionAndExistingOutput) {
  const auto out = dir / "sized.rwe";
  CliResult result = RunCli({"new", out.string(), Name("still.png"), Name("movie.avi"), "--size", "640x360"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(Open(out)->project.List().Output().VideoWidth(), 640);
  const std::string before = FileText(out);

  // An existing file is kept unless --force is given.
  result = RunCli({"new", out.string(), Name("board.bmp")});
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.err.find("--force"), std::string::npos) << result.err;
  EXPECT_EQ(FileText(out), before);
  // Not even --force writes over a media file of the project.
  const std::string movie = FileText(dir / "movie.avi");
  result = RunCli({"new", "--force", Name("movie.avi"), Name("movie.avi")});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(FileText(dir / "movie.avi"), movie);
  result = RunCli({"new", "--force", out.string(), Name("board.bmp")});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(Open(out)->project.List().Count(), 1);

  // Sizes the output cannot take are usage errors.
  for (const char* size : {"0x10", "4097x100", "wide", "640"}) {
    result = RunCli({"new", (dir / "bad.rwe").string(), Name("movie.avi"), "--size", size});
    EXPECT_EQ(result.status, 2) << size;
  }
  EXPECT_EQ(RunCli({"new", (dir / "bad.rwe").string()}).status, 2);
  EXPECT_FALSE(std::filesystem::exists(dir / "bad.rwe"));
}

TEST_F(NewCommandTest, FilesThatDoNotOpenAreEachNamedAndNothingIsWritten) {
  WriteBytes(dir / "broken.png", {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0});
  WriteBytes(dir / "notes.txt", {'h', 'i'});
  const auto out = dir / "never.rwe";
  const CliResult result =
      RunCli({"new", out.string(), Name("movie.avi"), Name("broken.png"), Name("missing.avi"),
              Name("notes.txt"), Name("tune.wav"), Name("gone.wav")});
  EXPECT_EQ(result.status, 1);
  for (const char* name : {"broken.png", "missing.avi", "notes.txt", "gone.wav"})
    EXPECT_NE(result.err.find(Name(name) + " as a"), std::string::npos) << name << "\n" << result.err;
  EXPECT_EQ(result.err.find(Name("movie.avi") + " as a"), std::string::npos) << result.err;
  EXPECT_FALSE(std::filesystem::exists(out));

  // Sound alone has no cut to go with.
  EXPECT_EQ(RunCli({"new", out.string(), Name("tune.wav")}).status, 1);
  EXPECT_FALSE(std::filesystem::exists(out));
}

} // namespace
} // namespace rw::test
