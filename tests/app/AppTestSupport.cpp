#include "tests/app/AppTestSupport.h"

#include "cli/DemoCommand.h"
#include "dialogs/THelpAboutDialog.h"
#include "dialogs/TProgressDialog.h"
#include "dialogs/TShowPictureDialog.h"
#include "dialogs/TTransTypeDialog.h"
#include "output/CompressorCatalogue.h"
#include "output/settings/OutputInfo.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestAvi.h"
#include "tests/support/WavTestFiles.h"

#include <QDir>
#include <QFontMetrics>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <cstring>

namespace rw::app::test {

UserPrompt::Answer ScriptedPrompt::Ask(const std::string& text, const std::string& caption, Buttons buttons) {
  asked.push_back(text);
  captions.push_back(caption);
  if (answers.empty())
    return buttons == Buttons::Ok ? Answer::Ok : Answer::No;
  const Answer a = answers.front();
  answers.pop_front();
  return a;
}

std::filesystem::path ScriptedFiles::Next(const char* dialog, const std::filesystem::path& preset) {
  shown.emplace_back(dialog, preset);
  if (answers.empty())
    return {};
  std::filesystem::path a = answers.front();
  answers.pop_front();
  return a;
}

std::vector<std::filesystem::path> ScriptedFiles::OpenClips(const std::string&) {
  std::vector<std::filesystem::path> chosen;
  shown.emplace_back("clips", std::filesystem::path());
  while (!answers.empty() && !answers.front().empty()) {
    chosen.push_back(answers.front());
    answers.pop_front();
  }
  return chosen;
}

bool ScriptedColours::Choose(std::uint32_t& red, std::uint32_t& green, std::uint32_t& blue) {
  ++asked;
  if (answers.empty())
    return false;
  red = answers.front().red;
  green = answers.front().green;
  blue = answers.front().blue;
  answers.pop_front();
  return true;
}

bool ConfirmingEditDialogs::EditOutputFormat(OutputInfo& settings) {
  if (settings.VideoWidth() < 1 || settings.VideoHeight() < 1) {
    settings.SetVideoWidth(160);
    settings.SetVideoHeight(120);
  }
  return true;
}

bool ConfirmingEditDialogs::ChooseCompressor(OutputInfo& settings) {
  if (settings.Compress().fccHandler == 0)
    settings.Compress().fccHandler = *CompressorCatalogue::ParseCode("MJPG");
  return true;
}

TestWindow::TestWindow(const std::vector<std::string>& args) {
  WindowServices services{context, prompt, files, [this](const std::filesystem::path& file) {
                            documentsOpened.push_back(file);
                            return true;
                          }};
  form_ = std::make_unique<TMainForm>(services, args);
  progress = new dialogs::TProgressDialog(form_.get());
  showPicture = new dialogs::TShowPictureDialog(form_.get());
  about = new dialogs::THelpAboutDialog(form_.get());
  transType = new dialogs::TTransTypeDialog(form_.get());
  WindowDialogs dialogs;
  dialogs.transType = transType;
  dialogs.colours = &colours;
  dialogs.progress = progress;
  dialogs.showPicture = showPicture;
  dialogs.about = about;
  dialogs.editDialogs = &edits;
  form_->AttachDialogs(dialogs);
}

TestWindow::~TestWindow() {
  // Nothing asks on the way out.
  form_->Project().MarkSaved(form_->Project().FileName());
}

void WriteTestMovie(const std::filesystem::path& file, int frames) {
  rw::test::QuietMediaLibraries();
  rw::test::TestAviOptions options;
  options.frames = frames;
  QVERIFY(rw::test::WriteTestAvi(file, options));
}

void WriteTestTone(const std::filesystem::path& file) {
  rw::test::WriteToneWav(file, 88200, 2, 16, 44100);
}

const std::filesystem::path& DemoProject() {
  static rw::test::TempDir folder;
  static const std::filesystem::path project = [] {
    rw::test::QuietMediaLibraries();
    const int status = cli::DemoCommand::Run({folder.Path().string()});
    return status == 0 ? folder / "demo.rwe" : std::filesystem::path();
  }();
  return project;
}

void Screenshot(QWidget& widget, const QString& name) {
  QDir().mkpath(RW_SCREENSHOT_DIR);
  widget.grab().save(QString(RW_SCREENSHOT_DIR) + "/" + name + ".png");
}

bool CliQuickFrame(const std::filesystem::path& project, int frame, int width, int height, DIB& out) {
  rw::test::TempDir folder;
  const std::filesystem::path bmp = folder / "frame.bmp";
  QProcess cli;
  cli.start(RW_CLI_PATH,
            {"frame", QString::fromStdString(project.string()), QString::number(frame), "--quick", "--size",
             QString("%1x%2").arg(width).arg(height), QString::fromStdString(bmp.string())});
  if (!cli.waitForFinished(60000) || cli.exitCode() != 0)
    return false;
  const std::vector<std::uint8_t> bytes = rw::test::ReadFileBytes(bmp);
  if (!out.Create(width, height) || bytes.size() != 54 + out.SizeImage())
    return false;
  std::memcpy(out.Bits(), bytes.data() + 54, out.SizeImage());
  return true;
}

void WhenShown(QWidget* dialog, std::function<void()> act) {
  auto* poll = new QTimer(dialog);
  QObject::connect(poll, &QTimer::timeout, dialog, [dialog, poll, act = std::move(act)] {
    if (!dialog->isVisible())
      return;
    poll->stop();
    poll->deleteLater();
    act();
  });
  poll->start(5);
}

bool FontCovers(const QWidget& widget, const QString& text) {
  const QFontMetrics metrics(widget.font());
  for (const char32_t c : text.toUcs4()) {
    if (c > ' ' && !metrics.inFontUcs4(c))
      return false;
  }
  return true;
}

} // namespace rw::app::test
