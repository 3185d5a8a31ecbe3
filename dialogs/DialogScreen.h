#pragma once

#include "view/DialogPlacement.h"

class QScreen;
class QWidget;

namespace rw::dialogs {

// The screens the small dialogs place themselves on, in the terms of view::DialogPlacement.
class DialogScreen {
public:
  // The whole area of a screen (the panels of the desktop included).
  static view::ScreenArea AreaOf(const QScreen& screen);
  // The screen under the mouse pointer, else the primary screen; null without any screen.
  static QScreen* UnderPointer();
  // Moves a window to the middle of the screen its parent window is on (its own screen when it
  // has no parent).
  static void MoveToCentre(QWidget& window);
};

} // namespace rw::dialogs
