#include "media/OfflineRecord.h"

#include "base/FileNameForm.h"
#include "base/RecordBlock.h"
#include "base/RecordGrammar.h"
#include "base/RecordReader.h"
#include "base/RecordWriter.h"

#include <algorithm>
#include <iterator>

namespace rw {
namespace {

constexpr std::string_view kFileKey = "FileName";

// `value` cut so that the key line at `level` is no longer than a reader's piece, at a character
// boundary. Only a line the reader had already cut into pieces can be too long here: written
// whole it would come back cut elsewhere.
std::string_view Fitting(int level, std::string_view key, std::string_view value) {
  const std::size_t fixed = Indent(level).size() + key.size() + 2;
  if (fixed + value.size() <= RecordReader::kPieceSize)
    return value;
  std::size_t n = fixed < RecordReader::kPieceSize ? RecordReader::kPieceSize - fixed : 0;
  while (n > 0 && (static_cast<unsigned char>(value[n]) & 0xC0) == 0x80)
    --n;
  return value.substr(0, n);
}

// A FileName key in the stored form relative to the writer's folder. A name read from a file
// that the stored form cannot hold is written back as it was read rather than failing the save.
bool WriteFile(RecordWriter& writer, int level, const OfflineRecord::Line& line) {
  std::string stored;
  if (FileNameForm::TryWrite(line.file, writer.Folder(), stored) &&
      Indent(level).size() + line.key.size() + 2 + stored.size() <= RecordReader::kPieceSize) {
    writer.Key(level, line.key, stored);
    return true;
  }
  if (line.moved)
    return writer.FileKey(level, line.key, line.file); // refuses, with the reason
  writer.Key(level, line.key, Fitting(level, line.key, line.value));
  return true;
}

} // namespace

bool OfflineRecord::Capture(RecordReader& reader, bool nested, MessageText* messages, std::string_view what,
                            OfflineRecord& out) {
  out = OfflineRecord();
  out.folder_ = reader.Folder();
  if (!RecordBlock::ReadToBegin(reader, messages, what))
    return false;
  int depth = 0;
  std::string text;
  while (reader.ReadLine(text)) {
    RecordLine parsed = ParseRecordLine(text);
    Line line;
    line.depth = depth;
    if (parsed.isKey) {
      line.key = std::move(parsed.key);
      line.value = std::move(parsed.value);
      if (depth == 0 && SameWord(line.key, kFileKey) && !line.value.empty())
        line.file = FileNameForm::Read(line.value, out.folder_);
    } else if (nested && SameWord(parsed.key, "begin")) {
      line.mark = Mark::Begin;
      ++depth;
    } else if (SameWord(parsed.key, "end")) {
      if (depth == 0)
        return true;
      line.mark = Mark::End;
      line.depth = --depth;
    } else {
      continue; // comments and stray words
    }
    line.text = std::move(text);
    out.lines_.push_back(std::move(line));
  }
  RecordBlock::Report(messages, reader, what, "end がありません");
  return false;
}

std::string OfflineRecord::Text() const {
  std::string text = "begin\n";
  for (const Line& line : lines_) {
    if (line.moved) {
      text += std::string(line.key) + ": " + FileNameForm::Write(line.file, folder_);
    } else {
      text += line.text;
    }
    text += '\n';
  }
  text += "end\n";
  return text;
}

bool OfflineRecord::Write(RecordWriter& writer, int level) const {
  writer.Begin(level);
  bool ok = true;
  for (const Line& line : lines_) {
    const int at = level + 1 + line.depth;
    switch (line.mark) {
    case Mark::Begin:
      writer.Begin(at);
      break;
    case Mark::End:
      writer.End(at);
      break;
    case Mark::Key:
      if (!line.file.empty())
        ok = WriteFile(writer, at, line) && ok;
      else if (line.value.empty() && line.text.ends_with(':'))
        writer.Line(at, line.key + ":"); // a key that introduces a nested block
      else
        writer.Key(at, line.key, Fitting(at, line.key, line.value));
      break;
    }
  }
  writer.End(level);
  return ok;
}

std::filesystem::path OfflineRecord::File() const {
  std::filesystem::path file;
  for (const Line& line : lines_) {
    if (line.mark == Mark::Key && line.depth == 0 && SameWord(line.key, kFileKey))
      file = line.file;
  }
  return file;
}

void OfflineRecord::SetFile(const std::filesystem::path& file) {
  bool found = false;
  for (Line& line : lines_) {
    if (line.mark != Mark::Key || line.depth != 0 || !SameWord(line.key, kFileKey))
      continue;
    line.file = file;
    line.moved = true;
    found = true;
  }
  if (!found) {
    Line line;
    line.key = std::string(kFileKey);
    line.file = file;
    line.moved = true;
    lines_.insert(lines_.begin(), std::move(line));
  }
}

std::optional<std::string> OfflineRecord::Value(std::string_view key) const {
  std::optional<std::string> value;
  for (const Line& line : lines_) {
    if (line.mark == Mark::Key && line.depth == 0 && SameWord(line.key, key))
      value = line.value;
  }
  return value;
}

std::optional<std::int32_t> OfflineRecord::Number(std::string_view key) const {
  const std::optional<std::string> value = Value(key);
  if (!value)
    return std::nullopt;
  return ReadNumber(*value);
}

void OfflineRecord::SetValue(std::string_view key, std::string_view value) {
  Line* last = nullptr;
  for (Line& line : lines_) {
    if (line.mark == Mark::Key && line.depth == 0 && SameWord(line.key, key))
      last = &line;
  }
  if (!last) {
    // Before the first nested block and the key that introduces it, so that the key stays on
    // the block's own level.
    auto at = std::find_if(lines_.begin(), lines_.end(), [](const Line& l) { return l.mark == Mark::Begin; });
    if (at != lines_.begin() && at != lines_.end() && std::prev(at)->mark == Mark::Key)
      --at;
    last = &*lines_.insert(at, Line{Mark::Key, 0, std::string(key), {}, {}, {}, false});
  }
  last->value = std::string(value);
  last->text = last->key + ": " + last->value;
}

} // namespace rw
