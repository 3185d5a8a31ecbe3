#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace rw::view {

// Frames as the window shows and reads them, always at 30 frames per second whatever the
// project's rate.
class TimeText {
public:
  static constexpr std::int32_t kFps = 30;

  // "mm:ss:ff": minutes (not wrapped at 60), seconds, frames. Used for the total, the current
  // time and the time inside the source.
  static std::string Long(std::int32_t frames);
  // "ss:ff" below one minute, "m:ss:ff" from one minute on. Every other field and label.
  static std::string Short(std::int32_t frames);
  // A typed time: numbers separated by ":" (other characters skipped), read from the right as
  // frames, seconds, minutes and hours; earlier numbers are dropped. An empty text is 0. Values
  // too large for a frame number give the largest one.
  static std::int32_t Parse(std::string_view text);
};

} // namespace rw::view
