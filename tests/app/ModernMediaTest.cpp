// The window and movie and sound files of other containers than AVI: the open dialogs' filters,
// drops and the command line.

#include "tests/app/AppTestSupport.h"

#include "app/MainFormWidgets.h"
#include "app/QtFileChooser.h"
#include "dialogs/WindowFont.h"
#include "media/AudioClipKinds.h"
#include "media/VideoClipKinds.h"
#include "tests/support/ContainerTestFiles.h"
#include "tests/support/SoundTestFiles.h"
#include "tests/support/StillTestFiles.h"
#include "tests/support/TempDir.h"

#include <QComboBox>
#include <QDropEvent>
#include <QFileDialog>
#include <QLabel>
#include <QListView>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QtTest>

#include <fstream>

namespace rw::app::test {

class ModernMediaTest : public QObject {
  Q_OBJECT

private:
  rw::test::TempDir media_;

  static void Drop(TMainForm& form, const std::vector<std::filesystem::path>& files) {
    QMimeData data;
    QList<QUrl> urls;
    for (const auto& file : files)
      urls << QUrl::fromLocalFile(QString::fromStdString(file.string()));
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(400, 300), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&form, &enter);
    QDropEvent drop(QPointF(400, 300), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&form, &drop);
  }

  // The names the open dialog lists in its folder under the filter `caption` starts with.
  static QStringList Listed(QFileDialog& dialog, const QString& caption) {
    for (const QString& filter : dialog.nameFilters())
      if (filter.startsWith(caption))
        dialog.selectNameFilter(filter);
    auto* view = dialog.findChild<QListView*>("listView");
    QStringList names;
    if (!view)
      return names;
    // The folder is read in the background; the list settles once it has been.
    QString last = "?";
    for (int i = 0; i < 100 && names.join('|') != last; ++i) {
      last = names.join('|');
      QTest::qWait(30);
      names.clear();
      const QModelIndex root = view->rootIndex();
      for (int r = 0; r < view->model()->rowCount(root); ++r)
        names << view->model()->index(r, 0, root).data().toString();
      names.sort();
    }
    return names;
  }

private slots:
  void initTestCase() { dialogs::WindowFont::Apply(); }

  void openDialogFiltersTakeEveryExtensionInEitherCase() {
    rw::test::TempDir folder;
    for (const char* name : {"a.mp4", "b.MP4", "c.m4v", "d.MOV", "e.mkv", "f.WEBM", "g.avi", "h.png", "i.JPG",
                             "j.jpeg", "k.mp3", "l.FLAC", "m.opus", "n.ogg", "o.M4A", "p.wav", "q.txt"})
      std::ofstream(folder / name) << "x";
    QWidget owner;
    QtFileChooser chooser;
    chooser.SetOwner(&owner);
    const QString dir = QString::fromStdString(folder.Path().string());
    QStringList movies, jpeg, sounds;
    bool shot = false;
    auto* poll = new QTimer(&owner);
    connect(poll, &QTimer::timeout, &owner, [&] {
      auto* dialog = owner.findChild<QFileDialog*>("OpenClipDialog");
      if (!dialog || !dialog->isVisible())
        return;
      poll->stop();
      dialog->setDirectory(dir);
      if (dialog->nameFilters().front().startsWith("Video")) {
        jpeg = Listed(*dialog, "JPEG");
        movies = Listed(*dialog, "Movie");
        Screenshot(*dialog, "open-cut-dialog-movie-filter");
        shot = true;
      } else {
        sounds = Listed(*dialog, "サウンド(*.MP3");
      }
      dialog->reject();
      poll->start(10);
    });
    poll->start(10);
    chooser.OpenClips(VideoClipKinds::FileFilter());
    chooser.OpenClips(AudioClipKinds::FileFilter());
    QCOMPARE(movies, QStringList({"a.mp4", "b.MP4", "c.m4v", "d.MOV", "e.mkv", "f.WEBM"}));
    QCOMPARE(jpeg, QStringList({"i.JPG", "j.jpeg"}));
    QCOMPARE(sounds, QStringList({"a.mp4", "b.MP4", "c.m4v", "d.MOV", "e.mkv", "f.WEBM", "k.mp3", "l.FLAC",
                                  "m.opus", "n.ogg", "o.M4A"}));
    QVERIFY(shot);
  }

  void dropsAndTheCommandLineTakeTheNewKinds() {
    if (!rw::test::HasMovieEncoder(rw::test::TestMovieCodec::H264) ||
        !rw::test::HasSoundEncoder(rw::test::TestMovieSound::Aac))
      QSKIP("no H.264 or AAC encoder");
    rw::test::TestMovieOptions movie;
    movie.pts = rw::test::ConstantRatePts(50, 25, 1, {1, 12800});
    movie.timeBase = {1, 12800};
    movie.sound = rw::test::TestMovieSound::Aac;
    const auto mp4 = media_ / "holiday.MP4";
    QVERIFY(rw::test::WriteTestMovie(mp4, movie));
    rw::test::TestSoundOptions tune;
    tune.codec = rw::test::TestSoundCodec::Flac;
    const auto flac = media_ / "tune.flac";
    QVERIFY(rw::test::WriteTestSound(flac, tune));
    const auto png = media_ / "still.png";
    rw::test::WriteBytes(
        png, rw::test::PngBytes(rw::test::TestPicture::Pattern(8, 6), rw::test::PngVariant::Rgb24));

    TestWindow window;
    window.Form().show();
    QVERIFY(QTest::qWaitForWindowExposed(&window.Form()));
    Drop(window.Form(), {png}); // pictures are not taken from a drop
    QCOMPARE(window.Project().List().Count(), 0);
    Drop(window.Form(), {mp4, flac});
    const pVideoClipList& list = window.Project().List();
    QCOMPARE(list.Count(), 1);
    QCOMPARE(list.EntryAt(0).clip->GetKindName(), std::string_view("Movie"));
    QCOMPARE(list.TotalFrames(), 60); // 2 s of 25 fps pictures on 30 fps frames
    QVERIFY(list.EntryAt(0).clip->Audio() && list.EntryAt(0).clip->Audio()->IsValid());
    QCOMPARE(list.EntryAt(0).audio.Count(), 1);
    QVERIFY(window.prompt.asked.empty());
    Screenshot(window.Form(), "window-dropped-mp4-and-flac");

    // The same from the command line.
    TestWindow started({mp4.string(), png.string(), flac.string()});
    QCOMPARE(started.Project().List().Count(), 1);
    QCOMPARE(started.Project().List().EntryAt(0).audio.Count(), 1);
  }
};

} // namespace rw::app::test

QTEST_MAIN(rw::app::test::ModernMediaTest)
#include "ModernMediaTest.moc"
