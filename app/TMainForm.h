#pragma once

#include "app/EditCommands.h"
#include "app/FieldCommands.h"
#include "app/FileCommands.h"
#include "app/MainFormWidgets.h"
#include "app/Playback.h"
#include "app/TimelineView.h"
#include "app/WindowServices.h"
#include "project/VideoProject.h"
#include "view/TimelineDisplay.h"

#include <QMainWindow>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace rw::app {

// The editor's main window: the one project of the run, the timeline display around the
// current time, and the commands of its menus and controls. It takes files from its command
// line and from drag and drop, keeps its caption and the status bar up to date, asks whether to
// save before the project is discarded, and checks the media files for outside changes whenever
// the program becomes active.
class TMainForm : public QMainWindow {
  Q_OBJECT
public:
  // `args` are the file names of the command line (without the program's name).
  TMainForm(WindowServices services, const std::vector<std::string>& args);
  ~TMainForm() override;

  void AttachDialogs(const WindowDialogs& dialogs) { dialogs_ = dialogs; }
  const WindowDialogs& Dialogs() const { return dialogs_; }

  VideoProject& Project() { return project_; }
  const view::TimelineDisplay& Display() const { return display_; }
  MainFormWidgets& Widgets() { return w_; }
  FileCommands& Files() { return files_; }
  EditCommands& Edits() { return edits_; }
  FieldCommands& Fields() { return fields_; }
  TimelineView& View() { return view_; }
  Playback& Transport() { return playback_; }

  // Refresh(frame, full) of the display, drawn into the components.
  void Refresh(std::int32_t frame, bool full);
  void SetCaption();
  // The project's messages in a message box, when there are any.
  void ShowMessages();
  // A message box with the window's caption.
  void Tell(const std::string& text);
  // The one message naming the files of `list` that did not open (its entries are offline) and
  // those that opened shorter than their records; false, without a message, when all opened whole.
  bool TellOffline(const pVideoClipList& list);
  // Lines of a list of files shown in a message box; the rest are counted.
  static constexpr std::size_t kListLines = 30;
  // Gives the keys to the timeline (away from any field), where the arrows and shortcuts act.
  void FocusTimeline();
  void ClearDragAnchor() { view_.ClearDragAnchor(); }
  // The status bar's progress bar at `percent`; hidden for -1.
  void ShowProgress(int percent);

  // Takes files as a drop does: movies become cuts and sound files audio clips at the current
  // time; anything else is ignored and failures are silent. Answers how many were taken.
  int TakeFiles(const std::vector<std::filesystem::path>& files);

  // The user guide: the executable's path with ".HTM" added.
  static std::filesystem::path HelpFile();
  void ShowHelp();
  void ShowAbout();
  // Asks the kinds whether their files changed on disk, then brings back the offline entries
  // whose files are there again; refreshes when anything was reloaded or came back.
  void CheckMediaFiles();
  // The current frame at the movie's size in the enlarged view, while the button is held.
  void ShowEnlarged();
  // Moves to a frame a navigation command answered (nothing without one).
  void MoveTo(std::optional<std::int32_t> frame);

protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

private:
  void ProcessCommandLine(const std::vector<std::string>& args);
  void BindCommands();
  // "見つからないファイルを探す" is offered while the project has offline entries.
  void EnableRelink();
  void Bind(const char* action, void (TMainForm::*slot)());

  WindowServices services_;
  WindowDialogs dialogs_;
  VideoProject project_;
  view::TimelineDisplay display_{project_};
  MainFormWidgets w_;
  TimelineView view_;
  Playback playback_;
  FileCommands files_;
  EditCommands edits_;
  FieldCommands fields_;
  TimelineRenderer enlargedRenderer_;
  bool shown_ = false;
  bool checking_ = false;
};

} // namespace rw::app
