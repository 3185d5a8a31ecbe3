#include "output/MemoryMovieSink.h"

#include <cstdio>
#include <cstring>
#include <limits>

namespace rw {

bool MemoryMovieSink::Write(const std::uint8_t* data, std::size_t size) {
  if (size == 0)
    return true;
  if (position_ > bytes_.max_size() - size)
    return false;
  const std::size_t end = position_ + size;
  if (end > bytes_.size())
    bytes_.resize(end);
  std::memcpy(bytes_.data() + position_, data, size);
  position_ = end;
  return true;
}

bool MemoryMovieSink::ReadAt(std::int64_t offset, std::uint8_t* data, std::size_t size) {
  if (offset < 0 || static_cast<std::uint64_t>(offset) > bytes_.size() || bytes_.size() - offset < size)
    return false;
  std::memcpy(data, bytes_.data() + offset, size);
  return true;
}

std::int64_t MemoryMovieSink::Seek(std::int64_t offset, int whence) {
  std::int64_t base = 0;
  if (whence == SEEK_CUR)
    base = static_cast<std::int64_t>(position_);
  else if (whence == SEEK_END)
    base = static_cast<std::int64_t>(bytes_.size());
  else if (whence != SEEK_SET)
    return -1;
  if ((offset > 0 && base > std::numeric_limits<std::int64_t>::max() - offset) || base + offset < 0)
    return -1;
  position_ = static_cast<std::size_t>(base + offset);
  return base + offset;
}

} // namespace rw
