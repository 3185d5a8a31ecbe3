// The editor window as it starts: its layout and texts, the files of its command line and of a
// drop, its caption, the question before closing, and several windows one after another.

#include "tests/app/AppTestSupport.h"

#include "app/DibImage.h"
#include "app/MainFormWidgets.h"
#include "app/PictureBox.h"
#include "app/ReelwrightApplication.h"
#include "app/SketchBox.h"
#include "dialogs/THelpAboutDialog.h"
#include "dialogs/WindowFont.h"
#include "project/ProjectFile.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestAvi.h"
#include "tests/support/WavTestFiles.h"

#include <QAbstractButton>
#include <QAction>
#include <QDialog>
#include <QDropEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QUrl>
#include <QtTest>

namespace rw::app::test {

class MainFormStartTest : public QObject {
  Q_OBJECT

private:
  rw::test::TempDir media_;
  std::filesystem::path avi_;
  std::filesystem::path wav_;

private slots:
  void initTestCase() {
    dialogs::WindowFont::Apply();
    avi_ = media_ / "x.avi";
    wav_ = media_ / "y.wav";
    WriteTestMovie(avi_, 20);
    WriteTestTone(wav_);
  }

  void layoutNamesAndTexts() {
    TestWindow window;
    TMainForm& form = window.Form();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.windowTitle(), QString("Reelwright(仮)"));
    // The client area below the menu bar: 800 x 540 with the status bar, and not resizable.
    QCOMPARE(form.centralWidget()->size() + QSize(0, form.statusBar()->height()), QSize(800, 540));
    QCOMPARE(form.minimumSize(), form.maximumSize());
    for (const char* name :
         {"ButtonPlay", "PaintNow", "ImageProject", "ImageLine", "LabelTimeNow", "BevelClipNow",
          "ImageClipPrev4Begin", "LabelNameNext2", "ImageAudioNowLarge", "TrackBarAudioVolume",
          "ComboBoxAudioName", "ShapeSelectClip", "StatusProgressBar", "Label17"})
      QVERIFY2(form.findChild<QWidget*>(name), name);
    QVERIFY(form.findChild<QAction*>("MenuSelBeforeFrame"));
    QCOMPARE(form.findChild<QAction*>("MenuSeparate")->shortcut(), QKeySequence("Ctrl+D"));
    QCOMPARE(form.findChild<QAction*>("MenuSaveAsProject")->text(),
             QString("プロジェクトに名前を付けて保存(&A)..."));
    auto* play = form.findChild<QWidget*>("ButtonPlay");
    QCOMPARE(play->toolTip(), QString("再生"));
    QCOMPARE(play->statusTip(), QString("アニメーション再生を開始します"));
    auto* pages = form.findChild<QTabWidget*>("PageControl1");
    QCOMPARE(pages->tabText(0), QString("カット"));
    QCOMPARE(pages->tabText(1), QString("ワイプ"));
    QCOMPARE(form.findChild<QGroupBox*>("GroupBox1")->title(), QString("音声"));
    QVERIFY(!form.findChild<QWidget*>("StatusProgressBar")->isVisible());

    // Every text the window shows has its glyphs in the window's font.
    QString texts = "Reelwright(仮)-∽dB～ 00:00";
    for (const QAbstractButton* b : form.findChildren<QAbstractButton*>())
      texts += b->text();
    for (const QAction* a : form.findChildren<QAction*>())
      texts += a->text() + a->statusTip();
    for (const QMenu* m : form.findChildren<QMenu*>())
      texts += m->title();
    QVERIFY(FontCovers(form, texts));

    // A hint's long part goes to the status bar while the pointer is over its control.
    QStatusTipEvent tip(play->statusTip());
    QApplication::sendEvent(play, &tip);
    QCOMPARE(form.statusBar()->currentMessage(), QString("アニメーション再生を開始します"));
    Screenshot(form, "MainFormEmpty");
  }

  void emptyProject() {
    TestWindow window;
    window.Form().show();
    MainFormWidgets& w = window.Widgets();
    QCOMPARE(w.labelTimeTotal->text(), QString("00:00:00"));
    QCOMPARE(w.labelTimeNow->text(), QString("00:00:00"));
    for (int slot = -4; slot <= 4; ++slot)
      QVERIFY(!w.Slot(slot).bevel->isVisible());
    QCOMPARE(w.imageProject->Layer(1).Figures().size(), std::size_t{1}); // no marker
    QVERIFY(DibImage::Same(w.paintNow->Picture(), window.Form().Display().Placeholders().Large()));
    QVERIFY(!w.buttonInsertAudio->isEnabled());
  }

  void commandLineTakesTheLastProjectOnly() {
    rw::test::TempDir folder;
    const std::filesystem::path b = folder / "b.rwe";
    const std::filesystem::path c = folder / "c.RWE";
    {
      TestWindow maker({avi_.string()});
      QVERIFY(ProjectFile::Save(maker.Project(), b));
      QVERIFY(maker.Project().AppendClip(maker.Project().List().EntryAt(0).clip));
      QVERIFY(ProjectFile::Save(maker.Project(), c));
    }
    TestWindow window({(folder / "a.avi").string(), b.string(), c.string()});
    QCOMPARE(window.Project().FileName().filename().string(), std::string("c.RWE"));
    QCOMPARE(window.Project().List().Count(), 2);
    QVERIFY(window.prompt.asked.empty());
  }

  void commandLineMoviesAndSounds() {
    TestWindow window({avi_.string(), wav_.string(), (media_ / "z.txt").string()});
    QCOMPARE(window.Project().List().Count(), 1);
    QCOMPARE(window.Project().List().TotalFrames(), 20);
    QCOMPARE(window.Project().List().EntryAt(0).audio.Count(), 1); // at the current time: frame 0
    QVERIFY(window.Project().Modified());
    // Files that do not open are skipped without a message box.
    TestWindow missing({(media_ / "none.avi").string()});
    QCOMPARE(missing.Project().List().Count(), 0);
    QVERIFY(missing.prompt.asked.empty());
  }

  void droppingTakesMoviesAndSoundsOnly() {
    TestWindow window;
    window.Form().show();
    const auto drop = [&](const std::filesystem::path& file) {
      QMimeData data;
      data.setUrls({QUrl::fromLocalFile(QString::fromStdString(file.string()))});
      QDragEnterEvent enter(QPoint(400, 300), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(&window.Form(), &enter);
      QDropEvent drop(QPointF(400, 300), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(&window.Form(), &drop);
    };
    drop(media_ / "some.rwe");
    drop(media_ / "picture.bmp");
    QCOMPARE(window.Project().List().Count(), 0);
    QVERIFY(!window.Project().Modified());
    drop(avi_);
    QCOMPARE(window.Project().List().Count(), 1);
    QCOMPARE(window.Widgets().labelTimeTotal->text(), QString("00:00:20"));
  }

  void captionQuestionAndClosing() {
    rw::test::TempDir folder;
    TestWindow window({avi_.string()});
    TMainForm& form = window.Form();
    form.show();
    // Modified and never saved: the save dialog is cancelled, so the window stays.
    window.prompt.answers = {UserPrompt::Answer::Yes};
    QVERIFY(!form.close());
    QCOMPARE(window.prompt.asked.back(), std::string("プロジェクトを保存していません。\n保存しますか?"));
    QCOMPARE(window.files.shown.back().first, std::string("save"));
    // Saved under a name: the caption and the question name it.
    window.files.answers = {folder / "clip.rwe"};
    QVERIFY(form.Files().Save());
    QCOMPARE(form.windowTitle(), QString("Reelwright(仮) - clip"));
    QVERIFY(window.Project().AppendClip(window.Project().List().EntryAt(0).clip));
    window.prompt.answers = {UserPrompt::Answer::Cancel};
    QVERIFY(!form.close());
    QCOMPARE(window.prompt.asked.back(),
             std::string("プロジェクト clip.rwe を保存していません。\n保存しますか?"));
    // Yes saves to the project's own name and closes.
    window.prompt.answers = {UserPrompt::Answer::Yes};
    QVERIFY(form.close());
    QVERIFY(!window.Project().Modified());
    // Without changes nothing is asked.
    TestWindow fresh;
    fresh.Form().show();
    QVERIFY(fresh.Form().close());
    QVERIFY(fresh.prompt.asked.empty());
  }

  void activationReloadsChangedFiles() {
    rw::test::TempDir folder;
    const std::filesystem::path movie = folder / "m.avi";
    rw::test::TestAviOptions options;
    options.frames = 20;
    QVERIFY(rw::test::WriteTestAvi(movie, options));
    TestWindow window({movie.string()});
    window.Form().show();
    QCOMPARE(window.Widgets().labelTimeTotal->text(), QString("00:00:20"));
    options.frames = 40; // the file changes on disk while the program is in the background
    QVERIFY(rw::test::WriteTestAvi(movie, options));
    std::filesystem::last_write_time(movie,
                                     std::filesystem::last_write_time(movie) + std::chrono::seconds(2));
    window.prompt.answers = {UserPrompt::Answer::Ok};
    window.Form().CheckMediaFiles();
    QVERIFY(window.prompt.asked.back().find("m.avi") != std::string::npos);
    QCOMPARE(window.prompt.captions.back(), std::string("ムービー読込"));
    QCOMPARE(window.Project().List().EntryAt(0).clip->GetSourceLength(), 40);
    const std::size_t asked = window.prompt.asked.size();
    window.Form().CheckMediaFiles(); // nothing changed since
    QCOMPARE(window.prompt.asked.size(), asked);
  }

  void helpAndAbout() {
    TestWindow window;
    window.Form().show();
    const std::filesystem::path guide = TMainForm::HelpFile();
    QCOMPARE(guide.string(), QCoreApplication::applicationFilePath().toStdString() + ".HTM");
    window.Form().Widgets().Action("MenuHelpContents")->trigger();
    QVERIFY(window.documentsOpened.empty()); // no guide beside this program: it says so
    QVERIFY(window.prompt.asked.back().find(guide.filename().string()) != std::string::npos);
    rw::test::WriteFileBytes(guide, {'<'});
    window.Form().Widgets().Action("MenuHelpContents")->trigger();
    std::filesystem::remove(guide);
    QCOMPARE(window.documentsOpened, std::vector<std::filesystem::path>{guide});
    QTimer::singleShot(0, this, [&] {
      QVERIFY(window.about->isVisible());
      Screenshot(*window.about, "HelpAboutDialog");
      window.about->findChild<QPushButton*>("Button1")->click();
    });
    window.Form().Widgets().Action("MenuHelpAbout")->trigger();
    QVERIFY(!window.about->isVisible());
  }

  void severalProgramsOneAfterAnother() {
    for (int i = 0; i < 2; ++i) {
      ReelwrightApplication program({avi_.string()});
      program.MainForm().show();
      QCOMPARE(program.MainForm().Project().List().Count(), 1);
      QVERIFY(program.MainForm().findChild<QDialog*>("ProgressDialog"));
      QVERIFY(program.MainForm().findChild<QDialog*>("TransTypeDialog"));
      program.MainForm().Project().MarkSaved({});
    }
  }
};

} // namespace rw::app::test

QTEST_MAIN(rw::app::test::MainFormStartTest)
#include "MainFormStartTest.moc"
