#pragma once

#include "output/MovieSink.h"

#include <filesystem>

namespace rw {

// A movie written to a file: created (or truncated) on Open, closed by Close or destruction.
// Write and Seek errors keep the system's error text for the message.
class FileMovieSink : public MovieSink {
public:
  explicit FileMovieSink(std::filesystem::path file) : file_(std::move(file)) {}
  ~FileMovieSink() override;
  FileMovieSink(const FileMovieSink&) = delete;
  FileMovieSink& operator=(const FileMovieSink&) = delete;

  // False with the system's reason in ErrorText when the file cannot be created for writing.
  bool Open();
  // Closes the file; false when the system reports a failure (delayed write errors included).
  bool Close();

  bool Write(const std::uint8_t* data, std::size_t size) override;
  std::int64_t Seek(std::int64_t offset, int whence) override;
  bool ReadAt(std::int64_t offset, std::uint8_t* data, std::size_t size) override;
  std::string Name() const override { return file_.string(); }
  std::string ErrorText() const override { return error_; }

private:
  void Fail(int code);

  std::filesystem::path file_;
  int fd_ = -1;
  std::string error_;
};

} // namespace rw
