// Memory over many files: a project's worth of AVI files open at once, each read through (front
// to back, a few steps back, then one frame of each again as when scrubbing). The decoded-picture
// caches of all decoders share one budget, so the memory must stay flat however many files there
// are. Reports, beside the time, the process's peak resident memory during the run, the highest
// total of the caches, the budget, and what the cached pictures would have taken had every file
// kept up to 64 MiB of them on its own.
//
// The files (2 s of 640x480 MJPEG each) are generated once into $RW_BENCH_MEDIA/many-files
// (default: a folder in the temporary folder) and kept there.

#include "base/MessageText.h"
#include "base/UserPrompt.h"
#include "media/MediaContext.h"
#include "tests/support/TestAvi.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kFrames = 60;
constexpr double kMiB = 1024.0 * 1024.0;

std::filesystem::path Folder() {
  const char* env = std::getenv("RW_BENCH_MEDIA");
  const std::filesystem::path base = env && *env
                                         ? std::filesystem::path(env)
                                         : std::filesystem::temp_directory_path() / "reelwright-bench-media";
  const std::filesystem::path folder = base / "many-files";
  std::filesystem::create_directories(folder);
  return folder;
}

std::vector<std::filesystem::path> Prepare(int count) {
  std::vector<std::filesystem::path> files;
  const std::filesystem::path folder = Folder();
  for (int i = 0; i < count; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "%03d.avi", i);
    const std::filesystem::path file = folder / name;
    if (!std::filesystem::exists(file)) {
      rw::test::TestAviOptions o;
      o.width = kWidth;
      o.height = kHeight;
      o.frames = kFrames;
      if (!rw::test::WriteTestAvi(file, o))
        return {};
    }
    files.push_back(file);
  }
  return files;
}

// The kernel's "VmHWM" of this process, in bytes; 0 when unknown.
double PeakResident() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0)
      return std::atof(line.c_str() + 6) * 1024.0;
  return 0;
}

// Starts the peak over from the memory resident now (where the kernel allows it).
void ResetPeakResident() {
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5\n";
}

void ManyFiles(benchmark::State& state) {
  rw::test::QuietMediaLibraries();
  const int count = static_cast<int>(state.range(0));
  const std::vector<std::filesystem::path> files = Prepare(count);
  if (files.empty()) {
    state.SkipWithError("cannot write the movies");
    return;
  }
  double peakResident = 0;
  std::size_t peakCaches = 0;
  std::size_t limit = 0;
  double unbounded = 0;
  for (auto _ : state) {
    state.PauseTiming();
    ResetPeakResident();
    state.ResumeTiming();
    rw::MessageText messages;
    rw::FixedPrompt prompt;
    rw::MediaContext context(messages, prompt);
    std::vector<rw::AviFrame> decoders;
    unbounded = 0;
    for (const auto& file : files) {
      rw::AviFrame decoder =
          context.AviFiles().OpenDecoder(context.AviFiles().OpenStream(file, messages), 0, 0);
      if (!decoder) {
        state.SkipWithError("cannot open a movie");
        return;
      }
      for (int n = 0; n < kFrames; ++n)
        benchmark::DoNotOptimize(decoder->GetFrame(n));
      for (int n = kFrames - 2; n >= kFrames - 10; --n)
        benchmark::DoNotOptimize(decoder->GetFrame(n));
      const double picture = static_cast<double>(decoder->Cache().PictureBytes());
      unbounded += std::min(64 * kMiB, picture * kFrames);
      decoders.push_back(std::move(decoder));
    }
    for (std::size_t i = 0; i < decoders.size(); ++i)
      benchmark::DoNotOptimize(decoders[i]->GetFrame(static_cast<int>(i % kFrames)));
    peakResident = std::max(peakResident, PeakResident());
    peakCaches = std::max(peakCaches, context.FrameCaches().Peak());
    limit = context.FrameCaches().Limit();
    if (context.FrameCaches().Peak() > limit)
      state.SkipWithError("the caches passed their budget");
  }
  state.SetItemsProcessed(state.iterations() * count * (kFrames + 9 + 1));
  state.counters["peak_rss_MiB"] = peakResident / kMiB;
  state.counters["caches_peak_MiB"] = static_cast<double>(peakCaches) / kMiB;
  state.counters["budget_MiB"] = static_cast<double>(limit) / kMiB;
  state.counters["per_file_caches_MiB"] = unbounded / kMiB;
}

BENCHMARK(ManyFiles)->Arg(40)->Arg(200)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace
