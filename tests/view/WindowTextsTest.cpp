#include "view/WindowTexts.h"
#include "view/CommandLine.h"
#include "view/FileDialogMemory.h"
#include "view/WindowHints.h"

#include <gtest/gtest.h>

namespace rw::view {
namespace {

TEST(CommandLine, TheLastProjectWinsOverEverything) {
  const CommandLine line = CommandLine::Parse({"a.avi", "b.rwe", "c.RWE"});
  ASSERT_TRUE(line.Project());
  EXPECT_EQ(*line.Project(), "c.RWE");
  EXPECT_TRUE(line.Media().empty());
}

TEST(CommandLine, MoviesAndSoundsInOrderOthersIgnored) {
  const CommandLine line = CommandLine::Parse({"x.avi", "y.WAV", "z.txt", "w.Avi", "noext"});
  EXPECT_FALSE(line.Project());
  ASSERT_EQ(line.Media().size(), 3u);
  EXPECT_EQ(line.Media()[0].kind, CommandLine::Kind::Movie);
  EXPECT_EQ(line.Media()[1].kind, CommandLine::Kind::Sound);
  EXPECT_EQ(line.Media()[2].file, "w.Avi");
  EXPECT_EQ(CommandLine::KindOf("/a.b/picture.bmp"), CommandLine::Kind::Other);
  EXPECT_EQ(CommandLine::KindOf("/dir.rwe/file"), CommandLine::Kind::Other);
}

TEST(WindowTexts, CaptionAndQuestionName) {
  EXPECT_EQ(WindowTexts::WindowCaption({}), "Reelwright(仮)");
  EXPECT_EQ(WindowTexts::WindowCaption("/work/clip.rwe"), "Reelwright(仮) - clip");
  EXPECT_EQ(WindowTexts::SaveQuestion({}), "プロジェクトを保存していません。\n保存しますか?");
  EXPECT_EQ(WindowTexts::SaveQuestion("/work/clip.rwe"),
            "プロジェクト clip.rwe を保存していません。\n保存しますか?");
  EXPECT_EQ(WindowTexts::CompileReport(1, "x"), "ムービーの作成が終了しました");
  EXPECT_EQ(WindowTexts::CompileReport(3, ""), "ムービーの作成を中断しました");
  EXPECT_EQ(WindowTexts::CompileReport(0, ""), "ムービーの作成に失敗しました");
  EXPECT_EQ(WindowTexts::CompileReport(0, "disk full\n"), "ムービーの作成に失敗しました:\ndisk full\n");
}

TEST(FileDialogMemory, OpenPresetsTheMovieNewLeavesTheFolder) {
  FileDialogMemory names;
  names.BeforeCompile({});
  EXPECT_TRUE(names.SaveMovie().empty()); // no project name, no movie name
  names.AfterOpenChosen("/work/a/clip.rwe");
  EXPECT_EQ(names.SaveMovie(), "/work/a/clip.avi");
  names.AfterSaveChosen("/work/b/CUT.RWE");
  names.AfterNew();
  EXPECT_EQ(names.SaveProject(), "/work/b/");
  EXPECT_EQ(names.SaveMovie(), "/work/b/");
  names.AfterNew(); // a folder stays the folder
  EXPECT_EQ(names.SaveProject(), "/work/b/");
  EXPECT_EQ(FileDialogMemory::MovieNameFor("/x/CUT.RWE"), "/x/CUT.AVI");
  FileDialogMemory fresh;
  fresh.BeforeCompile("/x/y.rwe");
  EXPECT_EQ(fresh.SaveMovie(), "/x/y.avi");
}

TEST(WindowHints, ShortPartTooltipLongPartStatusBar) {
  const std::string_view play = WindowHints::Of("ButtonPlay");
  EXPECT_EQ(WindowHints::ShortPart(play), "再生");
  EXPECT_EQ(WindowHints::LongPart(play), "アニメーション再生を開始します");
  const std::string_view show = WindowHints::Of("ButtonShow");
  EXPECT_EQ(WindowHints::ShortPart(show), WindowHints::LongPart(show));
  EXPECT_EQ(WindowHints::ShortPart(WindowHints::Of("MenuNew")), "");
  EXPECT_NE(WindowHints::Of("ButtonInsertVideo").find("静止画(BMP他)"), std::string_view::npos);
  EXPECT_EQ(WindowHints::Of("MenuSelCurrentCut"), "現在時刻のカットを選択した状態にします");
  EXPECT_TRUE(WindowHints::Of("NoSuchThing").empty());
}

} // namespace
} // namespace rw::view
