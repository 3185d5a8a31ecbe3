#pragma once

#include "render/BitmapInfoHeader.h"

#include <QDialog>

#include <cstdint>

class QLabel;

namespace rw::dialogs {

// "画像確認": one frame at its own size in a pop-up centred on the mouse pointer, shown while
// the user holds the mouse button. The window opens it from a mouse-press handler with
// SetPicture and exec(); the pop-up takes the mouse and the keyboard, so any press or release
// of a mouse button (the release of the button that opened it included, wherever it happens)
// and any key press close it. Afterwards the window calls SetPicture(nullptr, nullptr). The
// button that was pressed never sees its release, so a push button stays down until the window
// raises it again (QAbstractButton::setDown(false)).
class TShowPictureDialog : public QDialog {
  Q_OBJECT

public:
  // Width of the raised border around the image.
  static constexpr int kBorder = 2;

  explicit TShowPictureDialog(QWidget* parent = nullptr);
  ~TShowPictureDialog() override;

  // A 24-bit bottom-up picture with rows padded to 4 bytes, copied at once: the image area takes
  // exactly its size. Null pointers, or a header the frame buffers cannot describe, show black
  // at the present size. In both cases the dialog is then placed around the mouse pointer.
  void SetPicture(const rw::BitmapInfoHeader* header, const std::uint8_t* bits);
  // Whether the last SetPicture showed a picture (false: black).
  bool HasPicture() const { return hasPicture_; }

protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

private:
  void ShowBlack();
  void PlaceAroundPointer();

  QLabel* image_ = nullptr;
  bool hasPicture_ = false;
};

} // namespace rw::dialogs
