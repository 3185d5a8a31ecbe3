#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rw::cli {

// play PROJECT.rwe [--from A] [--frames B]: plays the mixed sound of frames A .. A + B - 1
// through the sound device, fed as the editor's playback feeds it, printing the time of the
// frame being played once a second; returns after the device has played everything.
class PlayCommand {
public:
  static constexpr std::string_view kName = "play";
  static constexpr std::string_view kUsage = "play PROJECT.rwe [--from A] [--frames B]";
  static constexpr std::string_view kSummary =
      "play the mixed sound of frames A to A+B-1 (default: the whole timeline) on the sound device in the "
      "project's output audio format, as the editor's playback feeds it, printing the time once a second";

  static int Run(const std::vector<std::string>& args);

  // "mm:ss:ff" of a timeline frame at 30 frames per second; minutes are not wrapped at 60.
  static std::string TimeText(std::int64_t frame);
};

} // namespace rw::cli
