// New, Open, Save, Save As and Compile movie through the window's commands.

#include "tests/app/AppTestSupport.h"

#include "dialogs/TProgressDialog.h"
#include "dialogs/WindowFont.h"
#include "output/MovieCompile.h"
#include "project/ProjectFile.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestAvi.h"

#include <QAction>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace rw::app::test {

class FileCommandsTest : public QObject {
  Q_OBJECT

private:
  rw::test::TempDir folder_;

  static void Trigger(TMainForm& form, const char* action) { form.Widgets().Action(action)->trigger(); }

private slots:
  void initTestCase() {
    dialogs::WindowFont::Apply();
    QVERIFY(!DemoProject().empty());
  }

  void saveAndOpenRoundTrip() {
    TestWindow window({DemoProject().string()});
    TMainForm& form = window.Form();
    form.show();
    const std::filesystem::path copy = folder_ / "copy.rwe";
    QVERIFY(window.Project().Split(window.Project().List().PosAt(50)));
    window.files.answers = {copy};
    Trigger(form, "MenuSaveAsProject");
    QCOMPARE(window.files.shown.back(), std::make_pair(std::string("save"), DemoProject())); // preset
    QVERIFY(std::filesystem::exists(copy));
    QCOMPARE(form.windowTitle(), QString("Reelwright(仮) - copy"));
    QVERIFY(!window.Project().Modified());

    Trigger(form, "MenuNew"); // saved: nothing is asked
    QVERIFY(window.prompt.asked.empty());
    QCOMPARE(window.Project().List().Count(), 0);
    QCOMPARE(form.windowTitle(), QString("Reelwright(仮)"));
    QCOMPARE(window.Widgets().labelTimeTotal->text(), QString("00:00:00"));

    window.files.answers = {copy};
    Trigger(form, "MenuOpenProject");
    QCOMPARE(window.Project().List().Count(), 7);
    QCOMPARE(window.Project().List().TotalFrames(), 365);
    QCOMPARE(window.Widgets().labelTimeTotal->text(), QString("00:12:05"));
    QCOMPARE(form.Files().DialogNames().SaveMovie(), folder_ / "copy.avi");

    // A file that cannot be read leaves the open project as it was, with a message naming it.
    const std::filesystem::path bad = folder_ / "bad.rwe";
    std::filesystem::create_directory(bad);
    window.files.answers = {bad};
    Trigger(form, "MenuOpenProject");
    QCOMPARE(window.Project().List().Count(), 7);
    QVERIFY(window.prompt.asked.back().find("bad.rwe") != std::string::npos);
  }

  void newOnAnEmptyUnnamedProjectDoesNothing() {
    TestWindow window;
    window.Form().show();
    Trigger(window.Form(), "MenuNew");
    QVERIFY(window.prompt.asked.empty());
    QVERIFY(window.files.shown.empty());
  }

  void saveQuestionBeforeNewAndOpen() {
    TestWindow window({DemoProject().string()});
    window.Form().show();
    QVERIFY(window.Project().Split(window.Project().List().PosAt(50)));
    window.prompt.answers = {UserPrompt::Answer::Cancel};
    Trigger(window.Form(), "MenuOpenProject");
    QVERIFY(window.files.shown.empty()); // cancelled before the dialog
    window.prompt.answers = {UserPrompt::Answer::No};
    Trigger(window.Form(), "MenuNew");
    QCOMPARE(window.Project().List().Count(), 0);
  }

  void compileToTheEndUnderTheProgressDialog() {
    TestWindow window({DemoProject().string()});
    window.Form().show();
    const std::filesystem::path movie = folder_ / "whole.avi";
    window.files.answers = {movie};
    int highest = 0;
    QTimer watch;
    connect(&watch, &QTimer::timeout, this, [&] {
      if (window.progress->isVisible()) {
        highest = std::max(highest, window.progress->findChild<QProgressBar*>("ProgressBar1")->value());
        if (highest >= 50 && highest < 60)
          Screenshot(*window.progress, "ProgressDialog");
      }
    });
    watch.start(20);
    Trigger(window.Form(), "MenuMovieCompile");
    QCOMPARE(window.files.shown.back(),
             std::make_pair(std::string("movie"), DemoProject().parent_path() / "demo.avi"));
    QCOMPARE(window.prompt.asked.back(), std::string("ムービーの作成が終了しました"));
    QVERIFY(highest > 0);
    QVERIFY(std::filesystem::file_size(movie) > 100000);
    QVERIFY(!window.Widgets().statusProgressBar->isVisible());
  }

  void compileStoppedByTheUser() {
    TestWindow window({DemoProject().string()});
    window.Form().show();
    const std::filesystem::path movie = folder_ / "stopped.avi";
    window.files.answers = {movie};
    QTimer stopper;
    connect(&stopper, &QTimer::timeout, this, [&] {
      auto* bar = window.progress->findChild<QProgressBar*>("ProgressBar1");
      if (window.progress->isVisible() && bar->value() >= 10)
        window.progress->findChild<QPushButton*>("ButtonAbort")->click();
    });
    stopper.start(5);
    Trigger(window.Form(), "MenuMovieCompile");
    QCOMPARE(window.prompt.asked.back(), std::string("ムービーの作成を中断しました"));
    QVERIFY(std::filesystem::exists(movie)); // complete up to where it stopped
    QCOMPARE(window.progress->Outcome(), 3);
  }

  void compileWithoutANameStartsEmptyAndAFailureSaysWhy() {
    TestWindow window;
    window.Form().show();
    window.files.answers = {folder_ / "empty.avi"};
    Trigger(window.Form(), "MenuMovieCompile");
    QCOMPARE(window.files.shown.back(), std::make_pair(std::string("movie"), std::filesystem::path()));
    QVERIFY(window.prompt.asked.back().starts_with("ムービーの作成に失敗しました"));
    QVERIFY(!std::filesystem::exists(folder_ / "empty.avi"));
  }
};

} // namespace rw::app::test

QTEST_MAIN(rw::app::test::FileCommandsTest)
#include "FileCommandsTest.moc"
