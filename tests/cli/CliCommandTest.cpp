// reelwright-cli as a whole: help, exit statuses, messages, and the save command.

#include "tests/cli/CliRunner.h"
#include "tests/support/ProjectTestMedia.h"

namespace rw::test {
namespace {

class CliCommandTest : public ::testing::Test {
protected:
  std::string Write(const std::string& name, const std::string& text) {
    std::ofstream(dir / name, std::ios::binary) << text;
    return (dir / name).string();
  }

  TempDir dir;
};

TEST_F(CliCommandTest, HelpListsTheCommands) {
  for (const char* help : {"--help", "-h", "help"}) {
    const CliResult result = RunCli({help});
    EXPECT_EQ(result.status, 0);
    for (const char* usage :
         {"info PROJECT.rwe", "frame PROJECT.rwe N OUT.bmp [--quick] [--size WxH]",
          "audio PROJECT.rwe OUT.wav [--from A] [--frames B]", "save PROJECT.rwe OUT.rwe"})
      EXPECT_NE(result.out.find(usage), std::string::npos) << usage;
  }
  const CliResult one = RunCli({"frame", "--help"});
  EXPECT_EQ(one.status, 0);
  EXPECT_NE(one.out.find("usage: reelwright-cli frame"), std::string::npos);
}

TEST_F(CliCommandTest, UsageErrorsAnswerTwo) {
  CliResult result = RunCli({});
  EXPECT_EQ(result.status, 2);
  EXPECT_NE(result.err.find("usage:"), std::string::npos);
  EXPECT_EQ(result.out, "");
  result = RunCli({"explode"});
  EXPECT_EQ(result.status, 2);
  EXPECT_NE(result.err.find("unknown command 'explode'"), std::string::npos);
  result = RunCli({"info"});
  EXPECT_EQ(result.status, 2);
  EXPECT_NE(result.err.find("usage: reelwright-cli info PROJECT.rwe"), std::string::npos) << result.err;
  EXPECT_EQ(RunCli({"info", "a.rwe", "b.rwe"}).status, 2);
  EXPECT_EQ(RunCli({"info", "--verbose", "a.rwe"}).status, 2);
  EXPECT_EQ(RunCli({"save", "a.rwe"}).status, 2);
}

TEST_F(CliCommandTest, FailuresAnswerOneWithTheMessage) {
  CliResult result = RunCli({"info", (dir / "absent.rwe").string()});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "");
  EXPECT_NE(result.err.find("プロジェクト " + (dir / "absent.rwe").string() + " の読込に失敗しました"),
            std::string::npos)
      << result.err;
  // A clip list without its end: the reader's message comes along.
  result = RunCli({"info", Write("cut.rwe", "ClipInfo: \nbegin\n  Clip: Mat\n  begin\n  end\n")});
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.err.find("読込に失敗しました:\n"), std::string::npos) << result.err;
  EXPECT_NE(result.err.find("end がありません"), std::string::npos) << result.err;
}

TEST_F(CliCommandTest, SaveWritesTheSameProjectUnderANewName) {
  WriteProjectMedia(dir.Path());
  const std::string sample = Write("sample.rwe", SampleProjectText("// from Windows", true));
  std::filesystem::create_directories(dir / "copies");
  const std::string copy = (dir / "copies" / "copy.rwe").string();
  const CliResult result = RunCli({"save", sample, copy});
  ASSERT_EQ(result.status, 0) << result.err;
  const std::string text = FileText(copy);
  // Names now relative to the new folder, in this system's form.
  EXPECT_NE(text.find("FileName: ../media/opening.avi\n"), std::string::npos) << text;
  EXPECT_NE(text.find("FileName: \"../sound/theme music.wav\"\n"), std::string::npos) << text;
  // Both describe the same project.
  const CliResult before = RunCli({"info", sample});
  const CliResult after = RunCli({"info", copy});
  ASSERT_EQ(before.status, 0);
  EXPECT_EQ(after.out, before.out);
  // Saved again over itself: same bytes, the previous version kept.
  ASSERT_EQ(RunCli({"save", copy, copy}).status, 0);
  EXPECT_EQ(FileText(copy), text);
  EXPECT_EQ(FileText(dir / "copies" / "copy.$WE"), text);
}

TEST_F(CliCommandTest, FailedSaveAnswersOne) {
  const std::string project = Write("p.rwe", "ClipInfo: \nbegin\nend\n");
  const CliResult result = RunCli({"save", project, (dir / "no" / "such" / "q.rwe").string()});
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.err.find("の保存に失敗しました"), std::string::npos) << result.err;
}

} // namespace
} // namespace rw::test
