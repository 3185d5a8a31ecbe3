#pragma once

#include <cstdint>
#include <string>

namespace rw::view {

// An audio clip's volume (a gain where 256 is unity) as the audio panel shows it: whole
// decibels from +30 at the top of the track bar to -40 at the bottom, -40 meaning silence.
class VolumeScale {
public:
  static constexpr std::int32_t kSilent = -40;
  static constexpr std::int32_t kLoudest = 30;

  // Gain 0 is -40; otherwise 20 log10(gain / 256) rounded half away from zero.
  static std::int32_t Decibels(std::int32_t gain);
  // 0 at -40 dB or below; otherwise the integer part of 10^(dB / 20) * 256 + 0.5.
  static std::int32_t Gain(std::int32_t decibels);
  // "-∽dB" for -40, otherwise the number followed by "dB".
  static std::string Label(std::int32_t decibels);
};

} // namespace rw::view
