#include "media/ContainerSoundIndex.h"

#include <algorithm>
#include <cmath>

namespace rw {

void ContainerSoundIndex::Reset(double tick) {
  packets_.clear();
  tick_ = std::max(tick, 1.0);
  ptsSorted_ = true;
  anyPresented_ = false;
  first_ = 0;
  end_ = 0;
}

bool ContainerSoundIndex::Add(std::int64_t pts, std::optional<std::int64_t> start, std::int32_t length,
                              std::int32_t skip, std::int32_t discardEnd, bool discard) {
  if (packets_.size() >= kMaxPackets)
    return false;
  Packet p;
  p.pts = pts;
  p.length = std::max(length, 0);
  p.skip = std::max(skip, 0);
  if (p.length > 0)
    p.skip = std::min(p.skip, p.length);
  if (packets_.empty()) {
    p.start = start.value_or(0);
  } else {
    const Packet& last = packets_.back();
    const std::int64_t follows = last.start + last.length;
    // Within a tick and a sample of where the last one ends: both stamps were rounded.
    if (!start || std::llabs(*start - follows) <= static_cast<std::int64_t>(std::ceil(tick_)) + 1)
      p.start = follows;
    else
      p.start = *start;
    // Places never go back, so that searching by place stays well defined.
    p.start = std::max(p.start, last.start);
    if (pts <= last.pts)
      ptsSorted_ = false;
  }
  p.discard = discard;
  packets_.push_back(p);
  if (!discard) {
    const std::int64_t shown = p.start + p.skip;
    const std::int64_t ends = std::max(shown, p.start + p.length - std::clamp(discardEnd, 0, p.length));
    if (!anyPresented_)
      first_ = shown;
    anyPresented_ = true;
    end_ = std::max(end_, ends);
  }
  return true;
}

std::optional<std::int64_t> ContainerSoundIndex::StartOf(std::int64_t pts) const {
  if (!ptsSorted_)
    return std::nullopt;
  auto it = std::lower_bound(packets_.begin(), packets_.end(), pts,
                             [](const Packet& p, std::int64_t t) { return p.pts < t; });
  if (it == packets_.end() || it->pts != pts)
    return std::nullopt;
  return it->start;
}

std::size_t ContainerSoundIndex::SeekPacket(std::int64_t sample, std::int64_t preroll) const {
  const std::int64_t before = sample - std::max<std::int64_t>(preroll, 0);
  auto it = std::upper_bound(packets_.begin(), packets_.end(), before,
                             [](std::int64_t s, const Packet& p) { return s < p.start; });
  if (it == packets_.begin())
    return 0;
  return static_cast<std::size_t>(it - packets_.begin()) - 1;
}

} // namespace rw
