#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace rw::cli {

// A file a command writes its result to. Written under a temporary name next to it and renamed
// into place by Commit, so a failed or interrupted command never leaves a half-written result
// under the name asked for.
class OutputFile {
public:
  explicit OutputFile(std::filesystem::path file);
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // False, with the reason in Error(), when the file cannot be created or written.
  bool Open();
  bool Write(const void* data, std::size_t size);
  bool Write(std::string_view bytes) { return Write(bytes.data(), bytes.size()); }
  bool Commit();
  const std::string& Error() const { return error_; }

  // Little-endian fields.
  static void PutU16(std::string& out, std::uint32_t value);
  static void PutU32(std::string& out, std::uint32_t value);

private:
  struct Closer {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  bool Fail(std::string_view what);

  std::filesystem::path file_;
  std::filesystem::path scratch_;
  std::unique_ptr<std::FILE, Closer> stream_;
  std::string error_;
};

} // namespace rw::cli
