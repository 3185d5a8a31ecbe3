// Render throughput of every transition kind, in frames per second, beside a plain memcpy of the
// same number of bytes (the physical floor of writing one frame) in the same run.
#include "render/DIB.h"
#include "render/TransitionKinds.h"
#include "render/VideoTransition.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

namespace {

constexpr int kLength = 30;

rw::DIB Picture(int w, int h, unsigned seed) {
  rw::DIB dib;
  dib.Create(w, h);
  unsigned state = seed;
  for (std::uint32_t k = 0; k < dib.SizeImage(); ++k) {
    state = state * 1664525u + 1013904223u;
    dib.Bits()[k] = static_cast<std::uint8_t>(state >> 24);
  }
  return dib;
}

void Report(benchmark::State& state, const rw::DIB& out) {
  state.counters["fps"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * out.SizeImage());
}

// Cycles through every step of a 30-frame transition, so the figure is the mean over its steps.
void BM_Transition(benchmark::State& state) {
  const int kind = static_cast<int>(state.range(0));
  const int w = static_cast<int>(state.range(1));
  const int h = static_cast<int>(state.range(2));
  const rw::DIB a = Picture(w, h, 1);
  const rw::DIB b = Picture(w, h, 2);
  rw::DIB out = Picture(w, h, 3);
  rw::VideoTransition t = rw::TransitionKinds::MakeByIndex(kind);
  t.SetLength(kLength);
  state.SetLabel(std::string(rw::TransitionKinds::Keyword(kind)));
  int i = 0;
  for (auto _ : state) {
    t.Render(out.Header(), out.Bits(), a.Bits(), b.Bits(), i);
    benchmark::DoNotOptimize(out.Bits());
    benchmark::ClobberMemory();
    i = i + 1 == kLength ? 0 : i + 1;
  }
  Report(state, out);
}

void BM_Memcpy(benchmark::State& state) {
  const int w = static_cast<int>(state.range(0));
  const int h = static_cast<int>(state.range(1));
  const rw::DIB a = Picture(w, h, 1);
  rw::DIB out = Picture(w, h, 3);
  state.SetLabel("memcpy");
  for (auto _ : state) {
    std::memcpy(out.Bits(), a.Bits(), out.SizeImage());
    benchmark::DoNotOptimize(out.Bits());
    benchmark::ClobberMemory();
  }
  Report(state, out);
}

void Sizes(benchmark::internal::Benchmark* b, bool withKind) {
  for (const auto& [w, h] : {std::pair{640, 480}, std::pair{1920, 1080}}) {
    if (!withKind) {
      b->Args({w, h});
      continue;
    }
    for (int kind = 0; kind < rw::TransitionKinds::kCount; ++kind)
      b->Args({kind, w, h});
  }
}

BENCHMARK(BM_Memcpy)->Apply([](benchmark::internal::Benchmark* b) { Sizes(b, false); });
BENCHMARK(BM_Transition)->Apply([](benchmark::internal::Benchmark* b) { Sizes(b, true); });

} // namespace
