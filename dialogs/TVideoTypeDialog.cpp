#include "dialogs/TVideoTypeDialog.h"

#include "dialogs/DialogScreen.h"
#include "dialogs/WindowFont.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace rw::dialogs {
namespace {

using Form = view::OutputFormatForm;

constexpr std::array<const char*, Form::kRates.size()> kRateNames{"Rate44", "Rate22", "Rate11", "Rate48",
                                                                  "Rate32"};
constexpr std::array<const char*, Form::kRates.size()> kRateTexts{"44kHz", "22kHz", "11kHz", "48kHz",
                                                                  "32kHz"};

QRadioButton* Radio(const char* name, const char* text, QWidget* parent) {
  auto* button = new QRadioButton(text, parent);
  button->setObjectName(name);
  return button;
}

QLineEdit* SizeEdit(const char* name, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  edit->setFixedWidth(56);
  return edit;
}

} // namespace

TVideoTypeDialog::TVideoTypeDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("VideoTypeDialog");
  setWindowTitle("画像出力形式の設定");
  setFont(WindowFont::Make());

  auto* size = new QHBoxLayout;
  auto* sizeLabel = new QLabel("画像解像度", this);
  sizeLabel->setObjectName("LabelSize");
  size->addWidget(sizeLabel);
  size->addSpacing(8);
  size->addWidget(new QLabel("横", this));
  sizeX_ = SizeEdit("CSizeX", this);
  size->addWidget(sizeX_);
  size->addSpacing(8);
  size->addWidget(new QLabel("縦", this));
  sizeY_ = SizeEdit("CSizeY", this);
  size->addWidget(sizeY_);
  size->addStretch();

  audio_ = new QCheckBox("オーディオを出力を行う", this);
  audio_->setObjectName("CheckAudio");
  connect(audio_, &QCheckBox::toggled, this, &TVideoTypeDialog::EnableAudioButtons);

  auto* rateGroup = new QGroupBox("サンプリング周波数", this);
  rateGroup->setObjectName("GroupRate");
  auto* rateLayout = new QGridLayout(rateGroup);
  for (std::size_t i = 0; i < rates_.size(); ++i) {
    rates_[i] = Radio(kRateNames[i], kRateTexts[i], rateGroup);
    rateLayout->addWidget(rates_[i], static_cast<int>(i % 3), static_cast<int>(i / 3));
  }
  auto* bitGroup = new QGroupBox("ビット数", this);
  bitGroup->setObjectName("GroupBit");
  auto* bitLayout = new QVBoxLayout(bitGroup);
  bit16_ = Radio("Bit16", "16bit", bitGroup);
  bit8_ = Radio("Bit8", " 8bit", bitGroup);
  bitLayout->addWidget(bit16_);
  bitLayout->addWidget(bit8_);
  bitLayout->addStretch();
  auto* channelGroup = new QGroupBox("チャンネル", this);
  channelGroup->setObjectName("GroupChannel");
  auto* channelLayout = new QVBoxLayout(channelGroup);
  chan2_ = Radio("Chan2", "ステレオ", channelGroup);
  chan1_ = Radio("Chan1", "モノラル", channelGroup);
  channelLayout->addWidget(chan2_);
  channelLayout->addWidget(chan1_);
  channelLayout->addStretch();
  auto* groups = new QHBoxLayout;
  groups->addWidget(rateGroup);
  groups->addWidget(bitGroup);
  groups->addWidget(channelGroup);

  recompress_ = new QCheckBox("ムービーの再圧縮を行う", this);
  recompress_->setObjectName("CheckRecompress");

  auto* ok = new QPushButton("設定", this);
  ok->setObjectName("ButtonOK");
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &TVideoTypeDialog::Confirm);
  auto* cancel = new QPushButton("キャンセル", this);
  cancel->setObjectName("ButtonCancel");
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(size);
  layout->addSpacing(4);
  layout->addWidget(audio_);
  layout->addLayout(groups);
  layout->addWidget(recompress_);
  layout->addSpacing(4);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  Load(settings_);
}

bool TVideoTypeDialog::Edit(OutputInfo& settings) {
  Load(settings);
  if (exec() != QDialog::Accepted)
    return false;
  settings = settings_;
  return true;
}

void TVideoTypeDialog::Load(const OutputInfo& settings) {
  settings_ = settings;
  const Form::Fields fields = Form::Fill(settings_);
  sizeX_->setText(QString::fromStdString(fields.width));
  sizeY_->setText(QString::fromStdString(fields.height));
  audio_->setChecked(fields.audioOut);
  for (std::size_t i = 0; i < rates_.size(); ++i)
    rates_[i]->setChecked(fields.audioRate == Form::kRates[i]);
  bit16_->setChecked(fields.audioBits == 16);
  bit8_->setChecked(fields.audioBits == 8);
  chan2_->setChecked(fields.audioChannels == 2);
  chan1_->setChecked(fields.audioChannels == 1);
  recompress_->setChecked(fields.recompress);
  EnableAudioButtons();
}

Form::Fields TVideoTypeDialog::Fields() const {
  Form::Fields fields;
  fields.width = sizeX_->text().toStdString();
  fields.height = sizeY_->text().toStdString();
  fields.audioOut = audio_->isChecked();
  for (std::size_t i = 0; i < rates_.size(); ++i)
    if (rates_[i]->isChecked())
      fields.audioRate = Form::kRates[i];
  fields.audioBits = bit16_->isChecked() ? 16 : bit8_->isChecked() ? 8 : 0;
  fields.audioChannels = chan2_->isChecked() ? 2 : chan1_->isChecked() ? 1 : 0;
  fields.recompress = recompress_->isChecked();
  return fields;
}

bool TVideoTypeDialog::Confirm() {
  OutputInfo confirmed = settings_;
  const Form::Outcome outcome = Form::Apply(Fields(), confirmed);
  if (!outcome.Accepted()) {
    QMessageBox::warning(this, "Reelwright", QString::fromStdString(outcome.message));
    QLineEdit* edit = outcome.bad == Form::Field::Width ? sizeX_ : sizeY_;
    edit->setFocus();
    edit->selectAll();
    return false;
  }
  settings_ = confirmed;
  accept();
  return true;
}

void TVideoTypeDialog::EnableAudioButtons() {
  const bool enabled = Form::AudioButtonsEnabled(Fields());
  for (QRadioButton* button : rates_)
    button->setEnabled(enabled);
  for (QRadioButton* button : {bit16_, bit8_, chan2_, chan1_})
    button->setEnabled(enabled);
}

void TVideoTypeDialog::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow())
    EnableAudioButtons();
}

void TVideoTypeDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  DialogScreen::MoveToCentre(*this);
}

} // namespace rw::dialogs
