#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace rw {

// Hands out the lines of a record text one at a time. Lines may end with "\n" or "\r\n" (a lone
// "\r" stays part of the line; as trailing white space the line parser drops it). A line that
// is not valid UTF-8 is taken as CP932 (files written by the Windows version) and converted to
// UTF-8 first. A line longer than 1,023 bytes is then handed out in pieces of at most 1,023
// bytes, each cut at a character boundary.
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
  bool AtEnd() const { return pos_ >= text_.size() && pendingPos_ >= pending_.size(); }

private:
  std::string text_; // a copy: callers may hand in a temporary
  std::filesystem::path folder_;
  std::size_t pos_ = 0;
  std::string pending_;        // the current line, converted to UTF-8 where it needed it
  std::size_t pendingPos_ = 0; // how much of pending_ has been handed out
  int lineNumber_ = 0;
};

} // namespace rw
