// Play in the editor window, in real time: the demo project (640x480 MJPEG movies, pictures, a
// mat, transitions, mixed sound) from frame 0 to the end in mode 1, and the same project with
// its movies replaced by 1280x720 H.264 files with B-frames. For each run it prints the line
// Label17 shows at the end (DropFrame, AdjustFrame), and how far the picture was from the
// sound: from the sound of a device that plays in real time (the frame due since the sound last
// started) and from the device's own position (the feeder's PlayingFrame). Then the cost of the
// frame path alone (the quick picture at the preview's size), frame by frame.
//
// Not a Google Benchmark: it needs a window. bench/playback-window runs it under Xvfb; without
// a display it falls back to the offscreen platform.
//
//   bench_playback [--case demo|h264|all] [--rate HZ] [--log FILE.csv]
//   bench_playback --project FILE.rwe [--path-only]   (an existing project; the frame path alone)

#include "app/DibImage.h"
#include "app/MainFormWidgets.h"
#include "app/Playback.h"
#include "app/ReelwrightApplication.h"
#include "app/TMainForm.h"
#include "cli/DemoCommand.h"
#include "dialogs/WindowFont.h"
#include "project/TimelineRenderer.h"
#include "project/VideoProject.h"
#include "render/DIB.h"
#ifdef RW_BENCH_H264
#include "tests/support/TestAvi.h"
#endif

#include <QApplication>
#include <QLabel>
#include <QToolButton>
#include <QWindow>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

extern "C" {
#include <libavutil/log.h>
}

namespace {

using rw::app::Playback;
using Ms = rw::view::PlayClock::Ms;

struct Shown {
  Ms at;
  std::int32_t frame;
  double due;          // the frame a real-time device plays now, since the sound last started
  std::int32_t device; // the frame the device is playing (-1 without sound)
};

struct Summary {
  std::string name;
  std::string endLine;
  std::int32_t total = 0;
  std::size_t shown = 0;
  std::uint64_t ticks = 0;
  double seconds = 0;
  double worstDue = 0;
  double meanDue = 0;
  std::int32_t worstDevice = 0;
  double deviceSpeed = 0;
  double worstCorrected = 0;
  double pathMean = 0;
  double pathMax = 0;
  std::vector<std::pair<double, std::int32_t>> slowest; // ms, frame
};

double Millis(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

// The quick picture of every frame at the preview's size, converted as the preview shows it:
// mean and largest time per frame, in a window of its own so that nothing is cached yet.
void FramePath(const std::filesystem::path& project, Summary& s) {
  rw::app::ReelwrightApplication program({project.string()});
  rw::VideoProject& p = program.MainForm().Project();
  rw::TimelineRenderer renderer;
  rw::DIB frame;
  frame.Create(160, 120);
  double sum = 0;
  for (std::int32_t f = 0; f < p.List().TotalFrames(); ++f) {
    const auto t0 = std::chrono::steady_clock::now();
    renderer.QuickFrame(p.List(), frame, p.List().PosAt(f));
    const QImage image = rw::app::DibImage::ToImage(frame);
    const double ms = Millis(std::chrono::steady_clock::now() - t0);
    sum += ms;
    s.pathMax = std::max(s.pathMax, ms);
    s.slowest.emplace_back(ms, f);
    if (image.isNull())
      std::printf("frame %d: no picture\n", f);
  }
  s.pathMean = p.List().TotalFrames() > 0 ? sum / p.List().TotalFrames() : 0;
  std::sort(s.slowest.rbegin(), s.slowest.rend());
  s.slowest.resize(std::min<std::size_t>(s.slowest.size(), 5));
}

Summary Play(const std::string& name, const std::filesystem::path& project, std::FILE* log) {
  Summary s;
  s.name = name;
  rw::app::ReelwrightApplication program({project.string()});
  rw::app::TMainForm& form = program.MainForm();
  form.show();
  for (int i = 0; i < 200 && !(form.windowHandle() && form.windowHandle()->isExposed()); ++i)
    QApplication::processEvents(QEventLoop::AllEvents, 10);
  form.Refresh(0, true);
  QApplication::processEvents();

  rw::app::MainFormWidgets& w = form.Widgets();
  Playback* play = &form.Transport();
  std::vector<Shown> shown;
  shown.reserve(4096);
  play->SetFrameShown([&](std::int32_t f) {
    const Ms now = Playback::SteadyNow();
    Shown x{now, f, -1, -1};
    if (play->SoundStarted()) {
      x.due = play->SoundFrom() + static_cast<double>(now - play->SoundSince()) * 30.0 / 1000.0;
      x.device = play->Feeder().PlayingFrame();
    }
    shown.push_back(x);
  });

  const std::uint64_t ticks = play->Ticks();
  const auto start = std::chrono::steady_clock::now();
  w.buttonPlay->click();
  while (play->Playing())
    QApplication::processEvents(QEventLoop::WaitForMoreEvents);
  s.seconds = Millis(std::chrono::steady_clock::now() - start) / 1000.0;
  s.ticks = play->Ticks() - ticks;
  s.endLine = w.label17->text().toStdString();
  s.total = form.Project().List().TotalFrames();
  s.shown = shown.size();

  double sum = 0;
  std::size_t counted = 0;
  for (const Shown& x : shown) {
    if (log)
      std::fprintf(log, "%s,%lld,%d,%.2f,%d\n", name.c_str(), static_cast<long long>(x.at - shown.front().at),
                   x.frame, x.due, x.device);
    if (x.device < 0)
      continue;
    const double gap = x.frame - x.due;
    s.worstDue = std::max(s.worstDue, std::abs(gap));
    sum += std::abs(gap);
    ++counted;
    s.worstDevice = std::max(s.worstDevice, std::abs(x.frame - x.device));
  }
  s.meanDue = counted ? sum / static_cast<double>(counted) : 0;
  // The device's speed: how far it played against the clock, up to the last frame seen before
  // its sound ran out.
  for (auto x = shown.rbegin(); x != shown.rend(); ++x) {
    const double elapsed = static_cast<double>(x->at - play->SoundSince()) * 30.0 / 1000.0;
    if (x->device >= 0 && x->device < s.total - 1 && elapsed > 30) {
      s.deviceSpeed = (x->device - play->SoundFrom()) / elapsed;
      break;
    }
  }
  // The same with the device's clock error taken out: what is left is the feeding's own doing.
  for (const Shown& x : shown) {
    const double elapsed = static_cast<double>(x.at - play->SoundSince()) * 30.0 / 1000.0;
    if (x.device >= 0 && x.device < s.total - 1 && s.deviceSpeed > 0)
      s.worstCorrected =
          std::max(s.worstCorrected, std::abs(x.device - x.frame - (s.deviceSpeed - 1) * elapsed));
  }
  form.Project().MarkSaved(form.Project().FileName());
  FramePath(project, s);
  return s;
}

void Print(const Summary& s) {
  std::printf("== %s ==\n", s.name.c_str());
  std::printf("Label17: %s\n", s.endLine.c_str());
  std::printf("frames shown during play: %zu of %d in %.2f s (%llu ticks)\n", s.shown, s.total, s.seconds,
              static_cast<unsigned long long>(s.ticks));
  std::printf("picture against a real-time sound: worst %.2f frames, mean %.2f frames\n", s.worstDue,
              s.meanDue);
  std::printf(
      "picture against the device's PlayingFrame: worst %d frames (the device ran %.3f x real time)\n",
      s.worstDevice, s.deviceSpeed);
  std::printf("  the same without the device's clock error: worst %.2f frames\n", s.worstCorrected);
  std::printf("frame path (quick picture 160x120 + image): mean %.2f ms, max %.2f ms\n", s.pathMean,
              s.pathMax);
  if (!s.slowest.empty()) {
    std::printf("slowest frames:");
    for (const auto& [ms, f] : s.slowest)
      std::printf(" %d (%.1f ms)", f, ms);
    std::printf("\n\n");
  }
  std::fflush(stdout);
}

// Gives the project file another output sample rate (the preview plays in that format).
bool SetAudioRate(const std::filesystem::path& project, int rate) {
  std::ifstream in(project, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::string key = "AudioRate: ";
  const std::size_t at = text.find(key);
  if (at == std::string::npos)
    return false;
  const std::size_t end = text.find('\n', at);
  text.replace(at + key.size(), end - at - key.size(), std::to_string(rate));
  std::ofstream(project, std::ios::binary) << text;
  return true;
}

#ifdef RW_BENCH_H264
// The demo with its two movies replaced by 1280x720 H.264 files with B-frames and sound, of the
// same lengths.
bool WriteH264Demo(const std::filesystem::path& folder) {
  if (rw::cli::DemoCommand::Run({folder.string()}) != 0)
    return false;
  for (const auto& [file, frames] : {std::pair{"street.avi", 150}, std::pair{"garden.avi", 120}}) {
    rw::test::TestAviOptions o;
    o.codec = rw::test::TestAviCodec::H264BFrames;
    o.width = 1280;
    o.height = 720;
    o.frames = frames;
    o.texture = true;
    o.audioRate = 44100;
    std::string error;
    if (!rw::test::WriteTestAvi(folder / file, o, &error)) {
      std::printf("%s: %s\n", file, error.c_str());
      return false;
    }
  }
  return true;
}
#endif

} // namespace

int main(int argc, char** argv) {
  if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") && !std::getenv("QT_QPA_PLATFORM")) {
    std::printf("no display: offscreen (bench/playback-window runs this under Xvfb)\n");
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  }
  ::setenv("SDL_AUDIODRIVER", "dummy", 0);
  std::string which = "all";
  int rate = 0;
  std::string given;
  bool pathOnly = false;
  std::FILE* log = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--case") && i + 1 < argc)
      which = argv[++i];
    else if (!std::strcmp(argv[i], "--project") && i + 1 < argc)
      given = argv[++i];
    else if (!std::strcmp(argv[i], "--path-only"))
      pathOnly = true;
    else if (!std::strcmp(argv[i], "--rate") && i + 1 < argc)
      rate = std::atoi(argv[++i]);
    else if (!std::strcmp(argv[i], "--log") && i + 1 < argc)
      log = std::fopen(argv[++i], "w");
  }
  av_log_set_level(AV_LOG_QUIET);
  int qtArgc = 1;
  QApplication app(qtArgc, argv);
  rw::dialogs::WindowFont::Apply();
  std::printf("platform %s, sound driver %s\n", QGuiApplication::platformName().toUtf8().constData(),
              std::getenv("SDL_AUDIODRIVER"));
  if (log)
    std::fprintf(log, "case,ms,frame,due,device\n");

  if (!given.empty()) {
    Summary s;
    s.name = given;
    if (pathOnly)
      FramePath(given, s);
    else
      s = Play(given, given, log);
    Print(s);
    return 0;
  }
  const std::filesystem::path root = std::filesystem::temp_directory_path() / "reelwright-bench-playback";
  std::filesystem::remove_all(root);
  if (which == "demo" || which == "all") {
    const auto folder = root / "demo";
    if (rw::cli::DemoCommand::Run({folder.string()}) != 0)
      return 1;
    if (rate > 0 && !SetAudioRate(folder / "demo.rwe", rate))
      return 1;
    Print(Play("demo: 640x480 MJPEG", folder / "demo.rwe", log));
  }
#ifdef RW_BENCH_H264
  if (which == "h264" || which == "all") {
    const auto folder = root / "h264";
    if (!WriteH264Demo(folder))
      return 1;
    if (rate > 0 && !SetAudioRate(folder / "demo.rwe", rate))
      return 1;
    Print(Play("demo with 1280x720 H.264 movies", folder / "demo.rwe", log));
  }
#endif
  if (log)
    std::fclose(log);
  if (!std::getenv("RW_BENCH_KEEP"))
    std::filesystem::remove_all(root);
  return 0;
}
