#include "app/SketchBox.h"

#include <QPainter>
#include <QPolygon>

namespace rw::app {

namespace {

QColor ColourOf(view::Colour c) {
  return QColor(QRgb(c));
}

// The pixel a pen last reaches when it moves from a to b and leaves b out (lines across both
// axes end at b itself: a pixel either way makes no difference there).
QPoint StopBefore(const view::Point& a, const view::Point& b) {
  if (a.x == b.x && a.y != b.y)
    return {b.x, b.y + (b.y > a.y ? -1 : 1)};
  if (a.y == b.y && a.x != b.x)
    return {b.x + (b.x > a.x ? -1 : 1), b.y};
  return {b.x, b.y};
}

} // namespace

SketchBox::SketchBox(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void SketchBox::SetLayer(int layer, const view::Sketch& sketch) {
  view::Sketch& own = layers_[static_cast<std::size_t>(layer)];
  if (own == sketch)
    return;
  own = sketch;
  update();
}

void SketchBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), ColourOf(view::kSilver));
  for (const view::Sketch& layer : layers_)
    Paint(painter, layer);
}

void SketchBox::Paint(QPainter& painter, const view::Sketch& sketch) {
  painter.setRenderHint(QPainter::Antialiasing, false);
  for (const view::Sketch::Figure& figure : sketch.Figures()) {
    if (const auto* fill = std::get_if<view::Sketch::Fill>(&figure)) {
      painter.fillRect(QRect(fill->rect.x, fill->rect.y, fill->rect.w, fill->rect.h), ColourOf(fill->colour));
    } else if (const auto* box = std::get_if<view::Sketch::Box>(&figure)) {
      const QRect r(box->rect.x, box->rect.y, box->rect.w, box->rect.h);
      painter.fillRect(r, ColourOf(box->fill));
      painter.setPen(ColourOf(box->pen));
      painter.setBrush(Qt::NoBrush);
      painter.drawRect(r.adjusted(0, 0, -1, -1));
    } else if (const auto* path = std::get_if<view::Sketch::Path>(&figure)) {
      const auto& p = path->points;
      if (p.size() < 2)
        continue;
      painter.setPen(ColourOf(path->pen));
      QPolygon points;
      for (std::size_t i = 0; i + 1 < p.size(); ++i)
        points << QPoint(p[i].x, p[i].y);
      if (path->closed) {
        points << QPoint(p.back().x, p.back().y) << QPoint(p.front().x, p.front().y);
        painter.drawPolyline(points);
      } else {
        points << StopBefore(p[p.size() - 2], p.back());
        painter.drawPolyline(points);
      }
    }
  }
}

} // namespace rw::app
