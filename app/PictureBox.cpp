#include "app/PictureBox.h"

#include "app/DibImage.h"

#include <QPainter>

namespace rw::app {

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::SetPicture(const DIB& picture) {
  SetPicture(DibImage::ToImage(picture));
}

void PictureBox::SetPicture(QImage picture) {
  picture_ = std::move(picture);
  update();
}

void PictureBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (picture_.isNull())
    painter.fillRect(rect(), Qt::black);
  else
    painter.drawImage(0, 0, picture_);
}

} // namespace rw::app
