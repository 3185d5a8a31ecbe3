#pragma once

#include "app/MainFormWidgets.h"

class QMainWindow;

namespace rw::app {

// The main window's menu bar: every menu and item with its design name, caption, shortcut and
// hint. The commands are bound by the window's command handlers.
class MainFormMenus {
public:
  static void Build(QMainWindow& window, MainFormWidgets& w);
};

} // namespace rw::app
