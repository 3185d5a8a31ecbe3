#pragma once

#include <cstdint>

namespace rw::view {

// A point in screen coordinates (the virtual desktop of all screens).
struct ScreenPoint {
  std::int32_t x = 0;
  std::int32_t y = 0;
  friend bool operator==(const ScreenPoint&, const ScreenPoint&) = default;
};

// One screen's area in screen coordinates; a secondary screen may start anywhere.
struct ScreenArea {
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t w = 0;
  std::int32_t h = 0;
};

// Where the small dialogs go on the screen: the enlarged view around the mouse pointer, the
// progress and about boxes in the middle. Sizes are the whole window's, frame included.
class DialogPlacement {
public:
  // Top-left corner of a width x height window centred on the pointer, then pushed right and
  // down so that its left and top edges lie on the screen, then pushed left and up so that its
  // right and bottom edges do. A window larger than the screen therefore ends at the right and
  // bottom edges and starts before the left and top ones.
  static ScreenPoint AroundPointer(std::int32_t width, std::int32_t height, ScreenPoint pointer,
                                   const ScreenArea& screen);
  // Top-left corner of a width x height window centred on the screen.
  static ScreenPoint Centred(std::int32_t width, std::int32_t height, const ScreenArea& screen);
};

} // namespace rw::view
