// The transport of the editor window over the demo project: play, playback, fast forward and
// rewind in the preview with the sound device open only while sound plays, the end-of-play
// line, frame steps with auto-repeat and the cut-boundary buttons. Play runs in real time, so
// each test plays only a second or less of the timeline.

#include "tests/app/AppTestSupport.h"

#include "app/DibImage.h"
#include "app/PictureBox.h"
#include "app/Playback.h"
#include "dialogs/WindowFont.h"
#include "project/TimelineRenderer.h"
#include "tests/support/TempDir.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QRegularExpression>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <fstream>

namespace rw::app::test {

namespace {

// The demo: street 0-119 | 20 overlap | rings 100-174 | 20 wipe | garden 155-254 | 15 iris |
// mat 240-284 | 15 iris | tiles 270-344 | 10 wipe | street 335-364.
constexpr int kTotal = 365;

// A project of one red mat of `frames` frames and no sound at all.
std::filesystem::path WriteSilentProject(const std::filesystem::path& folder, int frames) {
  const std::filesystem::path file = folder / "silent.rwe";
  std::ofstream(file, std::ios::binary)
      << "// Reelwright Ver.0.2006\n//\nCurrentFrame: 0\nClipInfo: \nbegin\n"
         "  ClipNum: 1\n  Clip: Mat\n  begin\n    TotalFrame: "
      << frames
      << "\n    ColorRed: 200\n    ColorGreen: 40\n    ColorBlue: 40\n"
         "  end\nend\n";
  return file;
}

} // namespace

class PlaybackTest : public QObject {
  Q_OBJECT

private:
  using Ms = view::PlayClock::Ms;

  std::unique_ptr<TestWindow> window_;
  Playback* play_ = nullptr;
  std::vector<std::int32_t> shown_;
  // The play clock: it moves only when a test moves it, so that which frames show does not
  // depend on how busy the machine is. The timer still fires in real time.
  Ms clock_ = 1'000'000;

  MainFormWidgets& W() { return window_->Widgets(); }
  TMainForm& Form() { return window_->Form(); }
  VideoProject& Project() { return window_->Project(); }
  int Current() { return Project().CurrentFrame(); }

  void Open(const std::vector<std::string>& args) {
    window_ = std::make_unique<TestWindow>(args);
    play_ = &Form().Transport();
    shown_.clear();
    play_->SetFrameShown([this](std::int32_t f) { shown_.push_back(f); });
    play_->SetClock([this] { return clock_; });
    Form().show();
    QVERIFY(QTest::qWaitForWindowExposed(&Form()));
  }

  void Click(QWidget* widget) {
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, widget->rect().center());
  }

  // Moves the play clock on by `ms` and waits for the next tick (or for play to stop).
  bool Pass(Ms ms) {
    const std::uint64_t ticks = play_->Ticks();
    clock_ += ms;
    QElapsedTimer t;
    t.start();
    while (play_->Playing() && play_->Ticks() == ticks && t.elapsed() < 5000)
      QTest::qWait(1);
    return !play_->Playing() || play_->Ticks() > ticks;
  }
  // A frame's time (at 30 a second), tick by tick, until play stops.
  bool PlayOut(int limit = 400) {
    for (int i = 0; i < limit && play_->Playing(); ++i)
      if (!Pass(34))
        return false;
    return !play_->Playing();
  }
  static std::vector<std::int32_t> Range(std::int32_t from, std::int32_t to, std::int32_t by = 1) {
    std::vector<std::int32_t> out;
    for (std::int32_t f = from; by > 0 ? f <= to : f >= to; f += by)
      out.push_back(f);
    return out;
  }

  // The preview shows the display's picture of the current frame.
  bool PreviewIsTheDisplays() {
    return DibImage::Same(W().paintNow->Picture(), Form().Display().Images().Preview());
  }

private slots:
  void initTestCase() {
    dialogs::WindowFont::Apply();
    QVERIFY(!DemoProject().empty());
  }

  void init() {
    Open({DemoProject().string()});
    QCOMPARE(Project().List().TotalFrames(), kTotal);
  }

  void cleanup() {
    // The tests' own hooks refer to their locals.
    play_->SetFrameShown(nullptr);
    window_.reset();
  }

  void playDrawsOnlyThePreviewMarkerAndTimeThenShowsTheEndLine() {
    Form().Refresh(340, false);
    const qint64 slot = W().Slot(0).begin->Picture().cacheKey();
    const qint64 image = W().FrameImage(1)->Picture().cacheKey();
    const QString relative = W().labelClipRelativeTime->text();
    TimelineRenderer renderer;
    DIB expected;
    QVERIFY(expected.Create(160, 120));
    int same = 0;
    bool stripKept = true;
    bool soundOpen = true;
    bool timeShown = true;
    play_->SetFrameShown([&](std::int32_t f) {
      shown_.push_back(f);
      renderer.QuickFrame(Project().List(), expected, Project().List().PosAt(f));
      same += DibImage::Same(W().paintNow->Picture(), expected) ? 1 : 0;
      stripKept = stripKept && W().Slot(0).begin->Picture().cacheKey() == slot &&
                  W().FrameImage(1)->Picture().cacheKey() == image &&
                  W().labelClipRelativeTime->text() == relative;
      soundOpen = soundOpen && play_->Sound().IsOpen();
      timeShown =
          timeShown && W().labelTimeNow->text() ==
                           QString("00:%1:%2").arg(f / 30, 2, 10, QChar('0')).arg(f % 30, 2, 10, QChar('0'));
      if (f == 352)
        Screenshot(Form(), "PlaybackWhilePlaying");
    });
    Click(W().buttonPlay);
    QVERIFY(play_->Playing());
    QCOMPARE(play_->CurrentMode(), Playback::Mode::Play);
    QVERIFY(play_->SoundStarted());
    QVERIFY(PlayOut());

    QCOMPARE(shown_, Range(341, kTotal - 1));
    QCOMPARE(same, static_cast<int>(shown_.size()));
    QVERIFY(stripKept);
    QVERIFY(soundOpen);
    QVERIFY(timeShown);
    QVERIFY(!play_->Sound().IsOpen());
    // At the end: the end position, shown fully, and the line of what was shown (frames 0 to
    // 339 were never played).
    QCOMPARE(Current(), kTotal);
    QCOMPARE(Form().Display().LastShownFrame(), kTotal);
    QVERIFY(PreviewIsTheDisplays());
    QCOMPARE(W().labelTimeNow->text(), QString("00:12:05"));
    QCOMPARE(W().label17->text(), QString("Total = 365, DropFrame = 340, AdjustFrame = 0"));
    Screenshot(Form(), "PlaybackEndLine");
  }

  void lateTicksDropFramesAndALongStallRestartsTheSound() {
    Form().Refresh(200, false);
    Click(W().buttonPlay);
    QVERIFY(Pass(34));
    QVERIFY(Pass(100)); // three frames' time: two dropped
    QCOMPARE(shown_, (std::vector<std::int32_t>{201, 204}));
    const std::uint64_t played = play_->Sound().ConsumedBytes();
    QVERIFY(Pass(4000)); // counted as one second: 30 frames on, the sound started there again
    QCOMPARE(shown_.back(), 234);
    QVERIFY(play_->Sound().IsOpen());
    QVERIFY(play_->Feeder().PlayingFrame() >= 234 && play_->Feeder().PlayingFrame() <= 236);
    QVERIFY(play_->Sound().ConsumedBytes() >= played);
    QVERIFY(play_->Stop());
  }

  void playAtTheEndStartsAtZeroAndPlayingAgainChangesNothing() {
    Form().Refresh(kTotal, false);
    Click(W().buttonPlay);
    QVERIFY(Pass(0));
    QCOMPARE(shown_, std::vector<std::int32_t>{0}); // drawn: the start moved the time silently
    QVERIFY(Pass(34));
    QVERIFY(Pass(34));
    QCOMPARE(shown_, (std::vector<std::int32_t>{0, 1, 2}));
    const std::int32_t count = play_->Clock().ShownCount();
    const std::uint64_t played = play_->Sound().ConsumedBytes();
    Click(W().buttonPlay);
    QCOMPARE(play_->CurrentMode(), Playback::Mode::Play);
    QCOMPARE(play_->Clock().ShownCount(), count);
    QVERIFY(play_->Sound().IsOpen());
    QVERIFY(play_->Sound().ConsumedBytes() >= played);
    QVERIFY(Pass(34));
    QCOMPARE(shown_.back(), 3);
    QVERIFY(play_->Stop());
    QVERIFY(!play_->Stop());
    QVERIFY(!play_->Sound().IsOpen());
  }

  void fastForwardWhilePlayingSwitchesWithoutSoundAndStopShowsAll() {
    Form().Refresh(100, false);
    Click(W().buttonPlay);
    for (int i = 0; i < 3; ++i)
      QVERIFY(Pass(34));
    Click(W().buttonFF);
    QCOMPARE(play_->CurrentMode(), Playback::Mode::FastForward);
    QVERIFY(!play_->Sound().IsOpen());
    for (int i = 0; i < 3; ++i)
      QVERIFY(Pass(34));
    QCOMPARE(shown_, (std::vector<std::int32_t>{101, 102, 103, 106, 109, 112}));
    QCOMPARE(play_->Clock().ShownCount(), 7);
    // And back to play: the sound starts again where the picture is.
    Click(W().buttonPlay);
    QVERIFY(play_->Sound().IsOpen());
    QVERIFY(play_->Feeder().PlayingFrame() >= 112 && play_->Feeder().PlayingFrame() <= 114);
    QVERIFY(Pass(34));
    QCOMPARE(shown_.back(), 113);
    Click(W().buttonStop);
    QVERIFY(!play_->Playing());
    QVERIFY(!play_->Sound().IsOpen());
    QCOMPARE(Current(), 113);
    QCOMPARE(Form().Display().LastShownFrame(), 113);
    QVERIFY(PreviewIsTheDisplays());
  }

  void rewindAtZeroStartsFromTheLastFrameWithoutSound() {
    Form().Refresh(0, false);
    Click(W().buttonRew);
    QCOMPARE(play_->CurrentMode(), Playback::Mode::Rewind);
    QVERIFY(Pass(0));
    QVERIFY(Pass(34));
    QCOMPARE(shown_, (std::vector<std::int32_t>{kTotal - 1, kTotal - 4}));
    QVERIFY(!play_->Sound().IsOpen());
    QCOMPARE(play_->Sound().BufferCount(), std::size_t{0});
    QVERIFY(play_->Stop());
    // Rewound to the start: play stops at frame 0.
    Form().Refresh(5, false);
    Click(W().buttonRew);
    QVERIFY(PlayOut());
    QCOMPARE(Current(), 0);
    QCOMPARE(shown_.back(), 2);
  }

  void playbackOfASelectionPlaysItWithSoundAndReturns() {
    Form().Refresh(20, false);
    QVERIFY(Project().StartSelection(SelMode::Frames, 300));
    QVERIFY(Project().SetSelectionEnd(320));
    std::int32_t soundAtFirst = -1;
    play_->SetFrameShown([&](std::int32_t f) {
      if (shown_.empty())
        soundAtFirst = play_->Feeder().PlayingFrame();
      shown_.push_back(f);
    });
    Click(W().buttonPlayback);
    QCOMPARE(play_->Clock().ReturnFrame(), 20);
    QVERIFY(Pass(0));
    QVERIFY(PlayOut());
    QCOMPARE(shown_, Range(300, 320));
    QVERIFY(soundAtFirst >= 300 && soundAtFirst <= 302);
    QCOMPARE(Current(), 20);
    QCOMPARE(W().labelTimeNow->text(), QString("00:00:20"));
    QVERIFY(PreviewIsTheDisplays());
    QVERIFY(!play_->Sound().IsOpen());
  }

  void projectWithoutSoundPlaysWithoutOpeningTheDevice() {
    rw::test::TempDir folder;
    Open({WriteSilentProject(folder.Path(), 12).string()});
    QCOMPARE(Project().List().TotalFrames(), 12);
    Form().Refresh(0, false);
    bool touched = false;
    play_->SetFrameShown([&](std::int32_t f) {
      shown_.push_back(f);
      touched = touched || play_->Sound().IsOpen() || play_->Sound().BufferCount() > 0;
    });
    Click(W().buttonPlay);
    QVERIFY(!play_->SoundStarted());
    QVERIFY(PlayOut());
    QCOMPARE(shown_, Range(1, 11));
    QVERIFY(!touched);
    QCOMPARE(Current(), 12);
    QCOMPARE(W().label17->text(), QString("Total = 12, DropFrame = 0, AdjustFrame = 0"));
  }

  void modalDialogHoldsPlayUntilItCloses() {
    Form().Refresh(30, false);
    Click(W().buttonPlay);
    QVERIFY(Pass(34));
    QVERIFY(Pass(34));
    QDialog dialog(&Form());
    std::size_t before = 0;
    std::size_t during = 0;
    QTimer::singleShot(0, &dialog, [&] {
      before = shown_.size();
      clock_ += 300;
    });
    QTimer::singleShot(150, &dialog, [&] {
      during = shown_.size() - before;
      dialog.accept();
    });
    dialog.exec();
    QCOMPARE(during, std::size_t{0});
    QVERIFY(Pass(0));
    // Then play goes on where the clock says it should be, the frames meanwhile dropped.
    QCOMPARE(shown_, (std::vector<std::int32_t>{31, 32, 41}));
    QVERIFY(play_->Stop());
  }

  void heldStepButtonStepsAtOnceThenRepeatsAndStopsPlay() {
    Form().Refresh(20, false);
    Click(W().buttonPlay);
    QVERIFY(Pass(34));
    QCOMPARE(Current(), 21);
    QTest::mousePress(W().buttonNext, Qt::LeftButton, Qt::NoModifier, W().buttonNext->rect().center());
    QVERIFY(!play_->Playing());
    QCOMPARE(Current(), 22); // one step at once
    QCOMPARE(Form().Display().LastShownFrame(), 22);
    QTest::qWait(300);
    QCOMPARE(Current(), 22); // the first repeat comes after 400 ms
    QTRY_VERIFY_WITH_TIMEOUT(Current() >= 25, 3000);
    QTest::mouseRelease(W().buttonNext, Qt::LeftButton, Qt::NoModifier, W().buttonNext->rect().center());
    const int released = Current();
    QTest::qWait(200);
    QCOMPARE(Current(), released);
    // Back: one step at once, nothing more after a short press.
    QTest::mousePress(W().buttonPrev, Qt::LeftButton, Qt::NoModifier, W().buttonPrev->rect().center());
    QTest::mouseRelease(W().buttonPrev, Qt::LeftButton, Qt::NoModifier, W().buttonPrev->rect().center());
    QCOMPARE(Current(), released - 1);
    QTest::qWait(500);
    QCOMPARE(Current(), released - 1);
  }

  void stepsAtTheEndsAndFromTheMenuSide() {
    Form().Refresh(0, false);
    play_->StepBack();
    QCOMPARE(Current(), 0);
    play_->StepForward();
    QCOMPARE(Current(), 1);
    QCOMPARE(Form().Display().LastShownFrame(), 1);
    Form().Refresh(kTotal, false);
    play_->StepForward();
    QCOMPARE(Current(), kTotal);
    play_->StepBack();
    QCOMPARE(Current(), kTotal - 1);
  }

  void cutButtonsStopAndJumpToTheCutTargets() {
    Form().Refresh(10, false);
    Click(W().buttonNextClip);
    QCOMPARE(Current(), 99); // the last frame before the overlap into the rings
    QCOMPARE(Form().Display().LastShownFrame(), 99);
    Click(W().buttonNextClip);
    QCOMPARE(Current(), 120); // the rings' first frame after the overlap
    Click(W().buttonPlay);
    QVERIFY(Pass(34));
    QCOMPARE(Current(), 121);
    Click(W().buttonPrevClip);
    QVERIFY(!play_->Playing());
    QVERIFY(!play_->Sound().IsOpen());
    QCOMPARE(Current(), Form().Display().LastShownFrame());
    QCOMPARE(Current(), 119); // the overlap's last frame
    QVERIFY(PreviewIsTheDisplays());
  }
};

} // namespace rw::app::test

QTEST_MAIN(rw::app::test::PlaybackTest)
#include "PlaybackTest.moc"
