#pragma once

#include "view/FileDialogMemory.h"

#include <filesystem>

namespace rw {
class VideoProject;
}

namespace rw::app {

class TMainForm;
struct WindowDialogs;
struct WindowServices;

// New, Open, Save, Save As and Compile movie, and the question whether to save before the
// project is discarded. The file dialogs start from the names the last commands left.
class FileCommands {
public:
  FileCommands(TMainForm& form, VideoProject& project, WindowServices& services, WindowDialogs& dialogs)
      : form_(form), project_(project), services_(services), dialogs_(dialogs) {}

  // Whether the project may be discarded: not modified, or the user saved it or chose not to.
  bool SavePrompt();
  void New();
  void Open();
  bool Save();
  bool SaveAs();
  void CompileMovie();
  // Looks for the files of offline entries in a folder the user chooses (and its subfolders),
  // relinks those found as one edit and reports what was found and what is still missing.
  void Relink();
  // Reads a project file in place of the present project; on failure the message is shown and
  // the project stays as it was.
  bool Load(const std::filesystem::path& file);
  // Saves under `file` keeping the previous version; sets the caption on success, shows the
  // message on failure.
  bool SafeSave(const std::filesystem::path& file);

  const view::FileDialogMemory& DialogNames() const { return names_; }

private:
  TMainForm& form_;
  VideoProject& project_;
  WindowServices& services_;
  WindowDialogs& dialogs_;
  view::FileDialogMemory names_;
  std::filesystem::path movieFile_;    // the movie being compiled
  std::filesystem::path relinkFolder_; // where the last search for missing files looked
};

} // namespace rw::app
