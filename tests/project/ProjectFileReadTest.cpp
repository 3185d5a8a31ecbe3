// Opening project files: the top-level rules, the clip list block, records that are left out and
// files that fail to open.

#include "media/ColormatClip.h"
#include "project/ProjectFileReader.h"
#include "tests/project/ProjectFileFixture.h"
#include "tests/support/WavTestFiles.h"

#include <sys/stat.h>

namespace rw::test {
namespace {

std::string Mat(int frames, int red = 0, int green = 0, int blue = 0) {
  return "  Clip: Mat\n  begin\n    TotalFrame: " + std::to_string(frames) +
         "\n    ColorRed: " + std::to_string(red) + "\n    ColorGreen: " + std::to_string(green) +
         "\n    ColorBlue: " + std::to_string(blue) + "\n  end\n";
}

std::string Trans(const std::string& kind, int frames) {
  return "  Trans: " + kind + "\n  begin\n    TransFrame: " + std::to_string(frames) + "\n  end\n";
}

std::string Project(const std::string& top, const std::string& entries) {
  return "// Reelwright Ver.0.2006\n// test\n" + top + "ClipInfo: \nbegin\n" + entries + "end\n";
}

std::int32_t RedOf(const ClipInfo& entry) {
  return static_cast<std::int32_t>(static_cast<const ColormatClip&>(*entry.clip).Red());
}

using ProjectFileReadTest = ProjectFileTest;

TEST_F(ProjectFileReadTest, WithoutClipListOpensEmptyAtFrameZero) {
  ASSERT_TRUE(OpenText("CurrentFrame: 50\nSelect: Frame 3 4\n")) << messages.Get();
  EXPECT_EQ(project.List().Count(), 0);
  EXPECT_EQ(project.CurrentFrame(), 0);
  EXPECT_EQ(project.Current().selMode, SelMode::Frames);
  EXPECT_EQ(project.Current().selStart, 0);
  ASSERT_TRUE(OpenText("")) << messages.Get();
  EXPECT_EQ(project.List().Count(), 0);
}

TEST_F(ProjectFileReadTest, CurrentFrameIsLimitedToTheTimeline) {
  ASSERT_TRUE(OpenText(Project("CurrentFrame: 500\n", Mat(30) + Mat(20))));
  EXPECT_EQ(project.CurrentFrame(), 50);
  EXPECT_EQ(project.CurrentPos().index, 2); // the end position
  ASSERT_TRUE(OpenText(Project("CurrentFrame: -7\n", Mat(30) + Mat(20))));
  EXPECT_EQ(project.CurrentFrame(), 0);
  EXPECT_EQ(project.CurrentPos().index, 0);
  ASSERT_TRUE(OpenText(Project("CurrentFrame: 35\nCurrentFrame: 31\n", Mat(30) + Mat(20))));
  EXPECT_EQ(project.CurrentFrame(), 31); // the last occurrence wins
  EXPECT_EQ(project.CurrentPos().index, 1);
  EXPECT_EQ(project.CurrentPos().frame, 1);
  // A position on the timeline after the clip list: the number is kept until the end.
  ASSERT_TRUE(OpenText(Project("", Mat(30)) + "CurrentFrame: 12\n"));
  EXPECT_EQ(project.CurrentFrame(), 12);
}

TEST_F(ProjectFileReadTest, SelectionLine) {
  const std::string list = Mat(30) + Mat(20);
  ASSERT_TRUE(OpenText(Project("CurrentFrame: 7\nSelect: Clip 12 -1\n", list)));
  EXPECT_EQ(project.Current().selMode, SelMode::Cuts);
  EXPECT_EQ(project.Current().selStart, 12);
  EXPECT_EQ(project.Current().selEnd, -1); // follows the current frame
  ClipPos a, b;
  ASSERT_TRUE(project.SelectionRange(a, b));

  ASSERT_TRUE(OpenText(Project("Select: frame 80 -5000\n", list)));
  EXPECT_EQ(project.Current().selMode, SelMode::Frames);
  EXPECT_EQ(project.Current().selStart, 49); // limited to the last frame
  EXPECT_EQ(project.Current().selEnd, -1);   // a negative end is not set

  ASSERT_TRUE(OpenText(Project("Select: Frame 5 70\n", list)));
  EXPECT_EQ(project.Current().selStart, 5);
  EXPECT_EQ(project.Current().selEnd, 49);

  for (const char* ignored : {"Select: Range 1 2\n", "Select: Frame 4\n", "Select: Frame\n",
                              "Select: Frame x 3\n", "Select: 4 5\n", "Select:\n"}) {
    ASSERT_TRUE(OpenText(Project(ignored, list)));
    EXPECT_EQ(project.Current().selMode, SelMode::None) << ignored;
  }
  // An ignored line does not undo an earlier one.
  ASSERT_TRUE(OpenText(Project("Select: Clip 3 4\nSelect: Other 1 2\n", list)));
  EXPECT_EQ(project.Current().selMode, SelMode::Cuts);
  EXPECT_EQ(project.Current().selStart, 3);
}

TEST_F(ProjectFileReadTest, SelectValueForms) {
  const auto s = ProjectFileReader::ParseSelect("  Frame\t-3   +17 trailing");
  ASSERT_TRUE(s);
  EXPECT_EQ(s->mode, 1);
  EXPECT_EQ(s->anchor, -3);
  EXPECT_EQ(s->end, 17);
  EXPECT_FALSE(ProjectFileReader::ParseSelect("Frame 1 -"));
  EXPECT_FALSE(ProjectFileReader::ParseSelect("Frames 1 2"));
  const auto huge = ProjectFileReader::ParseSelect("CLIP 99999999999999 -99999999999999");
  ASSERT_TRUE(huge);
  EXPECT_EQ(huge->mode, 2);
  EXPECT_EQ(huge->anchor, 2147483647);
  EXPECT_EQ(huge->end, -2147483647 - 1);
}

TEST_F(ProjectFileReadTest, UnknownCutIsKeptOfflineWithItsTransitionAndAudio) {
  WriteToneWav(dir / "a.wav", 1000, 1, 16, 22050);
  const std::string audio = "  Audio: WAV\n  begin\n    FileName: a.wav\n    TotalSample: 500\n  end\n";
  // The unknown block holds lines that would mean something to the list: none of them counts.
  const std::string unknown = "  Clip: Hologram\n  begin\n    FileName: x.holo\n    Clip: Mat\n    Output:\n"
                              "    begin\n      VideoX: 999\n    end\n  end\n";
  ASSERT_TRUE(OpenText(Project("", Mat(40, 1) + Trans("WipeL2R", 10) + audio + unknown + Mat(30, 2) +
                                       Trans("Overlap", 5) + audio + Mat(20, 3))))
      << messages.Get();
  const pVideoClipList& list = project.List();
  ASSERT_EQ(list.Count(), 4);
  EXPECT_EQ(RedOf(list.EntryAt(0)), 1);
  EXPECT_TRUE(list.EntryAt(1).clip->IsOffline());
  EXPECT_EQ(list.EntryAt(1).clip->GetKindName(), "Hologram");
  EXPECT_EQ(list.EntryAt(1).clip->OfflineReason(), "不明なクリップの種類です: Hologram");
  EXPECT_EQ(list.EntryAt(1).trans.Length(), 10);
  EXPECT_EQ(list.EntryAt(1).audio.Count(), 1);
  EXPECT_EQ(RedOf(list.EntryAt(2)), 2);
  EXPECT_FALSE(list.EntryAt(2).trans.IsPresent());
  EXPECT_EQ(list.EntryAt(2).audio.Count(), 0);
  EXPECT_EQ(list.EntryAt(3).trans.Length(), 5);
  EXPECT_EQ(list.EntryAt(3).audio.Count(), 1);
  EXPECT_EQ(list.Output().VideoWidth(), 0);
}

TEST_F(ProjectFileReadTest, UnknownTransitionIsSkippedAndUnknownAudioKept) {
  const std::string entries = Mat(40, 1) + "  Trans: Spiral\n  begin\n    TransFrame: 9\n  end\n" +
                              "  Audio: MIDI\n  begin\n    FileName: tune.mid\n  end\n" + Mat(30, 2) +
                              Mat(5, 3);
  ASSERT_TRUE(OpenText(Project("", entries))) << messages.Get();
  ASSERT_EQ(project.List().Count(), 3);
  EXPECT_FALSE(project.List().EntryAt(1).trans.IsPresent());
  ASSERT_EQ(project.List().EntryAt(1).audio.Count(), 1);
  EXPECT_TRUE(project.List().EntryAt(1).audio.At(0)->IsOffline());
  EXPECT_NE(messages.Get().find("Spiral"), std::string::npos);
  EXPECT_NE(project.List().EntryAt(1).audio.At(0)->OfflineReason().find("MIDI"), std::string::npos);
}

TEST_F(ProjectFileReadTest, CutWhoseFileDoesNotOpenIsKeptOfflineWithWhatCameBefore) {
  WriteToneWav(dir / "a.wav", 1000, 2, 16, 44100);
  const std::string entries = Mat(40, 1) + Trans("Overlap", 10) +
                              "  Audio: WAV\n  begin\n    FileName: a.wav\n  end\n"
                              "  Clip: PIC\n  begin\n    FileName: missing.bmp\n    TotalFrame: 30\n  end\n" +
                              Mat(30, 2);
  ASSERT_TRUE(OpenText(Project("", entries))) << messages.Get();
  ASSERT_EQ(project.List().Count(), 3);
  const ClipInfo& kept = project.List().EntryAt(1);
  EXPECT_TRUE(kept.clip->IsOffline());
  EXPECT_EQ(kept.clip->FileName(), dir / "missing.bmp");
  EXPECT_EQ(kept.clip->OfflineReason(), "見つかりません");
  EXPECT_EQ(kept.Length(), 30);
  EXPECT_EQ(kept.trans.Length(), 10);
  EXPECT_EQ(kept.audio.Count(), 1);
  EXPECT_EQ(project.List().TotalFrames(), 90);
}

TEST_F(ProjectFileReadTest, AudioWhoseFileDoesNotOpenIsKeptOffline) {
  WriteToneWav(dir / "a.wav", 1000, 2, 16, 44100);
  const std::string entries = Mat(40, 1) + "  Audio: WAV\n  begin\n    FileName: gone.wav\n  end\n" +
                              "  Audio: WAV\n  begin\n    FileName: a.wav\n    PlayFrame: 3\n  end\n" +
                              Mat(30, 2);
  ASSERT_TRUE(OpenText(Project("", entries)));
  ASSERT_EQ(project.List().Count(), 2);
  ASSERT_EQ(project.List().EntryAt(1).audio.Count(), 2);
  EXPECT_TRUE(project.List().EntryAt(1).audio.At(0)->IsOffline());
  EXPECT_EQ(project.List().EntryAt(1).audio.At(1)->PlayFrame(), 3);
}

TEST_F(ProjectFileReadTest, TransitionsThatDoNotFit) {
  // Longer than the cut before it: the cut stays, without the transition.
  ASSERT_TRUE(OpenText(Project("", Mat(10, 1) + Trans("WipeU2D", 11) + Mat(30, 2))));
  ASSERT_EQ(project.List().Count(), 2);
  EXPECT_FALSE(project.List().EntryAt(1).trans.IsPresent());
  EXPECT_EQ(project.List().TotalFrames(), 40);
  EXPECT_FALSE(messages.Empty());
  // A length of 0 or less is no transition.
  ASSERT_TRUE(
      OpenText(Project("", Mat(10, 1) + Trans("WipeU2D", 0) + Mat(30, 2) + Trans("Overlap", -4) + Mat(5))));
  EXPECT_FALSE(project.List().EntryAt(1).trans.IsPresent());
  EXPECT_FALSE(project.List().EntryAt(2).trans.IsPresent());
  EXPECT_EQ(project.List().TotalFrames(), 45);
}

TEST_F(ProjectFileReadTest, CutWithoutLengthIsLeftOut) {
  ASSERT_TRUE(
      OpenText(Project("", Mat(10, 1) + "  Clip: Mat\n  begin\n    ColorRed: 9\n  end\n" + Mat(5, 2))));
  ASSERT_EQ(project.List().Count(), 2);
  EXPECT_EQ(RedOf(project.List().EntryAt(1)), 2);
}

TEST_F(ProjectFileReadTest, CommentsBareWordsAndUnknownKeysAreIgnoredEverywhere) {
  const std::string text =
      "Version: 9\nstray words\n// comment\nClipInfo: \n// c\nnoise\nbegin\n// c\n"
      "  Extra: 1\n  ClipNum: 77\n  Output:\n  // c\n  begin\n  // c\n  Mystery: 4\n"
      "    VideoX: 64\n  word\n  end\n  Clip: mat\n  // c\n  begin\n    // c\n    Shade: 3\n"
      "    totalframe: 12\n    colorgreen: 7\n  end\n  // c\nend\n// trailing\nOther: 1\n";
  ASSERT_TRUE(OpenText(text)) << messages.Get();
  ASSERT_EQ(project.List().Count(), 1);
  EXPECT_EQ(project.List().TotalFrames(), 12);
  EXPECT_EQ(static_cast<const ColormatClip&>(*project.List().EntryAt(0).clip).Green(), 7u);
  EXPECT_EQ(project.List().Output().VideoWidth(), 64);
}

TEST_F(ProjectFileReadTest, RefusedOutputValuesKeepTheDefaults) {
  const std::string entries =
      "  Output:\n  begin\n    VideoX: 5000\n    VideoY: 0\n    AudioRate: 12345\n"
      "    AudioBits: 12\n    AudioChannel: 6\n    VideoRate: 25\n    AudioOut: on-ish\n"
      "    CompressHandler: ab\n  end\n" +
      Mat(3);
  ASSERT_TRUE(OpenText(Project("", entries)));
  EXPECT_EQ(project.List().Output(), [] {
    OutputInfo expected;
    expected.SetAudioOut(true);
    return expected;
  }());
}

TEST_F(ProjectFileReadTest, BrokenOutputBlockDoesNotEndTheList) {
  ASSERT_TRUE(OpenText(Project("", "  Output:\n  VideoX: 10\n" + Mat(4, 1))));
  ASSERT_EQ(project.List().Count(), 1);
}

TEST_F(ProjectFileReadTest, LastClipListWins) {
  const std::string text = Project("", Mat(10, 1) + Mat(10, 2)) + "ClipInfo: \nbegin\n" + Mat(7, 3) + "end\n";
  ASSERT_TRUE(OpenText(text));
  ASSERT_EQ(project.List().Count(), 1);
  EXPECT_EQ(RedOf(project.List().EntryAt(0)), 3);
}

TEST_F(ProjectFileReadTest, FailedOpenLeavesTheProjectUntouched) {
  ASSERT_TRUE(OpenText(Project("CurrentFrame: 4\n", Mat(10, 1)), "good.rwe"));
  project.StartSelection(SelMode::Frames, 2);
  const VideoClipList before = project.Current().list;
  const std::filesystem::path name = project.FileName();

  const std::string failing[] = {
      Project("", Mat(10, 2)).substr(0, Project("", Mat(10, 2)).size() - 4), // no "end" for the list
      "ClipInfo: \nVideoX: 3\nbegin\nend\n",                                 // key line before "begin"
      "ClipInfo: \n// only comments\n",                                      // no "begin"
      "ClipInfo: \nbegin\n  Clip: Mat\n  begin\n    TotalFrame: 3\n",        // ends inside a record
  };
  for (const std::string& text : failing) {
    EXPECT_FALSE(OpenText(text, "bad.rwe")) << text;
    EXPECT_EQ(project.Current().list, before);
    EXPECT_EQ(project.FileName(), name);
    EXPECT_EQ(project.CurrentFrame(), 4);
    EXPECT_EQ(project.Current().selMode, SelMode::Frames);
    EXPECT_TRUE(
        messages.Get().starts_with("プロジェクト " + (dir / "bad.rwe").string() + " の読込に失敗しました:\n"))
        << messages.Get();
  }
}

TEST_F(ProjectFileReadTest, FilesThatCannotBeRead) {
  EXPECT_FALSE(ProjectFile::Open(project, dir / "absent.rwe", 160, 120));
  EXPECT_TRUE(
      messages.Get().starts_with("プロジェクト " + (dir / "absent.rwe").string() + " の読込に失敗しました"));
  EXPECT_FALSE(ProjectFile::Open(project, dir.Path(), 160, 120)); // a folder
  ASSERT_EQ(::mkfifo((dir / "pipe.rwe").c_str(), 0600), 0);
  EXPECT_FALSE(ProjectFile::Open(project, dir / "pipe.rwe", 160, 120)); // and no waiting for a writer
}

TEST_F(ProjectFileReadTest, DisplaySizeIsGivenOnlyWhenBothAreAboveZero) {
  WriteText(dir / "m.rwe", Project("", Mat(10, 1)));
  ASSERT_TRUE(ProjectFile::Open(project, dir / "m.rwe", 0, 90));
  EXPECT_EQ(project.List().EntryAt(0).clip->GetWidth(), 1); // the 1 x 1 swatch
  ASSERT_TRUE(ProjectFile::Open(project, dir / "m.rwe", 64, 48));
  EXPECT_EQ(project.List().EntryAt(0).clip->GetWidth(), 64);
  EXPECT_EQ(project.List().EntryAt(0).clip->GetHeight(), 48);
}

TEST_F(ProjectFileReadTest, OpenedProjectIsNotModifiedAndHasNoHistory) {
  project.AppendClip(VideoClip::Make<ColormatClip>(1u, 2u, 3u));
  ASSERT_TRUE(project.Modified());
  ASSERT_TRUE(OpenText(Project("", Mat(10, 1))));
  EXPECT_FALSE(project.Modified());
  EXPECT_FALSE(project.CanUndo());
  EXPECT_FALSE(project.CanRedo());
}

} // namespace
} // namespace rw::test
