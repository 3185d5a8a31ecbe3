#include "media/AudioMix.h"

#include "base/LittleEndian.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace rw {
namespace {

constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kInt32Min = std::numeric_limits<std::int32_t>::min();

std::int32_t Saturate(std::int64_t v) {
  return static_cast<std::int32_t>(std::clamp(v, kInt32Min, kInt32Max));
}

// a × b / c truncated toward zero, for b, c > 0: the value of ScaleDiv, computed without its
// 32-bit limits (ScaleDiv's (a mod c) × (b mod c) overflows once c exceeds about 46341).
std::int64_t ScaleDiv64(std::int64_t a, std::int64_t b, std::int64_t c) {
  return a * b / c;
}

} // namespace

bool AudioMix::ConvertSamples(pAudioClip& clip, std::int32_t* left, std::int32_t* right, std::int32_t first,
                              std::int32_t count) {
  std::vector<std::uint8_t> bytes;
  return ConvertSamples(clip, left, right, first, count, bytes);
}

bool AudioMix::ConvertSamples(pAudioClip& clip, std::int32_t* left, std::int32_t* right, std::int32_t first,
                              std::int32_t count, std::vector<std::uint8_t>& bytes) {
  const std::int32_t channels = clip.GetChannels();
  const std::int32_t bits = clip.GetBits();
  if (channels < 1 || bits < 1 || count < 0)
    return false;
  const bool eightBit = bits == 8;
  const std::size_t sampleBytes = eightBit ? 1 : 2;
  const std::size_t frameBytes =
      static_cast<std::size_t>(channels) * ((static_cast<std::size_t>(bits) + 7) / 8);
  const std::size_t stride = static_cast<std::size_t>(channels) * sampleBytes;
  bytes.resize(frameBytes * (static_cast<std::size_t>(count) + 1));
  // Frames beyond the end of the data are left as they are by the read: silence.
  std::memset(bytes.data(), eightBit ? 0x80 : 0, bytes.size());
  if (!clip.ReadSamples(bytes.data(), first, count))
    return false;

  const std::int64_t v = clip.Volume();
  const int second = channels == 1 ? 0 : 1;
  const std::uint8_t* p = bytes.data();
  for (std::int32_t i = 0; i < count; ++i, p += stride) {
    std::int32_t s0, s1;
    if (eightBit) {
      s0 = p[0] * 257 - 32896;
      s1 = p[second] * 257 - 32896;
    } else {
      s0 = S16Le(p);
      s1 = S16Le(p + 2 * second);
    }
    left[i] = Saturate(v * s0);
    right[i] = Saturate(v * s1);
  }
  return true;
}

bool AudioMix::MixInto(const AudioClip& clip, std::int32_t* left, std::int32_t* right, std::int64_t a,
                       std::int64_t n, std::int64_t frameRate, std::int64_t outputRate) {
  Scratch scratch;
  return MixInto(clip, left, right, a, n, frameRate, outputRate, scratch);
}

bool AudioMix::MixInto(const AudioClip& clip, std::int32_t* left, std::int32_t* right, std::int64_t a,
                       std::int64_t n, std::int64_t frameRate, std::int64_t outputRate, Scratch& scratch) {
  if (!clip || !clip->IsValid() || !left || !right || n < 0)
    return false;
  const std::int64_t c = clip->GetRate();
  const std::int64_t r = outputRate;
  if (c <= 0 || r <= 0 || frameRate <= 0)
    return false;

  // Where the clip starts, in output samples relative to the buffers, and its length there.
  std::int64_t s = ScaleDiv64(clip->PlayFrame(), r, frameRate) - a;
  std::int64_t m = ScaleDiv64(clip->Length(), r, c);
  if (s + m < 0 || s > n)
    return false;
  std::int64_t o = 0;
  if (s < 0) {
    o = ScaleDiv64(-s, c, r);
    m = s + m;
    s = 0;
  }
  if (s + m > n)
    m = n - s;
  if (m <= 0) // nothing of it inside the window, or a negative length
    return false;
  const std::int64_t k = ScaleDiv64(m + 1, c, r) + 1;
  if (o > kInt32Max || k > kInt32Max)
    return false;

  if (scratch.left.size() < static_cast<std::size_t>(k)) {
    scratch.left.resize(static_cast<std::size_t>(k));
    scratch.right.resize(static_cast<std::size_t>(k));
  }
  std::int32_t* L = scratch.left.data();
  std::int32_t* R = scratch.right.data();
  if (!ConvertSamples(*clip, L, R, static_cast<std::int32_t>(o), static_cast<std::int32_t>(k), scratch.bytes))
    return false;

  const std::int64_t step = c / r;
  const std::int64_t frac = c % r;
  std::int64_t acc = frac / 2;
  std::int64_t j = 0;
  std::int32_t cl = L[0] / 256;
  std::int32_t cr = R[0] / 256;
  for (std::int64_t i = s; i < s + m; ++i) {
    left[i] = Saturate(static_cast<std::int64_t>(left[i]) + cl);
    right[i] = Saturate(static_cast<std::int64_t>(right[i]) + cr);
    acc += frac;
    j += step;
    bool advanced = step > 0;
    if (acc >= r) {
      ++j;
      acc -= r;
      advanced = true;
    }
    if (advanced) {
      j = std::min(j, k - 1); // never taken: j stays within the k frames read
      cl = L[j] / 256;
      cr = R[j] / 256;
    }
  }
  return true;
}

} // namespace rw
