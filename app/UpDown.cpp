#include "app/UpDown.h"

#include <QToolButton>

namespace rw::app {

UpDown::UpDown(QWidget* parent) : QWidget(parent), up_(new QToolButton(this)), down_(new QToolButton(this)) {
  up_->setArrowType(Qt::UpArrow);
  down_->setArrowType(Qt::DownArrow);
  for (QToolButton* b : {up_, down_}) {
    b->setAutoRepeat(true);
    b->setFocusPolicy(Qt::NoFocus);
  }
  connect(up_, &QToolButton::clicked, this, &UpDown::Up);
  connect(down_, &QToolButton::clicked, this, &UpDown::Down);
}

void UpDown::SetRange(int minimum, int maximum) {
  minimum_ = minimum;
  maximum_ = maximum;
}

void UpDown::SetPosition(int position) {
  position_ = position;
}

void UpDown::resizeEvent(QResizeEvent*) {
  const int half = height() / 2;
  up_->setGeometry(0, 0, width(), half);
  down_->setGeometry(0, half, width(), height() - half);
}

} // namespace rw::app
