#include "app/TMainForm.h"

#include "app/MainFormLayout.h"
#include "app/MediaInsert.h"
#include "base/MessageText.h"
#include "base/UserPrompt.h"
#include "dialogs/THelpAboutDialog.h"
#include "dialogs/TShowPictureDialog.h"
#include "dialogs/WindowFont.h"
#include "project/OfflineMedia.h"
#include "render/DIB.h"
#include "view/CommandLine.h"
#include "view/FramePicture.h"
#include "view/Navigation.h"
#include "view/WindowLayout.h"
#include "view/WindowTexts.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QProgressBar>
#include <QScreen>
#include <QToolButton>
#include <QUrl>
#include <cstdio>
#include <functional>

namespace rw::app {

namespace {

void Complain(const std::string& line) {
  std::fprintf(stderr, "reelwright: %s\n", line.c_str());
}

} // namespace

TMainForm::TMainForm(WindowServices services, const std::vector<std::string>& args)
    : services_(std::move(services)), project_(services_.context), w_(MainFormLayout::Build(*this)),
      view_(w_, display_),
      playback_(w_, project_, [this](std::int32_t frame, bool full) { Refresh(frame, full); }),
      files_(*this, project_, services_, dialogs_), edits_(*this, project_, services_, dialogs_),
      fields_(*this, project_, w_) {
  setObjectName("MainForm");
  setFont(dialogs::WindowFont::Make());
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  setAcceptDrops(true);
  project_.SetViewSize(view::WindowLayout::kPreviewWidth, view::WindowLayout::kPreviewHeight);
  w_.central->setFocusPolicy(Qt::ClickFocus);
  BindCommands();
  edits_.Bind(w_);
  fields_.Bind();
  ProcessCommandLine(args);
  // Play stops when the program goes to the background and before a click moves the time.
  view_.SetBeforeMove([this] { playback_.Stop(); });
  connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
    if (state == Qt::ApplicationActive)
      CheckMediaFiles();
    else
      playback_.Stop();
  });
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(sizeHint().width() / 2, sizeHint().height() / 2));
  }
}

TMainForm::~TMainForm() = default;

void TMainForm::Bind(const char* action, void (TMainForm::*slot)()) {
  connect(w_.Action(action), &QAction::triggered, this, slot);
}

void TMainForm::BindCommands() {
  connect(w_.Action("MenuNew"), &QAction::triggered, this, [this] { files_.New(); });
  connect(w_.Action("MenuOpenProject"), &QAction::triggered, this, [this] { files_.Open(); });
  connect(w_.Action("MenuSaveProject"), &QAction::triggered, this, [this] { files_.Save(); });
  connect(w_.Action("MenuSaveAsProject"), &QAction::triggered, this, [this] { files_.SaveAs(); });
  connect(w_.Action("MenuMovieCompile"), &QAction::triggered, this, [this] { files_.CompileMovie(); });
  connect(w_.Action("MenuRelink"), &QAction::triggered, this, [this] { files_.Relink(); });
  connect(w_.Action("MenuExit"), &QAction::triggered, this, &QWidget::close);
  const std::pair<const char*, std::function<std::optional<std::int32_t>()>> moves[] = {
      {"MenuPrevClip", [this] { return view::Navigation::NeighbourCut(project_, false); }},
      {"MenuNextClip", [this] { return view::Navigation::NeighbourCut(project_, true); }},
      {"MenuJumpFirst", [this] { return view::Navigation::First(project_); }},
      {"MenuJumpLast", [this] { return view::Navigation::Last(project_); }},
  };
  for (const auto& [name, target] : moves)
    connect(w_.Action(name), &QAction::triggered, this, [this, target] { MoveTo(target()); });
  connect(w_.Action("MenuPrevFrame"), &QAction::triggered, &playback_, &Playback::StepBack);
  connect(w_.Action("MenuNextFrame"), &QAction::triggered, &playback_, &Playback::StepForward);
  connect(w_.Action("MenuMovieType"), &QAction::triggered, this, [this] {
    if (dialogs_.editDialogs && project_.SetOutputFormat(*dialogs_.editDialogs))
      Refresh(-1, false);
  });
  connect(w_.Action("MenuCompressType"), &QAction::triggered, this, [this] {
    if (dialogs_.editDialogs)
      project_.ChooseCompressor(*dialogs_.editDialogs);
  });
  connect(w_.buttonShow, &QToolButton::pressed, this, &TMainForm::ShowEnlarged);
  Bind("MenuHelpContents", &TMainForm::ShowHelp);
  Bind("MenuHelpAbout", &TMainForm::ShowAbout);
  // The menu offers overwriting only for a named, modified project; the shortcut saves always
  // (asking for a name when there is none), so it is enabled again once the menu has closed.
  QMenu* file = w_.menus.at("File1");
  connect(file, &QMenu::aboutToShow, this, [this] {
    playback_.Stop();
    w_.Action("MenuSaveProject")->setEnabled(!project_.FileName().empty() && project_.Modified());
    EnableRelink();
  });
  connect(file, &QMenu::aboutToHide, this, [this] { w_.Action("MenuSaveProject")->setEnabled(true); });
  EnableRelink();
}

void TMainForm::ProcessCommandLine(const std::vector<std::string>& args) {
  const view::CommandLine line = view::CommandLine::Parse(args);
  if (line.Project()) {
    if (!files_.Load(*line.Project()))
      Complain(line.Project()->string() + ": " + project_.Messages().Get());
    return;
  }
  for (const view::CommandLine::Medium& m : line.Media()) {
    if (TakeFiles({m.file}) == 0)
      Complain(m.kind == view::CommandLine::Kind::Movie ? view::WindowTexts::MovieNotOpened(m.file)
                                                        : view::WindowTexts::SoundNotOpened(m.file));
  }
}

int TMainForm::TakeFiles(const std::vector<std::filesystem::path>& files) {
  int taken = 0;
  for (const std::filesystem::path& file : files) {
    switch (view::CommandLine::KindOf(file)) {
    case view::CommandLine::Kind::Movie:
      taken += MediaInsert::Movie(project_, file) ? 1 : 0;
      break;
    case view::CommandLine::Kind::Sound:
      taken += MediaInsert::Sound(project_, file) ? 1 : 0;
      break;
    default:
      break;
    }
  }
  return taken;
}

void TMainForm::Refresh(std::int32_t frame, bool full) {
  view_.Refresh(frame, full);
  if (full)
    EnableRelink();
}

void TMainForm::EnableRelink() {
  w_.Action("MenuRelink")->setEnabled(!OfflineMedia::List(project_.List()).empty());
}

void TMainForm::SetCaption() {
  setWindowTitle(QString::fromStdString(view::WindowTexts::WindowCaption(project_.FileName())));
}

void TMainForm::ShowMessages() {
  const std::string& text = project_.Messages().Get();
  if (!text.empty())
    Tell(text);
}

void TMainForm::Tell(const std::string& text) {
  services_.prompt.Ask(text, std::string(view::WindowTexts::kCaption), UserPrompt::Buttons::Ok);
}

bool TMainForm::TellOffline(const pVideoClipList& list) {
  const std::string notice = OfflineMedia::Message(OfflineMedia::List(list), OfflineMedia::Damaged(list));
  if (notice.empty())
    return false;
  Tell(view::WindowTexts::Shortened(notice, kListLines));
  return true;
}

void TMainForm::FocusTimeline() {
  w_.central->setFocus(Qt::OtherFocusReason);
}

void TMainForm::ShowProgress(int percent) {
  w_.statusProgressBar->setVisible(percent >= 0);
  if (percent >= 0)
    w_.statusProgressBar->setValue(percent);
}

std::filesystem::path TMainForm::HelpFile() {
  return (QCoreApplication::applicationFilePath() + ".HTM").toStdString();
}

void TMainForm::ShowHelp() {
  const std::filesystem::path help = HelpFile();
  std::error_code error;
  if (!std::filesystem::exists(help, error)) {
    Tell("ヘルプファイル " + help.string() + " が見つかりません");
    return;
  }
  if (services_.openDocument)
    services_.openDocument(help);
}

void TMainForm::ShowAbout() {
  if (dialogs_.about)
    dialogs_.about->exec();
}

void TMainForm::CheckMediaFiles() {
  // A question about a changed file is itself a change of activation: ask once at a time.
  if (checking_)
    return;
  checking_ = true;
  const bool reloaded = project_.CheckMediaFiles();
  const bool revived = project_.ReviveOffline();
  checking_ = false;
  if (reloaded || revived)
    Refresh(-1, true);
}

void TMainForm::ShowEnlarged() {
  playback_.Stop();
  DIB picture;
  if (!dialogs_.showPicture ||
      !view::FramePicture::Enlarged(project_.List(), project_.CurrentPos(), enlargedRenderer_, picture))
    return;
  dialogs_.showPicture->SetPicture(picture.Header(), picture.Bits());
  dialogs_.showPicture->exec();
  dialogs_.showPicture->SetPicture(nullptr, nullptr);
  // The release that closed the view went to the view: the button must not stay down.
  w_.buttonShow->setDown(false);
}

void TMainForm::MoveTo(std::optional<std::int32_t> frame) {
  if (frame)
    view_.MoveTo(*frame);
}

void TMainForm::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (shown_)
    return;
  shown_ = true;
  SetCaption();
  Refresh(-1, true);
  FocusTimeline();
}

void TMainForm::closeEvent(QCloseEvent* event) {
  playback_.Stop();
  if (files_.SavePrompt())
    event->accept();
  else
    event->ignore();
}

void TMainForm::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls())
    event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* event) {
  std::vector<std::filesystem::path> files;
  for (const QUrl& url : event->mimeData()->urls()) {
    if (url.isLocalFile())
      files.emplace_back(url.toLocalFile().toStdString());
  }
  event->acceptProposedAction();
  TakeFiles(files);
  Refresh(-1, true);
}

} // namespace rw::app
