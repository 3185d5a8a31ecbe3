#pragma once

#include "cli/CliArgs.h"

#include <cstdint>
#include <optional>
#include <string>

namespace rw::cli {

// The "--from A --frames B" options of the sound commands: timeline frames A … A + B − 1, by
// default from frame 0 to the end of the timeline.
class FrameRange {
public:
  // Reads the two options; false with a usage message in `error` when a value is not a number.
  bool Parse(const CliArgs& parsed, std::string& error);
  // Fixes the range on a timeline of `total` frames; false with a message in `error` when it
  // does not lie on the timeline.
  bool Fit(std::int64_t total, std::string& error);

  std::int64_t First() const { return first_; }
  std::int64_t Count() const { return count_; }

private:
  std::optional<std::int32_t> from_ = 0;
  std::optional<std::int32_t> frames_;
  std::int64_t first_ = 0;
  std::int64_t count_ = 0;
};

} // namespace rw::cli
