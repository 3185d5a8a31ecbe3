#pragma once

#include <string>
#include <string_view>

namespace rw::view {

// The hints of the main window's controls and menu items. A hint has a short part, shown as the
// tooltip, and after "|" a long part for the status bar; a hint without "|" serves as both.
class WindowHints {
public:
  // The hint of the component with this name; empty when it has none.
  static std::string_view Of(std::string_view objectName);
  static std::string_view ShortPart(std::string_view hint);
  static std::string_view LongPart(std::string_view hint);
};

} // namespace rw::view
