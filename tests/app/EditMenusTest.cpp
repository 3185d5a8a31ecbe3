// The menus "ファイル" (inserting), "編集", "選択" and "ジャンプ" of the window: every item's
// caption and shortcut, what it does to the project, and the refresh after it.

#include "tests/app/AppTestSupport.h"

#include "app/DibImage.h"
#include "app/MainFormWidgets.h"
#include "app/PictureBox.h"
#include "dialogs/WindowFont.h"
#include "media/ColormatClip.h"
#include "project/ProjectFile.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestAvi.h"
#include "tests/support/WavTestFiles.h"

#include <QAction>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QtTest>

namespace rw::app::test {

class EditMenusTest : public QObject {
  Q_OBJECT

private:
  rw::test::TempDir media_;
  std::filesystem::path avi_;
  std::filesystem::path wav_;
  std::unique_ptr<TestWindow> window_;

  VideoProject& P() { return window_->Project(); }
  MainFormWidgets& W() { return window_->Widgets(); }
  void Press(const QKeySequence& keys) { QTest::keySequence(&window_->Form(), keys); }
  void Trigger(const char* action) { W().Action(action)->trigger(); }
  int Total() { return P().List().TotalFrames(); }
  void Mat(std::int32_t length, std::uint32_t shade) {
    VideoClip mat = VideoClip::Make<ColormatClip>(shade, shade, shade);
    QVERIFY(length == ColormatClip::kNewLength || mat.SetLength(length));
    mat.SetSize(160, 120);
    QVERIFY(P().AppendClip(mat));
  }
  void Select(SelMode mode, int from, int to) {
    P().StartSelection(mode, from);
    P().SetSelectionEnd(to);
  }

private slots:
  void initTestCase() {
    dialogs::WindowFont::Apply();
    avi_ = media_ / "clip.avi";
    wav_ = media_ / "tone.wav";
    WriteTestMovie(avi_, 20);
    WriteTestTone(wav_);
  }

  // Three mats: 30, 40 and 20 frames (90 in all); the window shows frame 0.
  void init() {
    window_ = std::make_unique<TestWindow>();
    Mat(30, 10);
    Mat(40, 20);
    Mat(20, 30);
    window_->Form().show();
    QVERIFY(QTest::qWaitForWindowExposed(&window_->Form()));
    window_->Form().Refresh(0, true);
  }

  void cleanup() { window_.reset(); }

  void captionsAndShortcuts() {
    const std::pair<const char*, const char*> items[] = {
        {"MenuUndo", "Ctrl+Z"},    {"MenuRedo", "Ctrl+Shift+Z"}, {"MenuSelCut", "F7"},
        {"MenuSelCopy", "F8"},     {"MenuSelPaste", "F9"},       {"MenuFrameDelete", "Shift+Del"},
        {"MenuCutDelete", "Del"},  {"MenuSeparate", "Ctrl+D"},   {"MenuSelStart", "Shift+F6"},
        {"MenuSelStartCut", "F6"}, {"MenuSelect", "Return"},     {"MenuSelectCancel", "Esc"},
        {"MenuPrevFrame", "Left"}, {"MenuNextFrame", "Right"},   {"MenuPrevClip", "Up"},
        {"MenuNextClip", "Down"},  {"MenuInsertClip", "Ins"},    {"MenuInsertProject", "Ctrl+I"},
        {"MenuExit", "Alt+X"},     {"MenuInsertAudio", ""},      {"MenuSelCurrentFrame", ""}};
    for (const auto& [name, keys] : items)
      QCOMPARE(W().Action(name)->shortcut(), QKeySequence(keys));
    QCOMPARE(W().Action("MenuSelPaste")->text(), QString("張り付け(&P)"));
    QCOMPARE(W().Action("MenuSeparate")->text(), QString("現在のフレームでカットを分割(&S)"));
    QCOMPARE(W().Action("MenuSelBeforeFrame")->text(), QString("現在のフレーム以前を選択"));
    QCOMPARE(W().Action("MenuJumpLast")->text(), QString("作品の最後へ"));
    QCOMPARE(W().Action("MenuSelCurrentCut")->statusTip(), QString("現在時刻のカットを選択した状態にします"));
  }

  void undoAndRedoWithTheMenuEnabling() {
    QMenu* edit = W().menus.at("Edit1");
    window_->Form().Refresh(45, false);
    Press(QKeySequence("Ctrl+D")); // split the second mat at its frame 15
    QCOMPARE(P().List().Count(), 4);
    QCOMPARE(W().Slot(0).length->text(), QString("00:25"));
    emit edit->aboutToShow();
    QVERIFY(W().Action("MenuUndo")->isEnabled());
    QVERIFY(!W().Action("MenuRedo")->isEnabled());
    emit edit->aboutToHide();
    Press(QKeySequence("Ctrl+Z"));
    QCOMPARE(P().List().Count(), 3);
    QCOMPARE(W().Slot(0).length->text(), QString("01:10"));
    emit edit->aboutToShow();
    QVERIFY(W().Action("MenuRedo")->isEnabled());
    emit edit->aboutToHide();
    Press(QKeySequence("Ctrl+Shift+Z"));
    QCOMPARE(P().List().Count(), 4);
    while (P().CanUndo())
      Press(QKeySequence("Ctrl+Z"));
    emit edit->aboutToShow();
    QVERIFY(!W().Action("MenuUndo")->isEnabled());
    emit edit->aboutToHide();
    QVERIFY(W().Action("MenuUndo")->isEnabled()); // the shortcut stays live, and refuses
  }

  void cutCopyPasteAndDelete() {
    const int edits = P().UndoCount();
    window_->Form().Refresh(35, false);
    Press(QKeySequence("Shift+Del")); // one frame
    QCOMPARE(Total(), 89);
    QCOMPARE(P().List().Count(), 4); // a still loses the frame by becoming two
    Press(QKeySequence("Del"));      // the whole cut at the current time: 34 frames
    QCOMPARE(Total(), 55);
    QCOMPARE(P().UndoCount(), edits + 2);
    Select(SelMode::Frames, 5, 14);
    Press(QKeySequence("F7"));
    QCOMPARE(Total(), 45);
    QCOMPARE(P().Clipboard()->TotalFrames(), 10);
    window_->Form().Refresh(0, false);
    Press(QKeySequence("F9"));
    Press(QKeySequence("F9"));
    QCOMPARE(Total(), 65);
    QCOMPARE(W().labelTimeTotal->text(), QString("00:02:05"));
    Select(SelMode::Cuts, 50, 50);
    Press(QKeySequence("F8"));
    QCOMPARE(P().Clipboard()->TotalFrames(), 20); // the whole last mat
    QCOMPARE(Total(), 65);
  }

  void copyingOneFramePutsItsPictureOnTheClipboard() {
    window_ = std::make_unique<TestWindow>(std::vector<std::string>{avi_.string()});
    window_->Form().show();
    window_->Form().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window_->Form()));
    window_->Form().Refresh(7, false);
    QGuiApplication::clipboard()->clear();
    Trigger("MenuSelCurrentFrame");
    Press(QKeySequence("F8"));
    const QImage image = QGuiApplication::clipboard()->image();
    QCOMPARE(image.size(), QSize(160, 120)); // the source frame at its own size
    const DIB picture = [&] {
      DIB p;
      pVideoClip& clip = *P().List().EntryAt(0).clip;
      const BitmapInfoHeader* h = clip.GetSourceFormat();
      p.Create(h->biWidth, h->biHeight);
      std::memcpy(p.Bits(), clip.GetSourceFrame(7), p.SizeImage());
      return p;
    }();
    QVERIFY(DibImage::Same(image, picture));
    // A selection of more than one frame leaves the system clipboard alone.
    QGuiApplication::clipboard()->clear();
    Select(SelMode::Frames, 2, 9);
    Press(QKeySequence("F8"));
    QVERIFY(QGuiApplication::clipboard()->image().isNull());
  }

  void selectionMenu() {
    const int edits = P().UndoCount();
    window_->Form().Refresh(10, false);
    Press(QKeySequence("Shift+F6"));
    QCOMPARE(P().Current().selMode, SelMode::Frames);
    window_->Form().Refresh(20, false);
    QVERIFY(W().shapeSelectFrame->isVisible());
    Press(QKeySequence("Return"));
    QCOMPARE(P().Current().selEnd, 20);
    Press(QKeySequence("Shift+F6")); // again: ends the selection
    QCOMPARE(P().Current().selMode, SelMode::None);
    QVERIFY(!W().shapeSelectFrame->isVisible());
    Press(QKeySequence("F6"));
    QCOMPARE(P().Current().selMode, SelMode::Cuts);
    Press(QKeySequence("Esc"));
    QCOMPARE(P().Current().selMode, SelMode::None);
    window_->Form().Refresh(45, false);
    Trigger("MenuSelCurrentCut");
    ClipPos a;
    ClipPos b;
    QVERIFY(P().SelectionRange(a, b));
    QCOMPARE(P().List().FrameOf(a), 30);
    QCOMPARE(P().List().FrameOf(b), 69);
    Trigger("MenuSelAfterCurrent");
    QCOMPARE(P().Current().selEnd, P().NextCutTarget());
    Trigger("MenuSelBeforeFrame");
    QCOMPARE(P().Current().selEnd, P().PrevCutTarget());
    QCOMPARE(P().UndoCount(), edits); // selecting is not an edit
  }

  void jumpMenu() {
    Trigger("MenuJumpLast");
    QCOMPARE(P().CurrentFrame(), 89);
    Press(QKeySequence("Right"));
    QCOMPARE(P().CurrentFrame(), 90); // the end position
    Press(QKeySequence("Right"));
    QCOMPARE(P().CurrentFrame(), 90);
    Trigger("MenuJumpFirst");
    QCOMPARE(P().CurrentFrame(), 0);
    Press(QKeySequence("Left"));
    QCOMPARE(P().CurrentFrame(), 0);
  }

  void playStopsForTheFileMenuAClickAndTheBackground() {
    Playback& transport = window_->Form().Transport();
    transport.Start(1);
    QVERIFY(transport.Playing());
    emit W().menus.at("File1")->aboutToShow();
    QVERIFY(!transport.Playing());
    emit W().menus.at("File1")->aboutToHide();
    transport.Start(3);
    QTest::mouseClick(W().FrameImage(2), Qt::LeftButton);
    QVERIFY(!transport.Playing());
    transport.Start(1);
    emit qApp->applicationStateChanged(Qt::ApplicationInactive);
    QVERIFY(!transport.Playing());
  }

  void insertingFilesAndProjects() {
    window_->Form().Refresh(30, false);
    window_->files.answers = {avi_, media_ / "tone.wav", {}};
    Press(QKeySequence("Ins"));
    QCOMPARE(P().List().Count(), 4);
    QCOMPARE(P().List().LengthOf(1), 20);
    QCOMPARE(window_->prompt.asked.back(), "ムービー " + (media_ / "tone.wav").string() + " を開けません");
    window_->files.answers = {wav_, avi_, {}};
    Trigger("MenuInsertAudio");
    QCOMPARE(P().List().AudioCount(), 1);
    QCOMPARE(window_->prompt.asked.back(), "サウンド " + avi_.string() + " を開けません");

    // Ctrl+I: the whole timeline of a project file as one edit.
    const std::filesystem::path other = media_ / "other.rwe";
    {
      TestWindow maker({avi_.string(), avi_.string()});
      QVERIFY(ProjectFile::Save(maker.Project(), other));
    }
    const int undo = P().UndoCount();
    const int total = Total();
    window_->files.answers = {other};
    Press(QKeySequence("Ctrl+I"));
    QCOMPARE(Total(), total + 40);
    QCOMPARE(P().UndoCount(), undo + 1);
    Press(QKeySequence("Ctrl+Z"));
    QCOMPARE(Total(), total);
    window_->files.answers = {media_ / "missing.rwe"};
    Press(QKeySequence("Ctrl+I"));
    QCOMPARE(Total(), total);
    QVERIFY(window_->prompt.asked.back().find("missing.rwe") != std::string::npos);
  }

  void fileMenuOffersOverwriteOnlyForANamedModifiedProject() {
    QMenu* file = W().menus.at("File1");
    emit file->aboutToShow();
    QVERIFY(!W().Action("MenuSaveProject")->isEnabled()); // modified, but no name
    emit file->aboutToHide();
    QVERIFY(W().Action("MenuSaveProject")->isEnabled()); // Ctrl+S still asks for a name
    window_->files.answers = {media_ / "named.rwe"};
    Press(QKeySequence("Ctrl+S"));
    QVERIFY(std::filesystem::exists(media_ / "named.rwe"));
    window_->Form().Refresh(10, false);
    Press(QKeySequence("Ctrl+D"));
    emit file->aboutToShow();
    QVERIFY(W().Action("MenuSaveProject")->isEnabled());
    emit file->aboutToHide();
  }
};

} // namespace rw::app::test

QTEST_MAIN(rw::app::test::EditMenusTest)
#include "EditMenusTest.moc"
