#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace rw {
class MessageText;
class VideoProject;
} // namespace rw

namespace rw::cli {

// demo DIR: a small demo set made in code and a project that uses all of it.
class DemoCommand {
public:
  static constexpr std::string_view kName = "demo";
  static constexpr std::string_view kUsage = "demo DIR";
  static constexpr std::string_view kSummary =
      "write a demo set into DIR (two AVI movies with sound, a WAV, a BMP and a TGA picture) and "
      "DIR/demo.rwe, "
      "a project using every kind of cut, four kinds of transition and an anchored WAV clip, set to compile "
      "to 640x480 MJPG";

  static int Run(const std::vector<std::string>& args);

  // Writes the media into `folder` and builds the demo project in `project` (not saved). False
  // with the reason in `messages`.
  static bool Build(const std::filesystem::path& folder, VideoProject& project, MessageText& messages);
};

} // namespace rw::cli
