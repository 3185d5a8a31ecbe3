#include "output/MovieCompile.h"

#include "output/CompressorCatalogue.h"
#include "tests/output/MovieCompileTestSupport.h"
#include "tests/support/TestAvi.h"
#include "tests/support/WavTestFiles.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace rw {
namespace {

using test::CompileProject;
using test::ScriptedDialogs;

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

bool CompileWith(CompileProject& p, ScriptedDialogs& dialogs, const std::filesystem::path& out) {
  p.Messages().Clear();
  return p.Compiler().Compile(p.Project(), dialogs, out);
}

TEST(MovieCompilePreparation, AProjectWithoutCutsAsksNothingAndWritesNothing) {
  CompileProject p;
  p.Output(64, 48, "MJPG");
  ScriptedDialogs dialogs;
  const auto out = p / "empty.avi";
  EXPECT_FALSE(CompileWith(p, dialogs, out));
  EXPECT_TRUE(p.Messages().Empty());
  EXPECT_EQ(dialogs.formatCalls + dialogs.compressorCalls, 0);
  EXPECT_FALSE(std::filesystem::exists(out));
}

TEST(MovieCompilePreparation, MissingSizeAndCompressorAreAskedForAndKeptInTheProject) {
  CompileProject p;
  ASSERT_TRUE(p.AddMat(5, 6, 7, 4));
  ScriptedDialogs dialogs;
  const auto out = p / "asked.avi";
  // Cancelled: nothing written, the project unchanged.
  const std::int32_t edits = p.Project().UndoCount();
  EXPECT_FALSE(CompileWith(p, dialogs, out));
  EXPECT_EQ(dialogs.formatCalls, 1);
  EXPECT_EQ(dialogs.compressorCalls, 0);
  EXPECT_EQ(p.Project().UndoCount(), edits);
  EXPECT_FALSE(std::filesystem::exists(out));

  dialogs.format = [](OutputInfo& s) { return s.SetVideoWidth(40) && s.SetVideoHeight(30); };
  EXPECT_FALSE(CompileWith(p, dialogs, out));
  EXPECT_EQ(dialogs.compressorCalls, 1);
  EXPECT_FALSE(std::filesystem::exists(out));

  dialogs.compressor = [](OutputInfo& s) {
    CompressOptions options;
    options.fccHandler = *CompressorCatalogue::ParseCode("mjpg");
    s.SetCompress(options);
    return true;
  };
  EXPECT_TRUE(CompileWith(p, dialogs, out)) << p.Messages().Get();
  EXPECT_EQ(p.List().Output().VideoWidth(), 40);
  EXPECT_TRUE(CompressorCatalogue::SameCode(p.List().Output().Compress().fccHandler,
                                            *CompressorCatalogue::ParseCode("MJPG")));
  test::CompiledMovie movie;
  std::string error;
  ASSERT_TRUE(movie.Load(out, error)) << error;
  EXPECT_EQ(movie.parameters->width, 40);
  EXPECT_EQ(movie.frames, 4);
}

TEST(MovieCompilePreparation, AnUnknownCompressorIsNamedAndNothingIsWritten) {
  CompileProject p;
  p.Output(64, 48, "QQ9Z");
  ASSERT_TRUE(p.AddMat(5, 6, 7, 4));
  const auto out = p / "unknown.avi";
  EXPECT_FALSE(p.Compile(out));
  EXPECT_TRUE(Contains(p.Messages().Get(), "QQ9Z")) << p.Messages().Get();
  EXPECT_TRUE(Contains(p.Messages().Get(), "画像圧縮に失敗しました")) << p.Messages().Get();
  EXPECT_FALSE(std::filesystem::exists(out));
  EXPECT_FALSE(std::filesystem::exists(MovieCompile::PartialName(out)));
}

TEST(MovieCompilePreparation, AnUnwritableFolderIsReportedWithTheFileName) {
  CompileProject p;
  p.Output(64, 48, "MJPG");
  ASSERT_TRUE(p.AddMat(5, 6, 7, 4));
  const auto out = p / "missing" / "movie.avi";
  EXPECT_FALSE(p.Compile(out));
  EXPECT_TRUE(Contains(p.Messages().Get(), "ファイル'" + out.string() + "'の書き込みができませんでした"))
      << p.Messages().Get();
}

// Writing the movie over a file that the project reads would destroy a source while it is read.
TEST(MovieCompilePreparation, TheMovieNeverReplacesAFileTheProjectReads) {
  CompileProject p;
  p.Output(96, 64, "MJPG", true);
  test::TestAviOptions options;
  options.width = 96;
  options.height = 64;
  options.frames = 10;
  const auto avi = p / "source.avi";
  ASSERT_TRUE(test::WriteTestAvi(avi, options));
  const auto wav = p / "sound.wav";
  test::WriteToneWav(wav, 4000, 2, 16, 22050);
  ASSERT_TRUE(p.AddAvi(avi, 0, 9));
  ASSERT_TRUE(p.AddWav(wav, 2));
  for (const auto& target : {avi, wav}) {
    const std::vector<std::uint8_t> before = test::ReadFileBytes(target);
    EXPECT_FALSE(p.Compile(target));
    EXPECT_TRUE(
        Contains(p.Messages().Get(), "ファイル'" + target.string() + "'の書き込みができませんでした"));
    EXPECT_EQ(test::ReadFileBytes(target), before);
  }
}

TEST(MovieCompilePreparation, AnExistingMovieIsReplacedOnlyWhenTheNewOneIsComplete) {
  CompileProject p;
  p.Output(64, 48, "MJPG");
  ASSERT_TRUE(p.AddMat(5, 6, 7, 4));
  const auto out = p / "movie.avi";
  { std::ofstream(out) << "an older movie"; }
  // A failing compile leaves the old file as it was.
  p.Output(64, 48, "QQ9Z");
  EXPECT_FALSE(p.Compile(out));
  EXPECT_EQ(test::ReadFileBytes(out).size(), 14u);
  p.Output(64, 48, "MJPG");
  ASSERT_TRUE(p.Compile(out)) << p.Messages().Get();
  test::CompiledMovie movie;
  std::string error;
  EXPECT_TRUE(movie.Load(out, error)) << error;
  EXPECT_FALSE(std::filesystem::exists(MovieCompile::PartialName(out)));
}

// A full disk, made by a file size limit in a child process: the compile fails with a message,
// the unfinished movie is removed and the file that was there stays.
TEST(MovieCompileWriteErrors, AFullDiskEndsTheCompileWithAMessageAndLeavesNoPartialMovie) {
  for (int threads : {1, 2}) {
    CompileProject p;
    p.Output(160, 120, "DIB", true);
    ASSERT_TRUE(p.AddMat(1, 2, 3, 10));
    ASSERT_TRUE(p.AddMat(200, 2, 3, 20));
    ASSERT_TRUE(p.SetTransition(1, "Overlap", 10));
    const auto out = p / "full.avi";
    const auto report = p / "report.txt";
    { std::ofstream(out) << "the movie before"; }

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      std::signal(SIGXFSZ, SIG_IGN);
      const rlimit limit{200000, 200000}; // about three pictures
      setrlimit(RLIMIT_FSIZE, &limit);
      const bool ok = p.Compile(out, threads);
      std::ofstream(report) << p.Messages().Get();
      _exit(ok ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1) << "the compile reported success on a full disk";
    std::ifstream in(report);
    const std::string messages((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_TRUE(Contains(messages, "full.avi")) << messages;
    EXPECT_TRUE(Contains(messages, "書き込みに失敗しました")) << messages;
    EXPECT_EQ(test::ReadFileBytes(out).size(), 16u);
    EXPECT_FALSE(std::filesystem::exists(MovieCompile::PartialName(out)));
  }
}

} // namespace
} // namespace rw
