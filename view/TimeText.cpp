#include "view/TimeText.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <limits>

namespace rw::view {

namespace {

constexpr std::int64_t kMaxFrame = std::numeric_limits<std::int32_t>::max();

std::string Format(const char* format, std::int32_t a, std::int32_t b, std::int32_t c = 0) {
  std::array<char, 48> text{};
  std::snprintf(text.data(), text.size(), format, a, b, c);
  return text.data();
}

} // namespace

std::string TimeText::Long(std::int32_t frames) {
  frames = std::max(frames, 0);
  return Format("%02d:%02d:%02d", frames / (60 * kFps), frames / kFps % 60, frames % kFps);
}

std::string TimeText::Short(std::int32_t frames) {
  frames = std::max(frames, 0);
  if (frames < 60 * kFps)
    return Format("%02d:%02d", frames / kFps, frames % kFps);
  return Format("%d:%02d:%02d", frames / (60 * kFps), frames / kFps % 60, frames % kFps);
}

std::int32_t TimeText::Parse(std::string_view text) {
  // The last four fields, frames last; each saturates well above any meaningful value.
  std::array<std::int64_t, 4> fields{};
  std::int64_t number = 0;
  for (const char c : text) {
    if (c == ':') {
      std::rotate(fields.begin(), fields.begin() + 1, fields.end());
      fields.back() = number;
      number = 0;
    } else if (c >= '0' && c <= '9') {
      number = std::min<std::int64_t>(number * 10 + (c - '0'), kMaxFrame);
    }
  }
  std::rotate(fields.begin(), fields.begin() + 1, fields.end());
  fields.back() = number;
  const std::int64_t value = fields[3] + fields[2] * kFps + fields[1] * 60 * kFps + fields[0] * 3600 * kFps;
  return static_cast<std::int32_t>(std::min(value, kMaxFrame));
}

} // namespace rw::view
