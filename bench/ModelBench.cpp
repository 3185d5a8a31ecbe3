// The project model on a timeline of 10,000 cuts: looking up random frames, one frame step, an
// insert in the middle, a split and an undo; beside them, as the reference, copying a flat array
// of the 10,000 entries (what recording an edit costs when every state holds its own array).
// BM_HistoryMemory reports the memory that 64 recorded states take after 64 single-cut edits
// as a multiple of the memory of one state.
#include "base/MessageText.h"
#include "base/UserPrompt.h"
#include "media/ColormatClip.h"
#include "media/MediaContext.h"
#include "project/VideoProject.h"
#include "render/TransitionKinds.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <memory>
#include <random>
#include <vector>

namespace {

// Heap bytes in use (the benchmark runs on one thread: one arena), large blocks included.
long long HeapInUse() {
  const struct mallinfo2 info = mallinfo2();
  return static_cast<long long>(info.uordblks + info.hblkhd);
}

} // namespace

namespace {

constexpr int kCuts = 10000;
constexpr int kCutLength = 30;

struct Model {
  rw::MessageText messages;
  rw::FixedPrompt prompt;
  rw::MediaContext context{messages, prompt};
  std::unique_ptr<rw::VideoProject> project;

  explicit Model(int cuts) {
    project = std::make_unique<rw::VideoProject>(context);
    rw::VideoClipList list = rw::VideoClipList::New();
    for (int i = 0; i < cuts; ++i) {
      rw::VideoTransition trans;
      if (i > 0 && i % 10 == 0) {
        trans = rw::TransitionKinds::MakeByIndex(rw::TransitionKinds::kOverlap);
        trans.SetLength(5);
      }
      list->AppendEntry(rw::ClipInfo(Mat(i), trans, rw::AudioClipSet::New()), messages);
    }
    project->State().list = list;
    project->SetCurrentFrame(0, true);
  }
  static rw::VideoClip Mat(int i) {
    auto* mat = new rw::ColormatClip(static_cast<std::uint32_t>(i % 256), 0, 0);
    mat->SetLength(kCutLength);
    return rw::VideoClip::Adopt(mat);
  }
  // A position strictly inside the middle cut's own frames.
  rw::ClipPos Middle(std::int32_t frame) const {
    const auto& list = project->List();
    const std::int32_t i = list.Count() / 2;
    return rw::ClipPos(list.EntryAt(i), i, frame);
  }
};

void BM_PosAtRandomFrame(benchmark::State& state) {
  Model model(kCuts);
  const auto& list = model.project->List();
  std::mt19937 rng(1);
  std::vector<std::int32_t> frames(4096);
  for (auto& f : frames)
    f = std::uniform_int_distribution<std::int32_t>(0, list.TotalFrames() - 1)(rng);
  std::size_t k = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(list.PosAt(frames[k]));
    k = (k + 1) & (frames.size() - 1);
  }
}
BENCHMARK(BM_PosAtRandomFrame);

// One frame step through the project (NextPos path), at several timeline sizes.
void BM_FrameStep(benchmark::State& state) {
  Model model(static_cast<int>(state.range(0)));
  rw::VideoProject& project = *model.project;
  const std::int32_t total = project.List().TotalFrames();
  project.SetCurrentFrame(total / 2, true);
  std::int32_t direction = 1;
  for (auto _ : state) {
    std::int32_t next = project.CurrentFrame() + direction;
    if (next < 0 || next > total) {
      direction = -direction;
      next = project.CurrentFrame() + direction;
    }
    benchmark::DoNotOptimize(project.SetCurrentFrame(next));
  }
}
BENCHMARK(BM_FrameStep)->Arg(100)->Arg(1000)->Arg(kCuts)->Arg(100000);

void BM_InsertInTheMiddle(benchmark::State& state) {
  Model model(kCuts);
  rw::VideoProject& project = *model.project;
  const rw::VideoClip cut = Model::Mat(7);
  for (auto _ : state) {
    if (!project.InsertClip(model.Middle(10), cut))
      state.SkipWithError("insert failed");
    state.PauseTiming();
    project.Undo();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_InsertInTheMiddle);

void BM_Split(benchmark::State& state) {
  Model model(kCuts);
  rw::VideoProject& project = *model.project;
  for (auto _ : state) {
    if (!project.Split(model.Middle(12)))
      state.SkipWithError("split failed");
    state.PauseTiming();
    project.Undo();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_Split);

void BM_Undo(benchmark::State& state) {
  Model model(kCuts);
  rw::VideoProject& project = *model.project;
  project.SetLength(20, kCuts / 2);
  for (auto _ : state) {
    if (!project.Undo())
      state.SkipWithError("undo failed");
    state.PauseTiming();
    project.Redo();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_Undo);

// The reference: every state holding its own flat array of the entries' handles.
void BM_FlatEntryArrayCopy(benchmark::State& state) {
  Model model(kCuts);
  const auto& list = model.project->List();
  std::vector<rw::ClipInfo> flat;
  for (std::int32_t i = 0; i < list.Count(); ++i)
    flat.push_back(list.EntryAt(i));
  for (auto _ : state) {
    std::vector<rw::ClipInfo> copy = flat;
    benchmark::DoNotOptimize(copy.data());
  }
}
BENCHMARK(BM_FlatEntryArrayCopy);

// Memory of the current state and 64 recorded states after 64 single-cut edits, as a multiple
// of one state. Edit 0: a cut's length; 1: an insert; 2: a split.
void BM_HistoryMemory(benchmark::State& state) {
  const int kind = static_cast<int>(state.range(0));
  for (auto _ : state) {
    const long long start = HeapInUse();
    Model model(kCuts);
    const long long one = HeapInUse() - start;
    std::mt19937 rng(7);
    int done = 0;
    for (int attempt = 0; done < rw::VideoProject::kHistorySize && attempt < 1000; ++attempt) {
      rw::VideoProject& project = *model.project;
      const std::int32_t i = std::uniform_int_distribution<std::int32_t>(1, project.List().Count() - 2)(rng);
      const std::int32_t length = project.List().LengthOf(i);
      const rw::ClipPos pos(project.List().EntryAt(i), i, length / 2);
      bool edited = false;
      if (kind == 0)
        edited = project.SetLength(length - 1, i);
      else if (kind == 1)
        edited = project.InsertClip(pos, Model::Mat(done));
      else
        edited = project.Split(pos);
      done += edited ? 1 : 0;
    }
    if (done < rw::VideoProject::kHistorySize)
      state.SkipWithError("edits failed");
    const long long all = HeapInUse() - start;
    state.counters["one_state_KiB"] = static_cast<double>(one) / 1024.0;
    state.counters["with_64_states_KiB"] = static_cast<double>(all) / 1024.0;
    state.counters["ratio"] = static_cast<double>(all) / static_cast<double>(one);
    state.counters["flat_ratio"] =
        static_cast<double>(one + rw::VideoProject::kHistorySize * kCuts * sizeof(rw::ClipInfo)) /
        static_cast<double>(one);
  }
}
BENCHMARK(BM_HistoryMemory)->Arg(0)->Arg(1)->Arg(2)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
