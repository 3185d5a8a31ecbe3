#pragma once

#include "view/ColorPickerState.h"

#include <QDialog>
#include <QImage>

#include <array>
#include <cstdint>

class QLineEdit;
class QPainter;
class QPushButton;

namespace rw::dialogs {

class PickerPaintBox;

// "色の設定": chooses a colour on a hue/saturation wheel (PaintBox1), a brightness bar
// (PaintBox2), red, green and blue bars (PaintBox4..6) and edits (Edit1..3), with a swatch of the
// result (PaintBox3). Made once and reused: the caller sets the colour, runs exec() and, when it
// answers Accepted, reads the colour back. The colour stays between uses.
class TColorSelectDialog : public QDialog {
  Q_OBJECT

public:
  explicit TColorSelectDialog(QWidget* parent = nullptr);

  // Sets the colour (hue and saturation stay for black) and shows it.
  void SetColor(std::int32_t red, std::int32_t green, std::int32_t blue);
  // Sets hue, saturation and value and shows the colour they give.
  void SetHsv(std::int32_t hue, std::int32_t saturation, std::int32_t value);
  std::int32_t Red() const { return state_.Rgb().red; }
  std::int32_t Green() const { return state_.Rgb().green; }
  std::int32_t Blue() const { return state_.Rgb().blue; }
  const view::ColorPickerState& State() const { return state_; }

  // The left button on the wheel, the brightness bar or the bar of component c (0 red, 1 green,
  // 2 blue), in the box's coordinates: what pressing or dragging there does.
  void PressWheel(QPoint point);
  void PressBar(QPoint point);
  void PressComponent(int c, QPoint point);

protected:
  void showEvent(QShowEvent* event) override;

private:
  void Refresh();
  void EditChanged(int c);
  void DrawWheel(QPainter& painter) const;
  void DrawBar(QPainter& painter) const;
  void DrawSwatch(QPainter& painter) const;
  void DrawComponent(QPainter& painter, int c) const;
  static void DrawMarker(QPainter& painter, const view::ColorPickerState::Marker& marker);

  view::ColorPickerState state_;
  QImage wheel_; // the painted wheel, made once
  PickerPaintBox* wheelBox_ = nullptr;
  PickerPaintBox* barBox_ = nullptr;
  PickerPaintBox* swatchBox_ = nullptr;
  std::array<PickerPaintBox*, 3> componentBoxes_{};
  std::array<QLineEdit*, 3> edits_{};
  QPushButton* ok_ = nullptr;
  QPushButton* cancel_ = nullptr;
};

} // namespace rw::dialogs
