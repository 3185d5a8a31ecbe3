// A project whose media did not all open is never compiled: the refusal comes before any
// question or file, and names every missing file.

#include "output/MovieCompile.h"

#include "project/OfflineMedia.h"
#include "project/ProjectFile.h"
#include "tests/output/MovieCompileTestSupport.h"
#include "tests/support/TestAvi.h"
#include "tests/support/WavTestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

namespace rw {
namespace {

using test::CompileProject;
using test::ScriptedDialogs;

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// A mat, an AVI cut and a WAV clip anchored to the mat, saved and opened again after the AVI and
// the WAV were moved away (into "away/"): two offline entries.
class MovieCompileOffline : public ::testing::Test {
protected:
  void SetUp() override {
    test::TestAviOptions options;
    options.frames = 12;
    ASSERT_TRUE(test::WriteTestAvi(p / "cut.avi", options));
    test::WriteToneWav(p / "tone.wav", 44100, 2, 16, 44100);
    {
      // Made with media readers of its own, which are closed before the project is opened again.
      CompileProject maker;
      ASSERT_TRUE(maker.AddMat(200, 10, 10, 6));
      ASSERT_TRUE(maker.AddAvi(p / "cut.avi", 0, 11));
      ASSERT_TRUE(maker.AddWav(p / "tone.wav", 2));
      ASSERT_TRUE(ProjectFile::Save(maker.Project(), p / "project.rwe"));
    }
    std::filesystem::create_directory(p / "away");
    std::filesystem::rename(p / "cut.avi", p / "away" / "cut.avi");
    std::filesystem::rename(p / "tone.wav", p / "away" / "tone.wav");
    ASSERT_TRUE(ProjectFile::Open(p.Project(), p / "project.rwe", 0, 0)) << p.Messages().Get();
    ASSERT_EQ(OfflineMedia::List(p.List()).size(), 2u);
  }

  bool Compile(const std::filesystem::path& out) {
    p.Messages().Clear();
    return p.Compiler().Compile(p.Project(), dialogs, out);
  }

  CompileProject p;
  ScriptedDialogs dialogs;
};

TEST_F(MovieCompileOffline, RefusedBeforeAnythingIsAskedOrWrittenNamingEveryFile) {
  // No output settings: a compile that ran would ask for them first.
  const auto fresh = p / "fresh.avi";
  EXPECT_FALSE(Compile(fresh));
  const std::string& text = p.Messages().Get();
  EXPECT_TRUE(Contains(text, "開けないファイルがあるため、ムービーを作成できません:\n")) << text;
  EXPECT_TRUE(Contains(text, (p / "cut.avi").string())) << text;
  EXPECT_TRUE(Contains(text, (p / "tone.wav").string())) << text;
  EXPECT_EQ(dialogs.formatCalls + dialogs.compressorCalls, 0);
  EXPECT_FALSE(std::filesystem::exists(fresh));
  EXPECT_FALSE(std::filesystem::exists(MovieCompile::PartialName(fresh)));

  // A movie already there stays as it was.
  const auto existing = p / "existing.avi";
  std::ofstream(existing, std::ios::binary) << "an older movie";
  p.Output(64, 48, "MJPG");
  EXPECT_FALSE(Compile(existing));
  EXPECT_EQ(test::ReadFileBytes(existing).size(), std::string("an older movie").size());
  EXPECT_FALSE(std::filesystem::exists(MovieCompile::PartialName(existing)));
  EXPECT_EQ(p.Compiler().Result().done, 0);
}

TEST_F(MovieCompileOffline, CompilesOnceTheFilesAreBack) {
  p.Output(64, 48, "MJPG");
  std::filesystem::rename(p / "away" / "cut.avi", p / "cut.avi");
  EXPECT_TRUE(p.Project().ReviveOffline());
  EXPECT_FALSE(Compile(p / "half.avi")); // the sound is still missing
  EXPECT_TRUE(Contains(p.Messages().Get(), "tone.wav"));
  EXPECT_FALSE(Contains(p.Messages().Get(), "cut.avi"));
  std::filesystem::rename(p / "away" / "tone.wav", p / "tone.wav");
  EXPECT_TRUE(p.Project().ReviveOffline());
  ASSERT_TRUE(OfflineMedia::List(p.List()).empty());
  EXPECT_TRUE(Compile(p / "whole.avi")) << p.Messages().Get();
  EXPECT_EQ(p.Compiler().Result().done, 18);
}

TEST(MovieCompileOfflineRefusal, ALongListIsCutToTheRoomLeftAndCounted) {
  std::vector<OfflineFile> files;
  for (int i = 0; i < 300; ++i)
    files.push_back(
        {"/a/rather/long/folder/name/for/the/media/of/this/project/clip" + std::to_string(i) + ".avi",
         "見つかりません"});
  const std::string all = MovieCompile::OfflineRefusal(files);
  EXPECT_TRUE(Contains(all, "clip299.avi: 見つかりません\n"));
  EXPECT_FALSE(Contains(all, "ほか"));

  // The message text takes it in full, with a count of the files that did not fit, after what
  // it already held.
  MessageText messages;
  ASSERT_TRUE(messages.Append("earlier\n"));
  const std::string cut = MovieCompile::OfflineRefusal(files, MessageText::kCapacity - 8);
  EXPECT_LE(cut.size(), MessageText::kCapacity - 8);
  EXPECT_TRUE(messages.Append(cut));
  EXPECT_TRUE(Contains(cut, "clip0.avi: 見つかりません\n"));
  const std::size_t shown = static_cast<std::size_t>(std::count(cut.begin(), cut.end(), '\n')) - 2;
  EXPECT_TRUE(cut.ends_with("  ほか" + std::to_string(300 - shown) + "個のファイル\n")) << cut;

  // A file without a reason is named alone.
  EXPECT_TRUE(Contains(MovieCompile::OfflineRefusal({{"/m/x.avi", ""}}), "\n  /m/x.avi\n"));
}

} // namespace
} // namespace rw
