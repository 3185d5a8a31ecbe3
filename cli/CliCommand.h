#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace rw::cli {

// One command of reelwright-cli: its name, its usage line and summary for --help, and the
// function that runs it with the words after the name and answers the exit status.
struct CliCommand {
  std::string_view name;
  std::string_view usage;
  std::string_view summary;
  int (*run)(const std::vector<std::string>& args);

  // The row of a command class with static kName, kUsage, kSummary and Run.
  template <class Command> static constexpr CliCommand Of() {
    return {Command::kName, Command::kUsage, Command::kSummary, &Command::Run};
  }
};

// Prints "reelwright-cli: <error>" and the command's usage to standard error; answers kUsage.
int UsageError(const CliCommand& command, std::string_view error);

} // namespace rw::cli
