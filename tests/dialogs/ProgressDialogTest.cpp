#include "dialogs/TProgressDialog.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
#include <QtTest>

#include <stdexcept>

using rw::dialogs::TProgressDialog;

namespace {

QPushButton* AbortButton(TProgressDialog& dialog) {
  return dialog.findChild<QPushButton*>("ButtonAbort");
}
QProgressBar* Bar(TProgressDialog& dialog) {
  return dialog.findChild<QProgressBar*>("ProgressBar1");
}

// A click on "中止" as the window system delivers it to the modal dialog.
void ClickAbort(TProgressDialog& dialog) {
  QPushButton* button = AbortButton(dialog);
  QTest::mouseClick(dialog.windowHandle(), Qt::LeftButton, {},
                    button->mapTo(&dialog, button->rect().center()));
}

// A compile-like work: `steps` frames, each reported through Progress; stops cleanly (answering
// true) when Progress answers false. `atStep` runs before the progress call of that step.
struct SteppedWork {
  explicit SteppedWork(TProgressDialog* d) : dialog(d) {}

  TProgressDialog* dialog;
  int steps = 10;
  int done = 0;
  int entries = 0;
  int atStepIndex = -1;
  std::function<void()> atStep;

  bool operator()() {
    ++entries;
    for (int i = 0; i < steps; ++i) {
      if (i == atStepIndex && atStep) {
        atStep();
      }
      ++done;
      if (!dialog->Progress((i + 1) * 100 / steps)) {
        return true;
      }
    }
    return true;
  }
};

} // namespace

class ProgressDialogTest : public QObject {
  Q_OBJECT

private slots:
  void namesAndLayout();
  void aCompletedWorkFinishes();
  void abortStopsAfterTheCurrentStep();
  void aFailedPreparationIsAFailureWhateverTheStopFlag();
  void closingDuringTheWorkWaitsForTheWork();
  void abortBeforeTheStartKeepsTheWorkFromRunning();
  void theWorkRunsOncePerShowing();
};

void ProgressDialogTest::namesAndLayout() {
  TProgressDialog dialog;
  QCOMPARE(dialog.objectName(), QString("ProgressDialog"));
  QCOMPARE(dialog.windowTitle(), QString("ムービー作成中"));
  QVERIFY(!(dialog.windowFlags() & Qt::WindowCloseButtonHint));
  QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
  QCOMPARE(AbortButton(dialog)->text(), QString("中止"));
  QCOMPARE(Bar(dialog)->minimum(), 0);
  QCOMPARE(Bar(dialog)->maximum(), 100);
  auto* timer = dialog.findChild<QTimer*>("Timer1");
  QVERIFY(timer != nullptr);
  QCOMPARE(timer->interval(), 200);
  QVERIFY(!timer->isActive());
  QVERIFY(dialog.geometry().contains(AbortButton(dialog)->geometry().translated(dialog.pos())));

  // Out-of-range percentages still move the bar to its ends.
  dialog.SetPosition(150);
  QCOMPARE(Bar(dialog)->value(), 100);
  dialog.SetPosition(-3);
  QCOMPARE(Bar(dialog)->value(), 0);

  SteppedWork work(&dialog);
  work.atStepIndex = 3;
  work.atStep = [&] {
    QDir().mkpath(RW_SCREENSHOT_DIR);
    dialog.Progress(40);
    QVERIFY(dialog.grab().save(QString(RW_SCREENSHOT_DIR) + "/ProgressDialog.png"));
  };
  dialog.SetWork(std::ref(work));
  dialog.exec();
}

void ProgressDialogTest::aCompletedWorkFinishes() {
  TProgressDialog dialog;
  SteppedWork work(&dialog);
  dialog.SetWork(std::ref(work));
  dialog.SetPosition(0);
  QElapsedTimer clock;
  clock.start();
  qint64 startedAfter = -1;
  work.atStepIndex = 0;
  work.atStep = [&] {
    startedAfter = clock.elapsed();
    QVERIFY(dialog.isVisible());
  };
  QCOMPARE(dialog.exec(), 1);
  QCOMPARE(dialog.Outcome(), 1);
  QCOMPARE(work.done, 10);
  QCOMPARE(Bar(dialog)->value(), 100);
  QVERIFY(!dialog.isVisible());
  // The work waits for the dialog to be up before it begins.
  QVERIFY2(startedAfter >= 150, qPrintable(QString::number(startedAfter)));

  // No work is a failure, and so is a work that throws.
  dialog.SetWork({});
  QCOMPARE(dialog.exec(), 0);
  dialog.SetWork([]() -> bool { throw std::runtime_error("out of memory"); });
  QCOMPARE(dialog.exec(), 0);
  QCOMPARE(dialog.Outcome(), 0);
}

void ProgressDialogTest::abortStopsAfterTheCurrentStep() {
  TProgressDialog dialog;
  SteppedWork work(&dialog);
  work.steps = 100;
  work.atStepIndex = 4;
  // The click waits in the event queue until the work's next progress call lets it through.
  work.atStep = [&] { QTimer::singleShot(0, &dialog, [&] { ClickAbort(dialog); }); };
  dialog.SetWork(std::ref(work));
  QCOMPARE(dialog.exec(), 3);
  QCOMPARE(dialog.Outcome(), 3);
  QCOMPARE(work.done, 5);
  QVERIFY(dialog.StopRequested());

  // Used again, the dialog starts without the old request.
  work.done = 0;
  work.atStep = nullptr;
  QCOMPARE(dialog.exec(), 1);
  QCOMPARE(work.done, 100);
}

void ProgressDialogTest::aFailedPreparationIsAFailureWhateverTheStopFlag() {
  TProgressDialog dialog;
  bool ran = false;
  dialog.SetWork([&] {
    ran = true;
    ClickAbort(dialog);
    QCoreApplication::processEvents();
    return false;
  });
  QCOMPARE(dialog.exec(), 0);
  QVERIFY(ran);
  QVERIFY(dialog.StopRequested());
  QCOMPARE(dialog.Outcome(), 0);
}

void ProgressDialogTest::closingDuringTheWorkWaitsForTheWork() {
  TProgressDialog dialog;
  SteppedWork work(&dialog);
  work.steps = 50;
  bool visibleAfterClose = false;
  work.atStepIndex = 2;
  work.atStep = [&] {
    QTimer::singleShot(0, &dialog, [&] {
      dialog.close(); // the window manager's close button
      visibleAfterClose = dialog.isVisible();
    });
  };
  dialog.SetWork(std::ref(work));
  QCOMPARE(dialog.exec(), 3);
  QVERIFY(visibleAfterClose);
  QCOMPARE(work.done, 3);

  // Escape is the same request.
  work.done = 0;
  work.atStep = [&] {
    QTimer::singleShot(0, &dialog, [&] { QTest::keyClick(dialog.windowHandle(), Qt::Key_Escape); });
  };
  QCOMPARE(dialog.exec(), 3);
  QCOMPARE(work.done, 3);
}

void ProgressDialogTest::abortBeforeTheStartKeepsTheWorkFromRunning() {
  TProgressDialog dialog;
  SteppedWork work(&dialog);
  dialog.SetWork(std::ref(work));
  QTimer::singleShot(20, &dialog, [&] { ClickAbort(dialog); });
  QCOMPARE(dialog.exec(), 3);
  QCOMPARE(work.entries, 0);
}

void ProgressDialogTest::theWorkRunsOncePerShowing() {
  TProgressDialog dialog;
  SteppedWork work(&dialog);
  work.steps = 8;
  // Each step takes longer than the start delay, and the window is activated again midway.
  work.atStepIndex = 1;
  work.atStep = [&] {
    dialog.activateWindow();
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(&dialog, &activate);
  };
  dialog.SetWork([&] {
    ++work.entries;
    for (int i = 0; i < work.steps; ++i) {
      if (i == work.atStepIndex) {
        work.atStep();
      }
      QTest::qSleep(60);
      dialog.Progress(i * 100 / work.steps);
    }
    return true;
  });
  QCOMPARE(dialog.exec(), 1);
  QCOMPARE(work.entries, 1);
  QCOMPARE(dialog.exec(), 1);
  QCOMPARE(work.entries, 2);
}

QTEST_MAIN(ProgressDialogTest)
#include "ProgressDialogTest.moc"
