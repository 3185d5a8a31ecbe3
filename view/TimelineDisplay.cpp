#include "view/TimelineDisplay.h"

#include "project/VideoProject.h"
#include "view/ConnectorSketch.h"
#include "view/OverviewSketch.h"
#include "view/TimeText.h"
#include "view/WindowLayout.h"

namespace rw::view {

TimelineDisplay::TimelineDisplay(VideoProject& project) : project_(project) {}

TimelineDisplay::Changes TimelineDisplay::Refresh(std::int32_t frame, bool full) {
  Changes changes;
  if (frame != -1)
    project_.SetCurrentFrame(frame);
  const pVideoClipList& list = project_.List();
  const std::int32_t current = project_.CurrentFrame();
  const std::int32_t total = list.TotalFrames();
  const ClipPos& pos = project_.CurrentPos();

  marker_ = OverviewSketch::Marker(WindowLayout::kImageProject.w, total, current);
  timeNow_ = TimeText::Long(current);
  const ClipInfo& entry = list.EntryAt(pos.index);
  clipRelative_ = list.IsValidPos(pos) && entry.HasValidClip()
                      ? TimeText::Long(entry.clip->GetBeginFrame() + pos.frame)
                      : "--:--:--";
  changes.marker = true;

  if (full) {
    overview_ = OverviewSketch::Bar(list, WindowLayout::kImageProject.w, WindowLayout::kImageProject.h);
    timeTotal_ = TimeText::Long(total);
    changes.overview = true;
  }

  if (current != lastShown_ || full) {
    changes.frameImages = images_.RefreshFrames(list, current, full);
    changes.audioImages = images_.RefreshAudio(list, current, full);
    changes.audioLines = audio_.Refresh(list, current, current >= total, full);
    changes.audioFields = changes.audioLines;
    const std::int32_t index = project_.CurrentEntryIndex();
    changes.slotBits = strip_.Refresh(list, index, current >= total ? 0 : pos.frame, full);
    if (changes.slotBits != 0 || full) {
      cutPage_ = CutPage::Make(list, pos);
      connector_ = ConnectorSketch::Make(list, strip_);
      changes.cutPage = true;
      changes.connector = true;
    }
    transitionPage_ = TransitionPage::Make(list, strip_);
    changes.transitionPage = true;
  }

  changes.selection = RefreshSelection().selection;
  lastShown_ = current;
  return changes;
}

TimelineDisplay::Changes TimelineDisplay::MoveTo(std::int32_t f) {
  if (f < 0 || f > project_.List().TotalFrames() || f == project_.CurrentFrame())
    return {};
  return Refresh(f, false);
}

TimelineDisplay::Changes TimelineDisplay::JumpRelative(std::int32_t d) {
  const std::int64_t f = std::int64_t{project_.CurrentFrame()} + d;
  const std::int64_t total = project_.List().TotalFrames();
  return MoveTo(static_cast<std::int32_t>(f < 0 ? 0 : f > total ? total : f));
}

TimelineDisplay::Changes TimelineDisplay::RefreshAudio() {
  Changes changes;
  const pVideoClipList& list = project_.List();
  const std::int32_t current = project_.CurrentFrame();
  changes.audioImages = images_.RefreshAudio(list, current, true);
  changes.audioLines = audio_.Refresh(list, current, current >= list.TotalFrames(), true);
  changes.audioFields = true;
  return changes;
}

TimelineDisplay::Changes TimelineDisplay::RefreshSelection() {
  Changes changes;
  SelectionDisplay next = SelectionDisplay::Make(project_, strip_);
  changes.selection = !(next == selection_);
  selection_ = next;
  return changes;
}

void TimelineDisplay::SelectAudioLine(int line) {
  audio_.Select(project_.List(), line);
}

} // namespace rw::view
