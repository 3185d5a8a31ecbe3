#include "project/VideoClipList.h"

#include <algorithm>

namespace rw {

const ClipInfo& pVideoClipList::EntryAt(std::int32_t i) const {
  if (i < 0 || i >= Count())
    return ClipInfo::Default();
  return entries_.At(i);
}

std::int32_t pVideoClipList::TransOf(std::int32_t i) const {
  if (i < 0 || i >= Count())
    return 0;
  return entries_.TransAt(i);
}

std::int32_t pVideoClipList::StartOf(std::int32_t i) const {
  if (i < 0 || i > Count())
    return -1;
  return static_cast<std::int32_t>(entries_.StartOf(i));
}

std::int32_t pVideoClipList::LastFrameOf(std::int32_t i) const {
  if (i < 0 || i >= Count())
    return -1;
  return StartOf(i) + LengthOf(i) - 1;
}

std::int32_t pVideoClipList::OwnStartOf(std::int32_t i) const {
  if (i < 0 || i >= Count())
    return -1;
  return StartOf(i) + TransOf(i);
}

std::int32_t pVideoClipList::OwnEndOf(std::int32_t i) const {
  if (i < 0 || i >= Count())
    return -1;
  return StartOf(i) + LengthOf(i) - TransOf(i + 1) - 1;
}

std::int32_t pVideoClipList::FrameOf(const ClipPos& pos) const {
  if (!IsValidPos(pos))
    return -1;
  return StartOf(pos.index) + pos.frame;
}

ClipPos pVideoClipList::PosAt(std::int32_t f) const {
  const std::int32_t i = entries_.IndexOfFrame(f);
  if (i >= 0)
    return MakePos(i, static_cast<std::int32_t>(f - entries_.StartOf(i)));
  if (f == TotalFrames())
    return EndPos();
  return ClipPos::Invalid();
}

ClipPos pVideoClipList::FirstPos() const {
  if (Count() <= 0)
    return ClipPos::Invalid();
  std::int32_t i = 0;
  while (i < Count() && OwnFrames(i) <= 0)
    ++i;
  return MakePos(i, 0);
}

ClipPos pVideoClipList::LastPos() const {
  if (Count() <= 0)
    return ClipPos::Invalid();
  return MakePos(Count() - 1, LengthOf(Count() - 1) - 1);
}

ClipPos pVideoClipList::EndPos() const {
  return ClipPos(ClipInfo::Default(), Count(), 0);
}

ClipPos pVideoClipList::NextPos(const ClipPos& pos) const {
  if (!IsValidPos(pos))
    return ClipPos::Invalid();
  if (pos.frame + 1 < OwnFrames(pos.index))
    return MakePos(pos.index, pos.frame + 1);
  std::int32_t i = pos.index + 1;
  while (i < Count() && OwnFrames(i) <= 0)
    ++i;
  return MakePos(i, 0);
}

ClipPos pVideoClipList::PrevPos(const ClipPos& pos) const {
  if (!IsValidPos(pos))
    return ClipPos::Invalid();
  if (pos.frame != 0)
    return MakePos(pos.index, pos.frame - 1);
  std::int32_t i = pos.index - 1;
  while (i >= 0 && OwnFrames(i) <= 0)
    --i;
  if (i < 0)
    return ClipPos::Invalid();
  return MakePos(i, static_cast<std::int32_t>(OwnFrames(i) - 1));
}

ClipPos pVideoClipList::PrevCutPos(const ClipPos& pos) const {
  if (!IsValidPos(pos) || pos.index - 1 < 0)
    return ClipPos::Invalid();
  const std::int32_t i = pos.index - 1;
  return MakePos(i, std::min(pos.frame, LengthOf(i) - 1));
}

ClipPos pVideoClipList::NextCutPos(const ClipPos& pos) const {
  if (!IsValidPos(pos) || pos.index + 1 >= Count())
    return ClipPos::Invalid();
  const std::int32_t i = pos.index + 1;
  return MakePos(i, std::min(pos.frame, LengthOf(i) - 1));
}

ClipPos pVideoClipList::CutStartPos(const ClipPos& pos) const {
  if (!IsValidPos(pos))
    return ClipPos::Invalid();
  return MakePos(pos.index, 0);
}

ClipPos pVideoClipList::CutEndPos(const ClipPos& pos) const {
  if (!IsValidPos(pos))
    return ClipPos::Invalid();
  return MakePos(pos.index, LengthOf(pos.index) - 1);
}

std::int32_t pVideoClipList::FrameCount(const ClipPos& a, const ClipPos& b) const {
  if (!IsValidPos(a) || !IsValidPos(b))
    return 0;
  const ClipPos& first = b < a ? b : a;
  const ClipPos& last = b < a ? a : b;
  if (first.index == last.index)
    return last.frame - first.frame + 1;
  std::int64_t count = std::int64_t{LengthOf(first.index)} - first.frame + last.frame + 1;
  for (std::int32_t i = first.index + 1; i < last.index; ++i)
    count += LengthOf(i);
  return static_cast<std::int32_t>(count);
}

bool pVideoClipList::IsValidPos(const ClipPos& pos) const {
  if (pos.index < 0 || pos.frame < 0 || pos.index >= Count() || !pos.info.HasValidClip())
    return false;
  if (pos.frame >= pos.info.clip->Length())
    return false;
  return EntryAt(pos.index).clip.Get() == pos.info.clip.Get();
}

void pVideoClipList::SetDisplaySize(std::int32_t width, std::int32_t height) {
  entries_.UpdateAll([width, height](ClipInfo& entry) { return entry.SetSize(width, height); });
}

OutputInfo pVideoClipList::OutputForDialog() const {
  OutputInfo copy = output_;
  if (Count() > 0) {
    // Only movie cuts record a frame size; the setters refuse the 0 of the other kinds.
    const VideoClip& first = EntryAt(0).clip;
    const bool movie = !first.IsNull() && first->IsMovieFile();
    if (copy.VideoWidth() < 1)
      copy.SetVideoWidth(movie ? first->GetWidth() : 0);
    if (copy.VideoHeight() < 1)
      copy.SetVideoHeight(movie ? first->GetHeight() : 0);
  }
  return copy;
}

bool VideoClipList::InsertClip(const ClipPos& pos, const VideoClip& clip, MessageText& messages) {
  if (IsNull())
    return false;
  Detach();
  return Get()->InsertEntry(pos, ClipInfo(clip), messages);
}

bool VideoClipList::AppendClip(const VideoClip& clip, MessageText& messages) {
  if (IsNull())
    return false;
  Detach();
  return Get()->AppendEntry(ClipInfo(clip), messages);
}

bool VideoClipList::ReplaceEntry(std::int32_t i, const VideoClip& clip, const VideoTransition& trans,
                                 const AudioClipSet& audio, MessageText& messages) {
  if (IsNull())
    return false;
  Detach();
  return Get()->ReplaceEntry(ClipInfo(clip, trans, audio), i, messages);
}

} // namespace rw
