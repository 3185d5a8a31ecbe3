#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace rw {

// Collects the text of records. Lines end with "\n"; the caller writes the text to disk.
class RecordWriter {
public:
  explicit RecordWriter(std::filesystem::path folder = {}) : folder_(std::move(folder)) {}

  // The project folder that file names are written relative to.
  const std::filesystem::path& Folder() const { return folder_; }

  void Line(int level, std::string_view text);    // indent + text
  void Begin(int level) { Line(level, "begin"); } // "begin" at level
  void End(int level) { Line(level, "end"); }     // "end" at level
  void Key(int level, std::string_view key, std::int64_t value);
  void Key(int level, std::string_view key, std::string_view value);
  // "key: " followed by the stored form of a file name. A name that the record text cannot
  // hold (see FileNameForm::TryWrite), or whose line would be longer than a reader's piece
  // (RecordReader::kPieceSize), is not written: the answer is false and the writer remembers
  // the failure and a message for the user.
  bool FileKey(int level, std::string_view key, const std::filesystem::path& file);

  // Whether some file name could not be written, and the messages (one line each) saying which.
  bool Failed() const { return !failure_.empty(); }
  const std::string& FailureText() const { return failure_; }

  const std::string& Text() const { return text_; }
  std::string Take() { return std::move(text_); }

private:
  std::filesystem::path folder_;
  std::string text_;
  std::string failure_;
};

} // namespace rw
