// The edits of the project that change cuts, transitions and output settings.

#include "base/ColorChooser.h"
#include "media/MediaContext.h"
#include "project/EditDialogs.h"
#include "project/VideoProject.h"

#include <algorithm>

namespace rw {

bool VideoProject::InsertClip(const ClipPos& pos, const VideoClip& clip) {
  const pVideoClipList& list = List();
  if (!list.IsValidPos(pos) || clip.IsNull() || !clip->IsValid())
    return false;
  const std::int64_t c = CurrentFrame();
  const bool shifts = c >= list.FrameOf(pos);
  EditInfo next = Draft();
  if (!next.list->InsertEntry(pos, ClipInfo(clip), Messages()))
    return false;
  const std::int64_t grown = next.list->TotalFrames() - list.TotalFrames();
  return Commit(std::move(next), shifts ? c + grown : c);
}

bool VideoProject::AppendClip(const VideoClip& clip) {
  if (clip.IsNull() || !clip->IsValid())
    return false;
  const std::int64_t c = CurrentFrame();
  const bool atEnd = c == List().TotalFrames();
  EditInfo next = Draft();
  if (!next.list->AppendEntry(ClipInfo(clip), Messages()))
    return false;
  const std::int64_t grown = next.list->TotalFrames() - List().TotalFrames();
  return Commit(std::move(next), atEnd ? c + grown : c);
}

bool VideoProject::DeleteClip(const ClipPos& pos) {
  const pVideoClipList& list = List();
  if (!list.IsValidPos(pos))
    return false;
  const std::int64_t c = CurrentFrame();
  const ClipPos& current = CurrentPos();
  EditInfo next = Draft();
  if (!next.list->DeleteRange(list.CutStartPos(pos), list.CutEndPos(pos), Messages()))
    return false;
  // Frames behind the cut move by what the timeline lost (the cut less the transition into it).
  std::int64_t after = c;
  if (current.index > pos.index)
    after = c + next.list->TotalFrames() - list.TotalFrames();
  else if (current.index == pos.index)
    after = c - current.frame;
  return Commit(std::move(next), after);
}

bool VideoProject::DeleteFrames(ClipPos a, ClipPos b) {
  const pVideoClipList& list = List();
  if (!list.IsValidPos(a) || !list.IsValidPos(b))
    return false;
  if (b < a)
    std::swap(a, b);
  const std::int64_t c = CurrentFrame();
  const ClipPos& current = CurrentPos();
  EditInfo next = Draft();
  if (!next.list->DeleteRange(a, b, Messages()))
    return false;
  std::int64_t after = c;
  if (b < current)
    after = c + next.list->TotalFrames() - list.TotalFrames();
  else if (a < current)
    after = c - list.FrameCount(a, current);
  return Commit(std::move(next), after);
}

bool VideoProject::Split(const ClipPos& pos) {
  if (!List().IsValidPos(pos) || pos.frame == 0)
    return false;
  EditInfo next = Draft();
  if (!next.list->IsValidPos(next.list->Split(pos, Messages())))
    return false;
  return Commit(std::move(next), CurrentFrame());
}

bool VideoProject::Paste(const ClipPos& pos) {
  return !clipboard_.IsNull() && InsertList(pos, *clipboard_);
}

bool VideoProject::InsertList(const ClipPos& pos, const pVideoClipList& other) {
  if (other.TotalFrames() < 1)
    return false;
  const std::int64_t c = CurrentFrame();
  const bool shifts = List().Count() == 0 || c >= FrameOrEnd(pos);
  EditInfo next = Draft();
  if (!next.list->InsertList(pos, &other, Messages()))
    return false;
  const std::int64_t grown = next.list->TotalFrames() - List().TotalFrames();
  return Commit(std::move(next), shifts ? c + grown : c);
}

bool VideoProject::SetTransition(const VideoTransition& trans, std::int32_t i) {
  const pVideoClipList& list = List();
  if (i <= 0 || i >= list.Count())
    return false;
  const std::int64_t c = CurrentFrame();
  const std::int64_t after = list.StartOf(i) < c ? c + list.TransOf(i) - trans.Length() : c;
  ClipInfo entry = list.EntryAt(i);
  entry.trans = trans;
  EditInfo next = Draft();
  if (!next.list->ReplaceEntry(entry, i, Messages()))
    return false;
  return Commit(std::move(next), after);
}

bool VideoProject::TransitionEndingHere(VideoTransition trans) {
  const ClipPos& pos = CurrentPos();
  if (!List().IsValidPos(pos))
    return false;
  trans.SetLength(pos.frame + 1);
  return SetTransition(trans, pos.index);
}

bool VideoProject::TransitionStartingHere(VideoTransition trans) {
  const ClipPos& pos = CurrentPos();
  if (!List().IsValidPos(pos))
    return false;
  trans.SetLength(List().LengthOf(pos.index) - pos.frame);
  return SetTransition(trans, pos.index + 1);
}

bool VideoProject::RemoveTransitionHere() {
  const ClipPos& pos = CurrentPos();
  if (!List().IsValidPos(pos) || pos.frame >= List().TransOf(pos.index))
    return false;
  return SetTransition(VideoTransition(), pos.index);
}

template <class Trim, class Value, class FrameAfter>
bool VideoProject::TrimEdit(std::int32_t i, Trim trim, Value value, FrameAfter frameAfter) {
  const pVideoClipList& list = List();
  if (i < 0 || i >= list.Count() || !list.EntryAt(i).HasValidClip())
    return false;
  ClipInfo entry = list.EntryAt(i);
  const std::int32_t before = value(entry);
  if (!trim(entry))
    return false;
  // A cut that refused the value changed nothing: no edit to record.
  const std::int32_t now = value(entry);
  if (now == before)
    return false;
  const std::int64_t after = frameAfter(std::int64_t{CurrentFrame()}, before, now);
  EditInfo next = Draft();
  if (!next.list->ReplaceEntry(entry, i, Messages()))
    return false;
  return Commit(std::move(next), after);
}

bool VideoProject::SetBeginFrame(std::int32_t b, std::int32_t i) {
  const std::int64_t start = List().StartOf(i);
  return TrimEdit(
      i, [b](ClipInfo& e) { return e.SetBegin(b); },
      [](const ClipInfo& e) { return e.clip->GetBeginFrame(); },
      [start](std::int64_t c, std::int64_t from, std::int64_t to) {
        if (to > from) {
          const std::int64_t d = to - from;
          return c >= start + d ? c - d : (c >= start ? start : c);
        }
        return c >= start ? c + (from - to) : c;
      });
}

namespace {

// The frame after moving the end of a cut whose last timeline frame is `last` from `from` to `to`.
std::int64_t AfterEndChange(std::int64_t c, std::int64_t last, std::int64_t from, std::int64_t to) {
  const std::int64_t d = to - from;
  if (to < from)
    return c < last ? std::min(c, last + d) : c + d;
  return c >= last ? c + d : c;
}

} // namespace

bool VideoProject::SetEndFrame(std::int32_t e, std::int32_t i) {
  const std::int64_t last = List().LastFrameOf(i);
  return TrimEdit(
      i, [e](ClipInfo& entry) { return entry.SetEnd(e); },
      [](const ClipInfo& entry) { return entry.clip->GetEndFrame(); },
      [last](std::int64_t c, std::int64_t from, std::int64_t to) {
        return AfterEndChange(c, last, from, to);
      });
}

bool VideoProject::SetLength(std::int32_t n, std::int32_t i) {
  const std::int64_t last = List().LastFrameOf(i);
  return TrimEdit(
      i, [n](ClipInfo& entry) { return entry.SetTotal(n); },
      [](const ClipInfo& entry) { return entry.Length(); },
      [last](std::int64_t c, std::int64_t from, std::int64_t to) {
        return AfterEndChange(c, last, from, to);
      });
}

bool VideoProject::ConfigureClip(ColorChooser& chooser, std::int32_t i) {
  const pVideoClipList& list = List();
  if (i < 0 || i >= list.Count())
    return false;
  ClipInfo entry = list.EntryAt(i);
  if (!entry.HasValidClip() || !entry.clip->IsConfigurable())
    return false;
  if (!entry.clip.Configure(chooser))
    return false;
  EditInfo next = Draft();
  if (!next.list->UpdateEntry(entry, i))
    return false;
  return Commit(std::move(next), CurrentFrame());
}

bool VideoProject::ChooseCompressor(EditDialogs& dialogs) {
  if (current_.list.IsNull())
    return false;
  OutputInfo settings = List().Output();
  if (!dialogs.ChooseCompressor(settings))
    return false;
  EditInfo next = Draft();
  next.list->SetOutput(settings);
  return Commit(std::move(next), CurrentFrame());
}

bool VideoProject::SetOutputFormat(EditDialogs& dialogs) {
  if (current_.list.IsNull())
    return false;
  OutputInfo settings = List().OutputForDialog();
  if (!dialogs.EditOutputFormat(settings))
    return false;
  EditInfo next = Draft();
  next.list->SetOutput(settings);
  return Commit(std::move(next), CurrentFrame());
}

} // namespace rw
