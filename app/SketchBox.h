#pragma once

#include "view/Sketch.h"

#include <QWidget>
#include <array>

namespace rw::app {

// A component that paints sketches (the overview bar and its marker, the connector strip and the
// selection line), layer over layer, and passes its mouse events on.
class SketchBox : public QWidget {
  Q_OBJECT
public:
  static constexpr int kLayers = 2;

  explicit SketchBox(QWidget* parent);

  void SetLayer(int layer, const view::Sketch& sketch);
  const view::Sketch& Layer(int layer) const { return layers_[static_cast<std::size_t>(layer)]; }

  // Paints a sketch with a painter (no smoothing; the last point of a path is left out, as a pen
  // moving from point to point leaves it).
  static void Paint(QPainter& painter, const view::Sketch& sketch);

signals:
  void Pressed(QMouseEvent* event);
  void Moved(QMouseEvent* event);

protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override { emit Pressed(event); }
  void mouseMoveEvent(QMouseEvent* event) override { emit Moved(event); }

private:
  std::array<view::Sketch, kLayers> layers_;
};

} // namespace rw::app
