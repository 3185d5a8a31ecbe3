#include "media/AudioMix.h"
#include "base/MessageText.h"
#include "base/ScaleDiv.h"
#include "base/UserPrompt.h"
#include "media/MediaContext.h"
#include "media/WavClip.h"
#include "tests/support/MixReference.h"
#include "tests/support/TempDir.h"
#include "tests/support/WavTestFiles.h"

#include <gtest/gtest.h>

#include <random>

namespace rw {
namespace {

// An audio clip over samples in memory; `length` may claim more frames than there are, as
// for a file that became shorter after the clip was made.
class MemoryClip : public pAudioClip {
public:
  MemoryClip(std::int32_t channels, std::int32_t bits, std::int32_t rate, std::vector<std::int32_t> samples)
      : samples_(std::move(samples)) {
    channels_ = channels;
    bits_ = bits;
    rate_ = rate;
    beginSample_ = 0;
    length_ = Frames();
    endSample_ = length_ - 1;
  }
  pAudioClip* Clone() const override { return new MemoryClip(*this); }
  bool IsValid() const override { return true; }
  std::int32_t GetSourceLength() const override { return Frames(); }
  std::int32_t GetBeginSample() const override { return beginSample_; }
  bool ReadSamples(void* dest, std::int32_t first, std::int32_t count) override {
    const std::int32_t at = beginSample_ + first;
    if (at < 0 || at >= Frames() || count < 0)
      return false;
    count = std::min(count, Frames() - at);
    auto* out = static_cast<std::uint8_t*>(dest);
    for (std::int32_t i = 0; i < count * channels_; ++i) {
      const std::int32_t v = samples_[static_cast<std::size_t>(at * channels_ + i)];
      if (bits_ == 8) {
        *out++ = static_cast<std::uint8_t>(v);
      } else {
        *out++ = static_cast<std::uint8_t>(v & 0xFF);
        *out++ = static_cast<std::uint8_t>(v >> 8 & 0xFF);
      }
    }
    return true;
  }
  void Set(std::int32_t begin, std::int32_t length, std::int32_t playFrame, std::int32_t volume) {
    beginSample_ = begin;
    length_ = length;
    endSample_ = begin + length - 1;
    playFrame_ = playFrame;
    volume_ = volume;
  }
  std::int32_t Frames() const { return static_cast<std::int32_t>(samples_.size()) / channels_; }

private:
  std::vector<std::int32_t> samples_;
};

std::vector<std::int32_t> RandomSamples(std::mt19937& rng, std::int32_t count, std::int32_t bits) {
  std::vector<std::int32_t> s(static_cast<std::size_t>(count));
  for (auto& v : s)
    v = bits == 8 ? static_cast<std::int32_t>(rng() % 256) : static_cast<std::int32_t>(rng() % 65536) - 32768;
  return s;
}

// The mix of `clip` into a copy of the window `left`, `right` (output samples a .. a + n - 1),
// as the reference evaluation gives it.
test::ReferenceMix Expected(const AudioClip& clip, const std::vector<std::int32_t>& left,
                            const std::vector<std::int32_t>& right, std::int64_t a, std::int64_t n,
                            std::int64_t fr, std::int64_t r) {
  test::ReferenceMix mix{left, right};
  test::ReferenceAdd(clip, 0, a, n, r, fr, mix);
  return mix;
}

TEST(AudioMixTest, AgreesWithTheClosedFormAcrossRatesAndFormats) {
  std::mt19937 rng(2024);
  const std::int32_t rates[] = {11025, 22050, 32000, 44100, 48000};
  int mixed = 0;
  for (std::int32_t c : rates) {
    for (std::int32_t r : rates) {
      for (std::int32_t bits : {8, 16}) {
        for (std::int32_t channels : {1, 2}) {
          const std::int32_t frames = 3 * c; // three seconds
          auto handle =
              AudioClip::Make<MemoryClip>(channels, bits, c, RandomSamples(rng, frames * channels, bits));
          auto* clip = static_cast<MemoryClip*>(handle.Get());
          for (int round = 0; round < 4; ++round) {
            SCOPED_TRACE(testing::Message() << "c=" << c << " r=" << r << " bits=" << bits
                                            << " ch=" << channels << " round=" << round);
            const std::int32_t begin = static_cast<std::int32_t>(rng() % (frames / 2));
            const std::int32_t length = 1 + static_cast<std::int32_t>(rng() % (frames - begin));
            const std::int32_t playFrame = static_cast<std::int32_t>(rng() % 120) - 60;
            const std::int32_t volume = std::array{0, 100, 128, 256, 300}[rng() % 5];
            clip->Set(begin, length, playFrame, volume);
            const std::int32_t fr = 30;
            const std::int32_t n = ScaleDiv(1 + static_cast<std::int32_t>(rng() % 40), r, fr);
            const std::int32_t a = ScaleDiv(static_cast<std::int32_t>(rng() % 150) - 20, r, fr);

            std::vector<std::int32_t> left(static_cast<std::size_t>(n), 5),
                right(static_cast<std::size_t>(n), -5);
            const test::ReferenceMix want = Expected(handle, left, right, a, n, fr, r);
            AudioMix::MixInto(handle, left.data(), right.data(), a, n, fr, r);
            ASSERT_EQ(left, want.left);
            ASSERT_EQ(right, want.right);
            ++mixed;
          }
        }
      }
    }
  }
  EXPECT_EQ(mixed, 400);
}

TEST(AudioMixTest, HighSourceRatesDoNotOverflow) {
  // 96 kHz and 192 kHz sources: a 32-bit (a mod c) × (b mod c) would overflow here.
  std::mt19937 rng(5);
  for (std::int32_t c : {96000, 192000}) {
    for (std::int32_t r : {11025, 44100, 48000}) {
      auto handle = AudioClip::Make<MemoryClip>(2, 16, c, RandomSamples(rng, 2 * 2 * c, 16));
      auto* clip = static_cast<MemoryClip*>(handle.Get());
      clip->Set(c / 3, c + 12345, 5, 256);
      const std::int32_t n = ScaleDiv(10, r, 30);
      const std::int32_t a = ScaleDiv(20, r, 30);
      std::vector<std::int32_t> left(static_cast<std::size_t>(n)), right(static_cast<std::size_t>(n));
      const test::ReferenceMix want = Expected(handle, left, right, a, n, 30, r);
      ASSERT_TRUE(AudioMix::MixInto(handle, left.data(), right.data(), a, n, 30, r));
      EXPECT_EQ(left, want.left) << c << " " << r;
      EXPECT_EQ(right, want.right) << c << " " << r;
    }
  }
}

// Source frame f holds the value f in both channels, so the mix shows which frame it took.
AudioClip Ramp(std::int32_t rate, std::int32_t frames) {
  std::vector<std::int32_t> s;
  for (std::int32_t f = 0; f < frames; ++f)
    s.push_back(f % 32768);
  return AudioClip::Make<MemoryClip>(1, 16, rate, s);
}

TEST(AudioMixTest, SampleAndHoldSteps) {
  // 44100 Hz into 22050 Hz: every other source frame.
  AudioClip clip = Ramp(44100, 1000);
  std::vector<std::int32_t> left(400), right(400);
  ASSERT_TRUE(AudioMix::MixInto(clip, left.data(), right.data(), 0, 400, 30, 22050));
  for (std::int32_t i = 0; i < 400; ++i)
    ASSERT_EQ(left[static_cast<std::size_t>(i)], 2 * i) << i;

  // 44100 Hz into 48000 Hz: each frame once, 3900 of every 44100 twice (about one in eleven).
  clip = Ramp(44100, 30000);
  std::vector<std::int32_t> up(30000), upRight(30000);
  ASSERT_TRUE(AudioMix::MixInto(clip, up.data(), upRight.data(), 0, 30000, 30, 48000));
  EXPECT_EQ(up[0], 0);
  EXPECT_EQ(up[1], 1); // acc 22050 + 44100 passes 48000 at once
  int held = 0;
  for (std::size_t i = 1; i < 24000; ++i) {
    ASSERT_GE(up[i] - up[i - 1], 0);
    ASSERT_LE(up[i] - up[i - 1], 1);
    held += up[i] == up[i - 1];
  }
  EXPECT_NEAR(held, 24000 * 3900 / 48000, 2);
}

TEST(AudioMixTest, WindowPlacement) {
  // Play frame 30 frames before the window: mixing starts at source frame 44100.
  std::vector<std::int32_t> s(2 * 44100 + 100);
  for (std::size_t i = 0; i < s.size(); ++i)
    s[i] = static_cast<std::int32_t>(i % 30000);
  AudioClip clip = AudioClip::Make<MemoryClip>(1, 16, 44100, s);
  clip->SetPlayFrameMember(0);
  std::vector<std::int32_t> left(1470), right(1470);
  ASSERT_TRUE(AudioMix::MixInto(clip, left.data(), right.data(), 44100, 1470, 30, 44100));
  EXPECT_EQ(left[0], 44100 % 30000);
  EXPECT_EQ(left[1469], (44100 + 1469) % 30000);

  // A clip that starts inside the window leaves the samples before it alone.
  std::fill(left.begin(), left.end(), 7);
  ASSERT_TRUE(AudioMix::MixInto(clip, left.data(), right.data(), -1000, 1470, 30, 44100));
  EXPECT_EQ(left[999], 7);
  EXPECT_EQ(left[1000], 7);
  EXPECT_EQ(left[1001], 8);
  EXPECT_EQ(left[1469], 7 + 469);

  // Entirely before or after the window: nothing, false.
  std::vector<std::int32_t> untouched(1470, 9);
  std::vector<std::int32_t> untouchedRight(1470, 9);
  clip->SetPlayFrameMember(100);
  EXPECT_FALSE(AudioMix::MixInto(clip, untouched.data(), untouchedRight.data(), 0, 1470, 30, 44100));
  clip->SetPlayFrameMember(-100);
  EXPECT_FALSE(AudioMix::MixInto(clip, untouched.data(), untouchedRight.data(), 0, 1470, 30, 44100));
  EXPECT_EQ(untouched, std::vector<std::int32_t>(1470, 9));

  // Bad rates and a null clip are refused.
  EXPECT_FALSE(AudioMix::MixInto(AudioClip(), left.data(), right.data(), 0, 10, 30, 44100));
  clip->SetPlayFrameMember(0);
  EXPECT_FALSE(AudioMix::MixInto(clip, left.data(), right.data(), 0, 10, 0, 44100));
  EXPECT_FALSE(AudioMix::MixInto(clip, left.data(), right.data(), 0, 10, 30, 0));
  auto silent = AudioClip::Make<MemoryClip>(1, 16, 0, std::vector<std::int32_t>(10));
  EXPECT_FALSE(AudioMix::MixInto(silent, left.data(), right.data(), 0, 10, 30, 44100));
  // A negative length mixes nothing.
  auto* memory = static_cast<MemoryClip*>(clip.Get());
  memory->Set(0, -50000, 60, 256);
  std::vector<std::int32_t> wideLeft(100000), wideRight(100000);
  EXPECT_FALSE(AudioMix::MixInto(clip, wideLeft.data(), wideRight.data(), 0, 100000, 30, 44100));
}

TEST(AudioMixTest, ConversionOfSamples) {
  // 8-bit mono: 128 is silence, 255 at full volume is 255 × 257 − 32896 on both sides.
  auto eight = AudioClip::Make<MemoryClip>(1, 8, 11025, std::vector<std::int32_t>{128, 255, 0});
  std::int32_t left[3], right[3];
  ASSERT_TRUE(AudioMix::ConvertSamples(*eight, left, right, 0, 3));
  EXPECT_EQ(left[0], 0);
  EXPECT_EQ(right[0], 0);
  EXPECT_EQ(left[1], 256 * (255 * 257 - 32896));
  EXPECT_EQ(right[1], left[1]);
  EXPECT_EQ(left[2], 256 * -32896);

  // 16-bit stereo with volume 128.
  auto stereo =
      AudioClip::Make<MemoryClip>(2, 16, 11025, std::vector<std::int32_t>{1000, -2000, 32767, -32768});
  stereo->SetVolumeMember(128);
  ASSERT_TRUE(AudioMix::ConvertSamples(*stereo, left, right, 0, 2));
  EXPECT_EQ(left[0], 128000);
  EXPECT_EQ(right[0], -256000);
  EXPECT_EQ(left[1], 128 * 32767);
  EXPECT_EQ(right[1], 128 * -32768);

  // A huge volume saturates instead of overflowing.
  stereo->SetVolumeMember(1 << 30);
  ASSERT_TRUE(AudioMix::ConvertSamples(*stereo, left, right, 1, 1));
  EXPECT_EQ(left[0], INT32_MAX);
  EXPECT_EQ(right[0], INT32_MIN);

  // Frames beyond the end of the data are silence in either format.
  std::fill(std::begin(left), std::end(left), 77);
  ASSERT_TRUE(AudioMix::ConvertSamples(*eight, left, right, 2, 3));
  EXPECT_EQ(left[0], 256 * -32896);
  EXPECT_EQ(left[1], 0);
  EXPECT_EQ(left[2], 0);
  EXPECT_EQ(right[2], 0);
  // A read that starts past the data fails.
  EXPECT_FALSE(AudioMix::ConvertSamples(*eight, left, right, 3, 1));
}

TEST(AudioMixTest, ClipLongerThanItsShrunkFileEndsInSilence) {
  test::TempDir dir;
  MessageText messages;
  FixedPrompt ok;
  MediaContext context(messages, ok);
  const auto file = dir / "a.wav";
  test::WriteToneWav(file, 44100, 2, 16, 44100);
  AudioClip clip = WavClip::OpenFile(file, context);
  ASSERT_TRUE(clip);
  // The file is cut to 1000 frames and read again; the clip still claims 44100.
  test::WavBuilder().Fmt(1, 2, 44100, 16).Data(test::ToneData(1000, 2, 16)).Write(file);
  ASSERT_TRUE(context.WavStreams().CheckFiles(ok, messages));
  ASSERT_EQ(clip->Length(), 44100);

  std::vector<std::int32_t> left(1470, 0), right(1470, 0);
  ASSERT_TRUE(AudioMix::MixInto(clip, left.data(), right.data(), 0, 1470, 30, 44100));
  for (std::size_t i = 0; i < 1000; ++i) {
    ASSERT_EQ(left[i], test::ToneSample16(static_cast<std::int32_t>(i), 0));
    ASSERT_EQ(right[i], test::ToneSample16(static_cast<std::int32_t>(i), 1));
  }
  for (std::size_t i = 1000; i < 1470; ++i) {
    ASSERT_EQ(left[i], 0) << i;
    ASSERT_EQ(right[i], 0) << i;
  }
  // A window that starts past the new end reads nothing.
  EXPECT_FALSE(AudioMix::MixInto(clip, left.data(), right.data(), 1470, 1470, 30, 44100));
}

} // namespace
} // namespace rw
