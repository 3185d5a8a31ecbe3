#include "view/StripPlan.h"

#include "project/VideoClipList.h"

namespace rw::view {

namespace {

SlotRef& At(StripRefs& refs, int slot) {
  return refs[static_cast<std::size_t>(slot + 4)];
}

// The first entry's transition joins nothing and never takes a slot.
bool HasTransition(const pVideoClipList& list, std::int32_t i) {
  return i > 0 && list.TransOf(i) > 0;
}

} // namespace

bool StripPlan::InsideTransition(const pVideoClipList& list, std::int32_t entry, std::int32_t frame) {
  return HasTransition(list, entry) && entry < list.Count() && frame >= 0 && frame < list.TransOf(entry);
}

StripRefs StripPlan::Make(const pVideoClipList& list, std::int32_t entry, std::int32_t frame) {
  StripRefs refs;
  const bool inside = InsideTransition(list, entry, frame);

  // Left: the current cut's own transition when the position is past it, then the earlier
  // entries, each cut followed (to its left) by the transition into it.
  int slot = -1;
  if (!inside && HasTransition(list, entry))
    At(refs, slot--) = {entry, true};
  for (std::int32_t i = entry - 1, n = 0; n < 4 && i >= 0 && slot >= -4; --i, ++n) {
    At(refs, slot--) = {i, false};
    if (slot >= -4 && HasTransition(list, i))
      At(refs, slot--) = {i, true};
  }

  // "Now" and the right: the later entries, each transition before its cut.
  slot = 0;
  if (inside)
    At(refs, slot++) = {entry, true};
  At(refs, slot++) = {entry, false};
  for (std::int32_t i = entry + 1, n = 0; n < 4 && i < list.Count() && slot <= 4; ++i, ++n) {
    if (HasTransition(list, i))
      At(refs, slot++) = {i, true};
    if (slot <= 4)
      At(refs, slot++) = {i, false};
  }
  return refs;
}

} // namespace rw::view
