// Latency of the waveform output on SDL's dummy driver (which consumes in real time, one
// callback block of 512 frames every ~11.6 ms at 44.1 kHz):
//  - RestartToFirstByte: from Restart on a paused device with data queued to the first byte the
//    callback takes, restarted at random points of the callback cycle;
//  - SteadyLead: the sound queued ahead of the device while the preview's feed runs (pause,
//    60 one-frame buffers, restart, top up to 30 busy buffers on a 30 Hz tick).

#include "audio/WaveOut.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <random>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRate = 44100;
constexpr int kFrameSamples = kRate / 30; // 1470 sample frames of sound per video frame

void RestartToFirstByte(benchmark::State& state) {
  ::setenv("SDL_AUDIODRIVER", "dummy", 1);
  rw::WaveOut out(kRate, 2, 16);
  out.SetAutoClose(false);
  const std::vector<std::uint8_t> block(kFrameSamples * 4, 1);
  std::mt19937 rng(1);
  double worst = 0;
  out.Pause();
  for (auto _ : state) {
    std::this_thread::sleep_for(std::chrono::microseconds(rng() % 12000));
    out.Write(block.data(), kFrameSamples);
    const auto before = out.ConsumedBytes();
    const auto start = Clock::now();
    out.Restart();
    while (out.ConsumedBytes() == before)
      std::this_thread::yield();
    const double took = std::chrono::duration<double>(Clock::now() - start).count();
    state.SetIterationTime(took);
    worst = std::max(worst, took);
    out.Pause();
    out.Reset();
  }
  state.counters["worst_ms"] = worst * 1000;
}
BENCHMARK(RestartToFirstByte)->UseManualTime()->Iterations(200)->Unit(benchmark::kMillisecond);

void SteadyLead(benchmark::State& state) {
  ::setenv("SDL_AUDIODRIVER", "dummy", 1);
  const std::vector<std::uint8_t> block(kFrameSamples * 4, 1);
  const double bytesPerMs = kRate * 4 / 1000.0;
  double low = 1e9, high = 0, sum = 0;
  int samples = 0;
  for (auto _ : state) {
    rw::WaveOut out(kRate, 2, 16);
    out.SetAutoClose(false);
    out.Pause();
    for (int i = 0; i < 60; ++i)
      out.Write(block.data(), kFrameSamples);
    out.Restart();
    const auto start = Clock::now();
    auto tick = start;
    while (tick - start < std::chrono::seconds(4)) {
      tick += std::chrono::microseconds(33333);
      std::this_thread::sleep_until(tick);
      while (out.BusyCount() < 30)
        out.Write(block.data(), kFrameSamples);
      if (tick - start > std::chrono::seconds(1)) { // past the initial 60-buffer backlog
        const double lead = static_cast<double>(out.PendingBytes()) / bytesPerMs;
        low = std::min(low, lead);
        high = std::max(high, lead);
        sum += lead;
        ++samples;
      }
    }
    out.Reset();
  }
  state.counters["lead_min_ms"] = low;
  state.counters["lead_mean_ms"] = samples ? sum / samples : 0;
  state.counters["lead_max_ms"] = high;
}
BENCHMARK(SteadyLead)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
