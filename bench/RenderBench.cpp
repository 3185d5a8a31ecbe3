// Timeline rendering as the movie compile drives it: the smooth frame at 640 × 480, plain and
// inside each transition kind, in frames per second, first from cuts that hand out a prepared
// picture (no decoding), then from MJPEG AVI files (decoding included); and the mixdown of one
// minute of three overlapping WAV clips, frame by frame, as a multiple of real time.
#include "base/MessageText.h"
#include "base/UserPrompt.h"
#include "media/AviClip.h"
#include "media/ColormatClip.h"
#include "media/MediaContext.h"
#include "media/WavClip.h"
#include "project/TimelineRenderer.h"
#include "project/VideoClipList.h"
#include "render/TransitionKinds.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestAvi.h"
#include "tests/support/WavTestFiles.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

namespace {

constexpr std::int32_t kWidth = 640;
constexpr std::int32_t kHeight = 480;

// A cut whose every frame is one prepared picture at its source size, with a quarter-size
// display copy: the renderer's work without any decoding.
class PreparedCut : public rw::pVideoClip {
public:
  PreparedCut(std::int32_t length, unsigned seed) {
    source_.Create(kWidth, kHeight);
    unsigned state = seed;
    for (std::uint32_t k = 0; k < source_.SizeImage(); ++k) {
      state = state * 1664525u + 1013904223u;
      source_.Bits()[k] = static_cast<std::uint8_t>(state >> 24);
    }
    display_.Create(kWidth / 4, kHeight / 4);
    display_.QuickResizeFrom(source_);
    length_ = length;
    endFrame_ = length - 1;
  }
  PreparedCut(const PreparedCut&) = default;
  pVideoClip* Clone() const override { return new PreparedCut(*this); }
  const rw::BitmapInfoHeader* GetFormat() override { return display_.Header(); }
  const std::uint8_t* GetFrame(std::int32_t) override { return display_.Bits(); }
  const rw::BitmapInfoHeader* GetSourceFormat() override { return source_.Header(); }
  const std::uint8_t* GetSourceFrame(std::int32_t) override { return source_.Bits(); }
  bool IsValid() const override { return true; }

private:
  rw::DIB source_;
  rw::DIB display_;
};

// Two cuts with a transition of `kind` (none for -1) of `trans` frames between them.
rw::VideoClipList TwoCuts(rw::VideoClip first, rw::VideoClip second, int kind, std::int32_t trans) {
  rw::MessageText messages;
  rw::VideoClipList list = rw::VideoClipList::New();
  rw::VideoTransition t;
  if (kind >= 0) {
    t = rw::TransitionKinds::MakeByIndex(kind);
    t.SetLength(trans);
  }
  list->AppendEntry(rw::ClipInfo(std::move(first)), messages);
  list->AppendEntry(rw::ClipInfo(std::move(second), t, rw::AudioClipSet::New()), messages);
  return list;
}

// Renders the smooth frames of timeline frames first .. first + count - 1 in a loop.
void RunFrames(benchmark::State& state, const rw::VideoClipList& list, std::int32_t first,
               std::int32_t count) {
  std::vector<rw::ClipPos> positions;
  for (std::int32_t f = first; f < first + count; ++f)
    positions.push_back(list->PosAt(f));
  rw::TimelineRenderer renderer;
  rw::DIB out;
  out.Create(kWidth, kHeight);
  std::size_t i = 0;
  for (auto _ : state) {
    renderer.SmoothFrame(*list, out, positions[i]);
    benchmark::DoNotOptimize(out.Bits());
    benchmark::ClobberMemory();
    i = i + 1 == positions.size() ? 0 : i + 1;
  }
  state.counters["fps"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

std::string KindLabel(int kind) {
  return kind < 0 ? std::string("plain") : std::string(rw::TransitionKinds::Keyword(kind));
}

// Prepared 640 × 480 pictures: plain (-1) or through every step of a 30-frame transition.
void BM_SmoothPrepared(benchmark::State& state) {
  const int kind = static_cast<int>(state.range(0));
  const rw::VideoClipList list =
      TwoCuts(rw::VideoClip::Make<PreparedCut>(60, 1), rw::VideoClip::Make<PreparedCut>(60, 2), kind, 30);
  state.SetLabel(KindLabel(kind));
  RunFrames(state, list, kind < 0 ? 0 : 30, 30);
}

// Colour mats, whose source is a 1 × 1 swatch that the smoothing resampler spreads.
void BM_SmoothColourMat(benchmark::State& state) {
  const int kind = static_cast<int>(state.range(0));
  const rw::VideoClipList list = TwoCuts(rw::VideoClip::Make<rw::ColormatClip>(200, 10, 10),
                                         rw::VideoClip::Make<rw::ColormatClip>(10, 10, 200), kind, 10);
  state.SetLabel(KindLabel(kind));
  RunFrames(state, list, kind < 0 ? 0 : 20, 10);
}

// MJPEG files of 200 frames at 640 × 480; every timeline frame asked for needs a decode (the
// 150 frames walked per cut exceed the decoder's picture cache).
struct AviFiles {
  rw::test::TempDir dir;
  rw::MessageText messages;
  rw::FixedPrompt prompt;
  rw::MediaContext context{messages, prompt};
  bool ok = true;

  AviFiles() {
    rw::test::QuietMediaLibraries();
    rw::test::TestAviOptions options;
    options.codec = rw::test::TestAviCodec::Mjpeg;
    options.width = kWidth;
    options.height = kHeight;
    options.frames = 200;
    ok = rw::test::WriteTestAvi(dir / "a.avi", options) && rw::test::WriteTestAvi(dir / "b.avi", options);
  }
};

AviFiles& Avis() {
  static AviFiles files;
  return files;
}

void BM_SmoothMjpeg(benchmark::State& state) {
  const int kind = static_cast<int>(state.range(0));
  AviFiles& files = Avis();
  rw::VideoClip a = rw::AviClip::OpenFile(files.dir / "a.avi", files.context);
  rw::VideoClip b = rw::AviClip::OpenFile(files.dir / "b.avi", files.context);
  if (!files.ok || a.IsNull() || b.IsNull() || !a->IsValid() || !b->IsValid()) {
    state.SkipWithError("test AVI files could not be written or opened");
    return;
  }
  const rw::VideoClipList list = TwoCuts(a, b, kind, 150);
  state.SetLabel(KindLabel(kind));
  RunFrames(state, list, kind < 0 ? 0 : 50, 150);
}

// One minute (1800 frames) over two colour mats, with three WAV clips of 40 seconds sounding
// from frames 0, 300 and 900: 44100 Hz 16-bit stereo, 22050 Hz 8-bit mono, 48000 Hz 16-bit
// stereo. Output: range(0) samples per second, 16-bit stereo; one RenderAudio per frame.
void BM_MixdownMinute(benchmark::State& state) {
  rw::test::TempDir dir;
  rw::test::WriteToneWav(dir / "a.wav", 40 * 44100, 2, 16, 44100);
  rw::test::WriteToneWav(dir / "b.wav", 40 * 22050, 1, 8, 22050);
  rw::test::WriteToneWav(dir / "c.wav", 40 * 48000, 2, 16, 48000);
  rw::MessageText messages;
  rw::FixedPrompt prompt;
  rw::MediaContext context(messages, prompt);

  auto mat = [] {
    auto* m = new rw::ColormatClip(0, 0, 0);
    m->SetLength(900);
    return rw::VideoClip::Adopt(m);
  };
  auto sound = [&](const char* name, std::int32_t anchor) {
    rw::AudioClip clip = rw::AudioClip::Make<rw::WavClip>(context, dir / name);
    clip->SetPlayFrameMember(anchor);
    return clip;
  };
  rw::AudioClipSet first = rw::AudioClipSet::New();
  first->Append(sound("a.wav", 0));
  first->Append(sound("b.wav", 300));
  rw::AudioClipSet second = rw::AudioClipSet::New();
  second->Append(sound("c.wav", 0));
  rw::VideoClipList list = rw::VideoClipList::New();
  list->AppendEntry(rw::ClipInfo(mat(), rw::VideoTransition(), first), messages);
  list->AppendEntry(rw::ClipInfo(mat(), rw::VideoTransition(), second), messages);
  rw::OutputInfo output;
  output.SetAudioRate(static_cast<std::int32_t>(state.range(0)));
  list->SetOutput(output);

  rw::TimelineRenderer renderer;
  std::vector<std::uint8_t> buffer(
      static_cast<std::size_t>(2 * rw::TimelineRenderer::ByteCount(output, 0, 1)) + 8);
  const std::int32_t frames = list->TotalFrames();
  for (auto _ : state) {
    for (std::int32_t f = 0; f < frames; ++f) {
      renderer.RenderAudio(*list, std::span<std::uint8_t>(buffer), f, 1);
      benchmark::DoNotOptimize(buffer.data());
    }
    benchmark::ClobberMemory();
  }
  const double seconds = static_cast<double>(frames) / rw::OutputInfo::kVideoRate;
  state.counters["x_realtime"] =
      benchmark::Counter(seconds * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void Kinds(benchmark::internal::Benchmark* b) {
  for (int kind = -1; kind < rw::TransitionKinds::kCount; ++kind)
    b->Arg(kind);
}

// Rates are per CPU second of the whole process, so that decoder threads count too and other
// load on the machine does not.
BENCHMARK(BM_SmoothPrepared)->Apply(Kinds)->MeasureProcessCPUTime();
BENCHMARK(BM_SmoothColourMat)->Apply(Kinds)->MeasureProcessCPUTime();
BENCHMARK(BM_SmoothMjpeg)->Apply(Kinds)->MeasureProcessCPUTime();
BENCHMARK(BM_MixdownMinute)
    ->Arg(44100)
    ->Arg(48000)
    ->Arg(11025)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();

} // namespace
