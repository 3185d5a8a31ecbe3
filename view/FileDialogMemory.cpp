#include "view/FileDialogMemory.h"

#include <algorithm>
#include <cctype>

namespace rw::view {

void FileDialogMemory::AfterNew() {
  saveProject_.remove_filename();
  saveMovie_ = saveProject_;
}

void FileDialogMemory::BeforeOpen(const std::filesystem::path& projectFile) {
  if (!projectFile.empty())
    openProject_ = projectFile;
}

void FileDialogMemory::AfterOpenChosen(const std::filesystem::path& file) {
  openProject_ = file;
  saveMovie_ = MovieNameFor(file);
}

void FileDialogMemory::BeforeSaveAs(const std::filesystem::path& projectFile) {
  if (!projectFile.empty())
    saveProject_ = projectFile;
}

void FileDialogMemory::BeforeCompile(const std::filesystem::path& projectFile) {
  if (saveMovie_.empty() && !projectFile.empty())
    saveMovie_ = MovieNameFor(projectFile);
}

std::filesystem::path FileDialogMemory::MovieNameFor(const std::filesystem::path& file) {
  const std::string ext = file.extension().string();
  const bool upper =
      !ext.empty() && std::all_of(ext.begin(), ext.end(), [](unsigned char c) { return !std::islower(c); });
  std::filesystem::path movie = file;
  movie.replace_extension(upper ? ".AVI" : ".avi");
  return movie;
}

} // namespace rw::view
