#pragma once

#include <cstdint>
#include <optional>

namespace rw::view {

// The overview bar's mapping between timeline frames and pixel columns: the whole timeline
// spread over the bar's width less a margin of 4 pixels at each end.
class OverviewScale {
public:
  OverviewScale(std::int32_t width, std::int32_t total) : width_(width), total_(total) {}

  // (frame * (W - 8) + total / 2) / total + 4; 4 for an empty timeline.
  std::int32_t X(std::int64_t frame) const;
  // The frame under column x: (total * (x - 4) + (W - 8) / 2) / (W - 8); none for an empty
  // timeline. May lie outside the timeline.
  std::optional<std::int32_t> FrameAt(std::int32_t x) const;

  std::int32_t Width() const { return width_; }
  std::int32_t Total() const { return total_; }

private:
  std::int32_t width_;
  std::int32_t total_;
};

} // namespace rw::view
