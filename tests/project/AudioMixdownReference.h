#pragma once

// A slow evaluation of the timeline mix, written from the formulas rather than from the
// renderer: each clip of each entry added by the reference of one clip (MixReference.h).

#include "output/settings/OutputInfo.h"
#include "project/VideoClipList.h"
#include "tests/support/MixReference.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

namespace rw::test {

// The accumulators of frames a .. a + b - 1.
inline ReferenceMix ReferenceMixAudio(const pVideoClipList& list, std::int64_t a, std::int64_t b) {
  const std::int64_t rate = list.Output().AudioRate();
  const std::int64_t fps = list.Output().VideoRate();
  const std::int64_t e = a * rate / fps;
  const std::int64_t n = (a + b) * rate / fps - e;
  ReferenceMix mix{std::vector<std::int32_t>(static_cast<std::size_t>(n)),
                   std::vector<std::int32_t>(static_cast<std::size_t>(n))};
  std::int64_t entryStart = 0;
  for (std::int32_t i = 0; i < list.Count(); ++i) {
    const ClipInfo& entry = list.EntryAt(i);
    if (!entry.clip.IsNull())
      ReferenceAdd(entry.clip->Audio(), entryStart, e, n, rate, fps, mix);
    for (std::int32_t k = 0; k < entry.audio.Count(); ++k)
      ReferenceAdd(entry.audio.At(k), entryStart, e, n, rate, fps, mix);
    entryStart += entry.Length() - list.EntryAt(i + 1).TransLength();
  }
  return mix;
}

// The packed output bytes of the window.
inline std::vector<std::uint8_t> ReferenceRenderAudio(const pVideoClipList& list, std::int64_t a,
                                                      std::int64_t b) {
  const ReferenceMix mix = ReferenceMixAudio(list, a, b);
  const bool mono = list.Output().AudioChannels() == 1;
  const bool eight = list.Output().AudioBits() == 8;
  std::vector<std::uint8_t> out;
  const auto put16 = [&out](std::int32_t v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
  };
  for (std::size_t i = 0; i < mix.left.size(); ++i) {
    const std::int32_t l = std::clamp(mix.left[i], -32767, 32767);
    const std::int32_t r = std::clamp(mix.right[i], -32767, 32767);
    if (mono && eight) {
      out.push_back(static_cast<std::uint8_t>((l + r + 65536) / 512));
    } else if (mono) {
      put16((l + r) / 2);
    } else if (eight) {
      out.push_back(static_cast<std::uint8_t>((l + 32768) / 256));
      out.push_back(static_cast<std::uint8_t>((r + 32768) / 256));
    } else {
      put16(l);
      put16(r);
    }
  }
  return out;
}

} // namespace rw::test
