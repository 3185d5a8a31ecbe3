#pragma once

#include "cli/CliCommand.h"

#include <span>
#include <string_view>

namespace rw::cli {

// Every command of reelwright-cli, in the order --help lists them.
std::span<const CliCommand> CommandTable();
// The command of that name; null when there is none.
const CliCommand* FindCommand(std::string_view name);

} // namespace rw::cli
