#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace rw {

// Hands out the lines of a record text one at a time. Lines may end with "\n" or "\r\n"; a
// line longer than 1,023 bytes is handed out in pieces of at most 1,023 bytes. A line that is
// not valid UTF-8 is taken as CP932 (files written by the Windows version) and converted.
class RecordReader {
public:
  static constexpr std::size_t kPieceSize = 1023;

  RecordReader(std::string_view text, std::filesystem::path folder = {})
      : text_(text), folder_(std::move(folder)) {}

  // The next line (without its line end), false at the end of the input.
  bool ReadLine(std::string& line);

  // The project folder that stored file names are relative to.
  const std::filesystem::path& Folder() const { return folder_; }
  // 1-based number of the line last read (pieces of one long line share it).
  int LineNumber() const { return lineNumber_; }
  bool AtEnd() const { return pos_ >= text_.size() && pending_.empty(); }

private:
  std::string_view text_;
  std::filesystem::path folder_;
  std::size_t pos_ = 0;
  std::string pending_; // rest of a long line still to hand out
  int lineNumber_ = 0;
};

} // namespace rw
