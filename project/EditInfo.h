#pragma once

#include "project/ClipPos.h"
#include "project/VideoClipList.h"

#include <cstdint>
#include <filesystem>

namespace rw {

// How the selection is made: none, frame by frame, or in whole cuts.
enum class SelMode : std::uint8_t { None = 0, Frames = 1, Cuts = 2 };

// One complete edit state: what undo and redo restore. The list is shared with other states
// and never changed in place.
struct EditInfo {
  VideoClipList list = VideoClipList::New();
  // The state differs from the saved file.
  bool modified = false;
  // 0 to the timeline length (the end position).
  std::int32_t currentFrame = 0;
  ClipPos currentPos;
  // Selection anchor frame; -1 when no selection was ever started.
  std::int32_t selStart = -1;
  // Selection end frame; -1 while the end follows the current frame.
  std::int32_t selEnd = -1;
  SelMode selMode = SelMode::None;
  std::filesystem::path fileName;
};

} // namespace rw
