// The editor window over the demo project: the preview against reelwright-cli's picture of the
// same frame, the strip and pages at known places, and the mouse and keys that move the time.

#include "tests/app/AppTestSupport.h"

#include "app/DibImage.h"
#include "app/PictureBox.h"
#include "app/SketchBox.h"
#include "dialogs/TShowPictureDialog.h"
#include "dialogs/WindowFont.h"
#include "project/ProjectFile.h"
#include "render/TransitionKinds.h"
#include "tests/support/TempDir.h"
#include "view/OverviewScale.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

namespace rw::app::test {

namespace {

// The demo: street 0-119 | 20 overlap | rings 100-174 | 20 wipe | garden 155-254 | 15 iris |
// mat 240-284 | 15 iris | tiles 270-344 | 10 wipe | street 335-364.
constexpr int kTotal = 365;

} // namespace

class MainFormDisplayTest : public QObject {
  Q_OBJECT

private:
  std::unique_ptr<TestWindow> window_;
  MainFormWidgets& W() { return window_->Widgets(); }
  TMainForm& Form() { return window_->Form(); }
  int Current() { return window_->Project().CurrentFrame(); }

  // The preview equals what reelwright-cli draws for the frame, byte for byte, in the display's
  // picture and in the component.
  void ComparePreview(const std::filesystem::path& project, int frame) {
    Form().Refresh(frame, false);
    DIB cli;
    QVERIFY2(CliQuickFrame(project, frame, 160, 120, cli), "reelwright-cli frame");
    const DIB& preview = Form().Display().Images().Preview();
    QVERIFY2(preview.IsSame(cli), qPrintable(QString("frame %1").arg(frame)));
    QVERIFY(DibImage::Same(W().paintNow->Picture(), cli));
  }

  void Click(QWidget* widget, QPoint at = {}) {
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, at.isNull() ? widget->rect().center() : at);
  }

private slots:
  void initTestCase() {
    dialogs::WindowFont::Apply();
    QVERIFY(!DemoProject().empty());
  }

  void init() {
    window_ = std::make_unique<TestWindow>(std::vector<std::string>{DemoProject().string()});
    Form().show();
    QVERIFY(QTest::qWaitForWindowExposed(&Form()));
    QCOMPARE(window_->Project().List().TotalFrames(), kTotal);
    Form().Refresh(0, false);
  }

  void cleanup() { window_.reset(); }

  void previewAtCutsStillsAndMats() {
    for (int frame : {0, 10, 119, 130, 200, 260, 300, 364})
      ComparePreview(DemoProject(), frame);
    Screenshot(Form(), "MainFormDemoAtCut");
  }

  void previewInsideEveryTransitionKind() {
    rw::test::TempDir folder;
    VideoProject& project = window_->Project();
    for (std::int32_t kind = 0; kind < TransitionKinds::Count(); ++kind) {
      VideoTransition trans = TransitionKinds::MakeByIndex(kind);
      QVERIFY(trans.SetLength(20));
      QVERIFY(project.SetTransition(trans, 2));
      const std::filesystem::path file = folder / ("kind" + std::to_string(kind) + ".rwe");
      QVERIFY(ProjectFile::Save(project, file));
      Form().Refresh(-1, true);
      for (int step : {0, 7, 19})
        ComparePreview(file, 155 + step);
    }
  }

  void nowShowsTheTransitionInsideIt() {
    Form().Refresh(160, false);
    QVERIFY(Form().Display().Strip().Slot(0).isTransition);
    QCOMPARE(W().Slot(0).name->text(), QString("ワイプ 左→右"));
    QCOMPARE(W().Slot(0).length->text(), QString("00:20"));
    QCOMPARE(W().Slot(1).name->text(), QString("garden.avi"));
    QCOMPARE(W().Slot(1).beginLabel->text(), QString("00:10"));
    QCOMPARE(W().Slot(1).endLabel->text(), QString("～ 03:19"));
    QVERIFY(W().editOverlapTotal->isEnabled());
    QCOMPARE(W().editOverlapTotal->text(), QString("00:20"));
    QVERIFY(!W().buttonOLPrev->isEnabled());
    Screenshot(Form(), "MainFormDemoInTransition");
    // Past it: the cut page shows the cut, the transition stands left of "Now".
    Form().Refresh(200, false);
    QCOMPARE(W().editClipBeginFrame->text(), QString("00:10"));
    QCOMPARE(W().editClipTotalFrame->text(), QString("03:10"));
    QVERIFY(W().editClipBeginFrame->isEnabled());
    QCOMPARE(W().labelClipRelativeTime->text(), QString("00:01:25"));
    QVERIFY(!W().editOverlapTotal->isEnabled());
    QCOMPARE(W().editOverlapTotal->text(), QString("--:--"));
  }

  void endPosition() {
    Form().Refresh(kTotal, false);
    QVERIFY(!W().Slot(0).bevel->isVisible());
    QVERIFY(!W().editClipBeginFrame->isEnabled());
    QCOMPARE(W().editClipTotalFrame->text(), QString("00:00"));
    QVERIFY(!W().buttonConfigVideo->isEnabled());
    QVERIFY(!W().buttonInsertAudio->isEnabled());
    QCOMPARE(W().labelTimeNow->text(), QString("00:12:05"));
  }

  void overviewClickMovesTheTime() {
    const view::OverviewScale scale(W().imageProject->width(), kTotal);
    Click(W().imageProject, QPoint(300, 12));
    QCOMPARE(Current(), *scale.FrameAt(300));
    QCOMPARE(W().labelTimeNow->text(), QString::fromStdString(Form().Display().TimeNow()));
    Click(W().imageProject, QPoint(1, 12)); // left of the margin: before frame 0, nothing moves
    QCOMPARE(Current(), *scale.FrameAt(300));
    Click(W().imageProject, QPoint(4, 12));
    QCOMPARE(Current(), 0);
  }

  void clicksOnThumbnailsAndFrameImages() {
    Form().Refresh(200, false);
    Click(W().Slot(1).begin); // the iris into the mat
    QCOMPARE(Current(), 240);
    Form().Refresh(200, false);
    Click(W().Slot(2).begin); // the mat's first own frame
    QCOMPARE(Current(), 255);
    QCOMPARE(W().label17->text(), QString("Up:2:0"));
    Click(W().FrameImage(2));
    QCOMPARE(Current(), 257);
    Click(W().FrameImage(-3));
    QCOMPARE(Current(), 254);
  }

  void dragOnTheStripSelectsFromBoundaryToBoundary() {
    Form().Refresh(200, false);
    PictureBox* from = W().Slot(-1).begin; // the wipe into garden: starts at 155
    PictureBox* to = W().Slot(1).end;      // the iris into the mat: ends at 254
    QTest::mousePress(from, Qt::LeftButton, Qt::NoModifier, from->rect().center());
    QCOMPARE(W().label17->text(), QString("Down:-1:0"));
    QMouseEvent move(QEvent::MouseMove, from->mapFrom(W().central, to->geometry().center()),
                     from->mapToGlobal(from->mapFrom(W().central, to->geometry().center())), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(from, &move);
    QCOMPARE(W().label17->text(), QString("Move:1:1"));
    QTest::mouseRelease(from, Qt::LeftButton, Qt::NoModifier,
                        from->mapFrom(W().central, to->geometry().center()));
    QCOMPARE(W().label17->text(), QString("Up:1:1"));
    ClipPos a;
    ClipPos b;
    QVERIFY(window_->Project().SelectionRange(a, b));
    QCOMPARE(window_->Project().List().FrameOf(a), 155);
    QCOMPARE(window_->Project().List().FrameOf(b), 254);
    QVERIFY(W().shapeSelectClip->isVisible());
    QVERIFY(W().shapeSelectFrame->isVisible()); // 200 lies inside the range
    QCOMPARE(Current(), 200);
    Screenshot(Form(), "MainFormDemoSelection");
  }

  void keysStepAndJump() {
    Form().activateWindow();
    QTest::keyClick(&Form(), Qt::Key_Right);
    QTest::keyClick(&Form(), Qt::Key_Right);
    QCOMPARE(Current(), 2);
    QTest::keyClick(&Form(), Qt::Key_Down); // the same frame of the next cut
    QCOMPARE(Current(), 102);
    QTest::keyClick(&Form(), Qt::Key_Left);
    QCOMPARE(Current(), 101);
    QTest::keyClick(&Form(), Qt::Key_Up);
    QCOMPARE(Current(), 1);
  }

  void enlargedViewWhileTheButtonIsHeld() {
    Form().Refresh(10, false);
    bool seen = false;
    QTimer::singleShot(100, this, [&] {
      QWidget* view = QApplication::activePopupWidget();
      seen = view == window_->showPicture && window_->showPicture->HasPicture();
      if (view) {
        QCOMPARE(view->size(), QSize(640, 480) + QSize(4, 4)); // the demo's output size in a frame
        Screenshot(*view, "EnlargedView");
        QTest::mouseRelease(view, Qt::LeftButton);
      }
    });
    QTest::mousePress(W().buttonShow, Qt::LeftButton);
    QVERIFY(seen);
    QVERIFY(!window_->showPicture->isVisible());
    QVERIFY(!W().buttonShow->isDown());
  }
};

} // namespace rw::app::test

QTEST_MAIN(rw::app::test::MainFormDisplayTest)
#include "MainFormDisplayTest.moc"
