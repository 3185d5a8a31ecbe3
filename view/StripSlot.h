#pragma once

#include "render/DIB.h"
#include "view/StripPlan.h"

#include <cstdint>
#include <string>

namespace rw::view {

// What one slot of the strip shows: a cut (its first and last frame with the source range) or a
// transition (the last frame before it and its own last frame), with the timeline frames that a
// click on either picture jumps to.
struct StripSlot {
  SlotRef ref;              // what the slot was planned to show
  bool shown = false;       // the whole slot; hidden for an empty or invalid cut or transition
  bool endShown = false;    // the end picture and its frame: cuts with a source range, transitions
  bool labelsShown = false; // the begin and end labels: cuts with a source range
  std::int32_t entry = -1;  // the entry shown, -1 for none
  bool isTransition = false;
  std::int32_t beginFrame = -1; // where a click on the begin picture goes, -1 for nowhere
  std::int32_t endFrame = -1;
  std::string beginLabel;
  std::string endLabel;
  std::string lengthLabel;
  std::string nameLabel;
  DIB beginImage; // thumbnails of 80 x 60
  DIB endImage;
};

} // namespace rw::view
