// Throughput of the two resamplers beside libswscale on the same sizes (BGR24 to BGR24), in
// destination megapixels per second.

#include "media/FfmpegPtr.h"
#include "render/DIB.h"

#include <benchmark/benchmark.h>

#include <random>

namespace {

rw::DIB Noise(int w, int h) {
  rw::DIB dib;
  dib.Create(w, h);
  std::mt19937 rng(static_cast<unsigned>(w * 131 + h));
  // Smooth-ish content: a gradient with noise, so that nothing is trivially constant.
  for (int y = 0; y < h; ++y) {
    std::uint8_t* row = dib.Bits() + static_cast<std::size_t>(dib.Stride()) * y;
    for (int x = 0; x < w * 3; ++x) {
      row[x] = static_cast<std::uint8_t>((x + y + (rng() & 31)) & 255);
    }
  }
  return dib;
}

void SetRate(benchmark::State& state, int dw, int dh) {
  state.counters["Mpix/s"] =
      benchmark::Counter(dw * static_cast<double>(dh) / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}

enum class Kind { Smooth, Quick };

void Ours(benchmark::State& state, Kind kind) {
  const int sw = static_cast<int>(state.range(0)), sh = static_cast<int>(state.range(1));
  const int dw = static_cast<int>(state.range(2)), dh = static_cast<int>(state.range(3));
  const rw::DIB src = Noise(sw, sh);
  rw::DIB dst;
  dst.Create(dw, dh);
  for (auto _ : state) {
    const bool ok = kind == Kind::Smooth ? dst.ResizeFrom(src) : dst.QuickResizeFrom(src);
    if (!ok) {
      state.SkipWithError("resample failed");
      break;
    }
    benchmark::DoNotOptimize(dst.Bits());
    benchmark::ClobberMemory();
  }
  SetRate(state, dw, dh);
}

void Sws(benchmark::State& state, int flags) {
  const int sw = static_cast<int>(state.range(0)), sh = static_cast<int>(state.range(1));
  const int dw = static_cast<int>(state.range(2)), dh = static_cast<int>(state.range(3));
  const rw::DIB src = Noise(sw, sh);
  rw::DIB dst;
  dst.Create(dw, dh);
  const rw::ff::SwsPtr ctx = rw::ff::MakeSws(sw, sh, AV_PIX_FMT_BGR24, dw, dh, AV_PIX_FMT_BGR24, flags);
  if (!ctx) {
    state.SkipWithError("libswscale has no such converter");
    return;
  }
  const std::uint8_t* const srcPlanes[4] = {src.Bits(), nullptr, nullptr, nullptr};
  const int srcStrides[4] = {src.Stride(), 0, 0, 0};
  std::uint8_t* const dstPlanes[4] = {dst.Bits(), nullptr, nullptr, nullptr};
  const int dstStrides[4] = {dst.Stride(), 0, 0, 0};
  for (auto _ : state) {
    sws_scale(ctx.get(), srcPlanes, srcStrides, 0, sh, dstPlanes, dstStrides);
    benchmark::DoNotOptimize(dst.Bits());
    benchmark::ClobberMemory();
  }
  SetRate(state, dw, dh);
}

void SmoothSizes(benchmark::internal::Benchmark* b) {
  b->Args({1920, 1080, 640, 480});
  b->Args({720, 480, 640, 480});
  b->Args({640, 480, 320, 240});
  b->Args({320, 240, 640, 480});
  b->Unit(benchmark::kMicrosecond);
}

void QuickSizes(benchmark::internal::Benchmark* b) {
  b->Args({640, 480, 160, 120});
  b->Args({640, 480, 80, 60});
  b->Unit(benchmark::kMicrosecond);
}

} // namespace

BENCHMARK_CAPTURE(Ours, ResizeFrom, Kind::Smooth)->Apply(SmoothSizes);
BENCHMARK_CAPTURE(Sws, Area, SWS_AREA)->Apply(SmoothSizes);
BENCHMARK_CAPTURE(Sws, Bilinear, SWS_BILINEAR)->Apply(SmoothSizes);
BENCHMARK_CAPTURE(Ours, QuickResizeFrom, Kind::Quick)->Apply(QuickSizes);
BENCHMARK_CAPTURE(Sws, Point, SWS_POINT)->Apply(QuickSizes);
