#include "view/StripModel.h"

#include "project/VideoClipList.h"
#include "view/Placeholder.h"
#include "view/TimeText.h"
#include "view/WindowLayout.h"

#include <cstring>

namespace rw::view {

std::uint32_t StripModel::Refresh(const pVideoClipList& list, std::int32_t entry, std::int32_t frame,
                                  bool full) {
  const StripRefs plan = StripPlan::Make(list, entry, frame);
  if (!full && plan[4] == now_)
    return 0;
  now_ = plan[4];

  std::array<StripSlot, kSlots> next;
  std::uint32_t changed = 0;
  for (std::size_t k = 0; k < kSlots; ++k) {
    const SlotRef& ref = plan[k];
    next[k].ref = ref;
    // Without an edit, what a slot showed is still right wherever it stands now.
    if (!full && !ref.Empty()) {
      std::size_t j = 0;
      while (j < kSlots && !(slots_[j].ref == ref))
        ++j;
      if (j < kSlots) {
        next[k] = std::move(slots_[j]);
        slots_[j].ref = SlotRef{};
        if (j != k)
          changed |= 1u << k;
        continue;
      }
    }
    if (ref.transition)
      FillTransition(next[k], list, ref.entry);
    else
      FillCut(next[k], list, ref.entry);
    changed |= 1u << k;
  }
  slots_ = std::move(next);
  return changed;
}

void StripModel::FillCut(StripSlot& slot, const pVideoClipList& list, std::int32_t i) {
  const ClipInfo& info = list.EntryAt(i);
  if (i < 0 || i >= list.Count() || !info.HasValidClip())
    return; // stays hidden, entry and frames -1
  pVideoClip* clip = info.clip.Get();
  slot.shown = true;
  slot.entry = i;
  slot.beginFrame = list.OwnStartOf(i);
  slot.endFrame = list.OwnEndOf(i);
  Thumbnail(slot.beginImage, clip->GetFormat(), clip->GetFirstFrame());
  if (clip->HasBeginEnd()) {
    Thumbnail(slot.endImage, clip->GetFormat(), clip->GetLastFrame());
    slot.endShown = true;
    slot.labelsShown = true;
    slot.beginLabel = TimeText::Short(clip->GetBeginFrame());
    slot.endLabel = "～ " + TimeText::Short(clip->GetEndFrame());
  }
  slot.lengthLabel = TimeText::Short(clip->Length());
  slot.nameLabel = clip->FileName().filename().string();
}

void StripModel::FillTransition(StripSlot& slot, const pVideoClipList& list, std::int32_t i) {
  const ClipInfo& info = list.EntryAt(i);
  const ClipInfo& before = list.EntryAt(i - 1);
  const std::int32_t t = info.TransLength();
  if (i < 1 || i >= list.Count() || !info.trans->IsPresent() || !before.HasValidClip() ||
      !info.HasValidClip())
    return;
  slot.shown = true;
  slot.endShown = true;
  slot.entry = i;
  slot.isTransition = true;
  slot.beginFrame = list.StartOf(i);
  slot.endFrame = list.OwnStartOf(i) - 1;
  // The earlier cut's picture is taken first: both cuts may read one decoder.
  pVideoClip* earlier = before.clip.Get();
  Thumbnail(slot.beginImage, earlier->GetFormat(), earlier->GetFrame(before.Length() - t));
  pVideoClip* later = info.clip.Get();
  Thumbnail(slot.endImage, later->GetFormat(), later->GetFrame(t - 1));
  slot.lengthLabel = TimeText::Short(t);
  slot.nameLabel = std::string(info.trans->DisplayName());
}

void StripModel::Thumbnail(DIB& out, const BitmapInfoHeader* header, const std::uint8_t* bits) {
  ++thumbnails_;
  if (!out.Create(WindowLayout::kThumbWidth, WindowLayout::kThumbHeight))
    return;
  if (header && bits && DIB::IsReadable(*header) && header->biWidth == out.Width() &&
      header->biHeight == out.Height()) {
    std::memcpy(out.Bits(), bits, out.SizeImage());
    return;
  }
  if (!out.ResizeFrom(header, bits))
    placeholder_.DrawInto(out);
}

} // namespace rw::view
