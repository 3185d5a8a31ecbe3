#pragma once

#include "output/settings/OutputInfo.h"
#include "view/CompressorChoice.h"

#include <QDialog>

#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSlider;
class QSpinBox;

namespace rw {
class CompressorCatalogue;
}

namespace rw::dialogs {

// "ビデオの圧縮": the compressor of the movie, chosen among the catalogue's working compressors
// (ComboCompressor), with its quality (SliderQuality), key-frame interval (CheckKeyFrame,
// EditKeyFrame) and data rate (CheckDataRate, EditDataRate), each usable only when the chosen
// compressor honours it. Made once and reused. Choose runs it on a copy of the settings and
// gives the copy back only on confirmation. The catalogue tries its compressors the first time
// the dialog is loaded.
class TCompressorDialog : public QDialog {
  Q_OBJECT

public:
  TCompressorDialog(CompressorCatalogue& catalogue, QWidget* parent = nullptr);
  ~TCompressorDialog() override;

  // Shows the settings modally; true with `settings` replaced when the user confirmed.
  bool Choose(OutputInfo& settings);

  // The steps of Choose, for callers that show the dialog themselves: take a copy and fill the
  // controls; after exec() answers Accepted, the confirmed settings.
  void Load(const OutputInfo& settings);
  const OutputInfo& Settings() const { return settings_; }
  const view::CompressorChoice& Choice() const { return *choice_; }

protected:
  void showEvent(QShowEvent* event) override;

private:
  void Confirm();
  void SelectRow(int row);
  void TakeControls();
  void EnableControls();

  CompressorCatalogue& catalogue_;
  std::unique_ptr<view::CompressorChoice> choice_;
  OutputInfo settings_;
  bool filling_ = false;
  QComboBox* list_ = nullptr;
  QLabel* notice_ = nullptr;
  QSlider* quality_ = nullptr;
  QLabel* qualityValue_ = nullptr;
  QCheckBox* keyFrames_ = nullptr;
  QSpinBox* keyFrameEvery_ = nullptr;
  QCheckBox* dataRate_ = nullptr;
  QSpinBox* kilobytes_ = nullptr;
  QPushButton* ok_ = nullptr;
};

} // namespace rw::dialogs
