#pragma once

#include "media/AudioClip.h"

#include <cstdint>
#include <vector>

namespace rw {

// Turning an audio clip's samples into the 32-bit stereo accumulation buffers of the timeline
// mix: conversion with the clip's volume, and sample-and-hold rate conversion. The timeline's
// mixdown (TimelineRenderer) mixes every clip through MixInto.
class AudioMix {
public:
  // Conversion arrays that a caller mixing many clips reuses; they only grow.
  struct Scratch {
    std::vector<std::int32_t> left;
    std::vector<std::int32_t> right;
    std::vector<std::uint8_t> bytes;
  };

  // Reads `count` frames of `clip` from `first` (relative to its begin sample) and stores each
  // as volume × sample, in the 16-bit range before the volume, into left[0..count-1] and
  // right[0..count-1]. One-byte samples are unsigned (u × 257 − 32896); a mono clip gives the
  // same value to both sides; of more channels the first two are used. Frames that the read
  // leaves out at the end of the data are silence. False when the read fails.
  static bool ConvertSamples(pAudioClip& clip, std::int32_t* left, std::int32_t* right, std::int32_t first,
                             std::int32_t count, std::vector<std::uint8_t>& bytes);
  static bool ConvertSamples(pAudioClip& clip, std::int32_t* left, std::int32_t* right, std::int32_t first,
                             std::int32_t count);

  // Adds the clip's sound into left[0..n-1] and right[0..n-1], which hold output samples
  // a..a+n-1 at `outputRate` samples per second. The clip starts at its play frame, counted at
  // `frameRate` frames per second. Source frames are held, without interpolation, with an
  // error term that starts at half a step; sums saturate at the 32-bit range. Positions are
  // worked out in 64 bits. False (nothing added) when the clip is null or not valid, does not
  // sound in the window, cannot be read, or the rates are not positive.
  static bool MixInto(const AudioClip& clip, std::int32_t* left, std::int32_t* right, std::int64_t a,
                      std::int64_t n, std::int64_t frameRate, std::int64_t outputRate, Scratch& scratch);
  static bool MixInto(const AudioClip& clip, std::int32_t* left, std::int32_t* right, std::int64_t a,
                      std::int64_t n, std::int64_t frameRate, std::int64_t outputRate);
};

} // namespace rw
