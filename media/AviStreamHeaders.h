#pragma once

#include "base/LittleEndian.h"

#include <cstdint>
#include <span>
#include <vector>

namespace rw {

// One stream header ("strh" chunk) of an AVI file, as stored. Headers of 48 bytes (without
// the frame rectangle) leave the rectangle zero.
struct AviStreamHeader {
  std::uint32_t fccType = 0;
  std::uint32_t fccHandler = 0;
  std::uint32_t flags = 0;
  std::uint32_t initialFrames = 0;
  std::uint32_t scale = 0;
  std::uint32_t rate = 0;
  std::uint32_t start = 0;
  std::uint32_t length = 0;
  std::uint32_t sampleSize = 0;
  std::int16_t left = 0;
  std::int16_t top = 0;
  std::int16_t right = 0;
  std::int16_t bottom = 0;
};

// Reads the stream headers from the beginning of an AVI file: the "strh" of every "strl" list
// of the "hdrl" list, in file order. Stops at the "movi" list or where the bytes end; anything
// malformed ends the walk with what was found so far.
class AviStreamHeaders {
public:
  static std::vector<AviStreamHeader> Read(std::span<const std::uint8_t> fileStart);
};

} // namespace rw
