#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace rw::cli {

// compile PROJECT.rwe OUT.avi [options]: the project's timeline as an AVI movie. The options fill
// or override the project's output settings for this compile (the project file is not changed).
class CompileCommand {
public:
  static constexpr std::string_view kName = "compile";
  static constexpr std::string_view kUsage =
      "compile PROJECT.rwe OUT.avi [--codec FOURCC] [--size WxH] [--quality Q] [--recompress] [--no-audio]";
  static constexpr std::string_view kSummary =
      "compile the project into an AVI movie with its output settings; the options fill or override them "
      "(Q from 0 to 10000; see 'codecs' for the codes). Ctrl+C stops after the current frame and leaves a "
      "complete movie of the frames made (exit status 3). A project whose files do not all open is refused "
      "before anything is written (see 'relink')";

  // Exit status after a stop by Ctrl+C: the movie is complete but shorter.
  static constexpr int kStopped = 3;

  static int Run(const std::vector<std::string>& args);
};

} // namespace rw::cli
