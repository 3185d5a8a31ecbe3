#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace rw {

// One output buffer of a WaveOut. The owner refills it only while it is not busy; the device
// reads its bytes while it is busy and clears the flag (with release order) once the last byte
// has been handed on, so a reader that sees "not busy" may reuse the block at once.
class WaveHdr {
public:
  // Bytes allocated beyond the request, so that slightly larger later blocks fit.
  static constexpr std::size_t kSlack = 64;

  WaveHdr() = default;
  WaveHdr(const WaveHdr&) = delete;
  WaveHdr& operator=(const WaveHdr&) = delete;

  // Makes the buffer hold `bytes` bytes: a copy of `data`, or `fill` bytes when data is null.
  // A block too small is replaced by one of bytes + kSlack; blocks never shrink. False when
  // memory runs out (the buffer is then unchanged).
  bool Fill(const void* data, std::size_t bytes, std::uint8_t fill);

  const std::uint8_t* Data() const { return data_.get(); }
  std::size_t Length() const { return length_; }
  std::size_t Capacity() const { return capacity_; }
  bool Busy() const { return busy_.load(std::memory_order_acquire); }

private:
  friend class WaveOut;
  friend class AudioDevice;

  std::unique_ptr<std::uint8_t[]> data_;
  std::size_t length_ = 0;
  std::size_t capacity_ = 0;
  std::atomic<bool> busy_{false};
  // Link of the device's play queue (write order); guarded by the device's lock.
  WaveHdr* playNext_ = nullptr;
};

} // namespace rw
