#pragma once

#include "output/settings/OutputInfo.h"
#include "view/OutputFormatForm.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace rw::dialogs {

// "画像出力形式の設定": the movie's frame size (CSizeX, CSizeY), whether and in which format its
// sound is written (CheckAudio, the rate, bit and channel buttons) and recompression
// (CheckRecompress). Made once and reused. Edit runs it on a copy of the settings and gives the
// copy back only on confirmation; a size that is not a whole number is pointed out and the
// dialog stays open.
class TVideoTypeDialog : public QDialog {
  Q_OBJECT

public:
  explicit TVideoTypeDialog(QWidget* parent = nullptr);

  // Shows the settings modally; true with `settings` replaced when the user confirmed.
  bool Edit(OutputInfo& settings);

  // The steps of Edit, for callers that show the dialog themselves: take a copy and fill the
  // controls; after exec() answers Accepted, the confirmed settings.
  void Load(const OutputInfo& settings);
  const OutputInfo& Settings() const { return settings_; }
  // What ButtonOK does: takes the controls into the copy and closes, or tells the user which size
  // edit holds no whole number and stays open. Answers whether it closed.
  bool Confirm();

protected:
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;

private:
  view::OutputFormatForm::Fields Fields() const;
  void EnableAudioButtons();

  OutputInfo settings_;
  QLineEdit* sizeX_ = nullptr;
  QLineEdit* sizeY_ = nullptr;
  QCheckBox* audio_ = nullptr;
  std::array<QRadioButton*, view::OutputFormatForm::kRates.size()> rates_{};
  QRadioButton* bit16_ = nullptr;
  QRadioButton* bit8_ = nullptr;
  QRadioButton* chan2_ = nullptr;
  QRadioButton* chan1_ = nullptr;
  QCheckBox* recompress_ = nullptr;
};

} // namespace rw::dialogs
