#pragma once

#include "view/StripSlot.h"

#include <array>
#include <cstdint>

namespace rw {
class pVideoClipList;
struct BitmapInfoHeader;
} // namespace rw

namespace rw::view {

class Placeholder;

// The strip of nine slots around the current position. A refresh rebuilds it only when forced or
// when "Now" comes to show another entry or the other kind (cut or transition); slots whose cut
// or transition already stood in some slot are moved there instead of being drawn again, so a
// move to the next cut draws only the one slot that comes into view.
class StripModel {
public:
  static constexpr int kSlots = 9;

  explicit StripModel(const Placeholder& placeholder) : placeholder_(placeholder) {}

  // Answers which slots changed, as bits slot + 4 (0 when the rebuild was skipped).
  std::uint32_t Refresh(const pVideoClipList& list, std::int32_t entry, std::int32_t frame, bool full);

  const StripSlot& Slot(int slot) const { return slots_[static_cast<std::size_t>(slot + 4)]; }
  const std::array<StripSlot, kSlots>& Slots() const { return slots_; }
  // "Now" shows a transition.
  bool NowIsTransition() const { return Slot(0).ref.transition; }
  // The thumbnails made since construction (slots moved rather than drawn do not count).
  std::int64_t ThumbnailsMade() const { return thumbnails_; }

private:
  void FillCut(StripSlot& slot, const pVideoClipList& list, std::int32_t i);
  void FillTransition(StripSlot& slot, const pVideoClipList& list, std::int32_t i);
  // An 80 x 60 copy of a frame, resampled when its size differs; the placeholder without one.
  void Thumbnail(DIB& out, const BitmapInfoHeader* header, const std::uint8_t* bits);

  const Placeholder& placeholder_;
  std::array<StripSlot, kSlots> slots_;
  SlotRef now_{-2, false}; // what "Now" showed at the last rebuild; nothing at first
  std::int64_t thumbnails_ = 0;
};

} // namespace rw::view
