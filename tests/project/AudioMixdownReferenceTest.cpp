// The timeline mix of random projects against the slow reference evaluation: cuts with
// transitions, their own sound, audio sets anchored before, inside and after the windows,
// sources of 8 and 16 bits, one and two channels, 8000 to 96000 samples per second, every output
// format.

#include "tests/project/AudioMixdownReference.h"
#include "base/MessageText.h"
#include "project/TimelineRenderer.h"
#include "project/VideoClipList.h"
#include "render/TransitionKinds.h"
#include "tests/support/TimelineTestMedia.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace rw {
namespace {

using test::HashTone;
using test::NumberedCut;

constexpr std::int32_t kSourceRates[] = {8000, 11025, 22050, 32000, 44100, 48000, 96000};
constexpr std::int32_t kOutputRates[] = {11025, 22050, 32000, 44100, 48000};

template <class T> T Pick(std::mt19937& rng, std::initializer_list<T> values) {
  return *(values.begin() + std::uniform_int_distribution<std::size_t>(0, values.size() - 1)(rng));
}

std::int32_t Between(std::mt19937& rng, std::int32_t lo, std::int32_t hi) {
  return std::uniform_int_distribution<std::int32_t>(lo, hi)(rng);
}

AudioClip RandomSound(std::mt19937& rng, std::int32_t anchor) {
  const std::int32_t rate = kSourceRates[Between(rng, 0, 6)];
  const std::int32_t frames = Between(rng, 1, rate);
  AudioClip clip =
      HashTone(Between(rng, 1, 2), Pick(rng, {8, 16}), rate, frames, static_cast<std::uint32_t>(rng()),
               anchor, Pick(rng, {0, 64, 256, 256, 400, 1024}));
  if (frames > 10 && Between(rng, 0, 1) == 1) {
    clip.SetBeginSample(Between(rng, 0, frames / 2));
    clip.SetLength(Between(rng, 1, clip->Length()));
  }
  return clip;
}

// Three to six cuts of 5 to 50 frames with occasional transitions, own sound on about half of
// them, and zero to three set members each, anchored from 20 frames before the cut to 20 after.
VideoClipList RandomList(std::mt19937& rng) {
  MessageText messages;
  VideoClipList list = VideoClipList::New();
  const std::int32_t count = Between(rng, 3, 6);
  std::int32_t previous = 0;
  for (std::int32_t i = 0; i < count; ++i) {
    const std::int32_t length = Between(rng, 5, 50);
    auto* cut = new NumberedCut(i + 1, length);
    if (Between(rng, 0, 1) == 1)
      cut->SetOwnAudio(RandomSound(rng, 0));
    VideoTransition trans;
    if (i > 0 && Between(rng, 0, 2) == 0) {
      trans = TransitionKinds::MakeByIndex(TransitionKinds::kOverlap);
      trans.SetLength(Between(rng, 1, std::min(previous, length)));
    }
    AudioClipSet set = AudioClipSet::New();
    const std::int32_t members = Between(rng, 0, 3);
    for (std::int32_t k = 0; k < members; ++k)
      set->Append(RandomSound(rng, Between(rng, -20, length + 20)));
    EXPECT_TRUE(list->AppendEntry(ClipInfo(VideoClip::Adopt(cut), trans, set), messages)) << messages.Get();
    previous = length;
  }
  return list;
}

TEST(AudioMixdownReference, RandomProjectsInEveryFormat) {
  std::mt19937 rng(20240611);
  TimelineRenderer renderer;
  for (int project = 0; project < 40; ++project) {
    VideoClipList list = RandomList(rng);
    const std::int32_t total = list->TotalFrames();
    for (const std::int32_t rate : kOutputRates) {
      OutputInfo output;
      output.SetAudioRate(rate);
      output.SetAudioBits(Pick(rng, {8, 16}));
      output.SetAudioChannels(Pick(rng, {1, 2}));
      list->SetOutput(output);
      for (int window = 0; window < 6; ++window) {
        const std::int32_t a = Between(rng, 0, total + 5);
        const std::int32_t b = Pick(rng, {0, 1, 1, 1, 2, 7});
        SCOPED_TRACE("project " + std::to_string(project) + " rate " + std::to_string(rate) + " window " +
                     std::to_string(a) + "+" + std::to_string(b));
        const auto n = static_cast<std::size_t>(TimelineRenderer::SampleCount(output, a, b));
        const test::ReferenceMix expected = test::ReferenceMixAudio(*list, a, b);
        std::vector<std::int32_t> left(n + 3, 77), right(n + 3, 77);
        ASSERT_TRUE(renderer.MixAudio(*list, left, right, a, b));
        EXPECT_EQ(left[n], 77); // nothing past the window
        left.resize(n);
        right.resize(n);
        ASSERT_EQ(left, expected.left);
        ASSERT_EQ(right, expected.right);

        std::vector<std::uint8_t> bytes;
        ASSERT_TRUE(renderer.RenderAudio(*list, bytes, a, b));
        ASSERT_EQ(bytes, test::ReferenceRenderAudio(*list, a, b));

        std::vector<std::int32_t> mono(n);
        ASSERT_TRUE(renderer.RenderAudioMono(*list, mono, a, b));
        for (std::size_t i = 0; i < n; ++i)
          ASSERT_EQ(mono[i], (std::int64_t{expected.left[i]} + expected.right[i]) / 2) << i;
      }
    }
  }
}

// Every frame of one project, one window per frame as playback and the movie render them.
TEST(AudioMixdownReference, FrameByFrameThroughAProject) {
  std::mt19937 rng(77);
  TimelineRenderer renderer;
  for (int project = 0; project < 4; ++project) {
    VideoClipList list = RandomList(rng);
    OutputInfo output;
    output.SetAudioRate(kOutputRates[project]);
    list->SetOutput(output);
    std::vector<std::uint8_t> bytes;
    for (std::int32_t f = 0; f <= list->TotalFrames(); ++f) {
      ASSERT_TRUE(renderer.RenderAudio(*list, bytes, f, 1));
      ASSERT_EQ(bytes, test::ReferenceRenderAudio(*list, f, 1)) << project << " " << f;
    }
  }
}

} // namespace
} // namespace rw
