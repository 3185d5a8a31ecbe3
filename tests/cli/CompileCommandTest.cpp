// reelwright-cli compile, codecs and demo, run as the built program.

#include "base/MessageText.h"
#include "base/UserPrompt.h"
#include "media/ColormatClip.h"
#include "media/MediaContext.h"
#include "output/CompressorCatalogue.h"
#include "output/MovieCompile.h"
#include "output/MovieReader.h"
#include "project/EditDialogs.h"
#include "project/ProjectFile.h"
#include "project/VideoProject.h"
#include "render/TransitionKinds.h"
#include "tests/cli/CliRunner.h"
#include "tests/support/ProjectTestMedia.h"

#include <chrono>
#include <csignal>
#include <set>
#include <sstream>
#include <thread>

namespace rw::test {
namespace {

// Output settings through the project's edits.
class FixedSettings : public EditDialogs {
public:
  int width = 0;
  int height = 0;
  const char* code = nullptr;
  bool EditOutputFormat(OutputInfo& s) override { return s.SetVideoWidth(width) && s.SetVideoHeight(height); }
  bool ChooseCompressor(OutputInfo& s) override {
    CompressOptions options;
    options.fccHandler = *CompressorCatalogue::ParseCode(code);
    options.dwQuality = 8000;
    s.SetCompress(options);
    return true;
  }
};

class CompileCommandTest : public ::testing::Test {
protected:
  // Two colour mats joined by an overlap of `overlap` frames; size and compressor only when given.
  std::string MatProject(const std::string& name, int length, int overlap, int width = 0, int height = 0,
                         const char* code = nullptr) {
    MessageText messages;
    FixedPrompt prompt;
    MediaContext context(messages, prompt);
    VideoProject project(context);
    for (std::uint32_t blue : {40u, 220u}) {
      VideoClip mat = VideoClip::Make<ColormatClip>(200u, 90u, blue);
      mat.SetLength(length);
      EXPECT_TRUE(project.AppendClip(mat));
    }
    VideoTransition fade = TransitionKinds::MakeByKeyword("Overlap");
    fade.SetLength(overlap);
    EXPECT_TRUE(project.SetTransition(fade, 1));
    FixedSettings settings;
    settings.width = width;
    settings.height = height;
    settings.code = code;
    if (width > 0) {
      EXPECT_TRUE(project.SetOutputFormat(settings));
    }
    if (code) {
      EXPECT_TRUE(project.ChooseCompressor(settings));
    }
    EXPECT_TRUE(ProjectFile::Save(project, dir / name)) << messages.Get();
    return (dir / name).string();
  }

  std::string Path(const std::string& name) const { return (dir / name).string(); }

  struct Movie {
    std::int64_t frames = -1;
    bool hasAudio = false;
    std::vector<std::uint8_t> audio;
    int width = 0;
  };
  static Movie Read(const std::string& file) {
    Movie movie;
    MovieReader reader;
    std::string error;
    std::vector<MovieReader::VideoSample> samples;
    if (!reader.Open(file, error) || !reader.ReadAll(samples, movie.audio, error)) {
      ADD_FAILURE() << error;
      return movie;
    }
    movie.frames = reader.VideoFrames();
    movie.hasAudio = reader.Audio() != nullptr;
    movie.width = reader.Video() ? reader.Video()->width : 0;
    return movie;
  }

  TempDir dir;
};

TEST_F(CompileCommandTest, TheMoviesSoundIsTheAudioCommandsSoundByteForByte) {
  WriteProjectMedia(dir.Path());
  std::ofstream(dir / "sample.rwe", std::ios::binary) << SampleProjectText("// test");
  const CliResult compiled = RunCli({"compile", Path("sample.rwe"), Path("sample.avi"), "--codec", "MJPG"});
  ASSERT_EQ(compiled.status, 0) << compiled.err;
  EXPECT_NE(compiled.out.find("135 frames"), std::string::npos) << compiled.out;
  const CliResult audio = RunCli({"audio", Path("sample.rwe"), Path("sample.wav")});
  ASSERT_EQ(audio.status, 0) << audio.err;

  const Movie movie = Read(Path("sample.avi"));
  EXPECT_EQ(movie.frames, 135);
  EXPECT_EQ(movie.width, 320);
  const std::string wav = FileText(dir / "sample.wav");
  ASSERT_GT(wav.size(), 44u);
  EXPECT_EQ(movie.audio.size(), 135u * 1470 * 4);
  EXPECT_TRUE(movie.audio == std::vector<std::uint8_t>(wav.begin() + 44, wav.end()));
}

TEST_F(CompileCommandTest, MissingSettingsNameTheirOptionAndOptionsFillThem) {
  const std::string project = MatProject("bare.rwe", 10, 4);
  const std::string movie = Path("bare.avi");
  CliResult r = RunCli({"compile", project, movie});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("--size"), std::string::npos) << r.err;
  r = RunCli({"compile", project, movie, "--size", "48x32"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("--codec"), std::string::npos) << r.err;
  EXPECT_FALSE(std::filesystem::exists(movie));

  r = RunCli({"compile", project, movie, "--size", "48x32", "--codec", "ffv1", "--no-audio"});
  ASSERT_EQ(r.status, 0) << r.err;
  const Movie written = Read(movie);
  EXPECT_EQ(written.frames, 16);
  EXPECT_EQ(written.width, 48);
  EXPECT_FALSE(written.hasAudio);
  // The project file itself is left as it was.
  r = RunCli({"info", project});
  EXPECT_NE(r.out.find("\"width\": 0,"), std::string::npos) << r.out;
}

TEST_F(CompileCommandTest, OptionsOverrideTheProjectsSettings) {
  const std::string project = MatProject("set.rwe", 10, 4, 64, 48, "MJPG");
  const CliResult r = RunCli({"compile", project, Path("over.avi"), "--size", "32x24", "--quality", "10000"});
  ASSERT_EQ(r.status, 0) << r.err;
  const Movie movie = Read(Path("over.avi"));
  EXPECT_EQ(movie.width, 32);
  EXPECT_TRUE(movie.hasAudio);
}

TEST_F(CompileCommandTest, BadOptionsAreUsageErrorsAndUnknownCodesAreNamed) {
  const std::string project = MatProject("p.rwe", 10, 4, 64, 48, "MJPG");
  for (const std::vector<std::string>& words : {std::vector<std::string>{"--quality", "10001"},
                                                {"--quality", "high"},
                                                {"--size", "0x10"},
                                                {"--size", "5000x10"},
                                                {"--codec", "TOOLONG"},
                                                {"--colour"}}) {
    std::vector<std::string> args{"compile", project, Path("x.avi")};
    args.insert(args.end(), words.begin(), words.end());
    EXPECT_EQ(RunCli(args).status, 2) << words[0];
  }
  EXPECT_EQ(RunCli({"compile", project}).status, 2);
  const CliResult unknown = RunCli({"compile", project, Path("x.avi"), "--codec", "QQ9Z"});
  EXPECT_EQ(unknown.status, 1);
  EXPECT_NE(unknown.err.find("QQ9Z"), std::string::npos) << unknown.err;
  EXPECT_FALSE(std::filesystem::exists(dir / "x.avi"));
}

// Ctrl+C stops like the stop button: the movie of the frames made so far is complete.
TEST_F(CompileCommandTest, InterruptStopsWithACompleteMovieAndStatusThree) {
  const std::string project = MatProject("long.rwe", 6000, 5999, 320, 240, "MJPG");
  const std::string movie = Path("long.avi");
  std::vector<std::string> words{RW_CLI_PATH, "compile", project, movie, "--recompress"};
  std::vector<char*> argv;
  for (std::string& w : words)
    argv.push_back(w.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  ASSERT_EQ(posix_spawn(&pid, RW_CLI_PATH, &actions, nullptr, argv.data(), environ), 0);
  posix_spawn_file_actions_destroy(&actions);
  // Wait until some frames are in the partial movie.
  const auto partial = MovieCompile::PartialName(movie);
  for (int i = 0; i < 3000; ++i) {
    std::error_code ec;
    if (std::filesystem::file_size(partial, ec) > 200000 && !ec)
      break;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  kill(pid, SIGINT);
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 3);
  const Movie written = Read(movie);
  EXPECT_GT(written.frames, 0);
  EXPECT_LT(written.frames, 6001);
  EXPECT_EQ(written.audio.size(), static_cast<std::size_t>(written.frames) * 1470 * 4);
  EXPECT_FALSE(std::filesystem::exists(partial));
}

TEST_F(CompileCommandTest, CodecsListsOneUsableCodePerLine) {
  const CliResult r = RunCli({"codecs"});
  ASSERT_EQ(r.status, 0) << r.err;
  std::istringstream lines(r.out);
  std::string line;
  std::set<std::string> codes;
  while (std::getline(lines, line)) {
    const std::string code = line.substr(0, 4);
    ASSERT_TRUE(CompressorCatalogue::ParseCode(code)) << line;
    EXPECT_TRUE(codes.insert(code).second) << line;
  }
  for (const char* code : {"DIB ", "MJPG", "FFV1", "HFYU"})
    EXPECT_TRUE(codes.contains(code)) << code;
}

// The demo set: every kind of cut, pictures of both kinds, at least three kinds of transition,
// an anchored WAV clip, output 640 x 480 MJPG.
TEST_F(CompileCommandTest, DemoWritesAProjectUsingEveryKindOfMedia) {
  // Named relative to the working folder: the project still finds its media.
  const auto folder = dir / "demo";
  const auto here = std::filesystem::current_path();
  std::filesystem::current_path(dir.Path());
  const CliResult r = RunCli({"demo", "demo"});
  std::filesystem::current_path(here);
  ASSERT_EQ(r.status, 0) << r.err;
  MessageText messages;
  FixedPrompt prompt;
  MediaContext context(messages, prompt);
  VideoProject project(context);
  ASSERT_TRUE(ProjectFile::Open(project, folder / "demo.rwe", 160, 120)) << messages.Get();
  const pVideoClipList& list = project.List();
  std::set<std::string> kinds;
  std::set<std::string> transitions;
  std::set<std::string> pictures;
  int wavClips = 0;
  for (std::int32_t i = 0; i < list.Count(); ++i) {
    const ClipInfo& entry = list.EntryAt(i);
    ASSERT_TRUE(entry.HasValidClip()) << i;
    kinds.insert(std::string(entry.clip->GetKindName()));
    if (entry.clip->GetKindName() == "PIC")
      pictures.insert(entry.clip->FileName().extension().string());
    if (entry.trans.IsPresent())
      transitions.insert(std::string(entry.trans.Keyword()));
    for (std::int32_t k = 0; k < entry.audio.Count(); ++k)
      wavClips += entry.audio.At(k)->GetKindName() == "WAV";
  }
  EXPECT_EQ(list.Count(), 6) << messages.Get();
  EXPECT_TRUE(messages.Empty()) << messages.Get();
  EXPECT_EQ(kinds, (std::set<std::string>{"AVI", "PIC", "Mat"}));
  EXPECT_EQ(pictures, (std::set<std::string>{".bmp", ".tga"}));
  EXPECT_GE(transitions.size(), 3u);
  EXPECT_EQ(wavClips, 1);
  EXPECT_EQ(list.Output().VideoWidth(), 640);
  EXPECT_EQ(list.Output().VideoHeight(), 480);
  EXPECT_TRUE(CompressorCatalogue::SameCode(list.Output().Compress().fccHandler,
                                            *CompressorCatalogue::ParseCode("MJPG")));
  EXPECT_TRUE(list.Output().AudioOut());
}

} // namespace
} // namespace rw::test
