#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace rw {
struct OfflineFile;
}

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

  // What a search for missing files in `folder` came to: the files found and relinked, and those
  // still missing with their reasons.
  static std::string RelinkReport(const std::filesystem::path& folder,
                                  const std::vector<std::filesystem::path>& found,
                                  const std::vector<OfflineFile>& missing);
  // `text` cut after `lines` lines, the rest counted in a last line ("…ほかN件"), so that a message box of a
  // long list stays on the screen.
  static std::string Shortened(const std::string& text, std::size_t lines);
};

} // namespace rw::view
