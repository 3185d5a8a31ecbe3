#pragma once

#include "app/FileChooser.h"

#include <QStringList>
#include <array>

class QFileDialog;
class QWidget;

namespace rw::app {

// The file dialogs of the program: SaveProjectDialog, OpenProjectDialog, SaveMovieDialog and
// OpenClipDialog, made once and reused, each keeping the folder it was last in. Patterns match
// either letter case (a project may be "clip.rwe" or "CLIP.RWE").
class QtFileChooser : public FileChooser {
public:
  // The dialogs are made on first use, as children of the owner.
  void SetOwner(QWidget* owner) { owner_ = owner; }

  std::filesystem::path OpenProject(const std::filesystem::path& preset) override;
  std::filesystem::path SaveProject(const std::filesystem::path& preset) override;
  std::filesystem::path SaveMovie(const std::filesystem::path& preset) override;
  std::vector<std::filesystem::path> OpenClips(const std::string& filter) override;
  std::filesystem::path ChooseFolder(const std::filesystem::path& preset) override;

  // Qt's name filters for a "caption|patterns|..." text, each pattern in both letter cases.
  static QStringList NameFilters(const std::string& filter);

private:
  enum Which { kSaveProject, kOpenProject, kSaveMovie, kOpenClip };
  QFileDialog* Dialog(Which which);
  std::filesystem::path Run(Which which, const std::filesystem::path& preset);

  QWidget* owner_ = nullptr;
  std::array<QFileDialog*, 4> dialogs_{};
};

} // namespace rw::app
