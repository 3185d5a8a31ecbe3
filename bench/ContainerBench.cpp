// Movies of other containers than AVI: opening a long 1080p H.264 MP4 (its packet index built),
// exact random access on it beside the AVI reader on the same H.264 stream in an AVI file, and
// sequential decoding, to 24-bit BGR frames and to the decoded pictures alone, in frames per
// second. bench/compare-container makes the movies with the ffmpeg command-line tool into
// $RW_BENCH_MEDIA/container and runs the tool on them for the ratios.

#include "base/MessageText.h"
#include "media/AviRegistry.h"
#include "media/ContainerRegistry.h"
#include "tests/support/TestAvi.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr const char* kMp4 = "h264-1080p-10min.mp4";
constexpr const char* kAvi = "h264-1080p-10min.avi";
constexpr int kFrames = 18000;         // 10 minutes at 30 fps
constexpr int kSequentialFrames = 900; // the first 30 s
constexpr int kRandomFrames = 50;

std::filesystem::path Media(const char* name) {
  const char* env = std::getenv("RW_BENCH_MEDIA");
  const std::filesystem::path folder =
      env && *env ? std::filesystem::path(env)
                  : std::filesystem::temp_directory_path() / "reelwright-bench-media";
  return folder / "container" / name;
}

bool Present(benchmark::State& state, const std::filesystem::path& file) {
  if (std::filesystem::exists(file))
    return true;
  state.SkipWithError(("no " + file.string() + ": run bench/compare-container").c_str());
  return false;
}

// The same frames every run, written beside the movie for the comparison script.
std::vector<int> RandomFrames() {
  std::mt19937 rng(2026);
  std::vector<int> frames;
  for (int i = 0; i < kRandomFrames; ++i)
    frames.push_back(static_cast<int>(rng() % kFrames));
  std::ofstream out(Media("random.txt"));
  for (const int f : frames)
    out << f << "\n";
  return frames;
}

// Opening the file: its packet index read through once, the frame map and a decoder; with
// `firstFrame`, also showing the first frame, as a cut does when it is added.
void OpenMovie(benchmark::State& state, bool firstFrame) {
  rw::test::QuietMediaLibraries();
  const auto file = Media(kMp4);
  if (!Present(state, file))
    return;
  for (auto _ : state) {
    rw::MessageText messages;
    rw::ContainerRegistry registry;
    const rw::ContainerStream stream = registry.OpenStream(file, messages);
    rw::ContainerFrame decoder = registry.OpenDecoder(stream, 0, 0);
    if (!decoder || decoder->Width() != 1920 || stream->FrameCount() != kFrames ||
        (firstFrame && !decoder->GetFrame(0))) {
      state.SkipWithError("the movie does not open as 18000 frames of 1920 x 1080");
      return;
    }
  }
}

void Open(benchmark::State& state) {
  OpenMovie(state, false);
}
void OpenFirstFrame(benchmark::State& state) {
  OpenMovie(state, true);
}

// Reads `frames` in that order through a fresh registry of the kind each round (its opening is
// not timed): as the 24-bit pictures the cuts deliver or, with `decodedOnly`, as the decoded
// pictures themselves (the codec's format, what a compile passes through).
template <class Registry>
void ReadFrames(benchmark::State& state, const char* name, const std::vector<int>& frames,
                bool decodedOnly = false) {
  rw::test::QuietMediaLibraries();
  const auto file = Media(name);
  if (!Present(state, file))
    return;
  for (auto _ : state) {
    state.PauseTiming();
    rw::MessageText messages;
    Registry registry;
    const auto decoder = registry.OpenDecoder(registry.OpenStream(file, messages), 0, 0);
    state.ResumeTiming();
    for (const int n : frames)
      if (!decoder || !(decodedOnly ? static_cast<const void*>(decoder->GetPicture(n))
                                    : static_cast<const void*>(decoder->GetFrame(n)))) {
        state.SkipWithError("a frame does not decode");
        return;
      }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(frames.size()));
}

std::vector<int> FirstFrames() {
  std::vector<int> frames(kSequentialFrames);
  std::iota(frames.begin(), frames.end(), 0);
  return frames;
}

void RandomMp4(benchmark::State& state) {
  ReadFrames<rw::ContainerRegistry>(state, kMp4, RandomFrames());
}
void RandomAvi(benchmark::State& state) {
  ReadFrames<rw::AviRegistry>(state, kAvi, RandomFrames());
}
void SequentialMp4(benchmark::State& state) {
  ReadFrames<rw::ContainerRegistry>(state, kMp4, FirstFrames());
}
void SequentialMp4Decoded(benchmark::State& state) {
  ReadFrames<rw::ContainerRegistry>(state, kMp4, FirstFrames(), true);
}
void SequentialAvi(benchmark::State& state) {
  ReadFrames<rw::AviRegistry>(state, kAvi, FirstFrames());
}

BENCHMARK(Open)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(OpenFirstFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(RandomMp4)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(RandomAvi)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(SequentialMp4)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(SequentialMp4Decoded)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(SequentialAvi)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

} // namespace
