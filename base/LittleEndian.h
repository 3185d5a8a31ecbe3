#pragma once

#include <cstdint>

namespace rw {

// Values stored little-endian (lowest byte first), as RIFF files, bitmap headers and PCM
// samples keep them.
constexpr std::uint16_t U16Le(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}
constexpr std::int16_t S16Le(const std::uint8_t* p) {
  return static_cast<std::int16_t>(U16Le(p));
}
constexpr std::uint32_t U32Le(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
constexpr std::int32_t S32Le(const std::uint8_t* p) {
  return static_cast<std::int32_t>(U32Le(p));
}

// A four-character code ('R', 'I', 'F', 'F'): the first character in the lowest byte.
constexpr std::uint32_t FourCC(char a, char b, char c, char d) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(a)) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b)) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(c)) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(d)) << 24;
}

} // namespace rw
