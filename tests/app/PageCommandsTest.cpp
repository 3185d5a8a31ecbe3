// The pages "カット" and "ワイプ" and the group "音声": buttons, time fields with their up-downs
// and the volume, and where the keys go after a field was applied.

#include "tests/app/AppTestSupport.h"

#include "app/MainFormWidgets.h"
#include "app/UpDown.h"
#include "dialogs/DialogColorChooser.h"
#include "dialogs/TColorSelectDialog.h"
#include "dialogs/TTransTypeDialog.h"
#include "dialogs/WindowFont.h"
#include "media/ColormatClip.h"
#include "render/TransitionKinds.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestAvi.h"
#include "tests/support/WavTestFiles.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QToolButton>
#include <QtTest>

namespace rw::app::test {

class PageCommandsTest : public QObject {
  Q_OBJECT

private:
  rw::test::TempDir media_;
  std::filesystem::path avi_;
  std::filesystem::path wav_;
  std::unique_ptr<TestWindow> window_;

  VideoProject& P() { return window_->Project(); }
  MainFormWidgets& W() { return window_->Widgets(); }
  const pVideoClip& Cut(int i) { return *P().List().EntryAt(i).clip; }
  void Type(QLineEdit* edit, const QString& text) {
    window_->Form().activateWindow(); // back from a dialog
    QVERIFY(QTest::qWaitForWindowActive(&window_->Form()));
    edit->setFocus();
    QVERIFY(edit->hasFocus());
    edit->selectAll();
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
  }
  // Chooses transition kind `kind` in the picker once it shows.
  void PickTransition(int kind) {
    WhenShown(window_->transType, [this, kind] {
      window_->transType->ClickCell(kind);
      window_->transType->accept();
    });
  }

private slots:
  void initTestCase() {
    dialogs::WindowFont::Apply();
    avi_ = media_ / "clip.avi";
    wav_ = media_ / "tone.wav";
    WriteTestMovie(avi_, 60);
    WriteTestTone(wav_);
  }

  // Two cuts of the 60-frame movie: 120 frames.
  void init() {
    window_ = std::make_unique<TestWindow>(std::vector<std::string>{avi_.string(), avi_.string()});
    window_->Form().show();
    window_->Form().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window_->Form()));
    window_->Form().Refresh(0, true);
  }

  void cleanup() { window_.reset(); }

  void keysActOnTheTimelineFromTheStart() {
    QTest::keyClick(&window_->Form(), Qt::Key_Right);
    QCOMPARE(P().CurrentFrame(), 1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
    QCOMPARE(P().List().Count(), 1); // the cut, not a character of a field
  }

  void clipFieldsApplyOnceAndGiveTheKeysBack() {
    window_->Form().Refresh(70, false); // the second cut
    const int edits = P().UndoCount();
    Type(W().editClipBeginFrame, "0:10");
    QCOMPARE(Cut(1).GetBeginFrame(), 10);
    QCOMPARE(Cut(1).Length(), 50);
    QCOMPARE(P().UndoCount(), edits + 1); // leaving the field did not apply it again
    QCOMPARE(W().editClipTotalFrame->text(), QString("01:20"));
    const int at = P().CurrentFrame();
    QTest::keyClick(&window_->Form(), Qt::Key_Left); // the keys step the timeline again
    QCOMPARE(P().CurrentFrame(), at - 1);
    window_->Form().Refresh(70, false);
    W().upDownClipEndFrame->DownButton()->click();
    QCOMPARE(Cut(1).GetEndFrame(), 58);
    Type(W().editClipTotalFrame, "40");
    QCOMPARE(Cut(1).Length(), 40);
    // A value the cut refuses changes nothing and says so when the project has words for it.
    Type(W().editClipBeginFrame, "9:0:0");
    QCOMPARE(Cut(1).GetBeginFrame(), 10);
    QCOMPARE(P().UndoCount(), edits + 3);
  }

  void colourMatsThroughTheColourChooser() {
    window_->colours.answers = {{200, 100, 50}};
    W().buttonInsertColormat->click();
    QCOMPARE(P().List().Count(), 3);
    const auto* mat = dynamic_cast<const ColormatClip*>(&Cut(0));
    QVERIFY(mat);
    QCOMPARE(mat->Red(), 200u);
    QCOMPARE(mat->Blue(), 50u);
    W().buttonInsertColormat->click(); // cancelled: nothing
    QCOMPARE(P().List().Count(), 3);
    // "設定" changes the mat as one edit; a movie cut has no settings.
    window_->Form().Refresh(0, false);
    QVERIFY(W().buttonConfigVideo->isEnabled());
    window_->colours.answers = {{1, 2, 3}};
    const int edits = P().UndoCount();
    W().buttonConfigVideo->click();
    QCOMPARE(dynamic_cast<const ColormatClip&>(Cut(0)).Green(), 2u);
    QCOMPARE(P().UndoCount(), edits + 1);
    window_->Form().Refresh(40, false);
    QVERIFY(!W().buttonConfigVideo->isEnabled());
  }

  void aMatOfTheColourChosenInTheColourPicker() {
    auto* picker = new dialogs::TColorSelectDialog(&window_->Form());
    dialogs::DialogColorChooser chooser(*picker);
    WindowDialogs dialogs = window_->Form().Dialogs();
    dialogs.colours = &chooser;
    window_->Form().AttachDialogs(dialogs);
    WhenShown(picker, [picker] {
      picker->SetColor(10, 20, 30);
      picker->accept();
    });
    W().buttonInsertColormat->click();
    const auto& mat = dynamic_cast<const ColormatClip&>(Cut(0));
    QCOMPARE(mat.Red(), 10u);
    QCOMPARE(mat.Green(), 20u);
    QCOMPARE(mat.Blue(), 30u);
  }

  void transitionsBeforeAfterAndRemoved() {
    window_->Form().Refresh(60, false); // the second cut's first frame
    PickTransition(6);
    W().buttonOLPrev->click();
    QCOMPARE(P().List().TransOf(1), 1);
    QCOMPARE(P().List().EntryAt(1).trans->Keyword(), TransitionKinds::MakeByIndex(6)->Keyword());
    window_->Form().Refresh(59, false); // inside it
    QCOMPARE(W().editOverlapName->text(),
             QString::fromUtf8(TransitionKinds::MakeByIndex(6)->DisplayName().data()));
    // Its length through the field.
    W().pageControl->setCurrentWidget(W().tabSheetOL);
    Type(W().editOverlapTotal, "12");
    QCOMPARE(P().List().TransOf(1), 12);
    // From the cut's own part, removing does nothing; inside the transition it removes it.
    window_->Form().Refresh(100, false);
    W().buttonOLDelete->click();
    QCOMPARE(P().List().TransOf(1), 12);
    window_->Form().Refresh(50, false);
    QVERIFY(W().buttonOLDelete->isEnabled());
    W().buttonOLDelete->click();
    QCOMPARE(P().List().TransOf(1), 0);
    // After the first cut's frame 40: 20 frames into the second.
    window_->Form().Refresh(40, false);
    PickTransition(0);
    W().buttonOLNext->click();
    QCOMPARE(P().List().TransOf(1), 20);
  }

  void soundThroughTheAudioGroup() {
    window_->Form().Refresh(10, false);
    window_->files.answers = {wav_, {}};
    W().buttonInsertAudio->click();
    QCOMPARE(W().comboBoxAudioName->count(), 1);
    QCOMPARE(W().comboBoxAudioName->currentText(), QString("tone.wav"));
    QCOMPARE(W().editAudioBegin->text(), QString("00:10"));
    QCOMPARE(W().editAudioTotal->text(), QString("02:00"));
    Type(W().editAudioBegin, "0:20");
    QCOMPARE(P().List().AudioStartFrame({0, 0}), 20);
    QCOMPARE(W().comboBoxAudioName->count(), 0); // it does not sound at frame 10 any more
    window_->Form().Refresh(25, false);
    Type(W().editAudioTotal, "0:30");
    QCOMPARE(P().List().AudioAt({0, 0})->Length(), 44100);
    Type(W().editAudioTotal, "0"); // a length of 0 is not taken from the field
    QCOMPARE(P().List().AudioAt({0, 0})->Length(), 44100);
    W().trackBarAudioVolume->setValue(6);
    QCOMPARE(P().List().AudioVolume({0, 0}), 128);
    QCOMPARE(W().labelAudioVolume->text(), QString("-6dB"));
    W().buttonDeleteAudio->click();
    QCOMPARE(P().List().AudioCount(), 0);
    QCOMPARE(W().comboBoxAudioName->count(), 0);
    QVERIFY(!W().editAudioBegin->isEnabled());
  }
};

} // namespace rw::app::test

QTEST_MAIN(rw::app::test::PageCommandsTest)
#include "PageCommandsTest.moc"
