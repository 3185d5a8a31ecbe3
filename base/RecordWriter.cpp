#include "base/RecordWriter.h"

#include "base/FileNameForm.h"
#include "base/RecordGrammar.h"

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
  if (!FileNameForm::TryWrite(file, folder_, stored)) {
    failure_ += "ファイル名'";
    failure_ += file.string();
    failure_ += "'はプロジェクトファイルに書き込めません\n";
    return false;
  }
  Key(level, key, std::string_view(stored));
  return true;
}

} // namespace rw
