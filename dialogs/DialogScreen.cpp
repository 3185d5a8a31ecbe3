#include "dialogs/DialogScreen.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace rw::dialogs {

view::ScreenArea DialogScreen::AreaOf(const QScreen& screen) {
  const QRect r = screen.geometry();
  return {r.x(), r.y(), r.width(), r.height()};
}

QScreen* DialogScreen::UnderPointer() {
  if (QScreen* screen = QGuiApplication::screenAt(QCursor::pos())) {
    return screen;
  }
  return QGuiApplication::primaryScreen();
}

void DialogScreen::MoveToCentre(QWidget& window) {
  const QWidget* parent = window.parentWidget();
  QScreen* screen = parent != nullptr ? parent->window()->screen() : window.screen();
  if (screen == nullptr) {
    return;
  }
  const QSize size = window.frameGeometry().size();
  const view::ScreenPoint at = view::DialogPlacement::Centred(size.width(), size.height(), AreaOf(*screen));
  window.move(at.x, at.y);
}

} // namespace rw::dialogs
