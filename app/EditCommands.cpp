#include "app/EditCommands.h"

#include "app/DibImage.h"
#include "app/FileChooser.h"
#include "app/MainFormWidgets.h"
#include "app/MediaInsert.h"
#include "app/TMainForm.h"
#include "app/WindowServices.h"
#include "base/MessageText.h"
#include "base/UserPrompt.h"
#include "dialogs/TTransTypeDialog.h"
#include "media/AudioClipKinds.h"
#include "media/ColormatClip.h"
#include "media/VideoClipKinds.h"
#include "project/ProjectFile.h"
#include "project/VideoProject.h"
#include "render/DIB.h"
#include "render/TransitionKinds.h"
#include "view/FramePicture.h"
#include "view/WindowTexts.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QPushButton>

namespace rw::app {

namespace {

// The file dialog's filter is kept to the size the kinds' filters were written for.
constexpr std::size_t kFilterSize = 1024;

} // namespace

EditCommands::EditCommands(TMainForm& form, VideoProject& project, WindowServices& services,
                           WindowDialogs& dialogs)
    : form_(form), project_(project), services_(services), dialogs_(dialogs) {}

void EditCommands::Bind(MainFormWidgets& w) {
  const auto on = [&](const char* action, auto command) {
    connect(w.Action(action), &QAction::triggered, this, command);
  };
  on("MenuInsertClip", [this] { OpenCuts(); });
  on("MenuInsertAudio", [this] { OpenSounds(); });
  on("MenuInsertProject", [this] { InsertProject(); });
  on("MenuUndo", [this] { Undo(); });
  on("MenuRedo", [this] { Redo(); });
  on("MenuSelCut", [this] { CutSelection(); });
  on("MenuSelCopy", [this] { CopySelection(); });
  on("MenuSelPaste", [this] { Paste(); });
  on("MenuFrameDelete", [this] { DeleteFrame(); });
  on("MenuCutDelete", [this] { DeleteCut(); });
  on("MenuSeparate", [this] { Split(); });
  on("MenuSelStart", [this] { StartSelection(SelMode::Frames); });
  on("MenuSelStartCut", [this] { StartSelection(SelMode::Cuts); });
  on("MenuSelect", [this] { FixSelection(); });
  on("MenuSelectCancel", [this] { CancelSelection(); });
  on("MenuSelCurrentFrame", [this] { SelectCurrent(SelMode::Frames); });
  on("MenuSelCurrentCut", [this] { SelectCurrent(SelMode::Cuts); });
  on("MenuSelAfterCurrent", [this] { SelectToCutTarget(true); });
  on("MenuSelBeforeFrame", [this] { SelectToCutTarget(false); });

  // The menu offers undo and redo only where there is something to undo or redo; the shortcuts
  // stay live once it has closed (the edits themselves refuse when there is nothing).
  QMenu* edit = w.menus.at("Edit1");
  QAction* undo = w.Action("MenuUndo");
  QAction* redo = w.Action("MenuRedo");
  connect(edit, &QMenu::aboutToShow, this, [this, undo, redo] {
    undo->setEnabled(project_.CanUndo());
    redo->setEnabled(project_.CanRedo());
  });
  connect(edit, &QMenu::aboutToHide, this, [undo, redo] {
    undo->setEnabled(true);
    redo->setEnabled(true);
  });

  connect(w.buttonInsertVideo, &QPushButton::clicked, this, [this] { OpenCuts(); });
  connect(w.buttonInsertColormat, &QPushButton::clicked, this, [this] { InsertColormat(); });
  connect(w.buttonConfigVideo, &QPushButton::clicked, this, [this] { ConfigureCut(); });
  connect(w.buttonDeleteVideo, &QPushButton::clicked, this, [this] { DeleteCut(); });
  connect(w.buttonOLPrev, &QPushButton::clicked, this, [this] { AddTransition(true); });
  connect(w.buttonOLNext, &QPushButton::clicked, this, [this] { AddTransition(false); });
  connect(w.buttonOLDelete, &QPushButton::clicked, this, [this] { RemoveTransition(); });
  connect(w.buttonInsertAudio, &QPushButton::clicked, this, [this] { OpenSounds(); });
}

bool EditCommands::Report(bool ok) {
  if (!ok)
    form_.ShowMessages();
  return ok;
}

void EditCommands::OpenCuts() {
  bool inserted = false;
  for (const std::filesystem::path& file :
       services_.files.OpenClips(VideoClipKinds::FileFilter(kFilterSize))) {
    const VideoClip clip = MediaInsert::OpenMovie(project_, file);
    if (clip.IsNull()) {
      form_.Tell(view::WindowTexts::MovieNotOpened(file));
      continue;
    }
    project_.Messages().Clear();
    inserted |= Report(MediaInsert::InsertCut(project_, clip));
  }
  if (inserted) {
    form_.SetCaption();
    form_.Refresh(-1, true);
  }
}

void EditCommands::OpenSounds() {
  bool added = false;
  for (const std::filesystem::path& file :
       services_.files.OpenClips(AudioClipKinds::FileFilter(kFilterSize))) {
    const AudioClip clip = MediaInsert::OpenSound(project_, file);
    if (clip.IsNull()) {
      form_.Tell(view::WindowTexts::SoundNotOpened(file));
      continue;
    }
    project_.Messages().Clear();
    added |= Report(MediaInsert::AddSound(project_, clip));
  }
  if (added)
    form_.View().RefreshAudio();
}

void EditCommands::InsertProject() {
  const std::filesystem::path file = services_.files.OpenProject(project_.FileName());
  if (file.empty())
    return;
  VideoProject other(project_.Context());
  if (!ProjectFile::Open(other, file, project_.ViewWidth(), project_.ViewHeight())) {
    form_.ShowMessages();
    return;
  }
  // The inserted file's offline entries are told once, as on opening; otherwise what the reader
  // could not take.
  if (!form_.TellOffline(other.List()))
    form_.ShowMessages();
  project_.Messages().Clear();
  if (Report(project_.InsertList(project_.CurrentPos(), other.List())))
    form_.Refresh(-1, true);
}

void EditCommands::Undo() {
  project_.Messages().Clear();
  if (Report(project_.Undo()))
    form_.Refresh(-1, true);
}

void EditCommands::Redo() {
  project_.Messages().Clear();
  if (Report(project_.Redo()))
    form_.Refresh(-1, true);
}

void EditCommands::EndSelection() {
  project_.SetSelectionEnd(project_.CurrentFrame());
}

void EditCommands::CutSelection() {
  project_.Messages().Clear();
  Report(project_.Cut());
  EndSelection();
  form_.Refresh(-1, true);
}

void EditCommands::CopySelection() {
  CopyFramePicture();
  project_.Messages().Clear();
  Report(project_.Copy());
  EndSelection();
  form_.Refresh(-1, false);
}

void EditCommands::Paste() {
  project_.Messages().Clear();
  if (Report(project_.Paste(project_.CurrentPos())))
    form_.Refresh(-1, true);
}

void EditCommands::DeleteFrame() {
  EndSelection();
  project_.Messages().Clear();
  Report(project_.DeleteFrames(project_.CurrentPos(), project_.CurrentPos()));
  form_.Refresh(-1, true);
}

void EditCommands::DeleteCut() {
  EndSelection();
  project_.Messages().Clear();
  Report(project_.DeleteClip(project_.CurrentPos()));
  form_.Refresh(-1, true);
}

void EditCommands::Split() {
  project_.Messages().Clear();
  if (Report(project_.Split(project_.CurrentPos())))
    form_.Refresh(-1, true);
}

void EditCommands::StartSelection(SelMode mode) {
  const bool active = project_.Current().selMode != SelMode::None;
  project_.StartSelection(active ? SelMode::None : mode, project_.CurrentFrame());
  form_.View().RefreshSelection();
}

void EditCommands::FixSelection() {
  if (project_.Current().selMode == SelMode::None)
    return;
  EndSelection();
  form_.View().RefreshSelection();
}

void EditCommands::CancelSelection() {
  if (project_.Current().selMode == SelMode::None)
    return;
  project_.StartSelection(SelMode::None, project_.CurrentFrame());
  form_.View().RefreshSelection();
}

void EditCommands::SelectCurrent(SelMode mode) {
  project_.StartSelection(mode, project_.CurrentFrame());
  EndSelection();
  form_.View().RefreshSelection();
}

void EditCommands::SelectToCutTarget(bool forward) {
  project_.StartSelection(SelMode::Frames, project_.CurrentFrame());
  project_.SetSelectionEnd(forward ? project_.NextCutTarget() : project_.PrevCutTarget());
  form_.View().RefreshSelection();
}

void EditCommands::InsertColormat() {
  VideoClip mat = VideoClip::Make<ColormatClip>(255, 255, 255);
  if (!dialogs_.colours || !mat.Configure(*dialogs_.colours))
    return; // cancelled: the mat is dropped
  mat.SetSize(project_.ViewWidth(), project_.ViewHeight());
  project_.Messages().Clear();
  Report(MediaInsert::InsertCut(project_, mat));
  form_.SetCaption();
  form_.Refresh(-1, true);
}

void EditCommands::ConfigureCut() {
  if (!dialogs_.colours)
    return;
  project_.Messages().Clear();
  if (Report(project_.ConfigureClip(*dialogs_.colours, project_.CurrentEntryIndex())))
    form_.Refresh(-1, true);
}

void EditCommands::AddTransition(bool before) {
  if (!dialogs_.transType || dialogs_.transType->exec() != QDialog::Accepted)
    return;
  VideoTransition trans = TransitionKinds::MakeByIndex(dialogs_.transType->ItemIndex());
  trans.SetLength(1);
  if (!trans->IsValid())
    return;
  const bool ok = before ? project_.TransitionEndingHere(trans) : project_.TransitionStartingHere(trans);
  if (ok)
    form_.Refresh(-1, true);
}

void EditCommands::RemoveTransition() {
  project_.Messages().Clear();
  if (Report(project_.RemoveTransitionHere()))
    form_.Refresh(-1, true);
}

void EditCommands::CopyFramePicture() {
  ClipPos a;
  ClipPos b;
  if (!project_.SelectionRange(a, b) || !(a == b))
    return;
  DIB picture;
  if (view::FramePicture::ForClipboard(project_.List(), a, renderer_, picture))
    QGuiApplication::clipboard()->setImage(DibImage::ToImage(picture));
}

} // namespace rw::app
