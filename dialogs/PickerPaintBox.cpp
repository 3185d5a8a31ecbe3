#include "dialogs/PickerPaintBox.h"

#include "render/DIB.h"

#include <QMouseEvent>
#include <QPainter>

#include <cstring>

namespace rw::dialogs {

PickerPaintBox::PickerPaintBox(const QString& name, int width, int height, QWidget* parent)
    : QWidget(parent) {
  setObjectName(name);
  setFixedSize(width, height);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

QImage PickerPaintBox::ImageOf(const DIB& dib) {
  if (!dib.IsPresent())
    return {};
  QImage image(dib.Width(), dib.Height(), QImage::Format_BGR888);
  const auto rowBytes = static_cast<std::size_t>(dib.Width()) * 3;
  for (int y = 0; y < dib.Height(); ++y)
    std::memcpy(image.scanLine(y),
                dib.Bits() + static_cast<std::ptrdiff_t>(dib.Height() - 1 - y) * dib.Stride(), rowBytes);
  return image;
}

QColor PickerPaintBox::ColourOf(std::uint32_t rgb) {
  return QColor(static_cast<int>((rgb >> 16) & 255), static_cast<int>((rgb >> 8) & 255),
                static_cast<int>(rgb & 255));
}

void PickerPaintBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (draw_)
    draw_(painter);
}

void PickerPaintBox::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton)
    emit leftPressed(event->position().toPoint());
}

void PickerPaintBox::mouseMoveEvent(QMouseEvent* event) {
  if (event->buttons() & Qt::LeftButton)
    emit leftDragged(event->position().toPoint());
}

void PickerPaintBox::mouseDoubleClickEvent(QMouseEvent* event) {
  event->accept();
}

} // namespace rw::dialogs
