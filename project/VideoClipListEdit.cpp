// Structural operations of the clip list: split, delete a range, insert, replace, copy a range.

#include "base/MessageText.h"
#include "project/VideoClipList.h"

#include <string_view>
#include <utility>
#include <vector>

namespace rw {

namespace {

constexpr std::string_view kSplitInTransition = "映像効果中では切断できません\n";
constexpr std::string_view kSplitOffline = "ファイルが見つからないカットは切断できません\n";
constexpr std::string_view kPreviousTooShort = "前のカットとの映像効果に必要なフレームが足りません\n";
constexpr std::string_view kNextTooShort = "後のカットとの映像効果に必要なフレームが足りません\n";
constexpr std::string_view kNoTransitionFirst = "最初のカットの前には映像効果を作ることはできませｎ\n";
constexpr std::string_view kTimelineTooLong = "タイムラインが長すぎます\n";

} // namespace

template <class Change> bool pVideoClipList::Transact(MessageText& messages, Change change) {
  EntrySequence saved = entries_;
  if (!change()) {
    entries_ = std::move(saved);
    return false;
  }
  if (entries_.Total() > kMaxTotalFrames) {
    messages.Append(kTimelineTooLong);
    entries_ = std::move(saved);
    return false;
  }
  return true;
}

bool pVideoClipList::CheckJoins(std::int32_t at, const ClipInfo& first, const ClipInfo& last,
                                MessageText& messages) const {
  if (at > 0 && LengthOf(at - 1) < first.TransLength()) {
    messages.Append(kPreviousTooShort);
    return false;
  }
  if (at < Count() && last.Length() < TransOf(at)) {
    messages.Append(kNextTooShort);
    return false;
  }
  return true;
}

ClipPos pVideoClipList::Split(const ClipPos& pos, MessageText& messages) {
  if (!IsValidPos(pos))
    return ClipPos::Invalid();
  if (pos.frame == 0)
    return pos;
  const std::int32_t i = pos.index;
  const std::int32_t f = pos.frame;
  const std::int32_t length = LengthOf(i);
  if (f < TransOf(i) || (i < Count() - 1 && TransOf(i + 1) >= length - f)) {
    messages.Append(kSplitInTransition);
    return ClipPos::Invalid();
  }
  ClipInfo first = EntryAt(i);
  ClipInfo second = first;
  second.trans = VideoTransition();
  second.DropFront(f);
  second.SetTotal(length - f);
  first.SetTotal(f);
  if (first.Length() != f || second.Length() != length - f) {
    // The cut refused to be trimmed: an offline cut keeps its record as it is.
    if (first.clip && first.clip->IsOffline())
      messages.Append(kSplitOffline);
    return ClipPos::Invalid();
  }
  const ClipInfo parts[] = {std::move(first), std::move(second)};
  entries_.Splice(i, i + 1, parts);
  return MakePos(i + 1, 0);
}

bool pVideoClipList::DeleteRange(ClipPos a, ClipPos b, MessageText& messages) {
  if (!IsValidPos(a) || !IsValidPos(b))
    return false;
  if (b < a)
    std::swap(a, b);
  const ClipPos next = NextPos(b);
  return Transact(messages, [&] {
    if (!IsValidPos(next)) {
      // The range runs to the end of the timeline.
      const ClipPos start = Split(a, messages);
      if (!IsValidPos(start))
        return false;
      entries_.Splice(start.index, Count(), {});
      return true;
    }
    // Split behind the range first: entries up to a's keep their indexes.
    const ClipPos after = Split(next, messages);
    if (!IsValidPos(after))
      return false;
    const ClipPos start = Split(MakePos(a.index, a.frame), messages);
    if (!IsValidPos(start))
      return false;
    const std::int32_t end = after.index + (start.index != a.index ? 1 : 0);
    if (start.index > 0 && LengthOf(start.index - 1) < TransOf(end)) {
      messages.Append(kPreviousTooShort);
      return false;
    }
    entries_.Splice(start.index, end, {});
    return true;
  });
}

bool pVideoClipList::InsertList(const ClipPos& pos, const pVideoClipList* other, MessageText& messages) {
  if (other == nullptr)
    return false;
  std::vector<ClipInfo> items;
  items.reserve(static_cast<std::size_t>(other->Count()));
  for (std::int32_t i = 0; i < other->Count(); ++i)
    items.push_back(other->EntryAt(i));
  return Transact(messages, [&] {
    std::int32_t at = 0;
    if (Count() > 0 && pos.index == Count()) {
      at = Count();
    } else if (Count() > 0) {
      const ClipPos start = Split(pos, messages);
      if (!IsValidPos(start))
        return false;
      at = start.index;
    }
    if (items.empty())
      return true;
    if (!CheckJoins(at, items.front(), items.back(), messages))
      return false;
    entries_.Splice(at, at, items);
    return true;
  });
}

bool pVideoClipList::InsertEntry(const ClipPos& pos, const ClipInfo& entry, MessageText& messages) {
  if (!entry.HasValidClip() || entry.Length() < 0)
    return false;
  return Transact(messages, [&] {
    std::int32_t at = 0;
    if (Count() > 0) {
      const ClipPos start = Split(pos, messages);
      if (!IsValidPos(start))
        return false;
      at = start.index;
    }
    if (!CheckJoins(at, entry, entry, messages))
      return false;
    entries_.Splice(at, at, std::span<const ClipInfo>(&entry, 1));
    return true;
  });
}

bool pVideoClipList::AppendEntry(const ClipInfo& entry, MessageText& messages) {
  if (!entry.HasValidClip() || entry.Length() < 0)
    return false;
  return Transact(messages, [&] {
    if (!CheckJoins(Count(), entry, entry, messages))
      return false;
    entries_.Splice(Count(), Count(), std::span<const ClipInfo>(&entry, 1));
    return true;
  });
}

bool pVideoClipList::AssignEntries(std::span<const ClipInfo> entries, MessageText& messages) {
  for (std::size_t k = 0; k < entries.size(); ++k) {
    if (!entries[k].HasValidClip() || entries[k].Length() < 0)
      return false;
    if (k > 0 && entries[k - 1].Length() < entries[k].TransLength()) {
      messages.Append(kPreviousTooShort);
      return false;
    }
  }
  return Transact(messages, [&] {
    entries_.Splice(0, Count(), entries);
    return true;
  });
}

bool pVideoClipList::ReplaceEntry(const ClipInfo& entry, std::int32_t i, MessageText& messages) {
  if (!entry.HasValidClip() || i < 0 || i >= Count())
    return false;
  const std::int64_t trans = entry.TransLength();
  if (i > 0 && LengthOf(i - 1) < TransOf(i - 1) + trans) {
    messages.Append(kPreviousTooShort);
    return false;
  }
  if (entry.Length() < TransOf(i + 1) + trans) {
    messages.Append(kNextTooShort);
    return false;
  }
  if (i == 0 && trans > 0) {
    messages.Append(kNoTransitionFirst);
    return false;
  }
  return Transact(messages, [&] {
    entries_.Splice(i, i + 1, std::span<const ClipInfo>(&entry, 1));
    return true;
  });
}

bool pVideoClipList::UpdateEntry(const ClipInfo& entry, std::int32_t i) {
  if (i < 0 || i >= Count() || entry.clip.IsNull() || entry.Length() != LengthOf(i) ||
      entry.TransLength() != TransOf(i))
    return false;
  entries_.Splice(i, i + 1, std::span<const ClipInfo>(&entry, 1));
  return true;
}

VideoClipList pVideoClipList::CopyRange(const pVideoClipList& source, ClipPos a, ClipPos b) {
  if (!source.IsValidPos(a) || !source.IsValidPos(b))
    return VideoClipList();
  if (b < a)
    std::swap(a, b);
  // Trimmed there, the first cut could not hold the transition into the second.
  if (a.index < b.index && a.frame > source.OwnFrames(a.index))
    return VideoClipList();
  std::vector<ClipInfo> items;
  items.reserve(static_cast<std::size_t>(b.index - a.index + 1));
  ClipInfo first = source.EntryAt(a.index);
  const std::int32_t firstLength =
      a.index == b.index ? b.frame - a.frame + 1 : source.LengthOf(a.index) - a.frame;
  first.DropFront(a.frame);
  first.SetTotal(firstLength);
  if (first.Length() != firstLength)
    return VideoClipList();
  items.push_back(std::move(first));
  if (a.index < b.index) {
    for (std::int32_t i = a.index + 1; i < b.index; ++i)
      items.push_back(source.EntryAt(i));
    ClipInfo last = source.EntryAt(b.index);
    last.SetTotal(b.frame + 1);
    if (last.Length() != b.frame + 1)
      return VideoClipList();
    items.push_back(std::move(last));
  }
  VideoClipList list = VideoClipList::New();
  list->output_ = source.output_;
  list->entries_.Splice(0, 0, items);
  return list;
}

} // namespace rw
