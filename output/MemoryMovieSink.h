#pragma once

#include "output/MovieSink.h"

#include <vector>

namespace rw {

// A movie kept in memory, e.g. for a trial write.
class MemoryMovieSink : public MovieSink {
public:
  bool Write(const std::uint8_t* data, std::size_t size) override;
  std::int64_t Seek(std::int64_t offset, int whence) override;
  bool ReadAt(std::int64_t offset, std::uint8_t* data, std::size_t size) override;
  std::string Name() const override { return "(memory)"; }

  const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

private:
  std::vector<std::uint8_t> bytes_;
  std::size_t position_ = 0;
};

} // namespace rw
