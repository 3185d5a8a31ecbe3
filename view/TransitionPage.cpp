#include "view/TransitionPage.h"

#include "project/VideoClipList.h"
#include "view/StripModel.h"
#include "view/TimeText.h"

namespace rw::view {

TransitionPage TransitionPage::Make(const pVideoClipList& list, const StripModel& strip) {
  TransitionPage page;
  const StripSlot& now = strip.Slot(0);
  const SlotRef& left = strip.Slot(-1).ref;
  if (now.ref.transition) {
    page.nowIsTransition = true;
    page.entry = now.ref.entry;
    const ClipInfo& entry = list.EntryAt(page.entry);
    page.lengthValue = entry.TransLength();
    page.length = TimeText::Short(page.lengthValue);
    page.name = std::string(entry.trans->DisplayName());
    page.addBeforeEnabled = false;
    page.addAfterEnabled = false;
  } else if (left.transition && left.entry == now.ref.entry) {
    page.addBeforeEnabled = false;
  }
  return page;
}

} // namespace rw::view
