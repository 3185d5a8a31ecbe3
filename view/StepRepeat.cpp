#include "view/StepRepeat.h"

namespace rw::view {

std::optional<std::int32_t> StepRepeat::Step(std::int32_t current, std::int32_t total) const {
  const std::int64_t f = std::int64_t{current} + direction_;
  if (total <= 0 || f < 0 || f > total)
    return std::nullopt;
  return static_cast<std::int32_t>(f);
}

std::optional<std::int32_t> StepRepeat::Press(Ms now, std::int32_t current, std::int32_t total) {
  held_ = true;
  last_ = now;
  interval_ = kFirstDelay;
  return Step(current, total);
}

std::optional<std::int32_t> StepRepeat::Repeat(Ms now, std::int32_t current, std::int32_t total,
                                               std::int32_t cutTarget) {
  if (!held_)
    return std::nullopt;
  last_ = now;
  const std::optional<std::int32_t> f = Step(current, total);
  interval_ = f && *f == cutTarget ? kAtCutTarget : kInterval;
  return f;
}

} // namespace rw::view
