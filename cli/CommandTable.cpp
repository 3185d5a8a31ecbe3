#include "cli/CommandTable.h"

#include "cli/AudioCommand.h"
#include "cli/CodecsCommand.h"
#include "cli/CompileCommand.h"
#include "cli/DemoCommand.h"
#include "cli/FrameCommand.h"
#include "cli/InfoCommand.h"
#include "cli/NewCommand.h"
#include "cli/PlayCommand.h"
#include "cli/RelinkCommand.h"
#include "cli/SaveCommand.h"

#include <array>

namespace rw::cli {
namespace {

// One line per command.
// clang-format off
constexpr std::array kCommands = {
    CliCommand::Of<InfoCommand>(),
    CliCommand::Of<FrameCommand>(),
    CliCommand::Of<AudioCommand>(),
    CliCommand::Of<PlayCommand>(),
    CliCommand::Of<SaveCommand>(),
    CliCommand::Of<NewCommand>(),
    CliCommand::Of<RelinkCommand>(),
    CliCommand::Of<CompileCommand>(),
    CliCommand::Of<CodecsCommand>(),
    CliCommand::Of<DemoCommand>(),
};
// clang-format on

} // namespace

std::span<const CliCommand> CommandTable() {
  return kCommands;
}

const CliCommand* FindCommand(std::string_view name) {
  for (const CliCommand& command : kCommands)
    if (command.name == name)
      return &command;
  return nullptr;
}

} // namespace rw::cli
