#pragma once

#include <cstdint>

namespace rw {

// The layout of uncompressed sample frames in a file: `channels` interleaved samples of
// `bytesPerSample` bytes each, little-endian; one byte is unsigned, wider integers are signed,
// floating-point samples are 4 or 8 bytes with full scale at ±1.0.
//
// Readers deliver every layout as one the mixer understands: at most two channels (the first
// two of the file), 8-bit unsigned when the file has one-byte samples, otherwise 16-bit signed
// little-endian.
struct PcmFormat {
  std::int32_t channels = 0;
  std::int32_t bytesPerSample = 0;
  bool isFloat = false;

  std::int32_t BlockSize() const { return channels * bytesPerSample; }
  // Integer samples of 1 to 4 bytes, or floating-point samples of 4 or 8 bytes.
  bool IsSupported() const;

  std::int32_t DeliveredChannels() const { return channels > 2 ? 2 : channels; }
  std::int32_t DeliveredBits() const { return bytesPerSample == 1 && !isFloat ? 8 : 16; }
  std::int32_t DeliveredBlockSize() const { return DeliveredChannels() * (DeliveredBits() / 8); }
  bool IsDelivered() const { return channels <= 2 && !isFloat && bytesPerSample <= 2; }

  // Converts `frames` frames of this layout at `src` into the delivered layout at `dest`
  // (DeliveredBlockSize() bytes per frame). Wider samples are rounded to 16 bits; floating
  // point beyond ±1.0 is clipped, and not-a-number becomes silence.
  void ToDelivered(const std::uint8_t* src, std::int32_t frames, std::uint8_t* dest) const;
};

} // namespace rw
