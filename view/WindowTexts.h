#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace rw::view {

// The texts the main window writes: its caption, its questions and the reports of its commands.
class WindowTexts {
public:
  static constexpr std::string_view kCaption = "Reelwright";

  // "Reelwright(仮)", followed by " - " and the project file's name without folder and
  // extension once the project has a file.
  static std::string WindowCaption(const std::filesystem::path& projectFile);
  // Whether to save a modified project before it is discarded.
  static std::string SaveQuestion(const std::filesystem::path& projectFile);

  // How a compile ended: finished, stopped by the user, or failed (with the reason when there is
  // one).
  enum class CompileEnd { Finished, Stopped, Failed };
  static CompileEnd CompileEndOf(int outcome);
  static std::string CompileReport(int outcome, std::string_view messages);

  // A file that no cut kind (or no audio clip kind) opens.
  static std::string MovieNotOpened(const std::filesystem::path& file);
  static std::string SoundNotOpened(const std::filesystem::path& file);
};

} // namespace rw::view
