#include "view/ConnectorSketch.h"

#include "project/VideoClipList.h"
#include "view/OverviewScale.h"
#include "view/StripModel.h"
#include "view/WindowLayout.h"

namespace rw::view {

Sketch ConnectorSketch::Make(const pVideoClipList& list, const StripModel& strip) {
  const Rect& line = WindowLayout::kImageLine;
  Sketch sketch;
  sketch.AddFill({0, 0, line.w, line.h}, kSilver);
  if (list.TotalFrames() <= 0)
    return sketch;
  const OverviewScale scale(WindowLayout::kImageProject.w, list.TotalFrames());
  const std::int32_t offset = WindowLayout::kImageProject.x - line.x;
  const std::int32_t h = line.h;
  // From frame `frame`'s column on the overview down to column `edge` at the slots.
  const auto connect = [&](std::int64_t frame, std::int32_t edge) {
    const std::int32_t x = scale.X(frame) + offset;
    sketch.AddPath({{x, 0}, {x, 2}, {edge, h - 4}, {edge, h - 1}});
  };
  int rightmost = -5;
  for (int slot = -4; slot <= 4; ++slot) {
    const StripSlot& s = strip.Slot(slot);
    if (!s.shown)
      continue;
    rightmost = slot;
    const Rect frame = WindowLayout::SlotFrame(slot);
    const std::int32_t left = frame.x - line.x - 1;
    const std::int32_t right = frame.Right() - line.x - 1;
    if (s.isTransition) {
      if (slot == -4)
        connect(list.OwnStartOf(s.entry), left);
      continue;
    }
    connect(list.StartOf(s.entry), left);
    const bool runEnds = slot == 4 || !strip.Slot(slot + 1).shown || strip.Slot(slot + 1).isTransition;
    if (runEnds)
      connect(std::int64_t{list.LastFrameOf(s.entry)} + 1, right);
  }
  if (rightmost > -5 && strip.Slot(rightmost).isTransition) {
    const StripSlot& s = strip.Slot(rightmost);
    connect(list.StartOf(s.entry), WindowLayout::SlotFrame(rightmost).Right() - line.x - 1);
  }
  return sketch;
}

} // namespace rw::view
