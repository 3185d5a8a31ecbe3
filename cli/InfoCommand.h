#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace rw {
class VideoProject;
}

namespace rw::cli {

// info PROJECT.rwe: the project as one JSON object on standard output.
class InfoCommand {
public:
  static constexpr std::string_view kName = "info";
  static constexpr std::string_view kUsage = "info PROJECT.rwe";
  static constexpr std::string_view kSummary =
      "print the project as JSON: length, current frame, selection, output settings and every cut "
      "with its transition and sound (movie cuts with their source's size, rate and how its pictures "
      "fall on the 30 fps frames); an entry whose file does not open is marked \"offline\" with the "
      "reason";

  static int Run(const std::vector<std::string>& args);

  // The JSON text of a project.
  static std::string Describe(const VideoProject& project);
};

} // namespace rw::cli
