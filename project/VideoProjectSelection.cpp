// Selection, copy, cut and paste of the project.

#include "project/VideoProject.h"

#include <algorithm>

namespace rw {

namespace {

// f limited to the frames of a timeline of `total` frames; 0 for an empty one.
std::int32_t ClampToTimeline(std::int32_t f, std::int32_t total) {
  return std::max(0, std::min(f, total - 1));
}

} // namespace

bool VideoProject::StartSelection(SelMode mode, std::int32_t f) {
  current_.selMode = mode;
  current_.selStart = ClampToTimeline(f, List().TotalFrames());
  current_.selEnd = -1;
  return true;
}

bool VideoProject::SetSelectionEnd(std::int32_t f) {
  const std::int32_t end = ClampToTimeline(f, List().TotalFrames());
  if (end == current_.selEnd)
    return false;
  current_.selEnd = end;
  return true;
}

bool VideoProject::SelectionRange(ClipPos& a, ClipPos& b) const {
  if (current_.selMode == SelMode::None)
    return false;
  const pVideoClipList& list = List();
  const std::int32_t total = list.TotalFrames();
  std::int32_t endFrame;
  ClipPos end;
  if (current_.selEnd == -1) {
    if (current_.currentFrame == total) {
      endFrame = total - 1;
      end = list.PosAt(endFrame);
    } else {
      endFrame = current_.currentFrame;
      end = current_.currentPos;
    }
  } else {
    endFrame = current_.selEnd;
    end = list.PosAt(endFrame);
  }
  const ClipPos start = list.PosAt(std::min(current_.selStart, total - 1));
  if (current_.selMode == SelMode::Frames) {
    if (endFrame < current_.selStart) {
      a = end;
      b = start;
    } else {
      a = start;
      b = end;
    }
    return true;
  }
  const bool startFirst = start.index <= end.index;
  a = list.CutStartPos(startFirst ? start : end);
  b = list.CutEndPos(startFirst ? end : start);
  return true;
}

bool VideoProject::Copy() {
  ClipPos a;
  ClipPos b;
  if (!SelectionRange(a, b) || !List().IsValidPos(a) || !List().IsValidPos(b))
    return false;
  VideoClipList copy = pVideoClipList::CopyRange(List(), a, b);
  if (copy.IsNull())
    return false;
  clipboard_ = std::move(copy);
  return true;
}

bool VideoProject::Cut() {
  ClipPos a;
  ClipPos b;
  const pVideoClipList& list = List();
  if (!SelectionRange(a, b) || !list.IsValidPos(a) || !list.IsValidPos(b))
    return false;
  VideoClipList copy = pVideoClipList::CopyRange(list, a, b);
  if (copy.IsNull())
    return false;
  // The clipboard keeps the range even when the delete fails.
  clipboard_ = std::move(copy);
  const std::int64_t c = CurrentFrame();
  const std::int64_t first = list.FrameOf(a);
  const std::int64_t last = list.FrameOf(b);
  EditInfo next = Draft();
  if (!next.list->DeleteRange(a, b, Messages()))
    return false;
  std::int64_t after = c;
  if (last < c)
    after = c + next.list->TotalFrames() - list.TotalFrames();
  else if (first < c)
    after = first;
  return Commit(std::move(next), after);
}

} // namespace rw
