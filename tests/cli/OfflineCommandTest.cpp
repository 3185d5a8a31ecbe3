// reelwright-cli on a project whose media files were moved away: the one message on opening,
// the offline marks of info, the placeholder and silence of frame and audio, the refused
// compile and the relink command.

#include "tests/cli/CliRunner.h"
#include "tests/support/ProjectTestMedia.h"
#include "tests/support/TestAvi.h"

#include <set>

namespace rw::test {
namespace {

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
    ++n;
  return n;
}

// The sample project (an AVI cut, an overlap into a mat with a WAV anchored to it) with the AVI
// and the WAV moved into a folder tree "moved/" under other folders.
class OfflineCommandTest : public ::testing::Test {
protected:
  OfflineCommandTest() : media(WriteProjectMedia(dir.Path())) {
    std::ofstream(project, std::ios::binary) << SampleProjectText("//");
    std::filesystem::create_directories(movedAvi.parent_path());
    std::filesystem::create_directories(movedWav.parent_path());
    std::filesystem::rename(media.avi, movedAvi);
    std::filesystem::rename(media.wav, movedWav);
  }

  TempDir dir;
  ProjectMedia media;
  std::filesystem::path project = dir / "sample.rwe";
  std::filesystem::path movedAvi = dir / "moved" / "a" / "b" / "opening.avi";
  std::filesystem::path movedWav = dir / "moved" / "sounds" / "theme music.wav";
};

TEST_F(OfflineCommandTest, InfoMarksOfflineEntriesAfterOneMessage) {
  const CliResult result = RunCli({"info", project.string()});
  ASSERT_EQ(result.status, 0) << result.err;
  // One message on standard error naming both files once.
  EXPECT_EQ(Count(result.err, "reelwright-cli: "), 1u) << result.err;
  EXPECT_EQ(Count(result.err, media.avi.string()), 1u) << result.err;
  EXPECT_EQ(Count(result.err, media.wav.string()), 1u) << result.err;
  // Every entry stays, in its place, with its transition.
  const std::string& out = result.out;
  EXPECT_NE(out.find("\"totalFrames\": 135,"), std::string::npos) << out;
  EXPECT_NE(
      out.find("\"start\": 0,\n      \"valid\": false,\n      \"offline\": true,\n      \"reason\": \""),
      std::string::npos)
      << out;
  EXPECT_NE(out.find("\"transition\": {\n        \"kind\": \"Overlap\",\n        \"length\": 15"),
            std::string::npos)
      << out;
  EXPECT_NE(out.find("\"volume\": 256,\n          \"valid\": false,\n          \"offline\": true,\n"
                     "          \"reason\": \""),
            std::string::npos)
      << out;
  EXPECT_EQ(Count(out, "\"offline\""), 2u) << out; // the mat opened: no mark
  EXPECT_NE(out.find("\"start\": 45,\n      \"valid\": true,\n      \"transition\""), std::string::npos)
      << out;
}

TEST_F(OfflineCommandTest, AShortenedFileIsNamedButItsCutStaysAlive) {
  // 30 frames where the record asks for 0 to 59; the sound put back.
  std::filesystem::rename(movedWav, media.wav);
  TestAviOptions options;
  options.frames = 30;
  ASSERT_TRUE(WriteTestAvi(media.avi, options));
  const CliResult result = RunCli({"info", project.string()});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(Count(result.err, "reelwright-cli: "), 1u) << result.err;
  EXPECT_EQ(Count(result.err, media.avi.string()), 1u) << result.err;
  EXPECT_EQ(Count(result.out, "\"offline\""), 0u) << result.out;
  // The compile goes ahead with what the file holds, after saying so.
  const CliResult compile = RunCli(
      {"compile", project.string(), (dir / "movie.avi").string(), "--codec", "MJPG", "--size", "64x48"});
  EXPECT_EQ(compile.status, 0) << compile.err;
  EXPECT_EQ(Count(compile.err, media.avi.string()), 1u) << compile.err;
}

TEST_F(OfflineCommandTest, FrameDrawsThePlaceholderAndAudioIsSilent) {
  const std::filesystem::path bmp = dir / "frame.bmp";
  const CliResult frame = RunCli({"frame", project.string(), "10", "--quick", bmp.string()});
  ASSERT_EQ(frame.status, 0) << frame.err;
  const std::string picture = FileText(bmp);
  ASSERT_EQ(picture.size(), 54u + 160u * 120u * 3u);
  std::set<std::string> colours;
  for (std::size_t at = 54; at < picture.size(); at += 3)
    colours.insert(picture.substr(at, 3));
  EXPECT_GE(colours.size(), 2u); // a picture that says something, not black footage

  // Frames 45 to 74: the end of the cut's own sound and the WAV from frame 50 on, both offline.
  const std::filesystem::path wav = dir / "sound.wav";
  const CliResult audio = RunCli({"audio", project.string(), wav.string(), "--from", "45", "--frames", "30"});
  ASSERT_EQ(audio.status, 0) << audio.err;
  const std::string sound = FileText(wav);
  ASSERT_EQ(sound.size(), 44u + 30u * 1470u * 4u);
  EXPECT_EQ(sound.find_first_not_of('\0', 44), std::string::npos);
}

TEST_F(OfflineCommandTest, CompileIsRefusedNamingEveryFile) {
  const std::filesystem::path movie = dir / "movie.avi";
  const CliResult fresh = RunCli({"compile", project.string(), movie.string(), "--codec", "MJPG"});
  EXPECT_EQ(fresh.status, 1);
  EXPECT_NE(fresh.err.find("ムービーを作成できません"), std::string::npos) << fresh.err;
  EXPECT_EQ(Count(fresh.err, media.avi.string()), 1u) << fresh.err;
  EXPECT_EQ(Count(fresh.err, media.wav.string()), 1u) << fresh.err;
  EXPECT_EQ(fresh.out, "");
  EXPECT_FALSE(std::filesystem::exists(movie));

  std::ofstream(movie, std::ios::binary) << "older";
  EXPECT_EQ(RunCli({"compile", project.string(), movie.string(), "--codec", "MJPG"}).status, 1);
  EXPECT_EQ(FileText(movie), "older");
  EXPECT_FALSE(std::filesystem::exists(dir / "movie.avi.partial"));
}

TEST_F(OfflineCommandTest, RelinkFindsFilesInSubfoldersSavesAndCountsWhatIsMissing) {
  const std::string before = FileText(project);
  // Only the movie is under moved/a: the sound stays missing.
  const CliResult half = RunCli({"relink", project.string(), (dir / "moved" / "a").string()});
  EXPECT_EQ(half.status, 1);
  EXPECT_TRUE(half.out.starts_with("found: " + movedAvi.string() + "\nmissing: " + media.wav.string() + ": "))
      << half.out;
  EXPECT_EQ(Count(half.out, "\n"), 2u) << half.out;
  EXPECT_NE(half.err.find("1 file is still missing"), std::string::npos) << half.err;
  // Saved in place by the safe save: the previous text kept beside it.
  EXPECT_EQ(FileText(dir / "sample.$WE"), before);
  EXPECT_NE(FileText(project).find("moved/a/b/opening.avi"), std::string::npos) << FileText(project);
  const CliResult info = RunCli({"info", project.string()});
  EXPECT_EQ(Count(info.out, "\"offline\""), 1u) << info.out;
  EXPECT_EQ(Count(info.err, "opening.avi"), 0u) << info.err;

  const CliResult rest = RunCli({"relink", project.string(), (dir / "moved").string()});
  EXPECT_EQ(rest.status, 0) << rest.err;
  EXPECT_EQ(rest.out, "found: " + movedWav.string() + "\n");
  EXPECT_EQ(RunCli({"info", project.string()}).err, "");

  const CliResult none = RunCli({"relink", project.string(), dir.Path().string()});
  EXPECT_EQ(none.status, 0);
  EXPECT_EQ(none.out, "nothing is missing\n");
}

TEST_F(OfflineCommandTest, RelinkCommandLine) {
  EXPECT_EQ(RunCli({"relink", project.string()}).status, 2);
  const CliResult notFolder = RunCli({"relink", project.string(), (dir / "nowhere").string()});
  EXPECT_EQ(notFolder.status, 1);
  EXPECT_NE(notFolder.err.find("is not a folder"), std::string::npos);
  const std::string before = FileText(project);
  // Nothing found: nothing saved.
  const CliResult nothing = RunCli({"relink", project.string(), (dir / "stills").string()});
  EXPECT_EQ(nothing.status, 1);
  EXPECT_EQ(Count(nothing.out, "missing: "), 2u) << nothing.out;
  EXPECT_EQ(FileText(project), before);
  EXPECT_FALSE(std::filesystem::exists(dir / "sample.$WE"));
  EXPECT_NE(RunCli({"--help"}).out.find("relink PROJECT.rwe FOLDER"), std::string::npos);
}

} // namespace
} // namespace rw::test
