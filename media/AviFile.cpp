#include "media/AviFile.h"

#include "base/LittleEndian.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rw {

bool AviFile::Open(const std::filesystem::path& file) {
  Close();
  fd_ = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat st {};
  if (fd_ < 0 || ::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
    Close();
    return false;
  }
  size_ = st.st_size;
  return true;
}

void AviFile::Close() {
  if (fd_ >= 0)
    ::close(fd_);
  fd_ = -1;
  size_ = 0;
}

bool AviFile::ReadAt(std::int64_t pos, void* dest, std::size_t size) const {
  if (fd_ < 0 || pos < 0)
    return false;
  auto* out = static_cast<unsigned char*>(dest);
  while (size > 0) {
    const ssize_t n = ::pread(fd_, out, size, static_cast<off_t>(pos));
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0)
      return false;
    out += n;
    pos += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool AviFile::CheckHeader(const AviSampleRef& ref) const {
  if (!ref.hasHeader)
    return true;
  std::uint8_t header[8];
  if (!ReadAt(ref.pos, header, sizeof header))
    return false;
  return U32Le(header + 4) == ref.size;
}

bool AviFile::ReadSample(const AviSampleRef& ref, void* dest) const {
  return ReadSamplePart(ref, 0, dest, ref.size);
}

bool AviFile::ReadSamplePart(const AviSampleRef& ref, std::uint32_t offset, void* dest,
                             std::size_t size) const {
  if (static_cast<std::uint64_t>(offset) + size > ref.size || !CheckHeader(ref))
    return false;
  return ReadAt(ref.DataPos() + offset, dest, size);
}

} // namespace rw
