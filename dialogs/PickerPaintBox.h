#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QWidget>

#include <cstdint>
#include <functional>

class QPainter;

namespace rw {
class DIB;
}

namespace rw::dialogs {

// A fixed-size box that the pickers draw into and click on: its content comes from a drawing
// function that covers the whole box (unless the box is made see-through by clearing
// Qt::WA_OpaquePaintEvent), the left button is reported when pressed and while dragged (in the box's own
// coordinates, which may lie outside it while dragging). Double clicks do nothing.
class PickerPaintBox : public QWidget {
  Q_OBJECT

public:
  PickerPaintBox(const QString& name, int width, int height, QWidget* parent);

  void SetDrawing(std::function<void(QPainter&)> draw) { draw_ = std::move(draw); }

  // A 24-bit bottom-up frame buffer as an image (a copy); a null image for an empty buffer.
  static QImage ImageOf(const DIB& dib);
  // 0xRRGGBB as an opaque colour.
  static QColor ColourOf(std::uint32_t rgb);

signals:
  void leftPressed(QPoint point);
  void leftDragged(QPoint point);

protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
  std::function<void(QPainter&)> draw_;
};

} // namespace rw::dialogs
