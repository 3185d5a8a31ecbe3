#pragma once

#include <cstdint>

namespace rw {

// The PCM format of a waveform output: the fields of a wave format record. A format whose tag is
// not kPcmTag (the all-zero format of an empty WaveOut) never opens a device.
struct WaveFormat {
  static constexpr std::uint16_t kPcmTag = 1;

  std::uint16_t formatTag = 0;
  std::uint16_t channels = 0;
  std::uint32_t samplesPerSec = 0;
  std::uint32_t avgBytesPerSec = 0;
  std::uint16_t blockAlign = 0;
  std::uint16_t bitsPerSample = 0;
  std::uint16_t cbSize = 0;

  // PCM at `rate` sample frames per second; a frame is channels × ((bits + 7) / 8) bytes. Values
  // that do not fit the fields are stored as 0, which no device accepts.
  static WaveFormat Pcm(int rate, int channels, int bits) {
    WaveFormat f;
    f.formatTag = kPcmTag;
    f.channels = Fit16(channels);
    f.samplesPerSec = rate > 0 ? static_cast<std::uint32_t>(rate) : 0;
    f.bitsPerSample = Fit16(bits);
    const std::uint32_t align = std::uint32_t{f.channels} * ((std::uint32_t{f.bitsPerSample} + 7) / 8);
    f.blockAlign = align <= 0xFFFF ? static_cast<std::uint16_t>(align) : 0;
    const std::uint64_t avg = std::uint64_t{f.samplesPerSec} * f.blockAlign;
    f.avgBytesPerSec = avg <= 0xFFFFFFFFu ? static_cast<std::uint32_t>(avg) : 0;
    return f;
  }

  bool operator==(const WaveFormat&) const = default;

private:
  static std::uint16_t Fit16(int v) { return v > 0 && v <= 0xFFFF ? static_cast<std::uint16_t>(v) : 0; }
};

} // namespace rw
