#include "dialogs/TShowPictureDialog.h"

#include "dialogs/DialogScreen.h"
#include "render/DIB.h"

#include <QCursor>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <qdrawutil.h>

#include <cstring>

namespace rw::dialogs {

namespace {

constexpr int kInitialWidth = 265;
constexpr int kInitialHeight = 193;

// The picture as an image of its own (top-down rows); a null image when the memory is missing.
QImage ImageOf(const BitmapInfoHeader& header, const std::uint8_t* bits) {
  const int width = header.biWidth;
  const int height = header.biHeight;
  QImage image(width, height, QImage::Format_BGR888);
  if (image.isNull()) {
    return image;
  }
  const std::size_t stride = static_cast<std::size_t>(DIB::StrideOf(width));
  const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* row = bits + static_cast<std::size_t>(height - 1 - y) * stride;
    std::memcpy(image.scanLine(y), row, rowBytes);
  }
  return image;
}

} // namespace

TShowPictureDialog::TShowPictureDialog(QWidget* parent) : QDialog(parent, Qt::Popup) {
  setObjectName("ShowPictureDialog");
  setWindowTitle(QStringLiteral("画像確認"));
  // A press outside the pop-up only closes it; it must not reach the window underneath.
  setAttribute(Qt::WA_NoMouseReplay);

  image_ = new QLabel(this);
  image_->setObjectName("Image");
  image_->setAttribute(Qt::WA_TransparentForMouseEvents);
  image_->move(kBorder, kBorder);
  image_->setFixedSize(kInitialWidth, kInitialHeight);
  setFixedSize(kInitialWidth + 2 * kBorder, kInitialHeight + 2 * kBorder);
  ShowBlack();
}

TShowPictureDialog::~TShowPictureDialog() = default;

void TShowPictureDialog::SetPicture(const BitmapInfoHeader* header, const std::uint8_t* bits) {
  hasPicture_ = false;
  if (header != nullptr && bits != nullptr && DIB::IsReadable(*header)) {
    const QImage image = ImageOf(*header, bits);
    if (!image.isNull()) {
      image_->setFixedSize(image.size());
      setFixedSize(image.width() + 2 * kBorder, image.height() + 2 * kBorder);
      image_->setPixmap(QPixmap::fromImage(image));
      hasPicture_ = !image_->pixmap().isNull();
    }
  }
  if (!hasPicture_) {
    ShowBlack();
  }
  PlaceAroundPointer();
}

void TShowPictureDialog::ShowBlack() {
  QPixmap black(image_->size());
  black.fill(Qt::black);
  image_->setPixmap(black);
}

void TShowPictureDialog::PlaceAroundPointer() {
  const QScreen* screen = DialogScreen::UnderPointer();
  if (screen == nullptr) {
    return;
  }
  const QPoint pointer = QCursor::pos();
  const view::ScreenPoint at = view::DialogPlacement::AroundPointer(
      width(), height(), {pointer.x(), pointer.y()}, DialogScreen::AreaOf(*screen));
  move(at.x, at.y);
}

void TShowPictureDialog::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  qDrawWinPanel(&painter, rect(), palette(), false);
}

void TShowPictureDialog::mousePressEvent(QMouseEvent* event) {
  event->accept();
  accept();
}

void TShowPictureDialog::mouseReleaseEvent(QMouseEvent* event) {
  event->accept();
  accept();
}

void TShowPictureDialog::mouseDoubleClickEvent(QMouseEvent* event) {
  event->accept();
  accept();
}

void TShowPictureDialog::keyPressEvent(QKeyEvent* event) {
  event->accept();
  accept();
}

} // namespace rw::dialogs
