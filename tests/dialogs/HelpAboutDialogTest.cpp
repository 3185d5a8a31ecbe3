#include "dialogs/THelpAboutDialog.h"

#include <QDir>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <QtTest>

using rw::dialogs::THelpAboutDialog;

class HelpAboutDialogTest : public QObject {
  Q_OBJECT

private slots:
  void showsNameVersionAndLibraries();
  void okClosesItAndItIsCentred();
};

void HelpAboutDialogTest::showsNameVersionAndLibraries() {
  THelpAboutDialog dialog;
  QCOMPARE(dialog.objectName(), QString("HelpAboutDialog"));
  QCOMPARE(dialog.windowTitle(), QString("Reelwrightについて"));
  QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
  auto* label1 = dialog.findChild<QLabel*>("Label1");
  auto* label2 = dialog.findChild<QLabel*>("Label2");
  auto* button1 = dialog.findChild<QPushButton*>("Button1");
  QVERIFY(label1 != nullptr && label2 != nullptr && button1 != nullptr);
  QCOMPARE(label1->text(), QString("Reelwright(仮)  Version 0.9.0610"));
  QVERIFY(label2->text().contains(QString("Qt ") + qVersion()));
  QVERIFY(label2->text().contains("FFmpeg "));
  QVERIFY(!label2->text().contains('-')); // no distribution suffix
  QCOMPARE(button1->text(), QString("OK"));
  QVERIFY(button1->isDefault());

  // Every text fits its place; the lines are centred, one under the other, above the button.
  for (QLabel* label : {label1, label2}) {
    QVERIFY(label->alignment() & Qt::AlignHCenter);
    QVERIFY2(QFontMetrics(label->font()).horizontalAdvance(label->text()) <= label->width(),
             qPrintable(label->text()));
    QVERIFY(dialog.rect().contains(label->geometry()));
  }
  QVERIFY(label1->geometry().bottom() < label2->geometry().top());
  QVERIFY(label2->geometry().bottom() < button1->geometry().top());
  QVERIFY(dialog.rect().contains(button1->geometry()));

  QDir().mkpath(RW_SCREENSHOT_DIR);
  QVERIFY(dialog.grab().save(QString(RW_SCREENSHOT_DIR) + "/HelpAboutDialog.png"));
}

void HelpAboutDialogTest::okClosesItAndItIsCentred() {
  THelpAboutDialog dialog;
  QRect shownAt;
  QTimer::singleShot(50, &dialog, [&] {
    shownAt = dialog.frameGeometry();
    auto* button1 = dialog.findChild<QPushButton*>("Button1");
    QTest::mouseClick(dialog.windowHandle(), Qt::LeftButton, {}, button1->geometry().center());
  });
  QTimer::singleShot(3000, &dialog, [&] { dialog.reject(); });
  QCOMPARE(dialog.exec(), int(QDialog::Accepted));
  const QRect screen = dialog.screen()->geometry();
  QVERIFY(qAbs(shownAt.center().x() - screen.center().x()) <= 1);
  QVERIFY(qAbs(shownAt.center().y() - screen.center().y()) <= 1);

  // Return closes it too: OK is the default button.
  QTimer::singleShot(50, &dialog, [&] { QTest::keyClick(dialog.windowHandle(), Qt::Key_Return); });
  QCOMPARE(dialog.exec(), int(QDialog::Accepted));
}

QTEST_MAIN(HelpAboutDialogTest)
#include "HelpAboutDialogTest.moc"
