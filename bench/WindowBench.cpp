// The editor window over the demo project (640x480 MJPEG movies, pictures, a mat, transitions
// and sound), offscreen, drawing included (pending paint events are processed each time):
//  - FrameStep: Refresh(f + 1, false) across a movie cut, wrapping back to its start;
//  - FullRefresh: Refresh(-1, true) at a frame inside a transition;
//  - JumpFullRefresh: Refresh(f, true) to a frame 97 frames on each time (new frames to decode);
//  - StartUp: from making the program (main window, dialogs, project opened from the command
//    line) to the first painted window. Before the benchmarks, the same from the start of main()
//    (the QApplication made first) is printed once.

#include "app/ReelwrightApplication.h"
#include "app/TMainForm.h"
#include "cli/DemoCommand.h"
#include "dialogs/WindowFont.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPaintEvent>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

extern "C" {
#include <libavutil/log.h>
}

namespace {

std::filesystem::path g_project;

// Notes when a widget has painted.
class PaintSpy : public QObject {
public:
  bool painted = false;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint)
      painted = true;
    return false;
  }
};

void FrameStep(benchmark::State& state) {
  rw::app::ReelwrightApplication program({g_project.string()});
  rw::app::TMainForm& form = program.MainForm();
  form.show();
  QApplication::processEvents();
  std::int32_t f = 10;
  form.Refresh(f, false);
  for (auto _ : state) {
    f = f >= 110 ? 10 : f + 1; // inside the first street cut
    form.Refresh(f, false);
    QApplication::processEvents();
  }
  form.Project().MarkSaved(form.Project().FileName());
}

void FullRefresh(benchmark::State& state) {
  rw::app::ReelwrightApplication program({g_project.string()});
  rw::app::TMainForm& form = program.MainForm();
  form.show();
  QApplication::processEvents();
  form.Refresh(165, false); // inside the wipe from the rings into the garden
  for (auto _ : state) {
    form.Refresh(-1, true);
    QApplication::processEvents();
  }
  form.Project().MarkSaved(form.Project().FileName());
}

void JumpFullRefresh(benchmark::State& state) {
  rw::app::ReelwrightApplication program({g_project.string()});
  rw::app::TMainForm& form = program.MainForm();
  form.show();
  QApplication::processEvents();
  std::int32_t f = 0;
  for (auto _ : state) {
    f = (f + 97) % 365;
    form.Refresh(f, true);
    QApplication::processEvents();
  }
  form.Project().MarkSaved(form.Project().FileName());
}

// Makes the program and waits until its preview has painted.
void OpenAndPaint() {
  rw::app::ReelwrightApplication program({g_project.string()});
  PaintSpy spy;
  program.MainForm().findChild<QWidget*>("PaintNow")->installEventFilter(&spy);
  program.MainForm().show();
  while (!spy.painted)
    QApplication::processEvents(QEventLoop::AllEvents, 5);
  program.MainForm().Project().MarkSaved(program.MainForm().Project().FileName());
}

void StartUp(benchmark::State& state) {
  for (auto _ : state)
    OpenAndPaint();
}

BENCHMARK(FrameStep)->Unit(benchmark::kMillisecond);
BENCHMARK(FullRefresh)->Unit(benchmark::kMillisecond);
BENCHMARK(JumpFullRefresh)->Unit(benchmark::kMillisecond);
BENCHMARK(StartUp)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv) {
  const auto start = std::chrono::steady_clock::now();
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  ::setenv("SDL_AUDIODRIVER", "dummy", 0);
  av_log_set_level(AV_LOG_QUIET);
  QApplication app(argc, argv);
  rw::dialogs::WindowFont::Apply();
  const auto made = std::chrono::steady_clock::now();
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "reelwright-bench-window";
  std::filesystem::remove_all(folder);
  if (rw::cli::DemoCommand::Run({folder.string()}) != 0)
    return 1;
  g_project = folder / "demo.rwe";
  // The demo is written in between: it does not count.
  const auto written = std::chrono::steady_clock::now();
  OpenAndPaint();
  const auto painted = std::chrono::steady_clock::now();
  const std::chrono::duration<double, std::milli> application = made - start;
  const std::chrono::duration<double, std::milli> window = painted - written;
  std::printf("StartUpFromMain: %.1f ms (application %.1f ms, window to first paint %.1f ms)\n",
              (application + window).count(), application.count(), window.count());
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(folder);
  return 0;
}
