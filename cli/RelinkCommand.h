#pragma once

#include "project/VideoProject.h"

#include <string>
#include <string_view>
#include <vector>

namespace rw::cli {

// relink PROJECT.rwe FOLDER: looks for the project's missing files in FOLDER and its subfolders
// by file name, points the entries at the files found and saves the project in place (the
// previous version kept as .$WE). Prints one line per file found and per file still missing;
// the status is a failure while any is still missing.
class RelinkCommand {
public:
  static constexpr std::string_view kName = "relink";
  static constexpr std::string_view kUsage = "relink PROJECT.rwe FOLDER";
  static constexpr std::string_view kSummary =
      "look for the project's missing files by name in FOLDER and its subfolders, point the project at "
      "those found and save it (previous version kept as .$WE); exit status 1 while any file is still "
      "missing";

  static int Run(const std::vector<std::string>& args);

  // The lines printed for a relink: "found: <file>" for each file found, "missing: <file>: <reason>"
  // for each still missing.
  static std::string Report(const VideoProject::RelinkResult& result);
};

} // namespace rw::cli
