#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rw {
class OutputInfo;
}

namespace rw::cli {

// audio PROJECT.rwe OUT.wav [--from A] [--frames B]: the mixed sound of frames A .. A + B - 1
// as a PCM WAV file in the project's output audio format.
class AudioCommand {
public:
  static constexpr std::string_view kName = "audio";
  static constexpr std::string_view kUsage = "audio PROJECT.rwe OUT.wav [--from A] [--frames B]";
  static constexpr std::string_view kSummary =
      "write the mixed sound of frames A to A+B-1 (default: the whole timeline) as a PCM WAV file in the "
      "project's output audio format, rendered frame by frame as playback and the movie render it";

  static int Run(const std::vector<std::string>& args);

  // The 44-byte header of a PCM WAV file of `dataBytes` bytes in the output audio format.
  static std::string WavHeader(const OutputInfo& output, std::uint32_t dataBytes);
};

} // namespace rw::cli
