#include "cli/RelinkCommand.h"

#include "cli/CliArgs.h"
#include "cli/CliCommand.h"
#include "cli/CliProject.h"
#include "cli/CliStatus.h"
#include "project/OfflineMedia.h"
#include "project/ProjectFile.h"
#include "project/VideoProject.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace rw::cli {

std::string RelinkCommand::Report(const VideoProject::RelinkResult& result) {
  std::string text;
  for (const std::filesystem::path& file : result.found)
    text += "found: " + file.string() + "\n";
  for (const OfflineFile& f : result.missing) {
    text += "missing: " + f.file.string();
    if (!f.reason.empty())
      text += ": " + f.reason;
    text += "\n";
  }
  return text;
}

int RelinkCommand::Run(const std::vector<std::string>& args) {
  CliArgs parsed;
  std::string error;
  if (!parsed.Parse(args, {}, 2, 2, error))
    return UsageError(CliCommand::Of<RelinkCommand>(), error);
  const std::filesystem::path project = parsed.Positional()[0];
  const std::filesystem::path folder = parsed.Positional()[1];
  std::error_code ec;
  if (!std::filesystem::is_directory(folder, ec))
    return CliProject::Error(folder.string() + " is not a folder");
  CliProject cli;
  if (!cli.OpenQuietly(project))
    return cli.Fail("the project cannot be opened");
  VideoProject& p = cli.Project();
  if (OfflineMedia::List(p.List()).empty()) {
    std::fputs("nothing is missing\n", stdout);
    return kSuccess;
  }
  cli.Messages().Clear();
  VideoProject::RelinkResult result;
  // Nothing found leaves the project as it was: there is nothing to save.
  if (p.Relink(folder, result) && !ProjectFile::Save(p, project))
    return cli.Fail("the project cannot be saved");
  const std::string report = Report(result);
  if (std::fwrite(report.data(), 1, report.size(), stdout) != report.size())
    return CliProject::Error("cannot write the output");
  if (!result.missing.empty())
    return CliProject::Error(std::to_string(result.missing.size()) +
                             (result.missing.size() == 1 ? " file is" : " files are") + " still missing");
  return kSuccess;
}

} // namespace rw::cli
