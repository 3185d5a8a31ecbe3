// AVI decoding to 24-bit BGR frames: sequential decoding, exact random access and stepping
// backwards, in frames per second. bench/compare-decode runs the ffmpeg command-line tool on
// the same files for the ratios.
//
// The movies are generated once into $RW_BENCH_MEDIA (default: a folder in the temporary
// folder) and kept there, with the frame numbers of the random-access run beside them.

#include "base/MessageText.h"
#include "media/AviRegistry.h"
#include "tests/support/TestAvi.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

using rw::test::TestAviCodec;

struct Movie {
  const char* name;
  TestAviCodec codec;
  int width, height, frames, gop;
};

constexpr Movie kMjpeg{"mjpeg-640x480.avi", TestAviCodec::Mjpeg, 640, 480, 300, 1};
constexpr Movie kH264{"h264-1280x720.avi", TestAviCodec::H264BFrames, 1280, 720, 300, 250};
constexpr Movie kMpeg4{"mpeg4-640x480-gop250.avi", TestAviCodec::Mpeg4, 640, 480, 500, 250};
constexpr int kRandomFrames = 100;

std::filesystem::path MediaFolder() {
  const char* env = std::getenv("RW_BENCH_MEDIA");
  std::filesystem::path folder = env && *env
                                     ? std::filesystem::path(env)
                                     : std::filesystem::temp_directory_path() / "reelwright-bench-media";
  std::filesystem::create_directories(folder);
  return folder;
}

std::filesystem::path Prepare(const Movie& m) {
  const std::filesystem::path file = MediaFolder() / m.name;
  if (!std::filesystem::exists(file)) {
    rw::test::TestAviOptions o;
    o.codec = m.codec;
    o.width = m.width;
    o.height = m.height;
    o.frames = m.frames;
    o.gop = m.gop;
    o.texture = true;
    rw::test::WriteTestAvi(file, o);
  }
  return file;
}

// The same 100 frames every run; written beside the movie for the comparison script.
std::vector<int> RandomFrames(const Movie& m) {
  std::mt19937 rng(2024);
  std::vector<int> frames;
  for (int i = 0; i < kRandomFrames; ++i)
    frames.push_back(static_cast<int>(rng() % static_cast<unsigned>(m.frames)));
  std::ofstream out(MediaFolder() / (std::string(m.name) + ".random.txt"));
  for (const int f : frames)
    out << f << "\n";
  return frames;
}

void Sequential(benchmark::State& state, const Movie& m) {
  rw::test::QuietMediaLibraries();
  const auto file = Prepare(m);
  for (auto _ : state) {
    rw::MessageText messages;
    rw::AviRegistry registry;
    rw::AviFrame decoder = registry.OpenDecoder(registry.OpenStream(file, messages), 0, 0);
    if (!decoder) {
      state.SkipWithError("cannot open the movie");
      return;
    }
    for (int n = 0; n < m.frames; ++n)
      benchmark::DoNotOptimize(decoder->GetFrame(n));
  }
  state.SetItemsProcessed(state.iterations() * m.frames);
}

void RandomAccess(benchmark::State& state, const Movie& m) {
  rw::test::QuietMediaLibraries();
  const auto file = Prepare(m);
  const std::vector<int> frames = RandomFrames(m);
  for (auto _ : state) {
    rw::MessageText messages;
    rw::AviRegistry registry;
    rw::AviFrame decoder = registry.OpenDecoder(registry.OpenStream(file, messages), 0, 0);
    if (!decoder) {
      state.SkipWithError("cannot open the movie");
      return;
    }
    for (const int n : frames)
      benchmark::DoNotOptimize(decoder->GetFrame(n));
  }
  state.SetItemsProcessed(state.iterations() * kRandomFrames);
}

// From the last frame of a group of 250 pictures back to its key frame, one frame at a time.
void StepBackward(benchmark::State& state, const Movie& m) {
  rw::test::QuietMediaLibraries();
  const auto file = Prepare(m);
  const int last = 2 * m.gop - 1;
  for (auto _ : state) {
    state.PauseTiming();
    rw::MessageText messages;
    rw::AviRegistry registry;
    rw::AviFrame decoder = registry.OpenDecoder(registry.OpenStream(file, messages), 0, 0);
    if (!decoder) {
      state.SkipWithError("cannot open the movie");
      return;
    }
    benchmark::DoNotOptimize(decoder->GetFrame(last));
    state.ResumeTiming();
    for (int n = last - 1; n >= m.gop; --n)
      benchmark::DoNotOptimize(decoder->GetFrame(n));
  }
  state.SetItemsProcessed(state.iterations() * (m.gop - 1));
}

BENCHMARK_CAPTURE(Sequential, mjpeg_640x480, kMjpeg)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK_CAPTURE(Sequential, h264_1280x720, kH264)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2);
BENCHMARK_CAPTURE(RandomAccess, mjpeg_640x480, kMjpeg)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK_CAPTURE(RandomAccess, h264_1280x720, kH264)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);
BENCHMARK_CAPTURE(StepBackward, mpeg4_640x480_gop250, kMpeg4)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2);

} // namespace
