#include "project/AudioClipSet.h"

namespace rw {

namespace {
// Room added beyond a request when the array must grow, so that appending is amortised.
constexpr std::size_t kGrowth = 16;
} // namespace

pAudioClipSet::pAudioClipSet(const pAudioClipSet& other) : RefCounted(), items_(other.items_) {}

AudioClip pAudioClipSet::At(std::int32_t i) const {
  if (i < 0 || i >= Count())
    return AudioClip();
  return items_[static_cast<std::size_t>(i)];
}

void pAudioClipSet::Append(AudioClip clip) {
  if (items_.size() + 1 >= items_.capacity())
    items_.reserve(items_.size() + 1 + kGrowth);
  items_.push_back(std::move(clip));
}

void pAudioClipSet::Set(std::int32_t i, AudioClip clip) {
  if (i < 0 || i >= Count())
    return;
  items_[static_cast<std::size_t>(i)] = std::move(clip);
}

void pAudioClipSet::Remove(std::int32_t i) {
  if (i < 0 || i >= Count())
    return;
  items_.erase(items_.begin() + i);
}

} // namespace rw
