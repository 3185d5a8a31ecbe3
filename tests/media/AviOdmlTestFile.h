#pragma once

#include <cstdint>
#include <vector>

namespace rw::test {

// An OpenDML AVI file built byte by byte: one uncompressed 24-bit video stream whose pictures
// are each one flat grey (every byte OdmlPictureByte(n)), indexed by a super index ("indx" in
// the stream list) over one standard index ("ix00") per RIFF part. The counts written into the
// indexes can be set to values the chunks cannot hold.
struct OdmlAviOptions {
  int width = 16;
  int height = 8;
  int frames = 12;
  int firstPartFrames = 7;          // frames of the "AVI " part; the rest go to an "AVIX" part
  int superSlots = 4;               // room for super index entries (unused ones stay zero)
  bool legacyIndex = false;         // also an idx1 over the first part
  std::uint32_t superCount = 0;     // when not 0, written as the super index's entry count
  std::uint32_t standardCount = 0;  // when not 0, written as the first standard index's count
  std::uint64_t standardOffset = 0; // when not 0, written as the first super entry's offset
};

std::vector<std::uint8_t> MakeOdmlAvi(const OdmlAviOptions& options);

// The value of every byte of picture `n`.
constexpr std::uint8_t OdmlPictureByte(int n) {
  return static_cast<std::uint8_t>(20 + n * 37);
}

} // namespace rw::test
