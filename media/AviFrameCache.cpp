#include "media/AviFrameCache.h"

extern "C" {
#include <libavutil/imgutils.h>
}

#include <algorithm>

namespace rw {

void AviFrameCache::SetLimit(std::size_t limitBytes) {
  Clear();
  limit_ = limitBytes;
  capacity_ = 2;
}

void AviFrameCache::Clear() {
  entries_.clear();
  byPicture_.clear();
  protected_ = -1;
}

const AVFrame* AviFrameCache::Find(std::int32_t picture) {
  const auto it = byPicture_.find(picture);
  if (it == byPicture_.end())
    return nullptr;
  entries_.splice(entries_.begin(), entries_, it->second);
  return it->second->frame.get();
}

bool AviFrameCache::Insert(std::int32_t picture, const AVFrame& frame) {
  if (entries_.empty()) {
    // The pictures of one stream share a size; the first one sets how many fit.
    const int bytes =
        av_image_get_buffer_size(static_cast<AVPixelFormat>(frame.format), frame.width, frame.height, 1);
    capacity_ = std::max<std::size_t>(2, bytes > 0 ? limit_ / static_cast<std::size_t>(bytes) : 2);
  }
  if (const auto it = byPicture_.find(picture); it != byPicture_.end()) {
    entries_.erase(it->second);
    byPicture_.erase(it);
  }
  if (entries_.size() >= capacity_) {
    // Drop the least recently used picture that may go.
    auto victim = entries_.end();
    for (auto it = entries_.end(); it != entries_.begin();) {
      --it;
      if (it->picture != protected_) {
        victim = it;
        break;
      }
    }
    if (victim == entries_.end())
      return false;
    byPicture_.erase(victim->picture);
    entries_.erase(victim);
  }
  ff::FramePtr copy = ff::MakeFrame();
  if (!copy || av_frame_ref(copy.get(), &frame) < 0)
    return false;
  entries_.push_front({picture, std::move(copy)});
  byPicture_[picture] = entries_.begin();
  return true;
}

} // namespace rw
