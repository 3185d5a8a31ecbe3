#pragma once

#include "project/EditInfo.h"
#include "project/TimelineRenderer.h"

#include <QObject>

namespace rw {
class VideoProject;
}

namespace rw::app {

class TMainForm;
struct MainFormWidgets;
struct WindowDialogs;
struct WindowServices;

// The commands of the menus "編集" and "選択", the inserting items of "ファイル", and the buttons
// of the pages "カット" and "ワイプ": each clears the messages, runs one operation of the project,
// shows the messages when it failed and ends with the refresh its command calls for.
class EditCommands : public QObject {
  Q_OBJECT
public:
  EditCommands(TMainForm& form, VideoProject& project, WindowServices& services, WindowDialogs& dialogs);

  // Connects the menu items and buttons to the commands.
  void Bind(MainFormWidgets& w);

  // "ファイル": cuts and sounds from files chosen in the dialog, a whole project file.
  void OpenCuts();
  void OpenSounds();
  void InsertProject();
  // "編集"
  void Undo();
  void Redo();
  void CutSelection();
  void CopySelection();
  void Paste();
  void DeleteFrame();
  void DeleteCut();
  void Split();
  // "選択"
  void StartSelection(SelMode mode);
  void FixSelection();
  void CancelSelection();
  void SelectCurrent(SelMode mode);
  void SelectToCutTarget(bool forward);
  // "カット" and "ワイプ"
  void InsertColormat();
  void ConfigureCut();
  void AddTransition(bool before);
  void RemoveTransition();

private:
  // Shows the messages when `ok` is false; answers `ok`.
  bool Report(bool ok);
  void EndSelection();
  // Puts the selected frame on the system clipboard when the selection is one frame.
  void CopyFramePicture();

  TMainForm& form_;
  VideoProject& project_;
  WindowServices& services_;
  WindowDialogs& dialogs_;
  TimelineRenderer renderer_;
};

} // namespace rw::app
