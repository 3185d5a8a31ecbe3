#include "dialogs/DialogColorChooser.h"
#include "dialogs/TColorSelectDialog.h"
#include "media/ColormatClip.h"
#include "view/ColorPickerState.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "tests/dialogs/DialogTestSupport.h"

using rw::dialogs::TColorSelectDialog;
using State = rw::view::ColorPickerState;

namespace {

using rw::dialogs::test::CloseWhenDone;

QWidget* Box(TColorSelectDialog& dialog, int n) {
  return dialog.findChild<QWidget*>(QString("PaintBox%1").arg(n));
}
QLineEdit* Edit(TColorSelectDialog& dialog, int n) {
  return dialog.findChild<QLineEdit*>(QString("Edit%1").arg(n));
}
QPushButton* Button(TColorSelectDialog& dialog, const char* name) {
  return dialog.findChild<QPushButton*>(name);
}

QColor Colour(std::uint32_t rgb) {
  return QColor(static_cast<int>(rgb >> 16), static_cast<int>((rgb >> 8) & 255), static_cast<int>(rgb & 255));
}

// The mouse moved to `to` with `held` pressed, as a drag inside a box.
void DragTo(QWidget* box, QPoint to, Qt::MouseButtons held = Qt::LeftButton) {
  QMouseEvent move(QEvent::MouseMove, QPointF(to), box->mapToGlobal(QPointF(to)), Qt::NoButton, held,
                   Qt::NoModifier);
  QApplication::sendEvent(box, &move);
}

void Screenshot(QWidget& widget, const QString& name) {
  QDir().mkpath(RW_SCREENSHOT_DIR);
  QVERIFY(widget.grab().save(QString(RW_SCREENSHOT_DIR) + "/" + name));
}

} // namespace

class ColorSelectDialogTest : public QObject {
  Q_OBJECT

private slots:
  void namesAndTexts();
  void pureRedOnTheWheel();
  void typedValuesAreKept();
  void blackKeepsHueForTheBrightnessBar();
  void wheelClicksAndDrags();
  void componentBarsAndTheirMarkers();
  void chooserTakesTheColourOnlyOnConfirmation();
};

void ColorSelectDialogTest::namesAndTexts() {
  TColorSelectDialog dialog;
  QCOMPARE(dialog.objectName(), QString("ColorSelectDialog"));
  QCOMPARE(dialog.windowTitle(), QString("色の設定"));
  QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
  QCOMPARE(Box(dialog, 1)->size(), QSize(257, 257));
  QCOMPARE(Box(dialog, 2)->size(), QSize(33, 256));
  QCOMPARE(Box(dialog, 3)->size(), QSize(33, 68));
  for (int n = 4; n <= 6; ++n)
    QCOMPARE(Box(dialog, n)->size(), QSize(145, 20));
  for (int n = 1; n <= 3; ++n)
    QVERIFY(Edit(dialog, n));
  QCOMPARE(Button(dialog, "Button1")->text(), QString("OK"));
  QVERIFY(Button(dialog, "Button1")->isDefault());
  QCOMPARE(Button(dialog, "Button2")->text(), QString("ｷｬﾝｾﾙ"));
  QStringList labels;
  for (QLabel* label : dialog.findChildren<QLabel*>())
    labels << label->text();
  QVERIFY(labels.contains("赤") && labels.contains("緑") && labels.contains("青"));
  // Nothing overlaps: every box and edit lies inside the dialog, apart from the others.
  QList<QWidget*> parts;
  for (int n = 1; n <= 6; ++n)
    parts << Box(dialog, n);
  for (int n = 1; n <= 3; ++n)
    parts << Edit(dialog, n);
  parts << Button(dialog, "Button1") << Button(dialog, "Button2");
  for (int i = 0; i < parts.size(); ++i) {
    QVERIFY(dialog.rect().contains(parts[i]->geometry()));
    for (int j = i + 1; j < parts.size(); ++j)
      QVERIFY2(!parts[i]->geometry().intersects(parts[j]->geometry()),
               qPrintable(parts[i]->objectName() + " / " + parts[j]->objectName()));
  }
}

void ColorSelectDialogTest::pureRedOnTheWheel() {
  TColorSelectDialog dialog;
  dialog.SetColor(255, 0, 0);
  QCOMPARE(dialog.State().Hsv(), (rw::view::HsvColor::Hsv{0, 255, 255}));
  QCOMPARE(Edit(dialog, 1)->text(), QString("255"));
  QCOMPARE(Edit(dialog, 2)->text(), QString("0"));
  dialog.show();
  const QImage wheel = Box(dialog, 1)->grab().toImage();
  QCOMPARE(wheel.pixelColor(128, 128), QColor(255, 255, 255)); // centre: white
  QCOMPARE(wheel.pixelColor(0, 0), QColor(192, 192, 192));     // outside the disc: grey
  QCOMPARE(wheel.pixelColor(250, 128), QColor(Colour(dialog.State().Wheel().Picture()[128 * 257 + 250])));
  // The black marker circle around the top of the rim: its left and right sides.
  QCOMPARE(wheel.pixelColor(125, 1), QColor(0, 0, 0));
  QCOMPARE(wheel.pixelColor(131, 1), QColor(0, 0, 0));
  const QImage swatch = Box(dialog, 3)->grab().toImage();
  QCOMPARE(swatch.pixelColor(16, 34), QColor(255, 0, 0));
  const QImage bar = Box(dialog, 2)->grab().toImage();
  QCOMPARE(bar.pixelColor(2, 100), Colour(dialog.State().BarRowColour(100)));
  QCOMPARE(bar.pixelColor(2, 100), QColor(155, 0, 0));
  Screenshot(dialog, "ColorSelectDialog.png");
}

void ColorSelectDialogTest::typedValuesAreKept() {
  TColorSelectDialog dialog;
  dialog.SetColor(10, 20, 30);
  dialog.show();
  QLineEdit* red = Edit(dialog, 1);
  red->selectAll();
  QTest::keyClicks(red, "300");
  QCOMPARE(dialog.Red(), 300);
  QCOMPARE(red->text(), QString("300"));
  QCOMPARE(dialog.State().Hsv().value, 300);
  // The swatch shows red at full strength; the other edits are left as they were.
  QCOMPARE(Box(dialog, 3)->grab().toImage().pixelColor(5, 5), QColor(255, 20, 30));
  QCOMPARE(Edit(dialog, 2)->text(), QString("20"));
  // A number written in another way is not rewritten while typing.
  QLineEdit* green = Edit(dialog, 2);
  green->setText(" 020");
  QCOMPARE(dialog.Green(), 20);
  QCOMPARE(green->text(), QString(" 020"));
  // Letters read as 0 and stay as typed; the colour follows.
  QLineEdit* blue = Edit(dialog, 3);
  blue->setText("x");
  QCOMPARE(dialog.Blue(), 0);
  QCOMPARE(blue->text(), QString("x"));
  // A change from elsewhere rewrites the edits that no longer match.
  dialog.PressComponent(2, QPoint(144, 10));
  QCOMPARE(blue->text(), QString("252"));
  Screenshot(dialog, "ColorSelectDialogTyped.png");
}

void ColorSelectDialogTest::blackKeepsHueForTheBrightnessBar() {
  TColorSelectDialog dialog;
  dialog.show();
  dialog.SetColor(0, 128, 255);
  const int hue = dialog.State().Hsv().hue;
  dialog.SetColor(0, 0, 0);
  QCOMPARE(dialog.State().Hsv().hue, hue);
  QCOMPARE(Edit(dialog, 3)->text(), QString("0"));
  QTest::mouseClick(Box(dialog, 2), Qt::LeftButton, {}, QPoint(16, 0));
  QCOMPARE(dialog.State().Hsv(), (rw::view::HsvColor::Hsv{hue, 255, 255}));
  QCOMPARE(Edit(dialog, 2)->text(), QString("129"));
  QCOMPARE(Edit(dialog, 3)->text(), QString("255"));
  // Dragging beyond the bottom of the bar gives black again.
  QTest::mousePress(Box(dialog, 2), Qt::LeftButton, {}, QPoint(16, 100));
  QCOMPARE(dialog.State().Hsv().value, 155);
  DragTo(Box(dialog, 2), QPoint(16, 400));
  QTest::mouseRelease(Box(dialog, 2), Qt::LeftButton, {}, QPoint(16, 400));
  QCOMPARE(dialog.State().Hsv().value, 0);
  QCOMPARE(dialog.State().Hsv().hue, hue);
}

void ColorSelectDialogTest::wheelClicksAndDrags() {
  TColorSelectDialog dialog;
  dialog.show();
  dialog.SetColor(200, 200, 200);
  // A grey corner: the rim colour at that angle, at the present brightness.
  QTest::mouseClick(Box(dialog, 1), Qt::LeftButton, {}, QPoint(1, 1));
  const rw::view::ColorWheel::Pick rim = dialog.State().Wheel().Choose(1, 1);
  QCOMPARE(rim.saturation, 255);
  QCOMPARE(dialog.State().Hsv(), (rw::view::HsvColor::Hsv{rim.hue, 255, 200}));
  QVERIFY(rim.hue > 300 && rim.hue < 330); // up and to the left
  // Other buttons do nothing.
  QTest::mouseClick(Box(dialog, 1), Qt::RightButton, {}, QPoint(128, 128));
  QCOMPARE(dialog.State().Hsv().saturation, 255);
  // Dragging follows the pointer, also outside the box.
  QTest::mousePress(Box(dialog, 1), Qt::LeftButton, {}, QPoint(128, 128));
  QCOMPARE(dialog.State().Hsv().saturation, 0);
  QCOMPARE(dialog.Red(), 200);
  DragTo(Box(dialog, 1), QPoint(128, 500));
  QCOMPARE(dialog.State().Hsv(), (rw::view::HsvColor::Hsv{180, 255, 200}));
  QTest::mouseRelease(Box(dialog, 1), Qt::LeftButton, {}, QPoint(128, 500));
  DragTo(Box(dialog, 1), QPoint(128, 128), Qt::NoButton);    // no button held: nothing
  DragTo(Box(dialog, 1), QPoint(128, 128), Qt::RightButton); // nor the right one
  QCOMPARE(dialog.State().Hsv().hue, 180);
  QCOMPARE(Edit(dialog, 1)->text(), QString::number(dialog.Red()));
}

void ColorSelectDialogTest::componentBarsAndTheirMarkers() {
  TColorSelectDialog dialog;
  dialog.show();
  dialog.SetColor(0, 0, 0);
  QTest::mouseClick(Box(dialog, 5), Qt::LeftButton, {}, QPoint(73, 10));
  QCOMPARE(dialog.Green(), 128);
  QCOMPARE(Edit(dialog, 2)->text(), QString("128"));
  const QImage bar = Box(dialog, 5)->grab().toImage();
  // Columns run from no green to full green over the rest of the colour.
  QCOMPARE(bar.pixelColor(0, 2), QColor(0, 0, 0));
  QCOMPARE(bar.pixelColor(144, 2), QColor(0, 252, 0));
  // The marker at column 73: white beside the dark green at its left.
  const State::Marker marker = dialog.State().ComponentMarker(1);
  QCOMPARE(marker, (State::Marker{70, 7, 7, 7, true}));
  QCOMPARE(bar.pixelColor(70, 10), QColor(255, 255, 255));
  // The red bar's marker sits at its start, on black: white too.
  const QImage red = Box(dialog, 4)->grab().toImage();
  QCOMPARE(red.pixelColor(3, 10), QColor(255, 255, 255));
}

void ColorSelectDialogTest::chooserTakesTheColourOnlyOnConfirmation() {
  TColorSelectDialog dialog;
  rw::dialogs::DialogColorChooser chooser(dialog);
  rw::ColormatClip mat(10, 20, 30);

  QTimer::singleShot(0, &dialog, [&] {
    CloseWhenDone done{dialog};
    QCOMPARE(Edit(dialog, 1)->text(), QString("10"));
    Edit(dialog, 2)->setText("222");
    QTest::mouseClick(Button(dialog, "Button2"), Qt::LeftButton);
  });
  QVERIFY(!mat.Configure(chooser));
  QCOMPARE(mat.Green(), 20u);

  QTimer::singleShot(0, &dialog, [&] {
    CloseWhenDone done{dialog};
    QCOMPARE(Edit(dialog, 2)->text(), QString("20")); // loaded afresh from the cut
    Edit(dialog, 2)->setText("222");
    QTest::mouseClick(Button(dialog, "Button1"), Qt::LeftButton);
  });
  QVERIFY(mat.Configure(chooser));
  QCOMPARE(mat.Red(), 10u);
  QCOMPARE(mat.Green(), 222u);
  QCOMPARE(mat.Blue(), 30u);

  // Values beyond a byte, as a project file may hold them, come back unchanged.
  std::uint32_t r = 0xFFFFFFFFu, g = 300, b = 5;
  QTimer::singleShot(0, &dialog, [&] { Button(dialog, "Button1")->click(); });
  QVERIFY(chooser.Choose(r, g, b));
  QCOMPARE(r, 0xFFFFFFFFu);
  QCOMPARE(g, 300u);
  QCOMPARE(b, 5u);
}

QTEST_MAIN(ColorSelectDialogTest)
#include "ColorSelectDialogTest.moc"
