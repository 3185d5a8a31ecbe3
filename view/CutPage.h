#pragma once

#include <cstdint>
#include <string>

namespace rw {
class pVideoClipList;
struct ClipPos;
} // namespace rw

namespace rw::view {

// The fields of the page "カット" for the current cut: its source begin and end frame and its
// length, which of them can be edited (none of an offline cut, which keeps its record), the up-downs' range,
// and whether the cut has settings.
struct CutPage {
  std::string begin = "00:00";
  std::string end = "00:00";
  std::string total = "00:00";
  std::int32_t beginValue = 0;
  std::int32_t endValue = 0;
  std::int32_t totalValue = 0;
  bool rangeEnabled = false; // begin and end fields with their up-downs
  bool lengthEnabled = true; // the length field with its up-down: not for an offline cut
  std::int32_t upDownMax = 0;
  bool configEnabled = false; // ButtonConfigVideo

  // At the end position, or for an invalid cut, every field shows 0.
  static CutPage Make(const pVideoClipList& list, const ClipPos& pos);
  friend bool operator==(const CutPage&, const CutPage&) = default;
};

} // namespace rw::view
