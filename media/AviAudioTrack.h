#pragma once

#include "media/AviFile.h"
#include "media/PcmFormat.h"

#include <cstdint>
#include <vector>

namespace rw {

// The PCM audio stream of an AVI file: where its chunks lie and how its sample frames are
// stored. Reads are exact to the sample frame whatever the chunk layout, and deliver the
// layout of PcmFormat::ToDelivered (8-bit unsigned or 16-bit signed, one or two channels).
class AviAudioTrack {
public:
  void Clear();
  void SetFormat(const PcmFormat& source, std::int32_t rate);
  // Adds the next chunk of the stream, in stream order.
  void AddChunk(const AviSampleRef& ref);

  bool IsPresent() const { return source_.IsSupported() && rate_ > 0; }
  std::int32_t Length() const;
  std::int32_t Rate() const { return rate_; }
  const PcmFormat& Source() const { return source_; }
  std::int32_t Channels() const { return source_.DeliveredChannels(); }
  std::int32_t Bits() const { return source_.DeliveredBits(); }
  std::int32_t BlockAlign() const { return source_.DeliveredBlockSize(); }

  // Sample frames first … first + count - 1 into `dest` (count × BlockAlign() bytes). False
  // when `first` lies outside the stream, `count` is negative or a chunk cannot be read;
  // frames past the end of the stream are delivered as silence.
  bool Read(const AviFile& file, void* dest, std::int32_t first, std::int32_t count) const;

private:
  struct Chunk {
    AviSampleRef ref;
    std::int64_t firstByte;
  };
  bool ReadBytes(const AviFile& file, std::int64_t from, std::int64_t size, std::uint8_t* dest) const;

  PcmFormat source_;
  std::int32_t rate_ = 0;
  std::vector<Chunk> chunks_;
  std::int64_t totalBytes_ = 0;
};

} // namespace rw
