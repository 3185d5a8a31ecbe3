#include "view/ImageRow.h"

#include <utility>

namespace rw::view {

ImageRow::ImageRow(std::int32_t width, std::int32_t height) {
  for (int slot = -4; slot <= 4; ++slot) {
    if (Kept(slot))
      images_[static_cast<std::size_t>(slot + 4)].Create(width, height);
  }
  frames_.fill(kNone);
}

std::uint32_t ImageRow::Refresh(std::int32_t current, bool full, const Draw& draw) {
  std::array<DIB, 9> old;
  const std::array<std::int32_t, 9> oldFrames = frames_;
  std::swap(old, images_);
  frames_.fill(kNone);
  std::uint32_t changed = 0;
  // First every picture still in the row moves to its new place...
  for (std::size_t k = 0; k < images_.size() && !full; ++k) {
    const int slot = static_cast<int>(k) - 4;
    for (std::size_t j = 0; Kept(slot) && j < old.size(); ++j) {
      if (oldFrames[j] == current + slot && old[j].IsPresent()) {
        images_[k] = std::move(old[j]);
        frames_[k] = current + slot;
        if (j != k)
          changed |= 1u << k;
        break;
      }
    }
  }
  // ...then the places that came into view are drawn into the buffers left over.
  std::size_t spare = 0;
  for (std::size_t k = 0; k < images_.size(); ++k) {
    const int slot = static_cast<int>(k) - 4;
    if (!Kept(slot) || frames_[k] != kNone)
      continue;
    while (!old[spare].IsPresent())
      ++spare; // there is one buffer for every place kept
    images_[k] = std::move(old[spare]);
    draw(images_[k], current + slot);
    ++drawn_;
    frames_[k] = current + slot;
    changed |= 1u << k;
  }
  return changed;
}

} // namespace rw::view
