#include "dialogs/PickerPaintBox.h"
#include "dialogs/TTransTypeDialog.h"
#include "render/TransitionKinds.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QtTest>

#include "tests/dialogs/DialogTestSupport.h"

using rw::dialogs::TTransTypeDialog;

namespace {

using rw::dialogs::test::CloseWhenDone;

QWidget* Cell(TTransTypeDialog& dialog, int n) {
  return dialog.findChild<QWidget*>(QString("PaintBox%1").arg(n));
}
QLabel* Label(TTransTypeDialog& dialog, int n) {
  return dialog.findChild<QLabel*>(QString("Label%1").arg(n));
}
QWidget* Frame(TTransTypeDialog& dialog) {
  return dialog.findChild<QWidget*>("Shape1");
}
QPushButton* Button(TTransTypeDialog& dialog, const char* name) {
  return dialog.findChild<QPushButton*>(name);
}

// Runs the dialog modally; `act` runs once it is shown and must close it.
int RunWith(TTransTypeDialog& dialog, const std::function<void()>& act) {
  QTimer::singleShot(0, &dialog, [&dialog, act] {
    CloseWhenDone done{dialog};
    act();
  });
  return dialog.exec();
}

void Screenshot(QWidget& widget, const QString& name) {
  QDir().mkpath(RW_SCREENSHOT_DIR);
  QVERIFY(widget.grab().save(QString(RW_SCREENSHOT_DIR) + "/" + name));
}

} // namespace

class TransTypeDialogTest : public QObject {
  Q_OBJECT

private slots:
  void namesAndTexts();
  void sevenKindsHideTheRestAndTheScrollBar();
  void confirmingWithoutAClickGivesNone();
  void selectionSurvivesClosingAndReopening();
  void animationRunsOnlyWhileActive();
  void cellsShowTheTransitionsOwnPreviewFrames();
};

void TransTypeDialogTest::namesAndTexts() {
  TTransTypeDialog dialog;
  QCOMPARE(dialog.objectName(), QString("TransTypeDialog"));
  QCOMPARE(dialog.windowTitle(), QString("トランジション選択"));
  QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
  QCOMPARE(dialog.findChild<QLabel*>("Caption")->text(), QString("ワイプパターンを選択して下さい"));
  QCOMPARE(Button(dialog, "ButtonOK")->text(), QString("設定"));
  QVERIFY(Button(dialog, "ButtonOK")->isDefault());
  QCOMPARE(Button(dialog, "ButtonCancel")->text(), QString("キャンセル"));
  QCOMPARE(dialog.findChild<QTimer*>("Timer1")->interval(), 33);
  QCOMPARE(dialog.findChild<QScrollBar*>("ScrollBar1")->pageStep(), 1);
  QCOMPARE(Frame(dialog)->size(), QSize(84, 81));
  for (int n = 1; n <= 12; ++n) {
    QCOMPARE(Cell(dialog, n)->size(), QSize(80, 60));
    QCOMPARE(Label(dialog, n)->width(), 80);
    // Three rows of four, each label under its picture.
    const QPoint at = Cell(dialog, n)->pos();
    QCOMPARE(at.x() == Cell(dialog, 1)->x(), (n - 1) % 4 == 0);
    QCOMPARE(at.y() == Cell(dialog, 1)->y(), n <= 4);
    QCOMPARE(Label(dialog, n)->x(), at.x());
    QVERIFY(Label(dialog, n)->y() >= at.y() + 60);
    // The selection frame drawn around a cell holds its picture and its label.
    const QRect frame(at - QPoint(2, 2), QSize(84, 81));
    QVERIFY(frame.contains(Cell(dialog, n)->geometry()));
    QVERIFY(frame.contains(Label(dialog, n)->geometry()));
    QVERIFY(dialog.rect().contains(frame));
  }
}

void TransTypeDialogTest::sevenKindsHideTheRestAndTheScrollBar() {
  TTransTypeDialog dialog;
  dialog.show();
  for (int n = 1; n <= 7; ++n) {
    QVERIFY(Cell(dialog, n)->isVisible());
    QVERIFY(Label(dialog, n)->isVisible());
    QCOMPARE(Label(dialog, n)->text(), QString::fromUtf8(rw::TransitionKinds::DisplayName(n - 1).data(),
                                                         rw::TransitionKinds::DisplayName(n - 1).size()));
    QVERIFY(!Label(dialog, n)->text().isEmpty());
  }
  for (int n = 8; n <= 12; ++n) {
    QVERIFY(!Cell(dialog, n)->isVisible());
    QVERIFY(!Label(dialog, n)->isVisible());
  }
  QVERIFY(!dialog.findChild<QScrollBar*>("ScrollBar1")->isVisible());
  // A click where a hidden cell would be selects nothing.
  dialog.ClickCell(9);
  QCOMPARE(dialog.ItemIndex(), -1);
}

void TransTypeDialogTest::confirmingWithoutAClickGivesNone() {
  TTransTypeDialog dialog;
  const int result = RunWith(dialog, [&] {
    QVERIFY(!Frame(dialog)->isVisible());
    QTest::mouseClick(Button(dialog, "ButtonOK"), Qt::LeftButton);
  });
  QCOMPARE(result, int(QDialog::Accepted));
  QCOMPARE(dialog.ItemIndex(), -1);
  QVERIFY(rw::TransitionKinds::MakeByIndex(dialog.ItemIndex())->Length() == 0);
  QVERIFY(!rw::TransitionKinds::MakeByIndex(dialog.ItemIndex()).IsPresent());
}

void TransTypeDialogTest::selectionSurvivesClosingAndReopening() {
  TTransTypeDialog dialog;
  int result = RunWith(dialog, [&] {
    QTest::mouseClick(Cell(dialog, 3), Qt::LeftButton, {}, QPoint(40, 30));
    QVERIFY(Frame(dialog)->isVisible());
    QCOMPARE(Frame(dialog)->pos(), Cell(dialog, 3)->pos() - QPoint(2, 2));
    Screenshot(dialog, "TransTypeDialogSelected.png");
    QTest::mouseClick(Button(dialog, "ButtonOK"), Qt::LeftButton);
  });
  QCOMPARE(result, int(QDialog::Accepted));
  QCOMPARE(dialog.ItemIndex(), 2);

  // Reopened: the frame is back at the selected cell; a double click changes nothing.
  result = RunWith(dialog, [&] {
    QVERIFY(Frame(dialog)->isVisible());
    QCOMPARE(Frame(dialog)->pos(), Cell(dialog, 3)->pos() - QPoint(2, 2));
    QTest::mouseDClick(Cell(dialog, 5), Qt::LeftButton, {}, QPoint(40, 30));
    QTest::mouseClick(Cell(dialog, 7), Qt::LeftButton, {}, QPoint(40, 30));
    QCOMPARE(Frame(dialog)->pos(), Cell(dialog, 7)->pos() - QPoint(2, 2));
    QTest::mouseClick(Button(dialog, "ButtonCancel"), Qt::LeftButton);
  });
  QCOMPARE(result, int(QDialog::Rejected));
  QCOMPARE(dialog.ItemIndex(), 6);

  result = RunWith(dialog, [&] { QTest::mouseClick(Button(dialog, "ButtonOK"), Qt::LeftButton); });
  QCOMPARE(result, int(QDialog::Accepted));
  QCOMPARE(dialog.ItemIndex(), 6);
  QCOMPARE(rw::TransitionKinds::MakeByIndex(dialog.ItemIndex()).Keyword(), rw::TransitionKinds::Keyword(6));
}

void TransTypeDialogTest::animationRunsOnlyWhileActive() {
  TTransTypeDialog dialog;
  QVERIFY(!dialog.AnimationRunning());
  bool running = false;
  int ticked = 0;
  RunWith(dialog, [&] {
    QTRY_VERIFY(dialog.isActiveWindow());
    running = dialog.AnimationRunning();
    const int start = dialog.Cells().Tick();
    QTest::qWait(200);
    ticked = dialog.Cells().Tick() - start;
    // Another window taking the focus stops it.
    QWidget other;
    other.show();
    other.activateWindow();
    QTRY_VERIFY(!dialog.isActiveWindow());
    QVERIFY(!dialog.AnimationRunning());
    other.close();
    dialog.reject();
  });
  QVERIFY(running);
  QVERIFY2(ticked >= 2, qPrintable(QString::number(ticked)));
  QVERIFY(!dialog.AnimationRunning());
}

void TransTypeDialogTest::cellsShowTheTransitionsOwnPreviewFrames() {
  TTransTypeDialog dialog;
  dialog.show();
  const QImage outgoing = rw::dialogs::PickerPaintBox::ImageOf(dialog.Cells().Outgoing());
  const QImage incoming = rw::dialogs::PickerPaintBox::ImageOf(dialog.Cells().Incoming());
  QVERIFY(outgoing != incoming);
  QCOMPARE(dialog.Cells().Tick(), 0);
  dialog.AnimationTick(); // frame 0 of every transition
  // Each cell holds exactly the transition's own 15-frame preview render.
  for (int kind = 0; kind < 7; ++kind) {
    rw::VideoTransition own = rw::TransitionKinds::MakeByIndex(kind);
    own.SetLength(15);
    rw::DIB expected;
    expected.Create(80, 60);
    QVERIFY(own.RenderQuick(expected, dialog.Cells().Outgoing(), dialog.Cells().Incoming(), 0));
    QCOMPARE(dialog.CellImage(kind), rw::dialogs::PickerPaintBox::ImageOf(expected));
  }
  // On screen, the left-to-right wipe has uncovered 5 of the 80 columns.
  const QImage shown = Cell(dialog, 1)->grab().toImage().convertToFormat(QImage::Format_RGB888);
  const QImage in = incoming.convertToFormat(QImage::Format_RGB888);
  const QImage out = outgoing.convertToFormat(QImage::Format_RGB888);
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 80; ++x)
      QCOMPARE(shown.pixel(x, y), (x < 5 ? in : out).pixel(x, y));

  // Mid-way through the cycle.
  for (int i = 0; i < 7; ++i)
    dialog.AnimationTick();
  dialog.ClickCell(4);
  Screenshot(dialog, "TransTypeDialog.png");
  // After the transition frames the incoming picture stays for the rest of the cycle.
  while (dialog.Cells().Tick() != 16)
    dialog.AnimationTick();
  QCOMPARE(dialog.CellImage(6), incoming);
}

QTEST_MAIN(TransTypeDialogTest)
#include "TransTypeDialogTest.moc"
