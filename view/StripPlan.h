#pragma once

#include <array>
#include <cstdint>

namespace rw {
class pVideoClipList;
}

namespace rw::view {

// What one slot of the strip stands for: entry `entry`'s cut, or the transition into it.
struct SlotRef {
  std::int32_t entry = -1;
  bool transition = false;

  bool Empty() const { return entry < 0; }
  friend bool operator==(const SlotRef&, const SlotRef&) = default;
};

// The nine slots -4 .. 4, stored at index slot + 4.
using StripRefs = std::array<SlotRef, 9>;

// Which cut or transition each slot of the strip shows around the current position: slot 0
// ("Now") the current entry — its transition while the position lies inside it, with the cut
// then in slot 1 — and the neighbouring entries to both sides, each transition in a slot of its
// own between the cuts it joins. Up to four entries on each side; slots left over are empty.
class StripPlan {
public:
  // `entry` is the current entry (the entry count at the end position), `frame` the frame within
  // its cut.
  static StripRefs Make(const pVideoClipList& list, std::int32_t entry, std::int32_t frame);
  // True when that position lies inside the current entry's transition.
  static bool InsideTransition(const pVideoClipList& list, std::int32_t entry, std::int32_t frame);
};

} // namespace rw::view
