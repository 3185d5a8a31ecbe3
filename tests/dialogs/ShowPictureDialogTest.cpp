#include "dialogs/TShowPictureDialog.h"
#include "render/DIB.h"

#include <QCursor>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <QtTest>

#include <functional>

using rw::DIB;
using rw::dialogs::TShowPictureDialog;

namespace {

// A picture whose every pixel differs from its neighbours, so that swapped rows, a wrong row
// padding or swapped colour channels all show.
DIB PatternPicture(int width, int height) {
  DIB dib;
  if (!dib.Create(width, height)) {
    return dib;
  }
  for (int row = 0; row < height; ++row) {
    std::uint8_t* p = dib.Bits() + static_cast<std::size_t>(row) * static_cast<std::size_t>(dib.Stride());
    for (int x = 0; x < width; ++x) {
      p[3 * x + 0] = static_cast<std::uint8_t>(x * 7 + row);       // blue
      p[3 * x + 1] = static_cast<std::uint8_t>(row * 11 + 3);      // green
      p[3 * x + 2] = static_cast<std::uint8_t>(255 - x * 5 - row); // red
    }
  }
  return dib;
}

// The colour the picture has at (x, y) counted from the top.
QColor PictureColour(const DIB& dib, int x, int y) {
  const std::uint8_t* p =
      dib.Bits() + static_cast<std::size_t>(dib.Height() - 1 - y) * static_cast<std::size_t>(dib.Stride()) +
      3 * x;
  return QColor(p[2], p[1], p[0]);
}

QLabel* ImageOf(TShowPictureDialog& dialog) {
  return dialog.findChild<QLabel*>("Image");
}

// The main window's part: a widget that opens the enlarged view from its mouse-press handler.
class Opener : public QWidget {
public:
  Opener() { resize(200, 100); }
  TShowPictureDialog* dialog = nullptr;
  const DIB* picture = nullptr;
  int opened = 0;
  int returned = 0;

protected:
  void mousePressEvent(QMouseEvent*) override {
    ++opened;
    dialog->SetPicture(picture->Header(), picture->Bits());
    dialog->exec();
    dialog->SetPicture(nullptr, nullptr);
    ++returned;
  }
};

} // namespace

class ShowPictureDialogTest : public QObject {
  Q_OBJECT

private slots:
  void namesAndStartingState();
  void imageAreaIsThePictureAtItsOwnSize();
  void noPictureOrAnUnreadableOneShowsBlack();
  void releaseOfTheOpeningButtonClosesIt();
  void pressOrKeyClosesIt();
  void placedAroundThePointer();
};

void ShowPictureDialogTest::namesAndStartingState() {
  TShowPictureDialog dialog;
  QCOMPARE(dialog.objectName(), QString("ShowPictureDialog"));
  QCOMPARE(dialog.windowTitle(), QString("画像確認"));
  QLabel* image = ImageOf(dialog);
  QVERIFY(image != nullptr);
  QCOMPARE(image->size(), QSize(265, 193));
  QCOMPARE(image->pos(), QPoint(TShowPictureDialog::kBorder, TShowPictureDialog::kBorder));
  QCOMPARE(dialog.size(),
           QSize(265 + 2 * TShowPictureDialog::kBorder, 193 + 2 * TShowPictureDialog::kBorder));
  QCOMPARE(image->grab().toImage().pixelColor(100, 100), QColor(Qt::black));
}

void ShowPictureDialogTest::imageAreaIsThePictureAtItsOwnSize() {
  TShowPictureDialog dialog;
  // 13 columns: rows of 39 bytes padded to 40.
  const DIB picture = PatternPicture(13, 7);
  dialog.SetPicture(picture.Header(), picture.Bits());
  QVERIFY(dialog.HasPicture());
  QLabel* image = ImageOf(dialog);
  QCOMPARE(image->size(), QSize(13, 7));
  QCOMPARE(dialog.size(), QSize(13 + 2 * TShowPictureDialog::kBorder, 7 + 2 * TShowPictureDialog::kBorder));
  const QImage shown = image->grab().toImage();
  QCOMPARE(shown.size(), QSize(13, 7));
  for (int y = 0; y < 7; ++y) {
    for (int x = 0; x < 13; ++x) {
      QCOMPARE(shown.pixelColor(x, y), PictureColour(picture, x, y));
    }
  }

  // A larger picture grows the dialog.
  const DIB larger = PatternPicture(320, 240);
  dialog.SetPicture(larger.Header(), larger.Bits());
  QCOMPARE(image->size(), QSize(320, 240));
  QCOMPARE(dialog.size(),
           QSize(320 + 2 * TShowPictureDialog::kBorder, 240 + 2 * TShowPictureDialog::kBorder));
  QDir().mkpath(RW_SCREENSHOT_DIR);
  QVERIFY(dialog.grab().save(QString(RW_SCREENSHOT_DIR) + "/ShowPictureDialog.png"));

  // A smaller one shrinks it again. The picture is copied: the caller may free it while the
  // dialog still shows it.
  {
    DIB transient = PatternPicture(40, 30);
    dialog.SetPicture(transient.Header(), transient.Bits());
  }
  QCOMPARE(image->size(), QSize(40, 30));
  QCOMPARE(dialog.size(), QSize(40 + 2 * TShowPictureDialog::kBorder, 30 + 2 * TShowPictureDialog::kBorder));
  QCOMPARE(image->grab().toImage().pixelColor(39, 0), PictureColour(PatternPicture(40, 30), 39, 0));
}

void ShowPictureDialogTest::noPictureOrAnUnreadableOneShowsBlack() {
  TShowPictureDialog dialog;
  const DIB picture = PatternPicture(50, 40);
  dialog.SetPicture(picture.Header(), picture.Bits());
  QLabel* image = ImageOf(dialog);

  // Cleared after use: black at the size the last picture had.
  dialog.SetPicture(nullptr, nullptr);
  QVERIFY(!dialog.HasPicture());
  QCOMPARE(image->size(), QSize(50, 40));
  QImage shown = image->grab().toImage();
  QCOMPARE(shown.pixelColor(0, 0), QColor(Qt::black));
  QCOMPARE(shown.pixelColor(49, 39), QColor(Qt::black));

  dialog.SetPicture(picture.Header(), nullptr);
  QVERIFY(!dialog.HasPicture());

  // Headers that do not describe a 24-bit picture of a sane size are never read through.
  const std::uint8_t few[16] = {};
  const std::function<void(rw::BitmapInfoHeader&)> spoilers[] = {
      [](rw::BitmapInfoHeader& h) { h.biBitCount = 32; }, [](rw::BitmapInfoHeader& h) { h.biHeight = -40; },
      [](rw::BitmapInfoHeader& h) { h.biWidth = 0; }, [](rw::BitmapInfoHeader& h) { h.biCompression = 1; },
      [](rw::BitmapInfoHeader& h) { h.biWidth = 1 << 20; }};
  for (const auto& spoil : spoilers) {
    rw::BitmapInfoHeader header = *picture.Header();
    spoil(header);
    dialog.SetPicture(&header, few);
    QVERIFY(!dialog.HasPicture());
  }
  QCOMPARE(image->size(), QSize(50, 40));
  QCOMPARE(image->grab().toImage().pixelColor(10, 10), QColor(Qt::black));
}

void ShowPictureDialogTest::releaseOfTheOpeningButtonClosesIt() {
  Opener opener;
  TShowPictureDialog dialog(&opener);
  const DIB picture = PatternPicture(64, 48);
  opener.dialog = &dialog;
  opener.picture = &picture;
  opener.show();
  QVERIFY(QTest::qWaitForWindowExposed(&opener));

  bool shownWhileHeld = false;
  bool stillShownAfterRelease = true;
  QTimer::singleShot(100, &opener, [&] {
    shownWhileHeld = dialog.isVisible();
    // The release arrives at the main window, as the window system sends it there.
    QTest::mouseRelease(opener.windowHandle(), Qt::LeftButton, {}, QPoint(20, 20));
    QCoreApplication::processEvents();
    stillShownAfterRelease = dialog.isVisible();
  });
  // Never hang the test run when the release is lost.
  QTimer::singleShot(3000, &dialog, [&] { dialog.reject(); });

  QTest::mousePress(opener.windowHandle(), Qt::LeftButton, {}, QPoint(20, 20));
  QCOMPARE(opener.opened, 1);
  QCOMPARE(opener.returned, 1);
  QVERIFY(shownWhileHeld);
  QVERIFY(!stillShownAfterRelease);
  QVERIFY(!dialog.isVisible());
  QVERIFY(!dialog.HasPicture());
}

void ShowPictureDialogTest::pressOrKeyClosesIt() {
  QWidget owner;
  owner.resize(200, 100);
  owner.show();
  QVERIFY(QTest::qWaitForWindowExposed(&owner));
  TShowPictureDialog dialog(&owner);
  const DIB picture = PatternPicture(64, 48);

  const auto closesWith = [&](const std::function<void()>& input) {
    dialog.SetPicture(picture.Header(), picture.Bits());
    bool wasShown = false;
    QTimer::singleShot(50, &dialog, [&] {
      wasShown = dialog.isVisible();
      input();
    });
    QTimer::singleShot(3000, &dialog, [&] { dialog.reject(); });
    QElapsedTimer clock;
    clock.start();
    dialog.exec();
    return wasShown && clock.elapsed() < 2000;
  };
  // A press on the picture, a press anywhere else, a key.
  QVERIFY(closesWith([&] { QTest::mousePress(dialog.windowHandle(), Qt::LeftButton, {}, QPoint(30, 30)); }));
  QVERIFY(closesWith([&] { QTest::mousePress(owner.windowHandle(), Qt::RightButton, {}, QPoint(150, 80)); }));
  QVERIFY(closesWith([&] { QTest::keyClick(dialog.windowHandle(), Qt::Key_Space); }));
}

void ShowPictureDialogTest::placedAroundThePointer() {
  QScreen* screen = QGuiApplication::primaryScreen();
  QVERIFY(screen != nullptr);
  const QRect area = screen->geometry();
  TShowPictureDialog dialog;

  QCursor::setPos(area.center());
  if (QCursor::pos() != area.center()) {
    QSKIP("this platform does not move the pointer");
  }
  const DIB small = PatternPicture(100, 80);
  dialog.SetPicture(small.Header(), small.Bits());
  QCOMPARE(dialog.pos(), area.center() - QPoint(dialog.width() / 2, dialog.height() / 2));

  QCursor::setPos(area.topLeft());
  const DIB vga = PatternPicture(640, 480);
  dialog.SetPicture(vga.Header(), vga.Bits());
  QCOMPARE(dialog.pos(), area.topLeft());

  const DIB wide = PatternPicture(area.width() + 100, 50);
  dialog.SetPicture(wide.Header(), wide.Bits());
  QCOMPARE(dialog.geometry().right(), area.right());
  QVERIFY(dialog.pos().x() < area.left());
}

QTEST_MAIN(ShowPictureDialogTest)
#include "ShowPictureDialogTest.moc"
