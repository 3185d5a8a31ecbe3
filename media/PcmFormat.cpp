#include "media/PcmFormat.h"

#include "base/LittleEndian.h"

#include <cmath>
#include <cstring>

namespace rw {
namespace {

std::int16_t Clamp16(std::int64_t v) {
  if (v > 32767)
    return 32767;
  if (v < -32768)
    return -32768;
  return static_cast<std::int16_t>(v);
}

std::int16_t FromDouble(double x) {
  if (std::isnan(x))
    return 0;
  // Full scale is ±1.0; 1.0 itself lands on 32767 after clipping.
  const double scaled = x * 32768.0;
  if (scaled >= 32767.0)
    return 32767;
  if (scaled <= -32768.0)
    return -32768;
  return static_cast<std::int16_t>(std::lround(scaled));
}

// One sample of `bytes` bytes at `p` as a 16-bit value.
std::int16_t Sample16(const std::uint8_t* p, std::int32_t bytes, bool isFloat) {
  if (isFloat) {
    if (bytes == 4) {
      const std::uint32_t bits = U32Le(p);
      float f;
      std::memcpy(&f, &bits, sizeof f);
      return FromDouble(f);
    }
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i)
      bits = bits << 8 | p[i];
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return FromDouble(d);
  }
  switch (bytes) {
  case 2:
    return S16Le(p);
  case 3: {
    const std::int32_t v = static_cast<std::int32_t>(static_cast<std::uint32_t>(p[0]) << 8 | p[1] << 16 |
                                                     static_cast<std::uint32_t>(p[2]) << 24) >>
                           8;
    return Clamp16((static_cast<std::int64_t>(v) + 128) >> 8);
  }
  default: {
    const std::int32_t v = S32Le(p);
    return Clamp16((static_cast<std::int64_t>(v) + 32768) >> 16);
  }
  }
}

} // namespace

bool PcmFormat::IsSupported() const {
  if (channels < 1)
    return false;
  if (isFloat)
    return bytesPerSample == 4 || bytesPerSample == 8;
  return bytesPerSample >= 1 && bytesPerSample <= 4;
}

void PcmFormat::ToDelivered(const std::uint8_t* src, std::int32_t frames, std::uint8_t* dest) const {
  const std::int32_t outChannels = DeliveredChannels();
  const std::size_t block = static_cast<std::size_t>(BlockSize());
  if (DeliveredBits() == 8) {
    for (std::int32_t f = 0; f < frames; ++f, src += block)
      for (std::int32_t c = 0; c < outChannels; ++c)
        *dest++ = src[c];
    return;
  }
  for (std::int32_t f = 0; f < frames; ++f, src += block) {
    for (std::int32_t c = 0; c < outChannels; ++c) {
      const std::int16_t v = Sample16(src + c * bytesPerSample, bytesPerSample, isFloat);
      const auto u = static_cast<std::uint16_t>(v);
      *dest++ = static_cast<std::uint8_t>(u & 0xFF);
      *dest++ = static_cast<std::uint8_t>(u >> 8);
    }
  }
}

} // namespace rw
