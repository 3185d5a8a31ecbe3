#pragma once

#include <QImage>
#include <QWidget>

namespace rw {
class DIB;
}

namespace rw::app {

// A component that shows one picture at its own size (thumbnails, frame and audio images, the
// preview) and passes its mouse events on.
class PictureBox : public QWidget {
  Q_OBJECT
public:
  explicit PictureBox(QWidget* parent);

  void SetPicture(const DIB& picture);
  void SetPicture(QImage picture);
  const QImage& Picture() const { return picture_; }

signals:
  void Pressed(QMouseEvent* event);
  void Moved(QMouseEvent* event);
  void Released(QMouseEvent* event);

protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override { emit Pressed(event); }
  void mouseMoveEvent(QMouseEvent* event) override { emit Moved(event); }
  void mouseReleaseEvent(QMouseEvent* event) override { emit Released(event); }

private:
  QImage picture_;
};

} // namespace rw::app
