#include "dialogs/TCompressorDialog.h"

#include "dialogs/DialogScreen.h"
#include "dialogs/WindowFont.h"
#include "output/CompressorCatalogue.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

namespace rw::dialogs {
namespace {

using Model = view::CompressorChoice;

template <class Widget> Widget* Named(Widget* widget, const char* name) {
  widget->setObjectName(name);
  return widget;
}

} // namespace

TCompressorDialog::TCompressorDialog(CompressorCatalogue& catalogue, QWidget* parent)
    : QDialog(parent), catalogue_(catalogue),
      choice_(std::make_unique<Model>(std::vector<const CompressorInfo*>{})) {
  setObjectName("CompressorDialog");
  setWindowTitle("ビデオの圧縮");
  setFont(WindowFont::Make());

  list_ = Named(new QComboBox(this), "ComboCompressor");
  list_->setMinimumWidth(260);
  connect(list_, &QComboBox::currentIndexChanged, this, &TCompressorDialog::SelectRow);
  notice_ = Named(new QLabel(this), "LabelNotice");
  notice_->setWordWrap(true);

  quality_ = Named(new QSlider(Qt::Horizontal, this), "SliderQuality");
  quality_->setRange(0, 100);
  quality_->setPageStep(10);
  qualityValue_ = Named(new QLabel(this), "LabelQuality");
  qualityValue_->setMinimumWidth(28);
  qualityValue_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  connect(quality_, &QSlider::valueChanged, this, &TCompressorDialog::TakeControls);

  keyFrames_ = Named(new QCheckBox("キーフレーム", this), "CheckKeyFrame");
  keyFrameEvery_ = Named(new QSpinBox(this), "EditKeyFrame");
  keyFrameEvery_->setRange(1, Model::kMaxKeyFrameEvery);
  connect(keyFrames_, &QCheckBox::toggled, this, &TCompressorDialog::TakeControls);
  connect(keyFrameEvery_, &QSpinBox::valueChanged, this, &TCompressorDialog::TakeControls);
  dataRate_ = Named(new QCheckBox("データレート", this), "CheckDataRate");
  kilobytes_ = Named(new QSpinBox(this), "EditDataRate");
  kilobytes_->setRange(1, Model::kMaxKilobytesPerSecond);
  connect(dataRate_, &QCheckBox::toggled, this, &TCompressorDialog::TakeControls);
  connect(kilobytes_, &QSpinBox::valueChanged, this, &TCompressorDialog::TakeControls);

  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel("圧縮の品質:", this), 0, 0);
  grid->addWidget(quality_, 0, 1);
  grid->addWidget(qualityValue_, 0, 2);
  grid->addWidget(keyFrames_, 1, 0);
  grid->addWidget(keyFrameEvery_, 1, 1);
  grid->addWidget(new QLabel("フレームごと", this), 1, 2);
  grid->addWidget(dataRate_, 2, 0);
  grid->addWidget(kilobytes_, 2, 1);
  grid->addWidget(new QLabel("KB/秒", this), 2, 2);

  ok_ = Named(new QPushButton("OK", this), "ButtonOK");
  ok_->setDefault(true);
  connect(ok_, &QPushButton::clicked, this, &TCompressorDialog::Confirm);
  auto* cancel = Named(new QPushButton("キャンセル", this), "ButtonCancel");
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok_);
  buttons->addWidget(cancel);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel("圧縮プログラム:", this));
  layout->addWidget(list_);
  layout->addWidget(notice_);
  layout->addSpacing(4);
  layout->addLayout(grid);
  layout->addSpacing(4);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  notice_->hide();
}

TCompressorDialog::~TCompressorDialog() = default;

bool TCompressorDialog::Choose(OutputInfo& settings) {
  Load(settings);
  if (exec() != QDialog::Accepted)
    return false;
  settings = settings_;
  return true;
}

void TCompressorDialog::Load(const OutputInfo& settings) {
  settings_ = settings;
  if (list_->count() == 0) {
    // The first use tries every compressor, which takes a moment.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    choice_ = std::make_unique<Model>(catalogue_.Entries());
    QApplication::restoreOverrideCursor();
  }
  choice_->Load(settings_.Compress());

  filling_ = true;
  if (list_->count() == 0)
    for (const Model::Row& row : choice_->Rows())
      list_->addItem(QString::fromStdString(row.text));
  list_->setCurrentIndex(choice_->Selected());
  const Model::Controls& values = choice_->Values();
  quality_->setValue(values.quality);
  keyFrames_->setChecked(values.keyFramesOn);
  keyFrameEvery_->setValue(values.keyFrameEvery);
  dataRate_->setChecked(values.dataRateOn);
  kilobytes_->setValue(values.kilobytesPerSecond);
  filling_ = false;

  notice_->setText(QString::fromStdString(choice_->Notice()));
  notice_->setVisible(!choice_->Notice().empty());
  TakeControls();
}

void TCompressorDialog::SelectRow(int row) {
  if (filling_)
    return;
  choice_->Select(row);
  EnableControls();
}

void TCompressorDialog::TakeControls() {
  if (filling_)
    return;
  Model::Controls& values = choice_->Values();
  values.quality = quality_->value();
  values.keyFramesOn = keyFrames_->isChecked();
  values.keyFrameEvery = keyFrameEvery_->value();
  values.dataRateOn = dataRate_->isChecked();
  values.kilobytesPerSecond = kilobytes_->value();
  qualityValue_->setText(QString::number(values.quality));
  EnableControls();
}

void TCompressorDialog::EnableControls() {
  quality_->setEnabled(choice_->QualityEnabled());
  qualityValue_->setEnabled(choice_->QualityEnabled());
  keyFrames_->setEnabled(choice_->KeyFramesEnabled());
  keyFrameEvery_->setEnabled(choice_->KeyFramesEnabled() && keyFrames_->isChecked());
  dataRate_->setEnabled(choice_->DataRateEnabled());
  kilobytes_->setEnabled(choice_->DataRateEnabled() && dataRate_->isChecked());
  ok_->setEnabled(choice_->Selected() >= 0);
}

void TCompressorDialog::Confirm() {
  if (choice_->Selected() < 0)
    return;
  OutputInfo confirmed = settings_;
  confirmed.SetCompress(choice_->Apply(settings_.Compress()));
  settings_ = confirmed;
  accept();
}

void TCompressorDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  DialogScreen::MoveToCentre(*this);
}

} // namespace rw::dialogs
