#pragma once

#include "media/AviVideoIndex.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>

namespace rw {

// The bytes of an open AVI file, read at absolute positions (no shared file position, so the
// decoders and the audio reader of one stream never disturb each other).
class AviFile {
public:
  AviFile() = default;
  AviFile(const AviFile&) = delete;
  AviFile& operator=(const AviFile&) = delete;
  ~AviFile() { Close(); }

  bool Open(const std::filesystem::path& file);
  void Close();
  bool IsOpen() const { return fd_ >= 0; }
  // The size of the file when it was opened.
  std::int64_t Size() const { return size_; }
  // The sample's data lies within the file.
  bool Holds(const AviSampleRef& ref) const {
    return ref.DataPos() >= 0 && ref.DataPos() + ref.size <= size_;
  }

  // Reads exactly `size` bytes at `pos`; false on a short read or an error.
  bool ReadAt(std::int64_t pos, void* dest, std::size_t size) const;
  // Reads the data of a stored sample (ref.size bytes) into `dest`. When the reference points
  // at a chunk header, the header must announce the same size.
  bool ReadSample(const AviSampleRef& ref, void* dest) const;
  // Like ReadSample, for `size` bytes starting `offset` bytes into the sample's data.
  bool ReadSamplePart(const AviSampleRef& ref, std::uint32_t offset, void* dest, std::size_t size) const;
  // True unless the reference points at a chunk header that announces another size.
  bool CheckHeader(const AviSampleRef& ref) const;

private:
  int fd_ = -1;
  std::int64_t size_ = 0;
};

} // namespace rw
