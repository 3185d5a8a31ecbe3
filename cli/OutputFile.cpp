#include "cli/OutputFile.h"

#include <cerrno>
#include <system_error>

#include <unistd.h>

namespace rw::cli {

OutputFile::OutputFile(std::filesystem::path file) : file_(std::move(file)) {
  scratch_ = file_;
  scratch_ += ".part" + std::to_string(::getpid());
}

OutputFile::~OutputFile() {
  if (stream_) {
    stream_.reset();
    std::error_code ec;
    std::filesystem::remove(scratch_, ec);
  }
}

bool OutputFile::Fail(std::string_view what) {
  error_ = std::string(what) + " " + file_.string() + " (" +
           std::error_code(errno, std::generic_category()).message() + ")";
  return false;
}

bool OutputFile::Open() {
  stream_.reset(std::fopen(scratch_.c_str(), "wb"));
  if (!stream_)
    return Fail("cannot create");
  return true;
}

bool OutputFile::Write(const void* data, std::size_t size) {
  if (!stream_)
    return false;
  if (size > 0 && std::fwrite(data, 1, size, stream_.get()) != size)
    return Fail("cannot write");
  return true;
}

bool OutputFile::Commit() {
  if (!stream_)
    return false;
  std::FILE* f = stream_.release();
  const bool flushed = std::fflush(f) == 0 && ::fsync(::fileno(f)) == 0;
  const int error = errno;
  const bool closed = std::fclose(f) == 0;
  std::error_code ec;
  if (!flushed || !closed) {
    errno = flushed ? errno : error;
    std::filesystem::remove(scratch_, ec);
    return Fail("cannot write");
  }
  std::filesystem::rename(scratch_, file_, ec);
  if (ec) {
    errno = ec.value();
    std::filesystem::remove(scratch_, ec);
    return Fail("cannot create");
  }
  return true;
}

void OutputFile::PutU16(std::string& out, std::uint32_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>(value >> 8 & 0xFF);
}

void OutputFile::PutU32(std::string& out, std::uint32_t value) {
  PutU16(out, value & 0xFFFF);
  PutU16(out, value >> 16);
}

} // namespace rw::cli
