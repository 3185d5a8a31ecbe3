#pragma once

#include <QFont>

namespace rw::dialogs {

// The font of every window and dialog: a proportional Japanese Gothic of 12 pixels (IPA P Gothic,
// which has the metrics of the Windows font the layout was drawn for), falling back to Noto Sans
// CJK JP and then to whatever the system has for Japanese.
class WindowFont {
public:
  static QFont Make();
  // Makes it the application's font.
  static void Apply();
};

} // namespace rw::dialogs
