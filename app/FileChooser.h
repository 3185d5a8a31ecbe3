#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace rw::app {

// The window's file dialogs. Each starts from `preset` (a file or a folder, possibly empty) and
// answers the chosen file, or an empty path when the user cancelled. The program shows Qt's
// file dialogs; tests answer with scripted names.
class FileChooser {
public:
  virtual ~FileChooser() = default;
  virtual std::filesystem::path OpenProject(const std::filesystem::path& preset) = 0;
  virtual std::filesystem::path SaveProject(const std::filesystem::path& preset) = 0;
  virtual std::filesystem::path SaveMovie(const std::filesystem::path& preset) = 0;
  // Several existing files of the kinds `filter` names ("caption|patterns|caption|patterns",
  // patterns separated by ";"); none when cancelled.
  virtual std::vector<std::filesystem::path> OpenClips(const std::string& filter) = 0;
  // An existing folder to look for missing files in.
  virtual std::filesystem::path ChooseFolder(const std::filesystem::path& preset) = 0;
};

} // namespace rw::app
