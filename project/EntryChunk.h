#pragma once

#include "base/RefCounted.h"
#include "project/ClipInfo.h"

#include <cstdint>
#include <limits>
#include <vector>

namespace rw {

// A run of consecutive timeline entries, shared between clip lists (edit states, the clipboard)
// and copied only when one of them changes it. It caches the frame sums of its entries, which
// stay valid while it is shared because shared entries never change.
struct EntryChunk : RefCounted {
  static constexpr std::int64_t kNoEnd = std::numeric_limits<std::int64_t>::min();

  std::vector<ClipInfo> items;
  // prefix[k]: sum over the first k items of (cut length - incoming transition length).
  std::vector<std::int64_t> prefix;
  // The largest prefix[k] - T(item k) for k in 1..size-1: where the frames of every item but
  // the last end, relative to the chunk; kNoEnd for fewer than two items.
  std::int64_t innerMaxEnd = kNoEnd;

  // Recomputes the cached sums after `items` changed.
  void Refresh() {
    prefix.resize(items.size() + 1);
    prefix[0] = 0;
    innerMaxEnd = kNoEnd;
    for (std::size_t k = 0; k < items.size(); ++k) {
      const std::int64_t trans = items[k].TransLength();
      if (k > 0 && prefix[k] - trans > innerMaxEnd)
        innerMaxEnd = prefix[k] - trans;
      prefix[k + 1] = prefix[k] + items[k].Length() - trans;
    }
  }
};

} // namespace rw
