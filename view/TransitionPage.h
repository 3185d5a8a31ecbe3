#pragma once

#include <cstdint>
#include <string>

namespace rw {
class pVideoClipList;
}

namespace rw::view {

class StripModel;

// The fields of the page "ワイプ": the transition shown in "Now" (its length and kind), and which
// of the add buttons apply.
struct TransitionPage {
  bool nowIsTransition = false; // length field, its up-down and ButtonOLDelete enabled
  std::int32_t entry = -1;      // the entry whose transition "Now" shows
  std::string length = "--:--";
  std::int32_t lengthValue = 0;
  std::string name;
  bool addBeforeEnabled = true; // ButtonOLPrev: not while the current cut already has one in front
  bool addAfterEnabled = true;  // ButtonOLNext

  static TransitionPage Make(const pVideoClipList& list, const StripModel& strip);
  friend bool operator==(const TransitionPage&, const TransitionPage&) = default;
};

} // namespace rw::view
