#include "output/FileMovieSink.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace rw {

FileMovieSink::~FileMovieSink() {
  Close();
}

void FileMovieSink::Fail(int code) {
  error_ = std::strerror(code);
}

bool FileMovieSink::Open() {
  Close();
  error_.clear();
  fd_ = ::open(file_.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd_ < 0) {
    Fail(errno);
    return false;
  }
  return true;
}

bool FileMovieSink::Close() {
  if (fd_ < 0)
    return true;
  const int result = ::close(fd_);
  fd_ = -1;
  if (result != 0) {
    Fail(errno);
    return false;
  }
  return true;
}

bool FileMovieSink::Write(const std::uint8_t* data, std::size_t size) {
  if (fd_ < 0) {
    error_ = "the file is not open";
    return false;
  }
  while (size > 0) {
    const ssize_t written = ::write(fd_, data, size);
    if (written < 0) {
      if (errno == EINTR)
        continue;
      Fail(errno);
      return false;
    }
    if (written == 0) {
      Fail(ENOSPC);
      return false;
    }
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

bool FileMovieSink::ReadAt(std::int64_t offset, std::uint8_t* data, std::size_t size) {
  if (fd_ < 0 || offset < 0)
    return false;
  while (size > 0) {
    const ssize_t got = ::pread(fd_, data, size, static_cast<off_t>(offset));
    if (got < 0 && errno == EINTR)
      continue;
    if (got <= 0) {
      if (got < 0)
        Fail(errno);
      return false;
    }
    data += got;
    size -= static_cast<std::size_t>(got);
    offset += got;
  }
  return true;
}

std::int64_t FileMovieSink::Seek(std::int64_t offset, int whence) {
  if (fd_ < 0)
    return -1;
  const off_t result = ::lseek(fd_, static_cast<off_t>(offset), whence);
  if (result < 0) {
    Fail(errno);
    return -1;
  }
  return static_cast<std::int64_t>(result);
}

} // namespace rw
