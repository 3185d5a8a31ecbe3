#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace rw {
struct CompressorInfo;
}

namespace rw::cli {

// codecs [--all]: the compressors a movie can be compiled with, one line per code.
class CodecsCommand {
public:
  static constexpr std::string_view kName = "codecs";
  static constexpr std::string_view kUsage = "codecs [--all]";
  static constexpr std::string_view kSummary =
      "list the compressors available here, one line per four-character code: lossless or lossy, which "
      "settings it honours, what it is; --all adds the known ones that are missing here, with the reason";

  static int Run(const std::vector<std::string>& args);

  // One line of the list (without the line break).
  static std::string Line(const CompressorInfo& info);
};

} // namespace rw::cli
