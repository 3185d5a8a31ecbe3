#pragma once

#include <cstdint>
#include <filesystem>

namespace rw {

// What a reader remembers of a file to notice changes made by other programs: its size and
// its last write time at full resolution.
struct FileStamp {
  std::uintmax_t size = 0;
  std::filesystem::file_time_type time{};

  // The stamp of `file` now; size all ones and time zero when it cannot be read.
  static FileStamp Of(const std::filesystem::path& file);

  friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

} // namespace rw
