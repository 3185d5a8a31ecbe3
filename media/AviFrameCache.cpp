#include "media/AviFrameCache.h"

#include <algorithm>
#include <new>

namespace rw {

void AviFrameCache::Reset(std::size_t frameBytes, std::size_t limitBytes) {
  Clear();
  frameBytes_ = frameBytes;
  capacity_ = std::max<std::size_t>(2, frameBytes ? limitBytes / frameBytes : 2);
}

void AviFrameCache::Clear() {
  entries_.clear();
  byPicture_.clear();
  pinned_ = -1;
  protected_ = -1;
}

std::uint8_t* AviFrameCache::Find(std::int32_t picture) {
  const auto it = byPicture_.find(picture);
  if (it == byPicture_.end())
    return nullptr;
  entries_.splice(entries_.begin(), entries_, it->second);
  return it->second->pixels.get();
}

std::uint8_t* AviFrameCache::Insert(std::int32_t picture) {
  if (std::uint8_t* existing = Find(picture))
    return existing;
  std::unique_ptr<std::uint8_t[]> pixels;
  if (entries_.size() >= capacity_) {
    // Reuse the buffer of the least recently used picture that may go.
    for (auto it = entries_.end(); it != entries_.begin();) {
      --it;
      if (it->picture == pinned_ || it->picture == protected_)
        continue;
      pixels = std::move(it->pixels);
      byPicture_.erase(it->picture);
      entries_.erase(it);
      break;
    }
  }
  if (!pixels && entries_.size() >= capacity_)
    return nullptr;
  if (!pixels) {
    // Zeroed, so that the row padding is always 0.
    pixels.reset(new (std::nothrow) std::uint8_t[frameBytes_]());
    if (!pixels)
      return nullptr;
  }
  entries_.push_front({picture, std::move(pixels)});
  byPicture_[picture] = entries_.begin();
  return entries_.front().pixels.get();
}

void AviFrameCache::Remove(std::int32_t picture) {
  const auto it = byPicture_.find(picture);
  if (it == byPicture_.end())
    return;
  entries_.erase(it->second);
  byPicture_.erase(it);
}

} // namespace rw
