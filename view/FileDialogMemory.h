#pragma once

#include <filesystem>

namespace rw::view {

// The names the three project and movie file dialogs start from, kept between commands: each
// remembers what was chosen last; opening a project presets the movie from it, and a new
// project leaves only the folder.
class FileDialogMemory {
public:
  const std::filesystem::path& SaveProject() const { return saveProject_; }
  const std::filesystem::path& OpenProject() const { return openProject_; }
  const std::filesystem::path& SaveMovie() const { return saveMovie_; }

  // New: the project and the movie dialog keep the project dialog's folder only.
  void AfterNew();
  // Open: the open dialog starts from the present project's file, if it has one.
  void BeforeOpen(const std::filesystem::path& projectFile);
  // Open chose `file`: the movie is that name with the extension of a movie.
  void AfterOpenChosen(const std::filesystem::path& file);
  // Save As starts from the present project's file, if it has one.
  void BeforeSaveAs(const std::filesystem::path& projectFile);
  void AfterSaveChosen(const std::filesystem::path& file) { saveProject_ = file; }
  // Compile: without a movie name yet, the project's name with the extension of a movie.
  void BeforeCompile(const std::filesystem::path& projectFile);
  void AfterMovieChosen(const std::filesystem::path& file) { saveMovie_ = file; }

  // `file` with its extension replaced by the movie extension, in the letter case of the
  // extension it had (".rwe" gives ".avi", ".RWE" ".AVI").
  static std::filesystem::path MovieNameFor(const std::filesystem::path& file);

private:
  std::filesystem::path saveProject_;
  std::filesystem::path openProject_;
  std::filesystem::path saveMovie_;
};

} // namespace rw::view
