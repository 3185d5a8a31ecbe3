#include "cli/CliDispatcher.h"

#include "cli/CliStatus.h"
#include "cli/CommandTable.h"

#include <cstdio>
#include <string>
#include <vector>

namespace rw::cli {
namespace {

void ListCommands(std::FILE* out) {
  std::fputs("usage: reelwright-cli <command> [arguments]\n\n"
             "Works on Reelwright project files (.rwe) without the editor. Exit status: 0 on success,\n"
             "1 when the command fails (the reason on standard error), 2 for a wrong command line.\n\n"
             "commands:\n",
             out);
  for (const CliCommand& command : CommandTable())
    std::fprintf(out, "  %.*s\n      %.*s\n", static_cast<int>(command.usage.size()), command.usage.data(),
                 static_cast<int>(command.summary.size()), command.summary.data());
  std::fputs("\n'reelwright-cli <command> --help' shows one command.\n", out);
}

} // namespace

int UsageError(const CliCommand& command, std::string_view error) {
  std::fprintf(stderr, "reelwright-cli: %.*s\nusage: reelwright-cli %.*s\n", static_cast<int>(error.size()),
               error.data(), static_cast<int>(command.usage.size()), command.usage.data());
  return kUsage;
}

int Dispatch(int argc, char** argv) {
  if (argc < 2) {
    ListCommands(stderr);
    return kUsage;
  }
  const std::string name = argv[1];
  if (name == "--help" || name == "-h" || name == "help") {
    ListCommands(stdout);
    return kSuccess;
  }
  const CliCommand* command = FindCommand(name);
  if (!command) {
    std::fprintf(stderr, "reelwright-cli: unknown command '%s' (see reelwright-cli --help)\n", name.c_str());
    return kUsage;
  }
  std::vector<std::string> args(argv + 2, argv + argc);
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    std::printf("usage: reelwright-cli %.*s\n  %.*s\n", static_cast<int>(command->usage.size()),
                command->usage.data(), static_cast<int>(command->summary.size()), command->summary.data());
    return kSuccess;
  }
  const int status = command->run(args);
  if (std::fflush(stdout) != 0 && status == kSuccess) {
    std::fputs("reelwright-cli: cannot write the output\n", stderr);
    return kFailure;
  }
  return status;
}

} // namespace rw::cli
