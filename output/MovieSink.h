#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace rw {

// Where a movie's bytes go when they do not go straight to a file: the writer calls Write and
// Seek from the thread that drives it. Write answers false when the bytes could not be stored
// (the writer then fails with a message); Seek takes SEEK_SET, SEEK_CUR or SEEK_END and answers
// the new position, or -1.
class MovieSink {
public:
  virtual ~MovieSink() = default;
  virtual bool Write(const std::uint8_t* data, std::size_t size) = 0;
  virtual std::int64_t Seek(std::int64_t offset, int whence) = 0;
  // The name used in messages.
  virtual std::string Name() const = 0;
  // Reads back `size` bytes written earlier at `offset`; false when the sink cannot (the writer
  // then leaves the finished index as the muxer wrote it).
  virtual bool ReadAt(std::int64_t offset, std::uint8_t* data, std::size_t size) {
    (void)offset, (void)data, (void)size;
    return false;
  }
  // Why the last Write or Seek failed, when the sink knows.
  virtual std::string ErrorText() const { return {}; }
};

} // namespace rw
