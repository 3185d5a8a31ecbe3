#include "app/FileCommands.h"

#include "app/FileChooser.h"
#include "app/TMainForm.h"
#include "app/WindowServices.h"
#include "base/MessageText.h"
#include "base/UserPrompt.h"
#include "dialogs/TProgressDialog.h"
#include "output/MovieCompile.h"
#include "project/OfflineMedia.h"
#include "project/ProjectFile.h"
#include "project/VideoProject.h"
#include "view/WindowLayout.h"
#include "view/WindowTexts.h"

#include <QApplication>

namespace rw::app {

namespace {

const std::string kCaption(view::WindowTexts::kCaption);

} // namespace

bool FileCommands::SavePrompt() {
  if (!project_.Modified())
    return true;
  switch (services_.prompt.Ask(view::WindowTexts::SaveQuestion(project_.FileName()), kCaption,
                               UserPrompt::Buttons::YesNoCancel)) {
  case UserPrompt::Answer::No:
    return true;
  case UserPrompt::Answer::Yes:
    return Save();
  default:
    return false;
  }
}

void FileCommands::New() {
  if (!SavePrompt())
    return;
  if (project_.List().TotalFrames() == 0 && project_.FileName().empty())
    return;
  const VideoProject fresh(project_.Context());
  project_ = fresh;
  project_.SetViewSize(view::WindowLayout::kPreviewWidth, view::WindowLayout::kPreviewHeight);
  names_.AfterNew();
  form_.SetCaption();
  form_.Refresh(-1, true);
  form_.ClearDragAnchor();
}

void FileCommands::Open() {
  if (!SavePrompt())
    return;
  names_.BeforeOpen(project_.FileName());
  const std::filesystem::path chosen = services_.files.OpenProject(names_.OpenProject());
  if (chosen.empty())
    return;
  names_.AfterOpenChosen(chosen);
  Load(chosen);
}

bool FileCommands::Load(const std::filesystem::path& file) {
  if (!ProjectFile::Open(project_, file, view::WindowLayout::kPreviewWidth,
                         view::WindowLayout::kPreviewHeight)) {
    form_.ShowMessages();
    return false;
  }
  form_.SetCaption();
  form_.Refresh(-1, true);
  // Entries whose files did not open are kept offline; the user hears of them once, in one list.
  // Without them, what the reader reported (records it could not take) is said instead.
  if (!form_.TellOffline(project_.List()))
    form_.ShowMessages();
  return true;
}

void FileCommands::Relink() {
  if (OfflineMedia::List(project_.List()).empty())
    return;
  if (relinkFolder_.empty() && !project_.FileName().empty())
    relinkFolder_ = project_.FileName().parent_path();
  const std::filesystem::path folder = services_.files.ChooseFolder(relinkFolder_);
  if (folder.empty())
    return;
  relinkFolder_ = folder;
  project_.Messages().Clear();
  VideoProject::RelinkResult result;
  if (project_.Relink(folder, result))
    form_.Refresh(-1, true);
  form_.Tell(view::WindowTexts::Shortened(
      view::WindowTexts::RelinkReport(folder, result.found, result.missing), TMainForm::kListLines));
}

bool FileCommands::Save() {
  if (!project_.FileName().empty())
    return SafeSave(project_.FileName());
  const std::filesystem::path chosen = services_.files.SaveProject(names_.SaveProject());
  if (chosen.empty())
    return false;
  names_.AfterSaveChosen(chosen);
  return SafeSave(chosen);
}

bool FileCommands::SaveAs() {
  names_.BeforeSaveAs(project_.FileName());
  const std::filesystem::path chosen = services_.files.SaveProject(names_.SaveProject());
  if (chosen.empty())
    return false;
  names_.AfterSaveChosen(chosen);
  return SafeSave(chosen);
}

bool FileCommands::SafeSave(const std::filesystem::path& file) {
  if (!ProjectFile::Save(project_, file)) {
    form_.ShowMessages();
    return false;
  }
  form_.SetCaption();
  return true;
}

void FileCommands::CompileMovie() {
  // A project with offline entries cannot be compiled: say so before a movie file is chosen.
  project_.Messages().Clear();
  if (!MovieCompile::CheckMedia(project_.List(), project_.Messages())) {
    constexpr int kFailed = 0; // the outcome of a compile that did not run
    QApplication::beep();
    services_.prompt.Ask(view::WindowTexts::CompileReport(kFailed, project_.Messages().Get()), kCaption,
                         UserPrompt::Buttons::Ok);
    return;
  }
  names_.BeforeCompile(project_.FileName());
  const std::filesystem::path chosen = services_.files.SaveMovie(names_.SaveMovie());
  if (chosen.empty() || !dialogs_.progress || !dialogs_.editDialogs)
    return;
  names_.AfterMovieChosen(chosen);
  project_.Messages().Clear();
  movieFile_ = chosen;
  dialogs::TProgressDialog& progress = *dialogs_.progress;
  MovieCompile compile;
  progress.SetPosition(0);
  progress.SetWork([&] {
    return compile.Compile(project_, *dialogs_.editDialogs, movieFile_, [&](int percent) {
      form_.ShowProgress(percent);
      return progress.Progress(percent);
    });
  });
  const int outcome = progress.exec();
  movieFile_.clear();
  QApplication::beep();
  services_.prompt.Ask(view::WindowTexts::CompileReport(outcome, project_.Messages().Get()), kCaption,
                       UserPrompt::Buttons::Ok);
  form_.ShowProgress(-1);
}

} // namespace rw::app
