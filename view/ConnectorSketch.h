#pragma once

#include "view/Sketch.h"

namespace rw {
class pVideoClipList;
}

namespace rw::view {

class StripModel;

// The connector strip between the overview bar and the slots: for every cut in view a line from
// its start on the overview down to the left edge of its slot, and for the last cut of each run a
// second one from its end down to the slot's right edge, so that the eye follows each slot back
// to its place on the whole timeline.
class ConnectorSketch {
public:
  static Sketch Make(const pVideoClipList& list, const StripModel& strip);
};

} // namespace rw::view
