#include "view/CutPage.h"

#include "project/VideoClipList.h"
#include "view/TimeText.h"

#include <algorithm>

namespace rw::view {

CutPage CutPage::Make(const pVideoClipList& list, const ClipPos& pos) {
  CutPage page;
  const ClipInfo& entry = list.EntryAt(pos.index);
  if (pos.index < 0 || pos.index >= list.Count() || !entry.HasValidClip())
    return page;
  const pVideoClip& clip = *entry.clip;
  page.beginValue = clip.GetBeginFrame();
  page.endValue = clip.GetEndFrame();
  page.totalValue = clip.Length();
  page.begin = TimeText::Short(page.beginValue);
  page.end = TimeText::Short(page.endValue);
  page.total = TimeText::Short(page.totalValue);
  page.rangeEnabled = clip.HasBeginEnd() && !clip.IsOffline();
  page.lengthEnabled = !clip.IsOffline();
  page.upDownMax = std::max(clip.GetSourceLength(), 0);
  page.configEnabled = clip.IsConfigurable();
  return page;
}

} // namespace rw::view
