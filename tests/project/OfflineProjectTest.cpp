// Projects whose media files are missing or damaged: every entry stays, is saved as it was read,
// shows its placeholder, is named in the one message, comes alive again and can be relinked.

#include "media/OfflineClip.h"
#include "media/OfflinePicture.h"
#include "project/OfflineMedia.h"
#include "project/TimelineRenderer.h"
#include "tests/project/ProjectFileFixture.h"
#include "tests/support/PictureTestFiles.h"
#include "tests/support/ProjectTestMedia.h"
#include "tests/support/WavTestFiles.h"

namespace rw::test {
namespace {

namespace fs = std::filesystem;

// A mat of 40 frames, an overlap of 10 into the AVI cut (frames 5..44, the theme anchored at 5),
// the title still of 20 frames with the voice anchored, a Targa still of 25 frames and a cut of
// a kind this program does not know.
std::string OfflineProjectText() {
  return "// Reelwright Ver.0.2006\n// test\nCurrentFrame: 0\nClipInfo: \nbegin\n"
         "  Clip: Mat\n  begin\n    TotalFrame: 40\n    ColorRed: 200\n    ColorGreen: 0\n"
         "    ColorBlue: 0\n  end\n"
         "  Trans: Overlap\n  begin\n    TransFrame: 10\n  end\n"
         "  Audio: WAV\n  begin\n    FileName: \"sound/theme music.wav\"\n    StartSample: 100\n"
         "    TotalSample: 44100\n    PlayFrame: 5\n    OverClip: OFF\n    Volume: 200\n  end\n"
         "  Clip: AVI\n  begin\n    FileName: media/opening.avi\n    StartFrame: 5\n    EndFrame: 44\n"
         "    Volume: 128\n  end\n"
         "  Audio: WAV\n  begin\n    FileName: sound/voice.wav\n    TotalSample: 22050\n    PlayFrame: 2\n  "
         "end\n"
         "  Clip: PIC\n  begin\n    FileName: stills/title.bmp\n    TotalFrame: 20\n  end\n"
         "  Clip: PIC\n  begin\n    FileName: stills/card.tga\n    TotalFrame: 25\n  end\n"
         "  Clip: Hologram\n  begin\n    FileName: holo/x.holo\n    Frames: 12\n    Layers:\n    begin\n"
         "      Depth: 3\n    end\n  end\n"
         "end\n";
}

class OfflineProjectTest : public ProjectFileTest {
protected:
  OfflineProjectTest() {
    PutMediaBack();
    // The canonical text: read with every file in place and written by this program.
    WriteText(dir / "p.rwe", OfflineProjectText());
    EXPECT_TRUE(ProjectFile::Open(project, dir / "p.rwe", 160, 120)) << messages.Get();
    saved = SaveText("p.rwe");
    EXPECT_FALSE(saved.empty()) << messages.Get();
  }

  void PutMediaBack() {
    media = WriteProjectMedia(dir.Path());
    WriteToneWav(dir / "sound" / "voice.wav", 44100, 1, 16, 22050);
    WriteBytes(dir / "stills" / "card.tga", TgaBytes(TestPicture::Pattern(32, 24), TgaVariant::Bgr24));
  }

  // Drops the project and with it the readers it holds open, which would be shared again.
  void Forget() {
    VideoProject empty(context);
    project = empty;
  }

  // Removes the AVI, the still and the voice, and cuts the Targa file short.
  void LoseMedia() {
    Forget();
    fs::remove(media.avi);
    fs::remove(media.bmp);
    fs::remove(dir / "sound" / "voice.wav");
    fs::resize_file(dir / "stills" / "card.tga", 20);
  }

  const ClipInfo& Entry(std::int32_t i) const { return project.List().EntryAt(i); }

  ProjectMedia media;
  std::string saved;
};

TEST_F(OfflineProjectTest, EveryEntryStaysAndIsSavedAsItWasRead) {
  ASSERT_EQ(project.List().Count(), 5);
  EXPECT_TRUE(Entry(4).clip->IsOffline()); // the unknown kind is offline even with its files
  LoseMedia();
  ASSERT_TRUE(ProjectFile::Open(project, dir / "p.rwe", 160, 120)) << messages.Get();
  const pVideoClipList& list = project.List();
  ASSERT_EQ(list.Count(), 5);
  EXPECT_TRUE(Entry(0).clip->IsValid());
  for (std::int32_t i = 1; i < 5; ++i) {
    EXPECT_TRUE(Entry(i).clip->IsOffline()) << i;
    EXPECT_FALSE(Entry(i).clip->IsValid()) << i;
  }
  // The offline AVI cut keeps its transition, its trimmed length and the sound anchored to it.
  EXPECT_EQ(Entry(1).TransLength(), 10);
  EXPECT_EQ(Entry(1).Length(), 40);
  EXPECT_EQ(Entry(1).clip->GetBeginFrame(), 5);
  ASSERT_EQ(Entry(1).audio.Count(), 1);
  EXPECT_TRUE(Entry(1).audio.At(0)->IsValid());
  ASSERT_EQ(Entry(2).audio.Count(), 1);
  EXPECT_TRUE(Entry(2).audio.At(0)->IsOffline());
  EXPECT_EQ(Entry(2).audio.At(0)->PlayFrame(), 2);
  EXPECT_EQ(Entry(2).Length(), 20);
  EXPECT_EQ(Entry(3).Length(), 25);
  EXPECT_EQ(Entry(4).Length(), 12);
  EXPECT_EQ(list.TotalFrames(), 40 + 40 - 10 + 20 + 25 + 12);
  EXPECT_FALSE(project.Modified());

  // Saved in place: the very same text. Saved elsewhere: the names still reach the files.
  EXPECT_EQ(SaveText("p.rwe"), saved);
  fs::create_directories(dir / "elsewhere");
  ASSERT_FALSE(SaveText("elsewhere/q.rwe").empty());
  EXPECT_NE(ReadText(dir / "elsewhere" / "q.rwe").find("FileName: ../media/opening.avi"), std::string::npos);
  PutMediaBack();
  ASSERT_TRUE(ProjectFile::Open(project, dir / "elsewhere" / "q.rwe", 160, 120)) << messages.Get();
  ASSERT_EQ(project.List().Count(), 5);
  for (std::int32_t i = 0; i < 4; ++i)
    EXPECT_TRUE(Entry(i).clip->IsValid()) << i;
  EXPECT_EQ(Entry(1).clip->GetBeginFrame(), 5);
  EXPECT_EQ(Entry(1).clip->Audio()->Volume(), 128);
  EXPECT_EQ(Entry(1).audio.At(0)->GetBeginSample(), 100);
}

TEST_F(OfflineProjectTest, OneMessageNamesEveryFileAndWhy) {
  LoseMedia();
  ASSERT_TRUE(ProjectFile::Open(project, dir / "p.rwe", 160, 120)) << messages.Get();
  const std::vector<OfflineFile> files = OfflineMedia::List(project.List());
  ASSERT_EQ(files.size(), 5u);
  EXPECT_EQ(files[0].file, media.avi);
  EXPECT_EQ(files[1].file, media.bmp);
  EXPECT_EQ(files[2].file, dir / "sound" / "voice.wav");
  EXPECT_EQ(files[3].file, dir / "stills" / "card.tga");
  EXPECT_EQ(files[0].reason, "見つかりません");
  EXPECT_EQ(files[2].reason, "見つかりません");
  EXPECT_EQ(files[3].reason.rfind("壊れています: ", 0), 0u) << files[3].reason;
  EXPECT_NE(files[3].reason.find("'card.tga'"), std::string::npos) << files[3].reason;
  EXPECT_EQ(files[4].reason, "不明なクリップの種類です: Hologram");

  const std::string message = OfflineMedia::Message(files);
  EXPECT_EQ(message.rfind("開けないファイルがあります。オフラインのまま残しました:\n", 0), 0u);
  EXPECT_NE(message.find("  " + media.avi.string() + ": 見つかりません\n"), std::string::npos) << message;
  for (const OfflineFile& f : files)
    EXPECT_NE(message.find(f.file.string()), std::string::npos) << f.file;
  EXPECT_EQ(OfflineMedia::Message({}), "");
  // The readers' own messages do not pile up beside the one message.
  EXPECT_TRUE(messages.Empty()) << messages.Get();

  // Unreadable and unknown to every decoder.
  fs::create_directories(media.avi);
  WriteText(media.bmp, "plain words, not a picture");
  ASSERT_TRUE(ProjectFile::Open(project, dir / "p.rwe", 160, 120));
  EXPECT_EQ(Entry(1).clip->OfflineReason(), "読めません");
  EXPECT_EQ(Entry(2).clip->OfflineReason(), "対応していない形式です");
}

TEST_F(OfflineProjectTest, PlaceholderIsRenderedWhereverAFrameIsAsked) {
  // Behind the transition into the AVI cut, inside it, and in each later offline cut.
  const std::int32_t frames[] = {50, 35, 80, 100, 120};
  TimelineRenderer renderer;
  std::vector<DIB> before(std::size(frames));
  for (std::size_t k = 0; k < std::size(frames); ++k) {
    ASSERT_TRUE(before[k].Create(160, 120));
    ASSERT_TRUE(renderer.QuickFrame(project.List(), before[k], project.List().PosAt(frames[k])));
  }
  LoseMedia();
  ASSERT_TRUE(ProjectFile::Open(project, dir / "p.rwe", 160, 120));

  DIB expected;
  ASSERT_TRUE(OfflinePicture::Draw(expected, 160, 120, "opening.avi"));
  DIB black;
  ASSERT_TRUE(black.Create(160, 120));
  black.Clear();
  for (const bool quick : {true, false}) {
    DIB out;
    ASSERT_TRUE(out.Create(160, 120));
    for (std::size_t k = 0; k < std::size(frames); ++k) {
      const ClipPos pos = project.List().PosAt(frames[k]);
      ASSERT_TRUE(quick ? renderer.QuickFrame(project.List(), out, pos)
                        : renderer.SmoothFrame(project.List(), out, pos));
      EXPECT_FALSE(out.IsSame(black)) << frames[k] << quick;
      if (k < 4) { // the unknown kind was offline before too
        EXPECT_FALSE(out.IsSame(before[k])) << frames[k] << quick;
      }
    }
    ASSERT_TRUE(renderer.QuickFrame(project.List(), out, project.List().PosAt(50)));
    EXPECT_TRUE(out.IsSame(expected));
  }
  // The strip's first and last pictures of the offline cut are the placeholder too.
  pVideoClip& cut = *Entry(1).clip;
  EXPECT_NE(cut.GetFirstFrame(), nullptr);
  EXPECT_NE(cut.GetLastFrame(), nullptr);
}

TEST_F(OfflineProjectTest, EntriesComeAliveWhenTheFilesAreBack) {
  LoseMedia();
  ASSERT_TRUE(ProjectFile::Open(project, dir / "p.rwe", 160, 120));
  EXPECT_FALSE(project.ReviveOffline());                      // nothing is back yet
  ASSERT_TRUE(project.DeleteClip(project.List().PosAt(120))); // an edit to keep in the history
  const std::int32_t undo = project.UndoCount();
  PutMediaBack();
  project.MarkSaved(project.FileName());
  ASSERT_TRUE(project.ReviveOffline());
  for (std::int32_t i = 0; i < 4; ++i)
    EXPECT_TRUE(Entry(i).clip->IsValid()) << i;
  EXPECT_TRUE(Entry(2).audio.At(0)->IsValid());
  EXPECT_EQ(Entry(2).audio.At(0)->PlayFrame(), 2);
  EXPECT_EQ(Entry(2).clip->GetWidth(), 160); // at the display size, as after reading
  EXPECT_FALSE(project.Modified());
  EXPECT_EQ(project.UndoCount(), undo);
  EXPECT_FALSE(project.ReviveOffline());
  EXPECT_TRUE(OfflineMedia::List(project.List()).empty());

  ASSERT_TRUE(ProjectFile::Open(project, dir / "p.rwe", 160, 120));
  EXPECT_EQ(OfflineMedia::List(project.List()).size(), 1u); // the unknown kind only
}

TEST_F(OfflineProjectTest, RelinkFindsFilesByNameInAFolderTreeAsOneEdit) {
  Forget();
  // The media moved into a tree, one name in other letter case, one copy nearer the top.
  const fs::path tree = dir / "moved";
  fs::create_directories(tree / "a" / "b");
  fs::create_directories(tree / "c");
  fs::rename(media.avi, tree / "a" / "b" / "OPENING.avi");
  fs::rename(media.bmp, tree / "c" / "title.bmp");
  fs::copy_file(tree / "c" / "title.bmp", tree / "a" / "b" / "title.bmp");
  fs::rename(dir / "sound" / "voice.wav", tree / "a" / "voice.wav");
  ASSERT_TRUE(ProjectFile::Open(project, dir / "p.rwe", 160, 120));
  ASSERT_EQ(OfflineMedia::List(project.List()).size(), 4u);

  VideoProject::RelinkResult result;
  ASSERT_TRUE(project.Relink(tree, result)) << messages.Get();
  EXPECT_EQ(result.found.size(), 3u);
  EXPECT_EQ(Entry(1).clip->FileName(), tree / "a" / "b" / "OPENING.avi");
  EXPECT_EQ(Entry(2).clip->FileName(), tree / "c" / "title.bmp");
  EXPECT_TRUE(Entry(1).clip->IsValid());
  EXPECT_TRUE(Entry(2).clip->IsValid());
  EXPECT_TRUE(Entry(2).audio.At(0)->IsValid());
  ASSERT_EQ(result.missing.size(), 1u);
  EXPECT_EQ(result.missing[0].reason, "不明なクリップの種類です: Hologram");
  EXPECT_TRUE(project.Modified());
  EXPECT_NE(SaveText("p.rwe").find("FileName: moved/a/b/OPENING.avi"), std::string::npos);

  ASSERT_TRUE(project.Undo());
  EXPECT_TRUE(Entry(1).clip->IsOffline());
  EXPECT_TRUE(Entry(2).clip->IsOffline());
  EXPECT_TRUE(Entry(2).audio.At(0)->IsOffline());
  ASSERT_TRUE(project.Redo());
  EXPECT_TRUE(Entry(1).clip->IsValid());

  // Nothing more to find.
  EXPECT_FALSE(project.Relink(tree, result));
  EXPECT_TRUE(result.found.empty());
  EXPECT_EQ(result.missing.size(), 1u);
}

TEST_F(OfflineProjectTest, FilesThatOpenShortAreNamedToo) {
  Forget();
  TestAviOptions options;
  options.frames = 20;
  options.audioRate = 44100;
  ASSERT_TRUE(WriteTestAvi(media.avi, options));
  WriteToneWav(media.wav, 1000, 2, 16, 44100);
  ASSERT_TRUE(ProjectFile::Open(project, dir / "p.rwe", 160, 120)) << messages.Get();
  EXPECT_TRUE(Entry(1).clip->IsValid());
  EXPECT_EQ(OfflineMedia::List(project.List()).size(), 1u); // the unknown kind only
  const std::vector<OfflineFile> damaged = OfflineMedia::Damaged(project.List());
  ASSERT_EQ(damaged.size(), 2u);
  EXPECT_EQ(damaged[0].file, media.avi);
  EXPECT_EQ(damaged[0].reason,
            "壊れています: 記録ではフレーム5〜44ですが、ファイルには20フレームしかありません");
  EXPECT_EQ(damaged[1].file, media.wav);
  EXPECT_EQ(damaged[1].reason,
            "壊れています: 記録ではサンプル100〜44199ですが、ファイルには1000サンプルしかありません");
  const std::string message = OfflineMedia::Message(OfflineMedia::List(project.List()), damaged);
  EXPECT_NE(message.find("オフラインのまま残しました:\n"), std::string::npos) << message;
  EXPECT_NE(
      message.find("記録より短いファイルがあります。読める所までを使います:\n  " + media.avi.string() + ": "),
      std::string::npos)
      << message;
  EXPECT_TRUE(Entry(2).clip->ReadLoss().empty());
  EXPECT_EQ(OfflineMedia::Message({}, {}), "");
}

TEST_F(OfflineProjectTest, OfflineCutsMoveAndCopyButAreNotTrimmed) {
  LoseMedia();
  ASSERT_TRUE(ProjectFile::Open(project, dir / "p.rwe", 160, 120));
  EXPECT_FALSE(project.SetLength(10, 2));
  EXPECT_FALSE(project.SetEndFrame(20, 1));
  project.Messages().Clear();
  EXPECT_FALSE(project.Split(project.List().PosAt(80)));
  EXPECT_NE(project.Messages().Get().find("切断できません"), std::string::npos);
  EXPECT_FALSE(project.CanUndo());
  // Copy the offline still and paste it at the front; delete the unknown one.
  ASSERT_TRUE(project.SetCurrentFrame(80));
  ASSERT_TRUE(project.StartSelection(SelMode::Cuts, 80));
  ASSERT_TRUE(project.Copy());
  ASSERT_TRUE(project.Paste(project.List().PosAt(0)));
  EXPECT_TRUE(Entry(0).clip->IsOffline());
  EXPECT_EQ(Entry(0).Length(), 20);
  ASSERT_TRUE(project.DeleteClip(project.List().PosAt(project.List().TotalFrames() - 1)));
  EXPECT_EQ(project.List().Count(), 5);
  // The pasted copy is saved with the record it came from.
  const std::string text = SaveText("copy.rwe");
  const std::string still =
      "  Clip: PIC\n  begin\n    FileName: stills/title.bmp\n    TotalFrame: 20\n  end\n";
  ASSERT_NE(text.find(still), std::string::npos) << text;
  EXPECT_NE(text.find(still), text.rfind(still)) << text;
}

} // namespace
} // namespace rw::test
