#include "view/OverviewScale.h"

namespace rw::view {

std::int32_t OverviewScale::X(std::int64_t frame) const {
  if (total_ <= 0)
    return 4;
  return static_cast<std::int32_t>((frame * (width_ - 8) + total_ / 2) / total_ + 4);
}

std::optional<std::int32_t> OverviewScale::FrameAt(std::int32_t x) const {
  if (total_ < 1 || width_ <= 8)
    return std::nullopt;
  const std::int64_t span = width_ - 8;
  return static_cast<std::int32_t>((std::int64_t{total_} * (x - 4) + span / 2) / span);
}

} // namespace rw::view
