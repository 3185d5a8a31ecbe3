#include "base/RecordWriter.h"

#include "base/FileNameForm.h"
#include "base/RecordGrammar.h"
#include "base/RecordReader.h"

namespace rw {

void RecordWriter::Line(int level, std::string_view text) {
  text_ += Indent(level);
  text_ += text;
  text_ += '\n';
}

void RecordWriter::Key(int level, std::string_view key, std::int64_t value) {
  Key(level, key, std::string_view(std::to_string(value)));
}

void RecordWriter::Key(int level, std::string_view key, std::string_view value) {
  text_ += Indent(level);
  text_ += key;
  text_ += ": ";
  text_ += value;
  text_ += '\n';
}

bool RecordWriter::FileKey(int level, std::string_view key, const std::filesystem::path& file) {
  std::string stored;
  // A line longer than the reader's piece size would come back cut in two: refuse it here
  // rather than write a project that cannot be read back.
  const bool fits = FileNameForm::TryWrite(file, folder_, stored) &&
                    Indent(level).size() + key.size() + 2 + stored.size() <= RecordReader::kPieceSize;
  if (!fits) {
    failure_ += "ファイル名'";
    failure_ += file.string();
    failure_ += "'はプロジェクトファイルに書き込めません\n";
    return false;
  }
  Key(level, key, std::string_view(stored));
  return true;
}

} // namespace rw
