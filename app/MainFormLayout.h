#pragma once

#include "app/MainFormWidgets.h"

class QMainWindow;

namespace rw::app {

// Builds the main window's fixed layout: every component at its place with its design name, its
// caption and its hint (short part as tooltip, long part for the status bar), and the menus.
class MainFormLayout {
public:
  static MainFormWidgets Build(QMainWindow& window);

private:
  static void BuildStrip(MainFormWidgets& w);
  static void BuildTransport(MainFormWidgets& w);
  static void BuildCutPage(MainFormWidgets& w);
  static void BuildTransitionPage(MainFormWidgets& w);
  static void BuildAudioGroup(MainFormWidgets& w);
  static void BuildStatusBar(QMainWindow& window, MainFormWidgets& w);
};

} // namespace rw::app
