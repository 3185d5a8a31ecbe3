#pragma once

#include <chrono>
#include <cstdint>

namespace rw {
class MovieCompile;
}

namespace rw::cli {

// The progress function of a compile on the command line: a bar with the percentage, the frames
// per second and the time left on standard error when that is a terminal, and the stop button
// as Ctrl+C (the first interrupt stops the compile after the current frame; a second one ends
// the program as usual).
class CompileProgress {
public:
  CompileProgress(const MovieCompile& compile, bool draw);
  ~CompileProgress();
  CompileProgress(const CompileProgress&) = delete;
  CompileProgress& operator=(const CompileProgress&) = delete;

  // Called once per frame; false once the user asked to stop.
  bool Step(int percent);
  // Ends the bar's line.
  void Finish();

  static bool Interrupted();
  // Seconds since the start.
  double Elapsed() const;

private:
  void Draw(int percent, std::int32_t done, std::int32_t total);

  const MovieCompile& compile_;
  bool draw_;
  bool drawn_ = false;
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point lastDraw_;
  int lastPercent_ = -1;
};

} // namespace rw::cli
