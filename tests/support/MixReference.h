#pragma once

// The sound of one audio clip in a window of output samples, written from the formulas rather
// than from the mixer: every product in 64 bits, the source frame of each output sample in
// closed form (floor((i × r + (r mod rate) / 2) / rate) for the i-th sample of a clip in the
// window, which is where the stepping error term lands), and each source frame read on its own
// through the clip's sample reader. The mixer's own tests and the timeline mix's tests both
// check against it.

#include "media/AudioClip.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

namespace rw::test {

struct ReferenceMix {
  std::vector<std::int32_t> left;
  std::vector<std::int32_t> right;
};

inline std::int32_t ReferenceSaturate(std::int64_t v) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, std::numeric_limits<std::int32_t>::min(),
                                                            std::numeric_limits<std::int32_t>::max()));
}

// Source frame `at` (relative to the clip's begin sample) of channel 0 and 1 in the 16-bit
// range; silence when the reader cannot deliver it.
inline void ReferenceFrame(pAudioClip& clip, std::int64_t at, std::int32_t& l, std::int32_t& r) {
  std::uint8_t bytes[16] = {};
  const bool eight = clip.GetBits() == 8;
  l = r = 0;
  if (at > std::numeric_limits<std::int32_t>::max() ||
      !clip.ReadSamples(bytes, static_cast<std::int32_t>(at), 1))
    return;
  const auto widen = [&](int ch) {
    if (eight)
      return bytes[ch] * 257 - 32896;
    return static_cast<std::int32_t>(static_cast<std::int16_t>(bytes[2 * ch] | bytes[2 * ch + 1] << 8));
  };
  l = widen(0);
  r = widen(clip.GetChannels() == 1 ? 0 : 1);
}

// Adds `clip`, anchored to an entry that starts at timeline frame `entryStart`, to the window of
// n output samples that starts at output sample e.
inline void ReferenceAdd(const AudioClip& clip, std::int64_t entryStart, std::int64_t e, std::int64_t n,
                         std::int64_t rate, std::int64_t fps, ReferenceMix& mix) {
  if (clip.IsNull() || !clip->IsValid() || clip->GetRate() <= 0)
    return;
  const std::int64_t r = clip->GetRate();
  // Start and length of the clip in output samples, relative to the window.
  const std::int64_t start = clip->PlayFrame() * rate / fps - (e - entryStart * rate / fps);
  const std::int64_t length = std::int64_t{clip->Length()} * rate / r;
  if (start + length < 0 || start > n)
    return;
  const std::int64_t source = start < 0 ? -start * r / rate : 0;
  const std::int64_t first = std::max<std::int64_t>(start, 0);
  const std::int64_t end = std::min(start + length, n);
  const std::int64_t read = (end - first + 1) * r / rate + 1;
  const std::int64_t volume = clip->Volume();
  for (std::int64_t i = 0; first + i < end; ++i) {
    const std::int64_t j = std::min((i * r + r % rate / 2) / rate, read - 1);
    std::int32_t l = 0;
    std::int32_t rr = 0;
    ReferenceFrame(*clip, source + j, l, rr);
    const auto at = static_cast<std::size_t>(first + i);
    mix.left[at] = ReferenceSaturate(std::int64_t{mix.left[at]} + ReferenceSaturate(volume * l) / 256);
    mix.right[at] = ReferenceSaturate(std::int64_t{mix.right[at]} + ReferenceSaturate(volume * rr) / 256);
  }
}

} // namespace rw::test
