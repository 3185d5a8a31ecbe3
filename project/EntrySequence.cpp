#include "project/EntrySequence.h"

#include <algorithm>

namespace rw {

namespace {
// Size of the pieces an overfull chunk is cut into: half the largest chunk, so that a few
// inserts fit before the next cut.
constexpr std::size_t kPiece = EntrySequence::kChunkMax / 2;
} // namespace

EntrySequence::Located EntrySequence::Locate(std::int32_t i) const {
  std::size_t s = byIndex_[static_cast<std::size_t>(i / kChunkMin)];
  while (s + 1 < slots_.size() && slots_[s + 1].first <= i)
    ++s;
  return {s, i - slots_[s].first};
}

const ClipInfo& EntrySequence::At(std::int32_t i) const {
  const Located at = Locate(i);
  return ChunkAt(at.slot).items[static_cast<std::size_t>(at.offset)];
}

std::int64_t EntrySequence::StartOf(std::int32_t i) const {
  if (i >= size_)
    return total_;
  const Located at = Locate(i);
  const EntryChunk& chunk = ChunkAt(at.slot);
  const auto k = static_cast<std::size_t>(at.offset);
  return slots_[at.slot].baseA + chunk.prefix[k] - chunk.items[k].TransLength() + firstTrans_;
}

std::int32_t EntrySequence::IndexOfFrame(std::int64_t f) const {
  if (f < 0)
    return -1;
  const auto it =
      std::partition_point(slots_.begin(), slots_.end(), [f](const Slot& slot) { return slot.maxEnd <= f; });
  if (it == slots_.end())
    return -1;
  const auto s = static_cast<std::size_t>(it - slots_.begin());
  const EntryChunk& chunk = ChunkAt(s);
  const std::size_t n = chunk.items.size();
  for (std::size_t k = 0; k < n; ++k) {
    std::int64_t next = 0;
    if (k + 1 < n)
      next = chunk.items[k + 1].TransLength();
    else if (s + 1 < slots_.size())
      next = ChunkAt(s + 1).items.front().TransLength();
    if (it->baseA + chunk.prefix[k + 1] - next + firstTrans_ > f)
      return it->first + static_cast<std::int32_t>(k);
  }
  return -1;
}

void EntrySequence::Splice(std::int32_t from, std::int32_t to, std::span<const ClipInfo> entries) {
  from = std::clamp(from, 0, size_);
  to = std::clamp(to, from, size_);
  if (from == to && entries.empty())
    return;
  if (to > from) {
    const Located at = Locate(from);
    std::size_t s = at.slot;
    std::int32_t offset = at.offset;
    std::int32_t remaining = to - from;
    while (remaining > 0) {
      const auto n = static_cast<std::int32_t>(ChunkAt(s).items.size());
      const std::int32_t take = std::min(remaining, n - offset);
      if (offset == 0 && take == n) {
        slots_.erase(slots_.begin() + static_cast<std::ptrdiff_t>(s));
      } else {
        slots_[s].chunk.Detach();
        auto& items = slots_[s].chunk->items;
        items.erase(items.begin() + offset, items.begin() + offset + take);
        slots_[s].chunk->Refresh();
        ++s;
      }
      remaining -= take;
      offset = 0;
    }
  }
  if (!entries.empty()) {
    if (slots_.empty()) {
      slots_.push_back(Slot{Handle<EntryChunk>::Make()});
    }
    // Find the chunk that holds the insertion point among the chunks left by the erase.
    std::int32_t first = 0;
    std::size_t s = 0;
    for (; s + 1 < slots_.size(); ++s) {
      const auto n = static_cast<std::int32_t>(ChunkAt(s).items.size());
      if (from < first + n)
        break;
      first += n;
    }
    slots_[s].chunk.Detach();
    auto& items = slots_[s].chunk->items;
    items.insert(items.begin() + (from - first), entries.begin(), entries.end());
    slots_[s].chunk->Refresh();
  }
  Rebuild();
}

void EntrySequence::UpdateAll(const std::function<bool(ClipInfo&)>& change) {
  for (Slot& slot : slots_) {
    bool detached = false;
    const std::size_t n = slot.chunk->items.size();
    for (std::size_t k = 0; k < n; ++k) {
      ClipInfo entry = slot.chunk->items[k];
      if (!change(entry))
        continue;
      if (!detached) {
        slot.chunk.Detach();
        detached = true;
      }
      slot.chunk->items[k] = std::move(entry);
    }
    if (detached)
      slot.chunk->Refresh();
  }
  Rebuild();
}

void EntrySequence::SplitChunk(std::size_t s) {
  const Handle<EntryChunk> whole = slots_[s].chunk;
  const std::size_t n = whole->items.size();
  const std::size_t pieces = (n + kPiece - 1) / kPiece;
  std::vector<Slot> made;
  made.reserve(pieces);
  std::size_t begin = 0;
  for (std::size_t p = 0; p < pieces; ++p) {
    const std::size_t count = n / pieces + (p < n % pieces ? 1 : 0);
    Handle<EntryChunk> piece = Handle<EntryChunk>::Make();
    piece->items.assign(whole->items.begin() + static_cast<std::ptrdiff_t>(begin),
                        whole->items.begin() + static_cast<std::ptrdiff_t>(begin + count));
    piece->Refresh();
    made.push_back(Slot{std::move(piece)});
    begin += count;
  }
  slots_.erase(slots_.begin() + static_cast<std::ptrdiff_t>(s));
  slots_.insert(slots_.begin() + static_cast<std::ptrdiff_t>(s), made.begin(), made.end());
}

void EntrySequence::Normalize() {
  for (std::size_t s = 0; s < slots_.size();) {
    const std::size_t n = ChunkAt(s).items.size();
    if (n == 0) {
      slots_.erase(slots_.begin() + static_cast<std::ptrdiff_t>(s));
      continue;
    }
    if (n < static_cast<std::size_t>(kChunkMin) && slots_.size() > 1) {
      // Merge with the following chunk, or with the previous one when this is the last.
      const std::size_t a = s + 1 < slots_.size() ? s : s - 1;
      Handle<EntryChunk> merged = Handle<EntryChunk>::Make();
      const auto& left = ChunkAt(a).items;
      const auto& right = ChunkAt(a + 1).items;
      merged->items.reserve(left.size() + right.size());
      merged->items.insert(merged->items.end(), left.begin(), left.end());
      merged->items.insert(merged->items.end(), right.begin(), right.end());
      merged->Refresh();
      slots_[a].chunk = std::move(merged);
      slots_.erase(slots_.begin() + static_cast<std::ptrdiff_t>(a + 1));
      s = a;
      continue;
    }
    if (n > static_cast<std::size_t>(kChunkMax)) {
      SplitChunk(s);
      s += (n + kPiece - 1) / kPiece;
      continue;
    }
    ++s;
  }
}

void EntrySequence::Rebuild() {
  Normalize();
  size_ = 0;
  std::int64_t sum = 0;
  std::int64_t run = EntryChunk::kNoEnd;
  firstTrans_ = slots_.empty() ? 0 : ChunkAt(0).items.front().TransLength();
  for (std::size_t s = 0; s < slots_.size(); ++s) {
    const EntryChunk& chunk = ChunkAt(s);
    const std::size_t n = chunk.items.size();
    slots_[s].first = size_;
    slots_[s].baseA = sum;
    const std::int64_t next = s + 1 < slots_.size() ? ChunkAt(s + 1).items.front().TransLength() : 0;
    std::int64_t end = sum + chunk.prefix[n] - next + firstTrans_;
    if (chunk.innerMaxEnd != EntryChunk::kNoEnd)
      end = std::max(end, sum + chunk.innerMaxEnd + firstTrans_);
    run = std::max(run, end);
    slots_[s].maxEnd = run;
    size_ += static_cast<std::int32_t>(n);
    sum += chunk.prefix[n];
  }
  total_ = sum + firstTrans_;
  byIndex_.resize(static_cast<std::size_t>((size_ + kChunkMin - 1) / kChunkMin));
  std::size_t s = 0;
  for (std::size_t k = 0; k < byIndex_.size(); ++k) {
    const auto index = static_cast<std::int32_t>(k) * kChunkMin;
    while (s + 1 < slots_.size() && slots_[s + 1].first <= index)
      ++s;
    byIndex_[k] = static_cast<std::uint32_t>(s);
  }
}

} // namespace rw
