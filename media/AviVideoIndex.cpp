#include "media/AviVideoIndex.h"

#include <algorithm>
#include <limits>

namespace rw {

namespace {
constexpr std::int64_t kMaxEntries = std::numeric_limits<std::int32_t>::max() - 1;
}

void AviVideoIndex::Clear() {
  pictures_.clear();
  keys_.clear();
  frameCount_ = 0;
}

void AviVideoIndex::Add(std::int64_t entry, const AviSampleRef& ref, bool key) {
  if (entry < 0 || entry >= kMaxEntries || (!pictures_.empty() && entry <= pictures_.back().entry))
    return;
  if (key)
    keys_.push_back(static_cast<std::int32_t>(pictures_.size()));
  pictures_.push_back({static_cast<std::int32_t>(entry), ref, key});
}

void AviVideoIndex::Finish(std::int64_t frameCount) {
  const std::int64_t stored = pictures_.empty() ? 0 : pictures_.back().entry + 1;
  frameCount_ = static_cast<std::int32_t>(std::clamp<std::int64_t>(frameCount, stored, kMaxEntries));
}

bool AviVideoIndex::IsKeyFrame(std::int32_t entry) const {
  const std::int32_t p = PictureOf(entry);
  return p >= 0 && pictures_[p].key;
}

std::int32_t AviVideoIndex::PictureOf(std::int32_t entry) const {
  const std::int32_t p = PictureShownAt(entry);
  return p >= 0 && pictures_[p].entry == entry ? p : -1;
}

std::int32_t AviVideoIndex::PictureShownAt(std::int32_t entry) const {
  if (pictures_.empty())
    return -1;
  const auto it = std::upper_bound(pictures_.begin(), pictures_.end(), entry,
                                   [](std::int32_t e, const Picture& p) { return e < p.entry; });
  if (it == pictures_.begin())
    return 0;
  return static_cast<std::int32_t>(it - pictures_.begin()) - 1;
}

std::int32_t AviVideoIndex::KeyAtOrBefore(std::int32_t picture) const {
  const auto it = std::upper_bound(keys_.begin(), keys_.end(), picture);
  return it == keys_.begin() ? 0 : *(it - 1);
}

std::int32_t AviVideoIndex::KeyBefore(std::int32_t key) const {
  const auto it = std::lower_bound(keys_.begin(), keys_.end(), key);
  if (it == keys_.begin())
    return key > 0 ? 0 : -1;
  return *(it - 1);
}

} // namespace rw
