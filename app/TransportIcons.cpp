#include "app/TransportIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>

namespace rw::app {

namespace {

constexpr int kSize = 16;

// A triangle pointing right (or left) with its base at x and its tip `width` further on.
QPolygonF Arrow(double x, double width, bool right) {
  const double tip = right ? x + width : x - width;
  return QPolygonF{{QPointF(x, 3), QPointF(tip, 8), QPointF(x, 13)}};
}

} // namespace

QIcon TransportIcons::Make(Kind kind) {
  QPixmap pixmap(kSize, kSize);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(32, 32, 32));
  switch (kind) {
  case Kind::Rewind:
    p.drawPolygon(Arrow(8, 6, false));
    p.drawPolygon(Arrow(14, 6, false));
    break;
  case Kind::StepBack:
    p.drawRect(QRectF(3, 3, 2, 10));
    p.drawPolygon(Arrow(13, 7, false));
    break;
  case Kind::Stop:
    p.drawRect(QRectF(4, 4, 8, 8));
    break;
  case Kind::StepForward:
    p.drawPolygon(Arrow(3, 7, true));
    p.drawRect(QRectF(11, 3, 2, 10));
    break;
  case Kind::FastForward:
    p.drawPolygon(Arrow(2, 6, true));
    p.drawPolygon(Arrow(8, 6, true));
    break;
  case Kind::Play:
    p.drawPolygon(Arrow(4, 9, true));
    break;
  case Kind::Playback: {
    p.drawPolygon(Arrow(2, 7, true));
    QPainterPath back;
    back.moveTo(11, 4);
    back.arcTo(QRectF(9, 4, 6, 8), 90, -180);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(32, 32, 32), 1.5));
    p.drawPath(back);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(32, 32, 32));
    p.drawPolygon(QPolygonF{{QPointF(9, 12), QPointF(12, 9.5), QPointF(12, 14.5)}});
    break;
  }
  case Kind::PrevCut:
    p.drawRect(QRectF(2, 3, 2, 10));
    p.drawPolygon(Arrow(9, 5, false));
    p.drawPolygon(Arrow(14, 5, false));
    break;
  case Kind::NextCut:
    p.drawPolygon(Arrow(2, 5, true));
    p.drawPolygon(Arrow(7, 5, true));
    p.drawRect(QRectF(12, 3, 2, 10));
    break;
  case Kind::Show:
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(32, 32, 32), 1.6));
    p.drawEllipse(QRectF(2, 2, 8, 8));
    p.setPen(QPen(QColor(32, 32, 32), 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(9.5, 9.5), QPointF(14, 14));
    break;
  }
  return QIcon(pixmap);
}

} // namespace rw::app
