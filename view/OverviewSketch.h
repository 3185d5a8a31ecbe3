#pragma once

#include "view/Sketch.h"

#include <cstdint>

namespace rw {
class pVideoClipList;
}

namespace rw::view {

// What the overview bar shows: the whole timeline with a mark at every cut boundary and a span
// for every transition (redrawn on full refreshes), and the marker of the current time above it
// (redrawn on every refresh).
class OverviewSketch {
public:
  // The bar of `list` in a component of width x height.
  static Sketch Bar(const pVideoClipList& list, std::int32_t width, std::int32_t height);
  // Rows 0 to 5: cleared, then the triangle over the current frame (none for an empty timeline).
  static Sketch Marker(std::int32_t width, std::int32_t total, std::int32_t current);
};

} // namespace rw::view
