#pragma once

#include "base/Handle.h"
#include "project/ClipInfo.h"
#include "project/EntryChunk.h"

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace rw {

// The timeline entries of one clip list, kept in shared chunks of 16 to 64 entries. Copying a
// sequence copies the chunk directory only; a change copies the chunks it touches. Lookups by
// index take constant time; the frame arithmetic uses the chunks' cached sums.
//
// Notation: len(i) is entry i's cut length, T(i) the length of its incoming transition (T of the
// index just past the end is 0). StartOf(i) = sum over j < i of (len(j) - T(j + 1)).
class EntrySequence {
public:
  static constexpr std::int32_t kChunkMin = 16;
  static constexpr std::int32_t kChunkMax = 64;

  std::int32_t Size() const { return size_; }
  // Entry i, 0 <= i < Size().
  const ClipInfo& At(std::int32_t i) const;
  // T(i) for 0 <= i <= Size().
  std::int32_t TransAt(std::int32_t i) const { return i < size_ ? At(i).TransLength() : 0; }
  // len(i) - T(i + 1): the frames that belong to entry i alone on the timeline.
  std::int64_t OwnFrames(std::int32_t i) const { return std::int64_t{At(i).Length()} - TransAt(i + 1); }
  // The timeline length: StartOf(Size()).
  std::int64_t Total() const { return total_; }
  // StartOf(i) for 0 <= i <= Size().
  std::int64_t StartOf(std::int32_t i) const;
  // The first entry i with StartOf(i + 1) > f, the entry that timeline frame f belongs to; -1
  // when f < 0 or no entry ends past f.
  std::int32_t IndexOfFrame(std::int64_t f) const;

  // Replaces the entries from..to-1 by `entries`.
  void Splice(std::int32_t from, std::int32_t to, std::span<const ClipInfo> entries);
  // Offers every entry to `change`; the entries it reports as changed are stored back.
  void UpdateAll(const std::function<bool(ClipInfo&)>& change);

private:
  struct Slot {
    Handle<EntryChunk> chunk;
    std::int64_t baseA = 0;  // sum of (len - T) over every entry before the chunk
    std::int64_t maxEnd = 0; // largest StartOf(i + 1) over the entries up to the chunk's last
    std::int32_t first = 0;  // index of the chunk's first entry
  };
  struct Located {
    std::size_t slot;
    std::int32_t offset;
  };

  Located Locate(std::int32_t i) const;
  const EntryChunk& ChunkAt(std::size_t s) const { return *slots_[s].chunk; }
  // Brings every chunk to 16..64 entries (a lone chunk may be smaller), then rebuilds the
  // directory and the index table.
  void Rebuild();
  void Normalize();
  void SplitChunk(std::size_t s);

  std::vector<Slot> slots_;
  // byIndex_[k]: the slot holding entry k * kChunkMin.
  std::vector<std::uint32_t> byIndex_;
  std::int32_t size_ = 0;
  std::int64_t total_ = 0;
  std::int64_t firstTrans_ = 0;
};

} // namespace rw
