#pragma once

// What the GUI tests of the editor window share: scripted answers for its questions and file
// dialogs, a window made with them and the real dialogs, the demo set, screenshots, and
// reelwright-cli's picture of a frame.

#include "app/FileChooser.h"
#include "app/TMainForm.h"
#include "base/ColorChooser.h"
#include "base/MessageText.h"
#include "base/UserPrompt.h"
#include "media/MediaContext.h"
#include "project/EditDialogs.h"
#include "render/DIB.h"

#include <QString>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace rw::dialogs {
class THelpAboutDialog;
class TProgressDialog;
class TShowPictureDialog;
class TTransTypeDialog;
} // namespace rw::dialogs

namespace rw::app::test {

// Answers questions in order from `answers`; when they run out, messages are confirmed and
// questions answered No. Every question is recorded.
class ScriptedPrompt : public UserPrompt {
public:
  Answer Ask(const std::string& text, const std::string& caption, Buttons buttons) override;

  std::deque<Answer> answers;
  std::vector<std::string> asked;
  std::vector<std::string> captions;
};

// Chooses files in order from `answers` (an empty path cancels; cancels when they run out) and
// records what each dialog started from.
class ScriptedFiles : public FileChooser {
public:
  std::filesystem::path OpenProject(const std::filesystem::path& preset) override {
    return Next("open", preset);
  }
  std::filesystem::path SaveProject(const std::filesystem::path& preset) override {
    return Next("save", preset);
  }
  std::filesystem::path SaveMovie(const std::filesystem::path& preset) override {
    return Next("movie", preset);
  }
  std::vector<std::filesystem::path> OpenClips(const std::string& filter) override;
  std::filesystem::path ChooseFolder(const std::filesystem::path& preset) override {
    return Next("folder", preset);
  }

  std::deque<std::filesystem::path> answers;
  std::vector<std::pair<std::string, std::filesystem::path>> shown; // dialog and preset

private:
  std::filesystem::path Next(const char* dialog, const std::filesystem::path& preset);
};

// The settings dialogs confirmed at once: a missing output size becomes 160 x 120 and a missing
// compressor MJPG.
class ConfirmingEditDialogs : public EditDialogs {
public:
  bool EditOutputFormat(OutputInfo& settings) override;
  bool ChooseCompressor(OutputInfo& settings) override;
};

// Confirms the colours in `answers` in order; cancels when they run out.
class ScriptedColours : public ColorChooser {
public:
  struct Colour {
    std::uint32_t red, green, blue;
  };
  bool Choose(std::uint32_t& red, std::uint32_t& green, std::uint32_t& blue) override;

  std::deque<Colour> answers;
  int asked = 0;
};

// A main window over the scripted services, with the real progress, enlarged view and about
// dialogs as its children.
class TestWindow {
public:
  explicit TestWindow(const std::vector<std::string>& args = {});
  ~TestWindow();

  TMainForm& Form() { return *form_; }
  VideoProject& Project() { return form_->Project(); }
  MainFormWidgets& Widgets() { return form_->Widgets(); }

  MessageText messages;
  ScriptedPrompt prompt;
  MediaContext context{messages, prompt};
  ScriptedFiles files;
  ConfirmingEditDialogs edits;
  ScriptedColours colours;
  dialogs::TProgressDialog* progress = nullptr;
  dialogs::TTransTypeDialog* transType = nullptr;
  dialogs::TShowPictureDialog* showPicture = nullptr;
  dialogs::THelpAboutDialog* about = nullptr;
  std::vector<std::filesystem::path> documentsOpened;

private:
  std::unique_ptr<TMainForm> form_;
};

// A movie of `frames` numbered 160 x 120 pictures without sound, and two seconds of tone.
void WriteTestMovie(const std::filesystem::path& file, int frames);
void WriteTestTone(const std::filesystem::path& file);

// The demo set (written once per test program into a temporary folder): its project file.
const std::filesystem::path& DemoProject();
// Saves what the widget shows to <build>/screenshots/<name>.png.
void Screenshot(QWidget& widget, const QString& name);
// reelwright-cli frame <frame> --quick --size WxH of the project, as a picture; false when the
// command fails.
bool CliQuickFrame(const std::filesystem::path& project, int frame, int width, int height, DIB& out);
// Runs `act` on the modal dialog `dialog` as soon as it shows (from a command about to open it).
void WhenShown(QWidget* dialog, std::function<void()> act);
// Every character of `text` has a glyph in the font of `widget` (so nothing shows as a box).
bool FontCovers(const QWidget& widget, const QString& text);

} // namespace rw::app::test
