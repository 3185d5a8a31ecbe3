#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace rw {

// The audio packets of a file as the demuxer lists them, with where each one's samples lie on
// the file's sample axis (sample n at time n / rate, in the file's own time). A packet's place
// follows its time stamp; where the stamps are coarser than a sample (Matroska's milliseconds),
// a packet that starts within a tick of where the one before it ends is taken to follow it
// directly, so that the places stay sample-exact when the packet lengths are known.
class ContainerSoundIndex {
public:
  struct Packet {
    std::int64_t pts = 0;    // in the stream's time base
    std::int64_t start = 0;  // first sample, before any start skip
    std::int32_t length = 0; // samples the packet decodes to, as far as known without decoding
    std::int32_t skip = 0;   // samples the decoder drops at the start
    bool discard = false;    // decoded but not presented
  };

  // The most packets one file may list: a file claiming more is refused.
  static constexpr std::size_t kMaxPackets = std::size_t{1} << 22;

  // Starts a new index; `tick` is the time base's step in samples (tolerance for joining).
  void Reset(double tick);
  // Adds the next packet in decode order. `start` is its time stamp in samples (rounded), or
  // nullopt when it has none; `length` may be 0 when unknown. False when the index is full.
  bool Add(std::int64_t pts, std::optional<std::int64_t> start, std::int32_t length, std::int32_t skip,
           std::int32_t discardEnd, bool discard);

  std::size_t Size() const { return packets_.size(); }
  bool Empty() const { return packets_.empty(); }
  const Packet& operator[](std::size_t i) const { return packets_[i]; }

  // The first presented sample, and one past the last; both 0 when nothing is presented.
  std::int64_t FirstSample() const { return first_; }
  std::int64_t EndSample() const { return end_; }

  // The place of the packet stamped `pts`; nullopt when no packet has that stamp.
  std::optional<std::int64_t> StartOf(std::int64_t pts) const;
  // The packet to start decoding from so that sample `sample` is reached after at least
  // `preroll` samples of decoding: the last packet starting at or before sample - preroll
  // (the first packet when there is none).
  std::size_t SeekPacket(std::int64_t sample, std::int64_t preroll) const;

private:
  std::vector<Packet> packets_;
  double tick_ = 1;
  bool ptsSorted_ = true;
  bool anyPresented_ = false;
  std::int64_t first_ = 0;
  std::int64_t end_ = 0;
};

} // namespace rw
