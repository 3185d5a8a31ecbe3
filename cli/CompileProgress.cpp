#include "cli/CompileProgress.h"

#include "output/MovieCompile.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <string>

namespace rw::cli {
namespace {

volatile std::sig_atomic_t interrupted = 0;

extern "C" void OnInterrupt(int) {
  interrupted = 1;
}

constexpr int kBarWidth = 30;
constexpr auto kRedraw = std::chrono::milliseconds(100);

std::string Clock(double seconds) {
  const auto s = static_cast<long>(std::max(0.0, seconds) + 0.5);
  char text[32];
  if (s >= 3600)
    std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
  else
    std::snprintf(text, sizeof text, "%ld:%02ld", s / 60, s % 60);
  return text;
}

} // namespace

CompileProgress::CompileProgress(const MovieCompile& compile, bool draw)
    : compile_(compile), draw_(draw), start_(std::chrono::steady_clock::now()), lastDraw_(start_) {
  interrupted = 0;
  struct sigaction action = {};
  action.sa_handler = OnInterrupt;
  action.sa_flags = SA_RESETHAND; // a second Ctrl+C ends the program
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
}

CompileProgress::~CompileProgress() {
  std::signal(SIGINT, SIG_DFL);
}

bool CompileProgress::Interrupted() {
  return interrupted != 0;
}

double CompileProgress::Elapsed() const {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
}

bool CompileProgress::Step(int percent) {
  if (draw_) {
    const auto now = std::chrono::steady_clock::now();
    if (percent != lastPercent_ || now - lastDraw_ >= kRedraw) {
      lastPercent_ = percent;
      lastDraw_ = now;
      Draw(percent, compile_.FramesDone(), compile_.FrameCount());
    }
  }
  return interrupted == 0;
}

void CompileProgress::Draw(int percent, std::int32_t done, std::int32_t total) {
  const double seconds = Elapsed();
  const double fps = seconds > 0 ? done / seconds : 0;
  const int filled = std::clamp(percent, 0, 100) * kBarWidth / 100;
  std::string bar(static_cast<std::size_t>(filled), '#');
  bar.resize(kBarWidth, ' ');
  std::string left = "--:--";
  if (fps > 0)
    left = Clock((total - done) / fps);
  std::fprintf(stderr, "\r%3d%% [%s] %6.1f fps  %s left  (%d/%d)  ", percent, bar.c_str(), fps, left.c_str(),
               done, total);
  std::fflush(stderr);
  drawn_ = true;
}

void CompileProgress::Finish() {
  if (!drawn_)
    return;
  Draw(compile_.FramesDone() == compile_.FrameCount() ? 100 : lastPercent_, compile_.FramesDone(),
       compile_.FrameCount());
  std::fputc('\n', stderr);
  drawn_ = false;
}

} // namespace rw::cli
