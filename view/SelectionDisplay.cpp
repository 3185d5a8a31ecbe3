#include "view/SelectionDisplay.h"

#include "project/VideoProject.h"
#include "view/OverviewScale.h"
#include "view/StripModel.h"
#include "view/WindowLayout.h"

#include <algorithm>
#include <climits>
#include <optional>

namespace rw::view {

namespace {

constexpr std::int32_t kSlotQuarter = WindowLayout::kSlotWidth / 4;
constexpr std::int32_t kImageQuarter = WindowLayout::kThumbWidth / 4;

// The slot that shows cut `entry`, if it is in view.
std::optional<int> SlotOfCut(const StripModel& strip, std::int32_t entry) {
  for (int slot = -4; slot <= 4; ++slot) {
    const StripSlot& s = strip.Slot(slot);
    if (s.shown && !s.isTransition && s.entry == entry)
      return slot;
  }
  return std::nullopt;
}

// The range of cuts the strip shows; entries outside lie to the left or right of the view.
void CutsInView(const StripModel& strip, std::int32_t& first, std::int32_t& last) {
  first = INT32_MAX;
  last = INT32_MIN;
  for (const StripSlot& s : strip.Slots()) {
    if (s.shown && !s.isTransition) {
      first = std::min(first, s.entry);
      last = std::max(last, s.entry);
    }
  }
}

} // namespace

SelectionDisplay SelectionDisplay::Make(const VideoProject& project, const StripModel& strip) {
  SelectionDisplay shown;
  ClipPos a;
  ClipPos b;
  const pVideoClipList& list = project.List();
  if (!project.SelectionRange(a, b) || !list.IsValidPos(a) || !list.IsValidPos(b))
    return shown;
  const std::int32_t first = list.FrameOf(a);
  const std::int32_t last = list.FrameOf(b);
  shown.cutBar = CutBar(project, strip);
  shown.frameBar = FrameBar(first, last, project.CurrentFrame());
  const OverviewScale scale(WindowLayout::kImageProject.w, list.TotalFrames());
  const std::int32_t offset = WindowLayout::kImageProject.x - WindowLayout::kImageLine.x;
  shown.lineShown = true;
  shown.lineFrom = scale.X(first) + offset;
  shown.lineTo = scale.X(std::int64_t{last} + 1) + offset;
  return shown;
}

SelectionDisplay::Bar SelectionDisplay::CutBar(const VideoProject& project, const StripModel& strip) {
  ClipPos a;
  ClipPos b;
  project.SelectionRange(a, b);
  const pVideoClipList& list = project.List();
  std::int32_t firstInView = 0;
  std::int32_t lastInView = 0;
  CutsInView(strip, firstInView, lastInView);
  if (firstInView > lastInView || b.index < firstInView || a.index > lastInView)
    return {};
  // Each end sits at the slot of its cut, a quarter of a slot inside when the range does not take
  // the whole cut; an end beyond the view runs past the outermost slot.
  Bar bar{true, 0, 0};
  if (const auto slot = SlotOfCut(strip, a.index))
    bar.left = WindowLayout::SlotFrame(*slot).x + (a.frame == 0 ? 0 : kSlotQuarter);
  else
    bar.left = WindowLayout::SlotFrame(-4).x - kSlotQuarter;
  if (const auto slot = SlotOfCut(strip, b.index))
    bar.right =
        WindowLayout::SlotFrame(*slot).Right() - (b.frame == list.LengthOf(b.index) - 1 ? 0 : kSlotQuarter);
  else
    bar.right = WindowLayout::SlotFrame(4).x + WindowLayout::kSlotWidth * 5 / 4;
  return bar;
}

SelectionDisplay::Bar SelectionDisplay::FrameBar(std::int32_t first, std::int32_t last,
                                                 std::int32_t current) {
  const std::int64_t s = std::int64_t{first} - current;
  const std::int64_t e = std::int64_t{last} - current;
  if (e < -4 || s > 4)
    return {};
  Bar bar{true, 0, 0};
  bar.left = s < -4 ? WindowLayout::FrameImage(-4).x - kImageQuarter
                    : WindowLayout::FrameImage(static_cast<int>(s)).x;
  bar.right = e >= 5 ? WindowLayout::FrameImage(4).Right() + kImageQuarter
                     : WindowLayout::FrameImage(static_cast<int>(e)).Right();
  return bar;
}

} // namespace rw::view
