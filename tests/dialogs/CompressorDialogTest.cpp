#include "dialogs/DialogEditDialogs.h"
#include "dialogs/TCompressorDialog.h"
#include "dialogs/TVideoTypeDialog.h"
#include "media/ColormatClip.h"
#include "media/MediaContext.h"
#include "output/CompressorCatalogue.h"
#include "project/ProjectFile.h"
#include "project/VideoProject.h"
#include "tests/support/TempDir.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTimer>
#include <QtTest>

#include "tests/dialogs/DialogTestSupport.h"

using rw::CompressorCatalogue;
using rw::OutputInfo;
using rw::dialogs::TCompressorDialog;

namespace {

using rw::dialogs::test::CloseWhenDone;
using rw::dialogs::test::Find;

QComboBox* List(TCompressorDialog& d) {
  return Find<QComboBox>(d, "ComboCompressor");
}

std::uint32_t Code(const char* text) {
  return *CompressorCatalogue::ParseCode(text);
}

int RowOf(TCompressorDialog& dialog, const char* code) {
  const auto& rows = dialog.Choice().Rows();
  for (std::size_t i = 0; i < rows.size(); ++i)
    if (rows[i].code == Code(code))
      return static_cast<int>(i);
  return -1;
}

OutputInfo WithCode(const char* code) {
  OutputInfo info;
  info.Compress().fccHandler = Code(code);
  info.Compress().dwQuality = 7500;
  return info;
}

void Screenshot(QWidget& widget, const QString& name) {
  QDir().mkpath(RW_SCREENSHOT_DIR);
  QVERIFY(widget.grab().save(QString(RW_SCREENSHOT_DIR) + "/" + name));
}

struct Project {
  rw::MessageText messages;
  rw::FixedPrompt prompt;
  rw::MediaContext context{messages, prompt};
  rw::VideoProject project{context};
};

} // namespace

class CompressorDialogTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase();
  void namesAndTexts();
  void listsExactlyTheWorkingCompressors();
  void controlsFollowTheChosenCompressor();
  void unavailableCodeIsPointedOut();
  void cancelChangesNothing();
  void confirmedChoiceIsSavedAndReadBack();

private:
  CompressorCatalogue catalogue_;
};

void CompressorDialogTest::initTestCase() {
  QVERIFY(!catalogue_.Entries().empty());
}

void CompressorDialogTest::namesAndTexts() {
  TCompressorDialog dialog(catalogue_);
  QCOMPARE(dialog.objectName(), QString("CompressorDialog"));
  QCOMPARE(dialog.windowTitle(), QString("ビデオの圧縮"));
  QCOMPARE(Find<QPushButton>(dialog, "ButtonOK")->text(), QString("OK"));
  QVERIFY(Find<QPushButton>(dialog, "ButtonOK")->isDefault());
  QCOMPARE(Find<QPushButton>(dialog, "ButtonCancel")->text(), QString("キャンセル"));
  QCOMPARE(Find<QCheckBox>(dialog, "CheckKeyFrame")->text(), QString("キーフレーム"));
  QCOMPARE(Find<QCheckBox>(dialog, "CheckDataRate")->text(), QString("データレート"));
  QCOMPARE(Find<QSlider>(dialog, "SliderQuality")->maximum(), 100);
}

void CompressorDialogTest::listsExactlyTheWorkingCompressors() {
  TCompressorDialog dialog(catalogue_);
  dialog.Load(WithCode("mjpg"));
  const auto& entries = catalogue_.Entries();
  QCOMPARE(List(dialog)->count(), static_cast<int>(entries.size()));
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const QString text = List(dialog)->itemText(static_cast<int>(i));
    QVERIFY2(text.contains(QString::fromUtf8(entries[i]->description.data(),
                                             static_cast<qsizetype>(entries[i]->description.size()))),
             qPrintable(text));
    QVERIFY2(text.contains(QString::fromStdString(rw::view::CompressorChoice::CodeLabel(entries[i]->code))),
             qPrintable(text));
  }
  // The present code is selected (letter case ignored).
  QCOMPARE(List(dialog)->currentIndex(), RowOf(dialog, "MJPG"));
  QVERIFY(List(dialog)->currentText().contains("MJPG"));
  // Loading again with another code moves the selection without listing twice.
  dialog.Load(WithCode("FFV1"));
  QCOMPARE(List(dialog)->count(), static_cast<int>(entries.size()));
  QCOMPARE(List(dialog)->currentIndex(), RowOf(dialog, "FFV1"));
  QVERIFY(!Find<QLabel>(dialog, "LabelNotice")->isVisibleTo(&dialog));
}

void CompressorDialogTest::controlsFollowTheChosenCompressor() {
  TCompressorDialog dialog(catalogue_);
  dialog.Load(WithCode("FMP4"));
  dialog.show();
  auto* quality = Find<QSlider>(dialog, "SliderQuality");
  auto* keyFrames = Find<QCheckBox>(dialog, "CheckKeyFrame");
  auto* keyFrameEvery = Find<QSpinBox>(dialog, "EditKeyFrame");
  auto* dataRate = Find<QCheckBox>(dialog, "CheckDataRate");
  auto* kilobytes = Find<QSpinBox>(dialog, "EditDataRate");
  for (std::size_t i = 0; i < catalogue_.Entries().size(); ++i) {
    List(dialog)->setCurrentIndex(static_cast<int>(i));
    const rw::CompressorInfo& info = *catalogue_.Entries()[i];
    QCOMPARE(quality->isEnabled(), info.quality);
    QCOMPARE(keyFrames->isEnabled(), info.keyFrames);
    QCOMPARE(dataRate->isEnabled(), info.dataRate);
  }
  List(dialog)->setCurrentIndex(RowOf(dialog, "FMP4"));
  // The number fields are usable only with their box checked.
  QVERIFY(!keyFrameEvery->isEnabled());
  QTest::mouseClick(keyFrames, Qt::LeftButton);
  QVERIFY(keyFrameEvery->isEnabled());
  QVERIFY(!kilobytes->isEnabled());
  QTest::mouseClick(dataRate, Qt::LeftButton);
  QVERIFY(kilobytes->isEnabled());
  Screenshot(dialog, "CompressorDialog.png");
}

void CompressorDialogTest::unavailableCodeIsPointedOut() {
  TCompressorDialog dialog(catalogue_);
  dialog.Load(WithCode("XVID"));
  dialog.show();
  QLabel* notice = Find<QLabel>(dialog, "LabelNotice");
  QVERIFY(notice->isVisible());
  QVERIFY2(notice->text().contains("'XVID'"), qPrintable(notice->text()));
  QCOMPARE(List(dialog)->currentIndex(), 0);
  Screenshot(dialog, "CompressorDialogNotice.png");
}

void CompressorDialogTest::cancelChangesNothing() {
  TCompressorDialog dialog(catalogue_);
  OutputInfo settings = WithCode("MJPG");
  settings.Compress().dwQuality = 1234;
  const OutputInfo before = settings;
  QTimer::singleShot(0, &dialog, [&] {
    CloseWhenDone done{dialog};
    List(dialog)->setCurrentIndex(RowOf(dialog, "DIB "));
    Find<QSlider>(dialog, "SliderQuality")->setValue(3);
    Find<QPushButton>(dialog, "ButtonCancel")->click();
  });
  QVERIFY(!dialog.Choose(settings));
  QCOMPARE(settings, before);
}

void CompressorDialogTest::confirmedChoiceIsSavedAndReadBack() {
  rw::test::TempDir folder;
  rw::dialogs::TVideoTypeDialog format;
  TCompressorDialog compressor(catalogue_);
  rw::dialogs::DialogEditDialogs dialogs(format, compressor);

  Project saved;
  QVERIFY(saved.project.AppendClip(rw::VideoClip::Make<rw::ColormatClip>(10, 20, 30)));
  if (!catalogue_.Find(Code("FMP4")))
    QSKIP("this libavcodec has no MPEG-4 encoder");
  QTimer::singleShot(0, &compressor, [&] {
    CloseWhenDone done{compressor};
    QCOMPARE(List(compressor)->currentIndex(), 0); // no code yet: the first
    List(compressor)->setCurrentIndex(RowOf(compressor, "FMP4"));
    Find<QSlider>(compressor, "SliderQuality")->setValue(40);
    Find<QCheckBox>(compressor, "CheckKeyFrame")->click();
    Find<QSpinBox>(compressor, "EditKeyFrame")->setValue(15);
    Find<QPushButton>(compressor, "ButtonOK")->click();
  });
  QVERIFY(saved.project.ChooseCompressor(dialogs));
  const rw::CompressOptions chosen = saved.project.List().Output().Compress();
  QCOMPARE(chosen.fccHandler, Code("FMP4"));
  QCOMPARE(chosen.dwQuality, 4000u);
  QCOMPARE(chosen.dwKeyFrameEvery, 15u);
  QVERIFY(chosen.dwFlags & 0x4);
  QVERIFY(saved.project.CanUndo());

  const std::filesystem::path file = folder / "chosen.rwe";
  QVERIFY2(rw::ProjectFile::Save(saved.project, file), saved.messages.Get().c_str());
  Project read;
  QVERIFY2(rw::ProjectFile::Open(read.project, file, 0, 0), read.messages.Get().c_str());
  const rw::CompressOptions back = read.project.List().Output().Compress();
  QCOMPARE(back.fccHandler, chosen.fccHandler);
  QCOMPARE(back.dwQuality, chosen.dwQuality);
  QCOMPARE(back.dwKeyFrameEvery, chosen.dwKeyFrameEvery);
  QCOMPARE(back.dwFlags, chosen.dwFlags);
  QCOMPARE(back.dwBytesPerSecond, chosen.dwBytesPerSecond);

  // Opened on the project read back, the dialog shows the stored choice.
  int shownRow = -1, shownQuality = -1;
  QTimer::singleShot(0, &compressor, [&] {
    CloseWhenDone done{compressor};
    shownRow = List(compressor)->currentIndex();
    shownQuality = Find<QSlider>(compressor, "SliderQuality")->value();
    Find<QPushButton>(compressor, "ButtonCancel")->click();
  });
  QVERIFY(!read.project.ChooseCompressor(dialogs));
  QCOMPARE(shownRow, RowOf(compressor, "FMP4"));
  QCOMPARE(shownQuality, 40);
  QVERIFY(!read.project.CanUndo());
}

QTEST_MAIN(CompressorDialogTest)
#include "CompressorDialogTest.moc"
