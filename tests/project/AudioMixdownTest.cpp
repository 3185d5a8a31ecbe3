// The timeline's sound: sample counts, the mix of cuts' own sound and audio sets, and the
// output sample formats.

#include "base/MessageText.h"
#include "base/UserPrompt.h"
#include "media/AudioMix.h"
#include "media/MediaContext.h"
#include "media/WavClip.h"
#include "project/TimelineRenderer.h"
#include "project/VideoClipList.h"
#include "tests/project/AudioMixdownReference.h"
#include "tests/support/TempDir.h"
#include "tests/support/TimelineTestMedia.h"
#include "tests/support/WavTestFiles.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <string>
#include <vector>

namespace rw {
namespace {

using test::ConstantTone;
using test::HashTone;
using test::NumberedCut;

OutputInfo Format(std::int32_t rate, std::int32_t bits = 16, std::int32_t channels = 2) {
  OutputInfo output;
  EXPECT_TRUE(output.SetAudioRate(rate));
  EXPECT_TRUE(output.SetAudioBits(bits));
  EXPECT_TRUE(output.SetAudioChannels(channels));
  return output;
}

// A list of NumberedCuts of these lengths, no transitions, in the given output format.
VideoClipList Cuts(const std::vector<std::int32_t>& lengths, const OutputInfo& output = Format(44100)) {
  MessageText messages;
  VideoClipList list = VideoClipList::New();
  for (std::size_t i = 0; i < lengths.size(); ++i) {
    EXPECT_TRUE(list->AppendEntry(
        ClipInfo(VideoClip::Make<NumberedCut>(static_cast<std::int32_t>(i + 1), lengths[i])), messages));
  }
  list->SetOutput(output);
  return list;
}

// Adds `clip` to the audio set of entry i (the list is not shared in these tests).
void AddMember(VideoClipList& list, std::int32_t i, AudioClip clip) {
  ClipInfo entry = list->EntryAt(i);
  entry.audio.Detach();
  entry.audio->Append(std::move(clip));
  ASSERT_TRUE(list->UpdateEntry(entry, i));
}

void SetOwnAudio(VideoClipList& list, std::int32_t i, AudioClip clip) {
  static_cast<NumberedCut*>(list->EntryAt(i).clip.Get())->SetOwnAudio(std::move(clip));
}

std::vector<std::uint8_t> Render(TimelineRenderer& renderer, const VideoClipList& list, std::int32_t a,
                                 std::int32_t b) {
  std::vector<std::uint8_t> out;
  EXPECT_TRUE(renderer.RenderAudio(*list, out, a, b));
  return out;
}

std::int32_t Sample16(const std::vector<std::uint8_t>& bytes, std::size_t i) {
  return static_cast<std::int16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
}

TEST(AudioMixdownSampleCount, FramesAndRates) {
  EXPECT_EQ(TimelineRenderer::SampleCount(Format(44100), 0, 30), 44100);
  EXPECT_EQ(TimelineRenderer::SampleCount(Format(44100), 17, 1), 1470);
  EXPECT_EQ(TimelineRenderer::SampleCount(Format(48000), 5, 1), 1600);
  EXPECT_EQ(TimelineRenderer::SampleCount(Format(11025), 0, 1), 367);
  EXPECT_EQ(TimelineRenderer::SampleCount(Format(11025), 1, 1), 368);
  EXPECT_EQ(TimelineRenderer::SampleCount(Format(32000), 0, 1), 1066);
  EXPECT_EQ(TimelineRenderer::SampleCount(Format(32000), 1, 1), 1067);
  EXPECT_EQ(TimelineRenderer::SampleCount(Format(32000), 2, 1), 1067);
  EXPECT_EQ(TimelineRenderer::SampleCount(Format(44100), 3, 0), 0);
  EXPECT_EQ(TimelineRenderer::SampleCount(Format(44100), -1, 1), 0);
  EXPECT_EQ(TimelineRenderer::SampleCount(Format(44100), 0, -1), 0);
  EXPECT_EQ(TimelineRenderer::ByteCount(Format(22050, 8, 1), 0, 30), 22050);
  EXPECT_EQ(TimelineRenderer::ByteCount(Format(22050, 16, 2), 0, 30), 88200);
}

// Windows of one frame add up to the window of all frames, far into a long timeline as well
// (48000 × frame leaves 32 bits past frame 44739).
TEST(AudioMixdownSampleCount, ConsecutiveWindowsAddUp) {
  for (const std::int32_t rate : {11025, 22050, 32000, 44100, 48000}) {
    for (const std::int64_t base : {std::int64_t{0}, std::int64_t{44700}, std::int64_t{1} << 29}) {
      std::int64_t sum = 0;
      for (std::int64_t f = base; f < base + 90; ++f)
        sum += TimelineRenderer::SampleCount(Format(rate), f, 1);
      EXPECT_EQ(sum, TimelineRenderer::SampleCount(Format(rate), base, 90)) << rate << " " << base;
      EXPECT_EQ(sum, std::int64_t{rate} * 3);
    }
  }
  EXPECT_EQ(TimelineRenderer::SampleCount(Format(48000), 0, std::int64_t{1} << 30),
            (std::int64_t{1} << 30) * 1600);
}

TEST(AudioMixdownFormat, SilenceInEveryFormat) {
  TimelineRenderer renderer;
  const std::vector<std::pair<OutputInfo, std::uint8_t>> formats = {{Format(44100, 8, 1), 128},
                                                                    {Format(44100, 8, 2), 128},
                                                                    {Format(44100, 16, 1), 0},
                                                                    {Format(44100, 16, 2), 0}};
  for (const auto& [output, silent] : formats) {
    const VideoClipList list = Cuts({10}, output);
    const auto bytes = Render(renderer, list, 2, 1);
    ASSERT_EQ(static_cast<std::int64_t>(bytes.size()), TimelineRenderer::ByteCount(output, 2, 1));
    for (const std::uint8_t b : bytes)
      ASSERT_EQ(b, silent);
  }
}

// Mixed values of ±40000 are limited to ±32767 before packing; 16-bit mono halves the sum,
// rounding toward zero.
TEST(AudioMixdownFormat, LimitingAndPackingTable) {
  TimelineRenderer renderer;
  struct Case {
    std::int32_t left, right, volume; // sample values and volume of one stereo clip
    std::vector<std::uint8_t> mono8, stereo8;
    std::vector<std::int32_t> mono16, stereo16;
  };
  const std::vector<Case> cases = {
      {20000, -20000, 512, {128}, {255, 0}, {0}, {32767, -32767}},
      {20000, 20000, 512, {255}, {255, 255}, {32767}, {32767, 32767}},
      {-20000, -20000, 512, {0}, {0, 0}, {-32767}, {-32767, -32767}},
      {1, -2, 256, {127}, {128, 127}, {0}, {1, -2}},
      {-3, 0, 256, {127}, {127, 128}, {-1}, {-3, 0}},
      {300, 500, 256, {129}, {129, 129}, {400}, {300, 500}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.left) + " " + std::to_string(c.right));
    for (const std::int32_t channels : {1, 2}) {
      for (const std::int32_t bits : {8, 16}) {
        VideoClipList list = Cuts({10}, Format(44100, bits, channels));
        AddMember(list, 0, ConstantTone(c.left, c.right, 44100, 44100, 0, c.volume));
        const auto bytes = Render(renderer, list, 1, 1);
        ASSERT_EQ(bytes.size(), static_cast<std::size_t>(1470 * channels * bits / 8));
        for (std::size_t i = 0; i < 1470; ++i) {
          for (std::int32_t ch = 0; ch < channels; ++ch) {
            const std::size_t at = i * channels + ch;
            if (bits == 8)
              ASSERT_EQ(bytes[at], (channels == 1 ? c.mono8 : c.stereo8)[ch]) << i;
            else
              ASSERT_EQ(Sample16(bytes, at), (channels == 1 ? c.mono16 : c.stereo16)[ch]) << i;
          }
        }
      }
    }
  }
}

// A clip at the output rate lands sample for sample on the timeline, whatever the windows:
// timeline sample q holds source sample q - (entry start × rate / fps + anchor × rate / fps).
TEST(AudioMixdownPlacement, ClipsAtTheOutputRateLandOnTheirSamples) {
  for (const std::int32_t rate : {11025, 32000, 48000}) {
    SCOPED_TRACE(rate);
    VideoClipList list = Cuts({20, 15, 30}, Format(rate));
    const std::int32_t length = rate / 2 + 7;
    auto* tone = new test::ToneClip(
        2, 16, rate, length, [](std::int32_t f, std::int32_t ch) { return (f * 3 + ch * 1000) & 0x7FFF; });
    AudioClip clip = AudioClip::Adopt(tone);
    // Anchored before its cut: it sounds from timeline frame 16, in windows that end before the
    // cut begins.
    clip->SetPlayFrameMember(-4);
    AddMember(list, 1, clip);
    TimelineRenderer renderer;
    std::vector<std::int32_t> timeline;
    for (std::int32_t f = 0; f < 65; ++f) {
      const auto bytes = Render(renderer, list, f, 1);
      for (std::size_t i = 0; i < bytes.size() / 4; ++i)
        timeline.push_back(Sample16(bytes, 2 * i));
    }
    ASSERT_EQ(timeline.size(), static_cast<std::size_t>(TimelineRenderer::SampleCount(Format(rate), 0, 65)));
    const std::int64_t first = std::int64_t{20} * rate / 30 + std::int64_t{-4} * rate / 30;
    for (std::size_t q = 0; q < timeline.size(); ++q) {
      const std::int64_t s = static_cast<std::int64_t>(q) - first;
      const std::int32_t expected = s >= 0 && s < length ? tone->Widened(static_cast<std::int32_t>(s), 0) : 0;
      ASSERT_EQ(timeline[q], expected) << q;
    }
  }
}

// A member anchored before the window is read from the matching source offset.
TEST(AudioMixdownPlacement, MemberAnchoredBeforeTheWindowStartsMidway) {
  VideoClipList list = Cuts({100});
  AudioClip clip = AudioClip::Make<test::ToneClip>(1, 16, 44100, 88200,
                                                   [](std::int32_t f, std::int32_t) { return f & 0x7FFF; });
  clip->SetPlayFrameMember(10);
  AddMember(list, 0, clip);
  TimelineRenderer renderer;
  std::vector<std::int32_t> left(1470), right(1470);
  ASSERT_TRUE(renderer.MixAudio(*list, left, right, 40, 1));
  for (std::int32_t i = 0; i < 1470; ++i) {
    ASSERT_EQ(left[i], (30 * 1470 + i) & 0x7FFF) << i;
    ASSERT_EQ(right[i], left[i]) << i;
  }
}

// Far into a long timeline the window's sample positions pass 32 bits as rate × frame; the
// sound must still start exactly at its anchor.
TEST(AudioMixdownPlacement, LongTimelineKeepsSamplePositions) {
  VideoClipList list = Cuts({40000, 40000}, Format(48000));
  auto* tone = new test::ToneClip(2, 16, 48000, 4800,
                                  [](std::int32_t f, std::int32_t ch) { return (f + 1 + ch) & 0x7FFF; });
  AudioClip clip = AudioClip::Adopt(tone);
  clip->SetPlayFrameMember(30000); // timeline frame 70000
  AddMember(list, 1, clip);
  TimelineRenderer renderer;
  std::vector<std::int32_t> left(1600), right(1600);
  ASSERT_TRUE(renderer.MixAudio(*list, left, right, 69999, 1));
  for (const std::int32_t v : left)
    ASSERT_EQ(v, 0);
  ASSERT_TRUE(renderer.MixAudio(*list, left, right, 70000, 1));
  for (std::int32_t i = 0; i < 1600; ++i) {
    ASSERT_EQ(left[i], i + 1) << i;
    ASSERT_EQ(right[i], i + 2) << i;
  }
  ASSERT_TRUE(renderer.MixAudio(*list, left, right, 70001, 1));
  EXPECT_EQ(left[0], 1601);
}

// The renderer mixes every clip, a cut's own sound and each set member alike, through
// AudioMix::MixInto, the function the mixer's own tests hold to the reference of one clip: with
// one sounding clip, the renderer's window equals MixInto's mix of that clip and the reference's
// to the sample, in every format and also far into a long timeline. Were the renderer ever to
// mix by other arithmetic again, the two would part here.
TEST(AudioMixdownPlacement, EveryClipIsMixedByTheMixer) {
  std::mt19937 rng(15);
  const auto pick = [&rng](std::initializer_list<std::int32_t> values) {
    return *(values.begin() + rng() % values.size());
  };
  for (int round = 0; round < 80; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    const std::int32_t rate = pick({11025, 22050, 32000, 44100, 48000});
    const std::int32_t first = round % 4 == 0 ? 60000 : 12; // where entry 1 starts
    VideoClipList list = Cuts({first, 40, 9}, Format(rate));
    const std::int32_t source = pick({8000, 11025, 22050, 44100, 48000, 96000});
    AudioClip clip =
        HashTone(pick({1, 2}), pick({8, 16}), source, 1 + static_cast<std::int32_t>(rng() % source),
                 static_cast<std::uint32_t>(rng()), 0, pick({0, 100, 256, 700}));
    if (round % 2 == 0) {
      clip.SetBeginSample(static_cast<std::int32_t>(rng() % clip->Length()));
      SetOwnAudio(list, 1, clip);
    } else {
      clip->SetPlayFrameMember(static_cast<std::int32_t>(rng() % 80) - 20);
      AddMember(list, 1, clip);
    }
    const std::int32_t a = first - 12 + static_cast<std::int32_t>(rng() % 72);
    const std::int32_t b = 1 + static_cast<std::int32_t>(rng() % 3);
    const std::int64_t e = std::int64_t{a} * rate / 30;
    const auto n = static_cast<std::size_t>(TimelineRenderer::SampleCount(list->Output(), a, b));
    std::vector<std::int32_t> left(n), right(n), mixedLeft(n), mixedRight(n);
    TimelineRenderer renderer;
    ASSERT_TRUE(renderer.MixAudio(*list, left, right, a, b));
    AudioMix::MixInto(clip, mixedLeft.data(), mixedRight.data(), e - std::int64_t{first} * rate / 30,
                      static_cast<std::int64_t>(n), 30, rate);
    test::ReferenceMix want{std::vector<std::int32_t>(n), std::vector<std::int32_t>(n)};
    test::ReferenceAdd(clip, first, e, static_cast<std::int64_t>(n), rate, 30, want);
    ASSERT_EQ(left, mixedLeft);
    ASSERT_EQ(right, mixedRight);
    ASSERT_EQ(left, want.left);
    ASSERT_EQ(right, want.right);
  }
}

// Loud clips saturate the accumulators instead of wrapping around: each clip gives at most
// INT32_MAX / 256 per sample, so 300 of them pass the 32-bit range on both sides.
TEST(AudioMixdownLimits, AccumulatorsSaturate) {
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  for (const std::int32_t right : {-32768, 32767}) {
    VideoClipList list = Cuts({10});
    for (int i = 0; i < 300; ++i)
      AddMember(list, 0, ConstantTone(32767, right, 44100, 44100, 0, 1 << 24));
    TimelineRenderer renderer;
    std::vector<std::int32_t> left(1470), rights(1470), mono(1470);
    ASSERT_TRUE(renderer.MixAudio(*list, left, rights, 0, 1));
    EXPECT_EQ(left[0], kMax);
    EXPECT_EQ(rights[1469], right > 0 ? kMax : kMin);
    ASSERT_TRUE(renderer.RenderAudioMono(*list, mono, 0, 1));
    EXPECT_EQ(mono[7], right > 0 ? kMax : 0);
    const auto bytes = Render(renderer, list, 0, 1);
    EXPECT_EQ(Sample16(bytes, 0), 32767);
    EXPECT_EQ(Sample16(bytes, 1), right > 0 ? 32767 : -32767);
  }
}

TEST(AudioMixdownLimits, RefusedWindowsAndBuffers) {
  VideoClipList list = Cuts({10});
  AddMember(list, 0, ConstantTone(100, 100, 44100, 44100));
  TimelineRenderer renderer;
  std::vector<std::int32_t> left(1470), right(1470);
  EXPECT_FALSE(renderer.MixAudio(*list, left, right, -1, 1));
  EXPECT_FALSE(renderer.MixAudio(*list, left, right, 0, -1));
  EXPECT_FALSE(renderer.MixAudio(*list, std::span<std::int32_t>(left).first(1469), right, 0, 1));
  EXPECT_FALSE(renderer.RenderAudioMono(*list, std::span<std::int32_t>(left).first(1469), 0, 1));
  EXPECT_FALSE(renderer.MixAudio(*list, left, right, 0, 1 << 30));

  std::vector<std::uint8_t> buffer(1470 * 4 - 1, 0xEE);
  EXPECT_FALSE(renderer.RenderAudio(*list, std::span<std::uint8_t>(buffer), 0, 1));
  for (const std::uint8_t b : buffer)
    ASSERT_EQ(b, 0xEE);
  std::vector<std::uint8_t> out(5, 1);
  EXPECT_FALSE(renderer.RenderAudio(*list, out, 0, 1 << 30));
  EXPECT_TRUE(out.empty());

  buffer.resize(1470 * 4 + 8, 0xEE);
  ASSERT_TRUE(renderer.RenderAudio(*list, std::span<std::uint8_t>(buffer), 0, 1));
  EXPECT_EQ(Sample16(buffer, 0), 100);
  EXPECT_EQ(buffer[1470 * 4], 0xEE); // nothing past the window's bytes
}

// Sound from generated WAV files (8-bit mono and 16-bit stereo) against the reference.
TEST(AudioMixdownWav, WavClipsAgainstReference) {
  test::TempDir dir;
  test::WriteToneWav(dir / "a.wav", 30000, 1, 8, 11025);
  test::WriteToneWav(dir / "b.wav", 50000, 2, 16, 48000);
  MessageText messages;
  FixedPrompt prompt;
  MediaContext context(messages, prompt);
  AudioClip a = AudioClip::Make<WavClip>(context, dir / "a.wav");
  AudioClip b = AudioClip::Make<WavClip>(context, dir / "b.wav");
  ASSERT_TRUE(a->IsValid() && b->IsValid()) << messages.Get();
  ASSERT_TRUE(b.SetBeginSample(777));
  b.SetVolume(300);
  a.SetPlayFrame(-3);
  b.SetPlayFrame(5);
  for (const std::int32_t rate : {22050, 44100}) {
    VideoClipList list = Cuts({20, 40}, Format(rate, 16, 2));
    AddMember(list, 1, a);
    AddMember(list, 0, b);
    TimelineRenderer renderer;
    for (std::int32_t f = 0; f < 60; ++f)
      ASSERT_EQ(Render(renderer, list, f, 1), test::ReferenceRenderAudio(*list, f, 1)) << rate << " " << f;
  }
}

} // namespace
} // namespace rw
