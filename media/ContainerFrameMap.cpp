#include "media/ContainerFrameMap.h"

#include <algorithm>

namespace rw {

std::int64_t ContainerFrameMap::RoundToFrames(std::int64_t ticks, std::int64_t num, std::int64_t den) {
  // floor((2 * ticks * num * 30 + den) / (2 * den)), in 128 bits so no product overflows.
  const __int128 twice = static_cast<__int128>(ticks) * num * 60 + den;
  const __int128 divisor = static_cast<__int128>(den) * 2;
  __int128 q = twice / divisor;
  if (twice % divisor != 0 && twice < 0)
    --q;
  if (q > INT64_MAX)
    return INT64_MAX;
  if (q < INT64_MIN)
    return INT64_MIN;
  return static_cast<std::int64_t>(q);
}

void ContainerFrameMap::Clear() {
  frameOf_.clear();
  key_.clear();
  frames_ = 0;
  origin_ = 0;
}

bool ContainerFrameMap::Build(const std::vector<Picture>& pictures, std::int64_t num, std::int64_t den) {
  Clear();
  if (pictures.empty() || num <= 0 || den <= 0)
    return false;
  const std::int64_t origin = pictures.front().pts;
  std::vector<std::int64_t> frameOf;
  std::vector<bool> key;
  frameOf.reserve(pictures.size());
  key.reserve(pictures.size());
  for (std::size_t i = 0; i < pictures.size(); ++i) {
    if (i > 0 && pictures[i].pts <= pictures[i - 1].pts)
      return false;
    // The difference of two 64-bit stamps may not fit 64 bits.
    const __int128 ticks = static_cast<__int128>(pictures[i].pts) - origin;
    if (ticks > INT64_MAX)
      return false;
    frameOf.push_back(RoundToFrames(static_cast<std::int64_t>(ticks), num, den));
    if (frameOf.back() > kMaxFrames)
      return false;
    key.push_back(pictures[i].key);
  }
  const Picture& last = pictures.back();
  std::int64_t duration = last.duration;
  if (duration <= 0)
    duration = pictures.size() > 1 ? last.pts - pictures[pictures.size() - 2].pts
                                   : std::max<std::int64_t>(1, den / (num * 30));
  const __int128 end = static_cast<__int128>(last.pts) - origin + duration;
  if (end > INT64_MAX)
    return false;
  const std::int64_t frames =
      std::max<std::int64_t>(1, RoundToFrames(static_cast<std::int64_t>(end), num, den));
  if (frames > kMaxFrames)
    return false;
  frameOf_ = std::move(frameOf);
  key_ = std::move(key);
  frames_ = static_cast<std::int32_t>(frames);
  origin_ = origin;
  return true;
}

std::int32_t ContainerFrameMap::PictureAt(std::int32_t n) const {
  if (frameOf_.empty())
    return -1;
  n = std::clamp(n, 0, frames_ - 1);
  // The last picture whose rounded frame is at most n; picture 0 is at frame 0.
  const auto after = std::upper_bound(frameOf_.begin(), frameOf_.end(), static_cast<std::int64_t>(n));
  return static_cast<std::int32_t>(after - frameOf_.begin()) - 1;
}

std::int32_t ContainerFrameMap::FirstFrameOf(std::int32_t picture) const {
  if (picture < 0 || picture >= PictureCount())
    return -1;
  const std::int64_t frame = frameOf_[static_cast<std::size_t>(picture)];
  // Shown only when no later picture rounds to the same frame, and within the cut.
  if (frame >= frames_ || (static_cast<std::size_t>(picture) + 1 < frameOf_.size() &&
                           frameOf_[static_cast<std::size_t>(picture) + 1] == frame))
    return -1;
  return static_cast<std::int32_t>(frame);
}

bool ContainerFrameMap::IsNewFrame(std::int32_t n) const {
  if (n < 0 || n >= frames_)
    return false;
  return n == 0 || PictureAt(n) != PictureAt(n - 1);
}

bool ContainerFrameMap::IsKeyFrame(std::int32_t n) const {
  if (n < 0 || n >= frames_)
    return false;
  const std::int32_t picture = PictureAt(n);
  return picture >= 0 && key_[static_cast<std::size_t>(picture)];
}

} // namespace rw
