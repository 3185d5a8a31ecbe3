#pragma once

#include "cli/CliArgs.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace rw::cli {

class CliProject;
struct CliCommand;

// The "--from A --frames B" options of the sound commands: timeline frames A … A + B − 1, by
// default from frame 0 to the end of the timeline.
class FrameRange {
public:
  // What every sound command does first: parses `args` (the project file and the other names,
  // `names` in all, with --from and --frames), opens the project into `cli` and fixes the range
  // on its timeline. Empty when the command may go on; otherwise the status it ends with, the
  // usage or the reason printed.
  std::optional<int> Open(const CliCommand& command, const std::vector<std::string>& args, std::size_t names,
                          CliProject& cli);
  // Name i of the command line after Open (0 is the project file).
  const std::string& Name(std::size_t i) const { return names_[i]; }

  // Reads the two options; false with a usage message in `error` when a value is not a number.
  bool Parse(const CliArgs& parsed, std::string& error);
  // Fixes the range on a timeline of `total` frames; false with a message in `error` when it
  // does not lie on the timeline.
  bool Fit(std::int64_t total, std::string& error);

  std::int64_t First() const { return first_; }
  std::int64_t Count() const { return count_; }
  std::int64_t End() const { return first_ + count_; }

private:
  std::vector<std::string> names_;
  std::optional<std::int32_t> from_ = 0;
  std::optional<std::int32_t> frames_;
  std::int64_t first_ = 0;
  std::int64_t count_ = 0;
};

} // namespace rw::cli
