#include "dialogs/TColorSelectDialog.h"

#include "dialogs/DialogScreen.h"
#include "dialogs/PickerPaintBox.h"
#include "dialogs/WindowFont.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

namespace rw::dialogs {
namespace {

using State = view::ColorPickerState;

// Layout: the wheel at the left, the brightness bar beside it, then the swatch and the three
// component rows (label, bar, edit), the buttons at the bottom right.
constexpr int kMargin = 8;
constexpr int kBarLeft = kMargin + State::kWheelSize + 8;
constexpr int kRightLeft = kBarLeft + State::kBarWidth + 12;
constexpr int kComponentLeft = kRightLeft + 18;
constexpr int kEditLeft = kComponentLeft + State::kComponentWidth + 6;
constexpr int kEditWidth = 48;
constexpr int kRowTop = kMargin + State::kSwatchHeight + 16;
constexpr int kRowPitch = 32;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kWidth = kEditLeft + kEditWidth + kMargin;
constexpr int kHeight = kMargin + State::kWheelSize + kMargin;

constexpr std::array<const char*, 3> kComponentLabels{"赤", "緑", "青"};

} // namespace

TColorSelectDialog::TColorSelectDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("ColorSelectDialog");
  setWindowTitle("色の設定");
  setFont(WindowFont::Make());
  setFixedSize(kWidth, kHeight);

  const auto& picture = state_.Wheel().Picture();
  wheel_ = QImage(state_.Wheel().Width(), state_.Wheel().Height(), QImage::Format_RGB32);
  for (int y = 0; y < wheel_.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(wheel_.scanLine(y));
    for (int x = 0; x < wheel_.width(); ++x)
      line[x] = 0xFF000000u | picture[static_cast<std::size_t>(y * wheel_.width() + x)];
  }

  wheelBox_ = new PickerPaintBox("PaintBox1", State::kWheelSize, State::kWheelSize, this);
  wheelBox_->move(kMargin, kMargin);
  wheelBox_->SetDrawing([this](QPainter& p) { DrawWheel(p); });
  connect(wheelBox_, &PickerPaintBox::leftPressed, this, &TColorSelectDialog::PressWheel);
  connect(wheelBox_, &PickerPaintBox::leftDragged, this, &TColorSelectDialog::PressWheel);

  barBox_ = new PickerPaintBox("PaintBox2", State::kBarWidth, State::kBarRows, this);
  barBox_->move(kBarLeft, kMargin);
  barBox_->SetDrawing([this](QPainter& p) { DrawBar(p); });
  connect(barBox_, &PickerPaintBox::leftPressed, this, &TColorSelectDialog::PressBar);
  connect(barBox_, &PickerPaintBox::leftDragged, this, &TColorSelectDialog::PressBar);

  swatchBox_ = new PickerPaintBox("PaintBox3", State::kSwatchWidth, State::kSwatchHeight, this);
  swatchBox_->move(kComponentLeft, kMargin);
  swatchBox_->SetDrawing([this](QPainter& p) { DrawSwatch(p); });

  for (int c = 0; c < State::kComponents; ++c) {
    const int top = kRowTop + c * kRowPitch;
    auto* label = new QLabel(kComponentLabels[static_cast<std::size_t>(c)], this);
    label->setObjectName(QString("LabelComponent%1").arg(c + 1));
    label->setGeometry(kRightLeft, top, 16, State::kComponentHeight);
    auto* box = new PickerPaintBox(QString("PaintBox%1").arg(4 + c), State::kComponentWidth,
                                   State::kComponentHeight, this);
    box->move(kComponentLeft, top);
    box->SetDrawing([this, c](QPainter& p) { DrawComponent(p, c); });
    connect(box, &PickerPaintBox::leftPressed, this, [this, c](QPoint point) { PressComponent(c, point); });
    connect(box, &PickerPaintBox::leftDragged, this, [this, c](QPoint point) { PressComponent(c, point); });
    componentBoxes_[static_cast<std::size_t>(c)] = box;
    auto* edit = new QLineEdit("0", this);
    edit->setObjectName(QString("Edit%1").arg(c + 1));
    edit->setGeometry(kEditLeft, top - 1, kEditWidth, State::kComponentHeight + 2);
    connect(edit, &QLineEdit::textChanged, this, [this, c] { EditChanged(c); });
    edits_[static_cast<std::size_t>(c)] = edit;
  }

  ok_ = new QPushButton("OK", this);
  ok_->setObjectName("Button1");
  ok_->setDefault(true);
  ok_->setGeometry(kWidth - kMargin - 2 * kButtonWidth - 8, kHeight - kMargin - kButtonHeight, kButtonWidth,
                   kButtonHeight);
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  cancel_ = new QPushButton("ｷｬﾝｾﾙ", this);
  cancel_->setObjectName("Button2");
  cancel_->setGeometry(kWidth - kMargin - kButtonWidth, kHeight - kMargin - kButtonHeight, kButtonWidth,
                       kButtonHeight);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

  Refresh();
}

void TColorSelectDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  DialogScreen::MoveToCentre(*this);
}

void TColorSelectDialog::SetColor(std::int32_t red, std::int32_t green, std::int32_t blue) {
  state_.SetColor({red, green, blue});
  Refresh();
}

void TColorSelectDialog::SetHsv(std::int32_t hue, std::int32_t saturation, std::int32_t value) {
  state_.SetHsv({hue, saturation, value});
  Refresh();
}

void TColorSelectDialog::PressWheel(QPoint point) {
  if (state_.PressWheel(point.x(), point.y()))
    Refresh();
}

void TColorSelectDialog::PressBar(QPoint point) {
  if (state_.PressBar(point.y()))
    Refresh();
}

void TColorSelectDialog::PressComponent(int c, QPoint point) {
  if (state_.PressComponent(c, point.x()))
    Refresh();
}

void TColorSelectDialog::EditChanged(int c) {
  if (state_.EditChanged(c, edits_[static_cast<std::size_t>(c)]->text().toStdString()))
    Refresh();
}

void TColorSelectDialog::Refresh() {
  wheelBox_->update();
  barBox_->update();
  swatchBox_->update();
  for (PickerPaintBox* box : componentBoxes_)
    box->update();
  // An edit that already reads as its component keeps its text (and the cursor of the typist).
  for (int c = 0; c < State::kComponents; ++c) {
    QLineEdit* edit = edits_[static_cast<std::size_t>(c)];
    if (const auto text = state_.EditRewrite(c, edit->text().toStdString()))
      edit->setText(QString::fromStdString(*text));
  }
}

void TColorSelectDialog::DrawMarker(QPainter& painter, const State::Marker& marker) {
  painter.setPen(marker.white ? Qt::white : Qt::black);
  painter.setBrush(Qt::NoBrush);
  painter.drawEllipse(QRect(marker.x, marker.y, marker.width - 1, marker.height - 1));
}

void TColorSelectDialog::DrawWheel(QPainter& painter) const {
  painter.drawImage(0, 0, wheel_);
  DrawMarker(painter, state_.WheelMarker());
}

void TColorSelectDialog::DrawBar(QPainter& painter) const {
  for (int row = 0; row < State::kBarRows; ++row)
    painter.fillRect(0, row, State::kBarWidth, 1, PickerPaintBox::ColourOf(state_.BarRowColour(row)));
  DrawMarker(painter, state_.BarMarker());
}

void TColorSelectDialog::DrawSwatch(QPainter& painter) const {
  painter.fillRect(0, 0, State::kSwatchWidth, State::kSwatchHeight,
                   PickerPaintBox::ColourOf(state_.SwatchColour()));
}

void TColorSelectDialog::DrawComponent(QPainter& painter, int c) const {
  for (int column = 0; column < State::kComponentWidth; ++column)
    painter.fillRect(column, 0, 1, State::kComponentHeight,
                     PickerPaintBox::ColourOf(state_.ComponentColumnColour(c, column)));
  DrawMarker(painter, state_.ComponentMarker(c));
}

} // namespace rw::dialogs
