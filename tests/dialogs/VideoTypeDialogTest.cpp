#include "dialogs/DialogEditDialogs.h"
#include "dialogs/TCompressorDialog.h"
#include "dialogs/TVideoTypeDialog.h"
#include "media/ColormatClip.h"
#include "media/MediaContext.h"
#include "media/VideoClipKinds.h"
#include "output/CompressorCatalogue.h"
#include "project/VideoProject.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestAvi.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

#include "tests/dialogs/DialogTestSupport.h"

using rw::OutputInfo;
using rw::dialogs::TVideoTypeDialog;

namespace {

using rw::dialogs::test::CloseWhenDone;
using rw::dialogs::test::Find;

QLineEdit* SizeX(TVideoTypeDialog& d) {
  return Find<QLineEdit>(d, "CSizeX");
}
QLineEdit* SizeY(TVideoTypeDialog& d) {
  return Find<QLineEdit>(d, "CSizeY");
}
void Click(TVideoTypeDialog& d, const char* name) {
  Find<QAbstractButton>(d, name)->click();
}

const char* const kAudioButtons[] = {"Rate44", "Rate22", "Rate11", "Rate48", "Rate32",
                                     "Bit16",  "Bit8",   "Chan2",  "Chan1"};

int EnabledAudioButtons(TVideoTypeDialog& d) {
  int enabled = 0;
  for (const char* name : kAudioButtons)
    enabled += Find<QRadioButton>(d, name)->isEnabled() ? 1 : 0;
  return enabled;
}

OutputInfo Sample() {
  OutputInfo info;
  info.SetVideoWidth(320);
  info.SetVideoHeight(240);
  info.SetAudioRate(22050);
  info.SetAudioBits(8);
  info.SetAudioChannels(1);
  info.SetAudioOut(false);
  return info;
}

void Screenshot(QWidget& widget, const QString& name) {
  QDir().mkpath(RW_SCREENSHOT_DIR);
  QVERIFY(widget.grab().save(QString(RW_SCREENSHOT_DIR) + "/" + name));
}

// A project over real media, edited through the dialogs as the window does it.
struct Project {
  rw::MessageText messages;
  rw::FixedPrompt prompt;
  rw::MediaContext context{messages, prompt};
  rw::VideoProject project{context};
};

} // namespace

class VideoTypeDialogTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() { rw::test::QuietMediaLibraries(); }
  void namesAndTexts();
  void fillAndAudioButtons();
  void confirmationGoesThroughTheSetters();
  void freshProjectShowsTheFirstMovieCutsSize();
  void tooLargeWidthKeepsTheOldOne();
  void cancelChangesNothing();
  void widthThatIsNoNumberKeepsTheDialogOpen();
};

void VideoTypeDialogTest::namesAndTexts() {
  TVideoTypeDialog dialog;
  QCOMPARE(dialog.objectName(), QString("VideoTypeDialog"));
  QCOMPARE(dialog.windowTitle(), QString("画像出力形式の設定"));
  const QList<std::pair<const char*, QString>> texts = {{"CheckAudio", "オーディオを出力を行う"},
                                                        {"Rate44", "44kHz"},
                                                        {"Rate22", "22kHz"},
                                                        {"Rate11", "11kHz"},
                                                        {"Rate48", "48kHz"},
                                                        {"Rate32", "32kHz"},
                                                        {"Bit16", "16bit"},
                                                        {"Bit8", " 8bit"},
                                                        {"Chan2", "ステレオ"},
                                                        {"Chan1", "モノラル"},
                                                        {"CheckRecompress", "ムービーの再圧縮を行う"},
                                                        {"ButtonOK", "設定"},
                                                        {"ButtonCancel", "キャンセル"}};
  for (const auto& [name, text] : texts)
    QCOMPARE(Find<QAbstractButton>(dialog, name)->text(), text);
  QVERIFY(Find<QPushButton>(dialog, "ButtonOK")->isDefault());
  for (const char* group : {"GroupRate", "GroupBit", "GroupChannel"})
    QVERIFY(Find<QGroupBox>(dialog, group));
  QStringList labels;
  for (QLabel* label : dialog.findChildren<QLabel*>())
    labels << label->text();
  QVERIFY(labels.contains("画像解像度") && labels.contains("横") && labels.contains("縦"));
}

void VideoTypeDialogTest::fillAndAudioButtons() {
  TVideoTypeDialog dialog;
  dialog.Load(Sample());
  dialog.show();
  QCOMPARE(SizeX(dialog)->text(), QString("320"));
  QCOMPARE(SizeY(dialog)->text(), QString("240"));
  QVERIFY(!Find<QCheckBox>(dialog, "CheckAudio")->isChecked());
  QVERIFY(Find<QRadioButton>(dialog, "Rate22")->isChecked());
  QVERIFY(Find<QRadioButton>(dialog, "Bit8")->isChecked());
  QVERIFY(Find<QRadioButton>(dialog, "Chan1")->isChecked());
  QVERIFY(!Find<QCheckBox>(dialog, "CheckRecompress")->isChecked());
  QCOMPARE(EnabledAudioButtons(dialog), 0);
  Click(dialog, "CheckAudio");
  QCOMPARE(EnabledAudioButtons(dialog), 9);
  Screenshot(dialog, "VideoTypeDialog.png");
  Click(dialog, "CheckAudio");
  QCOMPARE(EnabledAudioButtons(dialog), 0);
  // Loading other settings refills every control.
  dialog.Load(OutputInfo());
  QCOMPARE(SizeX(dialog)->text(), QString("0"));
  QVERIFY(Find<QRadioButton>(dialog, "Rate44")->isChecked());
  QVERIFY(Find<QRadioButton>(dialog, "Bit16")->isChecked());
  QVERIFY(Find<QRadioButton>(dialog, "Chan2")->isChecked());
  QCOMPARE(EnabledAudioButtons(dialog), 9);
}

void VideoTypeDialogTest::confirmationGoesThroughTheSetters() {
  TVideoTypeDialog dialog;
  OutputInfo settings = Sample();
  QTimer::singleShot(0, &dialog, [&] {
    CloseWhenDone done{dialog};
    SizeX(dialog)->setText("640");
    SizeY(dialog)->setText("480");
    Click(dialog, "CheckAudio");
    Click(dialog, "Rate48");
    Click(dialog, "Bit16");
    Click(dialog, "Chan2");
    Click(dialog, "CheckRecompress");
    Click(dialog, "ButtonOK");
  });
  QVERIFY(dialog.Edit(settings));
  QCOMPARE(settings.VideoWidth(), 640);
  QCOMPARE(settings.VideoHeight(), 480);
  QVERIFY(settings.AudioOut());
  QCOMPARE(settings.AudioRate(), 48000);
  QCOMPARE(settings.AudioBits(), 16);
  QCOMPARE(settings.AudioChannels(), 2);
  QVERIFY(settings.Recompress());
  QCOMPARE(settings.Compress(), Sample().Compress());
}

void VideoTypeDialogTest::freshProjectShowsTheFirstMovieCutsSize() {
  rw::test::TempDir folder;
  rw::test::TestAviOptions options;
  options.width = 160;
  options.height = 120;
  QVERIFY(rw::test::WriteTestAvi(folder / "cut.avi", options));

  TVideoTypeDialog format;
  rw::CompressorCatalogue catalogue;
  rw::dialogs::TCompressorDialog compressor(catalogue);
  rw::dialogs::DialogEditDialogs dialogs(format, compressor);

  Project movieFirst;
  const rw::VideoClip cut = rw::VideoClipKinds::OpenFile(folder / "cut.avi", movieFirst.context);
  QVERIFY(!cut.IsNull() && cut->IsValid());
  QVERIFY(movieFirst.project.AppendClip(cut));
  QVERIFY(movieFirst.project.AppendClip(rw::VideoClip::Make<rw::ColormatClip>(1, 2, 3)));
  QString shown;
  QTimer::singleShot(0, &format, [&] {
    CloseWhenDone done{format};
    shown = SizeX(format)->text() + "x" + SizeY(format)->text();
    Click(format, "ButtonOK");
  });
  QVERIFY(movieFirst.project.SetOutputFormat(dialogs));
  QCOMPARE(shown, QString("160x120"));
  QCOMPARE(movieFirst.project.List().Output().VideoWidth(), 160);
  QVERIFY(movieFirst.project.CanUndo());

  Project matFirst;
  QVERIFY(matFirst.project.AppendClip(rw::VideoClip::Make<rw::ColormatClip>(1, 2, 3)));
  QVERIFY(matFirst.project.AppendClip(rw::VideoClipKinds::OpenFile(folder / "cut.avi", matFirst.context)));
  QTimer::singleShot(0, &format, [&] {
    CloseWhenDone done{format};
    shown = SizeX(format)->text() + "x" + SizeY(format)->text();
    Click(format, "ButtonCancel");
  });
  QVERIFY(!matFirst.project.SetOutputFormat(dialogs));
  QCOMPARE(shown, QString("0x0"));
}

void VideoTypeDialogTest::tooLargeWidthKeepsTheOldOne() {
  TVideoTypeDialog dialog;
  OutputInfo settings = Sample();
  QTimer::singleShot(0, &dialog, [&] {
    CloseWhenDone done{dialog};
    SizeX(dialog)->setText("5000");
    SizeY(dialog)->setText("4096");
    Click(dialog, "ButtonOK");
  });
  QVERIFY(dialog.Edit(settings));
  QCOMPARE(settings.VideoWidth(), 320);
  QCOMPARE(settings.VideoHeight(), 4096);
}

void VideoTypeDialogTest::cancelChangesNothing() {
  TVideoTypeDialog dialog;
  OutputInfo settings = Sample();
  QTimer::singleShot(0, &dialog, [&] {
    CloseWhenDone done{dialog};
    SizeX(dialog)->setText("640");
    Click(dialog, "CheckAudio");
    Click(dialog, "Rate48");
    Click(dialog, "CheckRecompress");
    Click(dialog, "ButtonCancel");
  });
  QVERIFY(!dialog.Edit(settings));
  QCOMPARE(settings, Sample());
  // Closing the window is a cancel too.
  QTimer::singleShot(0, &dialog, [&] {
    CloseWhenDone done{dialog};
    SizeX(dialog)->setText("800");
    dialog.close();
  });
  QVERIFY(!dialog.Edit(settings));
  QCOMPARE(settings, Sample());
}

void VideoTypeDialogTest::widthThatIsNoNumberKeepsTheDialogOpen() {
  TVideoTypeDialog dialog;
  OutputInfo settings = Sample();
  QString caption, text;
  bool openAfterMessage = false;
  QTimer::singleShot(0, &dialog, [&] {
    CloseWhenDone done{dialog};
    SizeX(dialog)->setText("64O"); // a letter O
    SizeY(dialog)->setText("480");
    QTimer::singleShot(0, &dialog, [&] {
      QWidget* modal = QApplication::activeModalWidget();
      if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        caption = box->windowTitle();
        text = box->text();
        Screenshot(*box, "VideoTypeDialogMessage.png");
      }
      if (modal)
        modal->close();
    });
    Click(dialog, "ButtonOK");
    openAfterMessage = dialog.isVisible();
    // Nothing was taken: the height typed beside it neither.
    QCOMPARE(dialog.Settings(), Sample());
    QCOMPARE(dialog.focusWidget(), SizeX(dialog));
    SizeX(dialog)->setText("640");
    Click(dialog, "ButtonOK");
  });
  QVERIFY(dialog.Edit(settings));
  QCOMPARE(caption, QString("Reelwright"));
  QVERIFY2(text.contains("横") && text.contains("64O"), qPrintable(text));
  QVERIFY(openAfterMessage);
  QCOMPARE(settings.VideoWidth(), 640);
  QCOMPARE(settings.VideoHeight(), 480);

  // The height edit is named the same way.
  QTimer::singleShot(0, &dialog, [&] {
    CloseWhenDone done{dialog};
    SizeY(dialog)->setText("");
    QTimer::singleShot(0, &dialog, [&] {
      QWidget* modal = QApplication::activeModalWidget();
      if (auto* box = qobject_cast<QMessageBox*>(modal))
        text = box->text();
      if (modal)
        modal->close();
    });
    Click(dialog, "ButtonOK");
    Click(dialog, "ButtonCancel");
  });
  QVERIFY(!dialog.Edit(settings));
  QVERIFY2(text.contains("縦"), qPrintable(text));
  QCOMPARE(settings.VideoHeight(), 480);
}

QTEST_MAIN(VideoTypeDialogTest)
#include "VideoTypeDialogTest.moc"
