#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace rw::cli {

// save PROJECT.rwe OUT.rwe: opens a project and saves it under another name.
class SaveCommand {
public:
  static constexpr std::string_view kName = "save";
  static constexpr std::string_view kUsage = "save PROJECT.rwe OUT.rwe";
  static constexpr std::string_view kSummary =
      "open the project and save it as OUT.rwe (names relative to OUT's folder, previous OUT kept as .$WE)";

  static int Run(const std::vector<std::string>& args);
};

} // namespace rw::cli
