#pragma once

#include "project/ClipInfo.h"

#include <cstdint>

namespace rw {

// A position on the timeline: the entry's handles (as they were when the position was taken),
// the entry index and the frame within the cut (0 = the cut's first frame). A position is valid
// in a list only while the list's entry at `index` still holds the very same cut object.
struct ClipPos {
  ClipInfo info;
  std::int32_t index = -1;
  std::int32_t frame = -1;

  // The invalid position: empty entry, index -1, frame -1.
  ClipPos() = default;
  ClipPos(const ClipInfo& entry, std::int32_t index, std::int32_t frame)
      : info(entry), index(index), frame(frame) {}

  static ClipPos Invalid() { return ClipPos(); }

  // Positions are ordered by entry index, then by frame; equality compares those two only.
  friend bool operator<(const ClipPos& a, const ClipPos& b) {
    return a.index < b.index || (a.index == b.index && a.frame < b.frame);
  }
  friend bool operator==(const ClipPos& a, const ClipPos& b) {
    return a.index == b.index && a.frame == b.frame;
  }
};

} // namespace rw
