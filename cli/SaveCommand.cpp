#include "cli/SaveCommand.h"

#include "cli/CliArgs.h"
#include "cli/CliCommand.h"
#include "cli/CliProject.h"
#include "cli/CliStatus.h"
#include "project/ProjectFile.h"

namespace rw::cli {

int SaveCommand::Run(const std::vector<std::string>& args) {
  CliArgs parsed;
  std::string error;
  if (!parsed.Parse(args, {}, 2, 2, error))
    return UsageError(CliCommand::Of<SaveCommand>(), error);
  CliProject cli;
  if (!cli.Open(parsed.Positional()[0]))
    return cli.Fail("the project cannot be opened");
  if (!ProjectFile::Save(cli.Project(), parsed.Positional()[1]))
    return cli.Fail("the project cannot be saved");
  return kSuccess;
}

} // namespace rw::cli
