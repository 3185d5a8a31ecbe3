#pragma once

#include <cstdint>

namespace rw {
class VideoProject;
}

namespace rw::view {

class StripModel;

// Where the selection is shown: a bar under the slots of the selected cuts, a bar under the
// frame images of the selected frames, and a line on row 1 of the connector strip over the
// selected part of the overview. Edges are in the window's client coordinates.
struct SelectionDisplay {
  struct Bar {
    bool shown = false;
    std::int32_t left = 0;
    std::int32_t right = 0; // one past the last column
    friend bool operator==(const Bar&, const Bar&) = default;
  };

  Bar cutBar;
  Bar frameBar;
  bool lineShown = false;
  std::int32_t lineFrom = 0; // columns of the connector strip
  std::int32_t lineTo = 0;

  // Nothing shown without a selection.
  static SelectionDisplay Make(const VideoProject& project, const StripModel& strip);
  friend bool operator==(const SelectionDisplay&, const SelectionDisplay&) = default;

private:
  static Bar CutBar(const VideoProject& project, const StripModel& strip);
  static Bar FrameBar(std::int32_t first, std::int32_t last, std::int32_t current);
};

} // namespace rw::view
