#pragma once

#include <cstdint>
#include <optional>

namespace rw::view {

// A step button held down: one step at once, the first repeat 400 ms later, then one every
// 50 ms; a repeat whose step arrives at the cut target (the next or previous cut boundary,
// taken before the step) waits 200 ms before the next, so that a held button pauses at every
// cut. The caller keeps the timer and the clock; this answers the steps and when each repeat
// is due.
class StepRepeat {
public:
  using Ms = std::int64_t;
  static constexpr Ms kFirstDelay = 400;
  static constexpr Ms kInterval = 50;
  static constexpr Ms kAtCutTarget = 200;

  // -1 steps back, +1 forward.
  explicit StepRepeat(std::int32_t direction) : direction_(direction < 0 ? -1 : 1) {}

  // Where one step from `current` goes on a timeline of `total` frames: back down to frame 0,
  // forward up to the end position; nothing when it cannot move or there are no frames.
  std::optional<std::int32_t> Step(std::int32_t current, std::int32_t total) const;

  // The button went down at `now`: answers the step to take at once; the first repeat is due
  // kFirstDelay later.
  std::optional<std::int32_t> Press(Ms now, std::int32_t current, std::int32_t total);
  // The repeat due at `now` (Due()): answers its step. `cutTarget` is the cut target as it was
  // before the step; arriving there makes the next repeat wait kAtCutTarget, else kInterval.
  std::optional<std::int32_t> Repeat(Ms now, std::int32_t current, std::int32_t total,
                                     std::int32_t cutTarget);
  // The button came up: no more repeats.
  void Release() { held_ = false; }

  bool Held() const { return held_; }
  std::int32_t Direction() const { return direction_; }
  // When the next repeat is due, and the wait before it counted from the press or the last
  // repeat (meaningful while held).
  Ms Due() const { return last_ + interval_; }
  Ms Interval() const { return interval_; }

private:
  std::int32_t direction_;
  bool held_ = false;
  Ms last_ = 0;
  Ms interval_ = kFirstDelay;
};

} // namespace rw::view
