#include "audio/WaveHdr.h"

#include <cstring>
#include <new>

namespace rw {

bool WaveHdr::Fill(const void* data, std::size_t bytes, std::uint8_t fill) {
  if (capacity_ < bytes) {
    const std::size_t capacity = bytes + kSlack;
    std::unique_ptr<std::uint8_t[]> block(new (std::nothrow) std::uint8_t[capacity]);
    if (!block)
      return false;
    data_ = std::move(block);
    capacity_ = capacity;
  }
  length_ = bytes;
  if (bytes > 0) {
    if (data)
      std::memcpy(data_.get(), data, bytes);
    else
      std::memset(data_.get(), fill, bytes);
  }
  return true;
}

} // namespace rw
