// The window on a project whose media files were moved away: one message on opening, the
// placeholder in the preview, the search for the files as one edit, files put back coming
// alive on activation, and the compile refused before a movie file is chosen.

#include "tests/app/AppTestSupport.h"

#include "app/DibImage.h"
#include "app/MessagePrompt.h"
#include "app/PictureBox.h"
#include "dialogs/WindowFont.h"
#include "project/OfflineMedia.h"
#include "tests/support/ProjectTestMedia.h"
#include "tests/support/TempDir.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>
#include <fstream>

namespace rw::app::test {

namespace {

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// The sample project (an AVI cut, an overlap into a mat with a WAV anchored to it) with both
// files moved into "moved/".
struct OfflineSample {
  OfflineSample() : media(rw::test::WriteProjectMedia(dir.Path())) {
    std::ofstream(project, std::ios::binary) << rw::test::SampleProjectText("//");
    std::filesystem::create_directories(movedAvi.parent_path());
    std::filesystem::create_directories(movedWav.parent_path());
    std::filesystem::rename(media.avi, movedAvi);
    std::filesystem::rename(media.wav, movedWav);
  }
  void PutBack() {
    std::filesystem::rename(movedAvi, media.avi);
    std::filesystem::rename(movedWav, media.wav);
  }

  rw::test::TempDir dir;
  rw::test::ProjectMedia media;
  std::filesystem::path project = dir / "sample.rwe";
  std::filesystem::path movedAvi = dir / "moved" / "a" / "opening.avi";
  std::filesystem::path movedWav = dir / "moved" / "b" / "theme music.wav";
};

bool Offline(VideoProject& project, int entry) {
  return project.List().EntryAt(entry).clip->IsOffline();
}

bool SoundOffline(VideoProject& project) {
  return project.List().EntryAt(1).audio.At(0)->IsOffline();
}

// How many pixels of the image are not black.
int Lit(const QImage& image) {
  int lit = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      lit += (image.pixel(x, y) & 0xFFFFFF) != 0 ? 1 : 0;
  return lit;
}

} // namespace

class OfflineMediaTest : public QObject {
  Q_OBJECT

private:
  static void Trigger(TMainForm& form, const char* action) { form.Widgets().Action(action)->trigger(); }
  static bool RelinkOffered(TestWindow& window) {
    emit window.Widgets().menus.at("File1")->aboutToShow();
    const bool enabled = window.Widgets().Action("MenuRelink")->isEnabled();
    emit window.Widgets().menus.at("File1")->aboutToHide();
    return enabled;
  }

private slots:
  void initTestCase() { dialogs::WindowFont::Apply(); }

  void openingTellsOnceAndShowsThePlaceholder() {
    OfflineSample sample;
    TestWindow window({sample.project.string()});
    TMainForm& form = window.Form();
    form.show();
    QCOMPARE(window.prompt.asked.size(), std::size_t{1});
    QCOMPARE(window.prompt.captions[0], std::string("Reelwright"));
    const std::string notice = window.prompt.asked[0];
    QVERIFY2(Contains(notice, sample.media.avi.string()), notice.c_str());
    QVERIFY2(Contains(notice, sample.media.wav.string()), notice.c_str());
    QCOMPARE(notice, OfflineMedia::Message(OfflineMedia::List(window.Project().List())));
    QCOMPARE(window.Project().List().Count(), 2);
    QCOMPARE(window.Project().List().TotalFrames(), 135);
    QVERIFY(Offline(window.Project(), 0));
    QVERIFY(!window.Project().Modified());
    QVERIFY(RelinkOffered(window));

    // The preview of the offline cut is the placeholder reelwright-cli draws, not black.
    form.Refresh(10, false);
    DIB cli;
    QVERIFY(CliQuickFrame(sample.project, 10, 160, 120, cli));
    QVERIFY(DibImage::Same(window.Widgets().paintNow->Picture(), cli));
    QVERIFY(Lit(window.Widgets().paintNow->Picture()) > 160 * 120 / 20);
    QVERIFY(Lit(window.Widgets().Slot(0).begin->Picture()) > 0);
    // Its record stays as it is: no field of the page trims it.
    QVERIFY(!window.Widgets().editClipBeginFrame->isEnabled());
    QVERIFY(!window.Widgets().editClipTotalFrame->isEnabled());
    Screenshot(form, "MainFormOfflineCut");
    QMenu* file = window.Widgets().menus.at("File1");
    file->popup(form.mapToGlobal(QPoint(0, 20)));
    QVERIFY(FontCovers(*file, window.Widgets().Action("MenuRelink")->text()));
    Screenshot(*file, "FileMenuRelink");
    file->hide();

    // Opened again through the menu: told again, once.
    window.files.answers = {sample.project};
    Trigger(form, "MenuOpenProject");
    QCOMPARE(window.prompt.asked.size(), std::size_t{2});
    QCOMPARE(QString::fromStdString(window.prompt.asked[1]), QString::fromStdString(notice));

    // Inserted into the open project: the inserted file's missing files are told once too, and
    // its offline entries are inserted with the rest (at a cut's start: an offline cut is not split).
    QVERIFY(window.Project().SetCurrentFrame(0));
    window.files.answers = {sample.project};
    Trigger(form, "MenuInsertProject");
    QCOMPARE(window.prompt.asked.size(), std::size_t{3});
    QCOMPARE(QString::fromStdString(window.prompt.asked[2]), QString::fromStdString(notice));
    QCOMPARE(window.Project().List().Count(), 4);
  }

  void theMessageBoxShowsTheWholeList() {
    OfflineSample sample;
    TestWindow window({sample.project.string()});
    window.Form().show();
    MessagePrompt real(&window.Form());
    QString shown;
    auto* poll = new QTimer(&window.Form());
    connect(poll, &QTimer::timeout, &window.Form(), [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box || !box->isVisible())
        return;
      poll->stop();
      shown = box->text();
      QVERIFY(FontCovers(*box, shown));
      Screenshot(*box, "OfflineMessage");
      box->accept();
    });
    poll->start(5);
    real.Ask(window.prompt.asked.at(0), "Reelwright", UserPrompt::Buttons::Ok);
    QCOMPARE(shown, QString::fromStdString(window.prompt.asked.at(0)));
  }

  void relinkIsOneEditThatUndoes() {
    OfflineSample sample;
    TestWindow window({sample.project.string()});
    TMainForm& form = window.Form();
    form.show();
    VideoProject& project = window.Project();
    const int undo = project.UndoCount();

    // Cancelled: nothing happens.
    Trigger(form, "MenuRelink");
    QCOMPARE(window.files.shown.back(), std::make_pair(std::string("folder"), sample.dir.Path()));
    QCOMPARE(window.prompt.asked.size(), std::size_t{1});

    // Only the movie is under moved/a.
    window.files.answers = {sample.dir / "moved" / "a"};
    Trigger(form, "MenuRelink");
    std::string report = window.prompt.asked.back();
    QVERIFY2(Contains(report, "つなぎ直しました:\n  " + sample.movedAvi.string()), report.c_str());
    QVERIFY2(Contains(report, "まだ見つからないファイル:\n  " + sample.media.wav.string()), report.c_str());
    QVERIFY(!Offline(project, 0));
    QVERIFY(SoundOffline(project));
    QCOMPARE(project.UndoCount(), undo + 1);
    QVERIFY(project.Modified());
    QVERIFY(RelinkOffered(window));
    form.Refresh(10, false);
    DIB placeholder;
    QVERIFY(CliQuickFrame(sample.project, 10, 160, 120, placeholder));
    QVERIFY(!DibImage::Same(window.Widgets().paintNow->Picture(), placeholder));
    QVERIFY(window.Widgets().editClipBeginFrame->isEnabled());
    QVERIFY(window.Widgets().editClipTotalFrame->isEnabled());

    // The next search starts where the last one looked; the whole tree finds the sound.
    window.files.answers = {sample.dir / "moved"};
    Trigger(form, "MenuRelink");
    QCOMPARE(window.files.shown.back().second, sample.dir / "moved" / "a");
    report = window.prompt.asked.back();
    QVERIFY2(Contains(report, sample.movedWav.string()), report.c_str());
    QVERIFY2(!Contains(report, "まだ見つからない"), report.c_str());
    QVERIFY(!SoundOffline(project));
    QVERIFY(!RelinkOffered(window));
    QVERIFY(!window.Widgets().Action("MenuRelink")->isEnabled());

    // Undo restores the offline state step by step, redo the relink.
    form.Edits().Undo();
    QVERIFY(SoundOffline(project));
    QVERIFY(!Offline(project, 0));
    QVERIFY(window.Widgets().Action("MenuRelink")->isEnabled());
    form.Edits().Undo();
    QVERIFY(Offline(project, 0));
    QCOMPARE(project.UndoCount(), undo);
    form.Edits().Redo();
    QVERIFY(!Offline(project, 0));
  }

  void filesPutBackComeAliveOnActivation() {
    OfflineSample sample;
    TestWindow window({sample.project.string()});
    TMainForm& form = window.Form();
    form.show();
    const int undo = window.Project().UndoCount();
    DIB placeholder;
    QVERIFY(CliQuickFrame(sample.project, 10, 160, 120, placeholder));
    sample.PutBack();
    emit qApp->applicationStateChanged(Qt::ApplicationActive);
    QVERIFY(!Offline(window.Project(), 0));
    QVERIFY(!SoundOffline(window.Project()));
    QCOMPARE(window.Project().UndoCount(), undo);
    QVERIFY(!window.Project().Modified());
    QVERIFY(!window.Widgets().Action("MenuRelink")->isEnabled());
    form.Refresh(10, false);
    DIB movie;
    QVERIFY(CliQuickFrame(sample.project, 10, 160, 120, movie));
    QVERIFY(!movie.IsSame(placeholder));
    QVERIFY(DibImage::Same(window.Widgets().paintNow->Picture(), movie));
    QCOMPARE(window.prompt.asked.size(), std::size_t{1}); // only the message on opening
  }

  void compileIsRefusedBeforeAMovieFileIsChosen() {
    OfflineSample sample;
    TestWindow window({sample.project.string()});
    window.Form().show();
    Trigger(window.Form(), "MenuMovieCompile");
    for (const auto& [dialog, preset] : window.files.shown)
      QVERIFY(dialog != "movie");
    const std::string& report = window.prompt.asked.back();
    QVERIFY2(report.starts_with("ムービーの作成に失敗しました:\n開けないファイルがあるため"), report.c_str());
    QVERIFY(Contains(report, sample.media.avi.string()));
    QVERIFY(Contains(report, sample.media.wav.string()));
  }

  void aLongListIsShortenedToFitTheScreen() {
    rw::test::TempDir folder;
    std::string text = "ClipInfo: \nbegin\n";
    for (int i = 0; i < 40; ++i)
      text += "  Clip: PIC\n  begin\n    FileName: stills/still" + std::to_string(i) +
              ".bmp\n    TotalFrame: 5\n  end\n";
    std::ofstream(folder / "many.rwe", std::ios::binary) << text + "end\n";
    TestWindow window({(folder / "many.rwe").string()});
    QCOMPARE(window.Project().List().Count(), 40);
    QCOMPARE(window.prompt.asked.size(), std::size_t{1});
    // The header and the first 29 files, then a count of the other 11.
    const std::string full = OfflineMedia::Message(OfflineMedia::List(window.Project().List()));
    std::size_t cut = 0;
    for (std::size_t line = 0; line < TMainForm::kListLines; ++line)
      cut = full.find('\n', cut) + 1;
    QCOMPARE(window.prompt.asked[0], full.substr(0, cut) + "  …ほか11件");
    QVERIFY(full.find("still29.bmp") >= cut);
  }

  void aShortenedFileIsToldButNotOfferedForSearch() {
    OfflineSample sample;
    sample.PutBack();
    WriteTestMovie(sample.media.avi, 30); // the record asks for frames 0 to 59
    TestWindow window({sample.project.string()});
    QCOMPARE(window.prompt.asked.size(), std::size_t{1});
    QVERIFY(Contains(window.prompt.asked[0], sample.media.avi.string()));
    QVERIFY(!Offline(window.Project(), 0));
    QVERIFY(!window.Widgets().Action("MenuRelink")->isEnabled());
  }

  void aProjectWhoseFilesAllOpenSaysNothing() {
    TestWindow window({DemoProject().string()});
    window.Form().show();
    QVERIFY(window.prompt.asked.empty());
    QVERIFY(!window.Widgets().Action("MenuRelink")->isEnabled());
    QVERIFY(!RelinkOffered(window));
    Trigger(window.Form(), "MenuRelink"); // without offline entries it does nothing
    QVERIFY(window.files.shown.empty());
    QVERIFY(window.prompt.asked.empty());
  }
};

} // namespace rw::app::test

QTEST_MAIN(rw::app::test::OfflineMediaTest)
#include "OfflineMediaTest.moc"
