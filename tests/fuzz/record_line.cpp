// Fuzz target for the record text grammar: the line reader over arbitrary bytes (CP932 and
// broken UTF-8 included), the line parser, numbers, stored file names, and the property that a
// file name written by the record writer reads back as the same path.
#include "base/FileNameForm.h"
#include "base/RecordGrammar.h"
#include "base/RecordReader.h"
#include "base/RecordWriter.h"
#include "base/TextEncoding.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

namespace {

namespace fs = std::filesystem;

const fs::path kFolder = "/home/user/\xE6\x98\xA0\xE5\x83\x8F/project dir";

void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "property failed: %s\n", what);
    std::abort();
  }
}

bool IsBlank(char c) {
  return static_cast<unsigned char>(c) >= 1 && static_cast<unsigned char>(c) <= 32;
}

fs::path Expected(const fs::path& full) {
  fs::path n = full.lexically_normal();
  if (n.has_relative_path() && !n.has_filename())
    n = n.parent_path();
  return n;
}

void ParseLines(std::string_view text) {
  rw::RecordReader reader(text, kFolder);
  std::string line;
  int lastNumber = 0;
  while (reader.ReadLine(line)) {
    Check(line.size() <= rw::RecordReader::kPieceSize, "piece too long");
    Check(rw::TextEncoding::IsValidUtf8(line), "piece not UTF-8");
    Check(reader.LineNumber() >= lastNumber, "line numbers go back");
    lastNumber = reader.LineNumber();

    const rw::RecordLine parsed = rw::ParseRecordLine(line);
    Check(parsed.key.find(':') == std::string::npos, "colon in key");
    Check(!parsed.isKey || parsed.value.empty() ||
              (!IsBlank(parsed.value.front()) && !IsBlank(parsed.value.back())),
          "value not trimmed");
    (void)rw::ReadNumber(parsed.value);
    (void)rw::SameWord(parsed.key, "begin");
    const fs::path name = rw::FileNameForm::Read(parsed.value, reader.Folder());
    Check(name.empty() || name.is_absolute() || (name.native().size() >= 2 && name.native()[1] == ':'),
          "stored name not made absolute");
  }
  Check(reader.AtEnd(), "reader stopped early");
}

// A file name built from the input: valid UTF-8, without line breaks or zero bytes.
void RoundTrip(std::string_view data) {
  std::string name(data.substr(0, 600));
  if (!rw::TextEncoding::IsValidUtf8(name))
    name = rw::TextEncoding::Cp932ToUtf8(name);
  std::erase(name, '\0');
  std::erase(name, '\n');
  if (name.empty())
    return;
  const fs::path full = name.front() == '/' ? fs::path(name) : kFolder / name;
  std::string stored;
  if (!rw::FileNameForm::TryWrite(full, kFolder, stored)) {
    // The one refusal such a name can meet: a quoted form that would end in a backslash.
    Check(stored.empty(), "refused name left text");
    Check(Expected(full).native().ends_with('\\'), "name refused without cause");
    return;
  }
  Check(rw::FileNameForm::Read(stored, kFolder) == Expected(full), "file name round trip");

  rw::RecordWriter writer(kFolder);
  const bool written = writer.FileKey(3, "FileName", full);
  // The writer refuses exactly the lines that would come back in pieces.
  Check(written == (6 + 10 + stored.size() <= rw::RecordReader::kPieceSize), "writer's length limit");
  if (!written)
    return;
  rw::RecordReader reader(writer.Text(), kFolder);
  std::string line;
  Check(reader.ReadLine(line), "no line");
  const rw::RecordLine parsed = rw::ParseRecordLine(line);
  Check(parsed.isKey && rw::SameWord(parsed.key, "filename"), "key line lost");
  Check(rw::FileNameForm::Read(parsed.value, kFolder) == Expected(full), "record round trip");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  ParseLines(text);
  RoundTrip(text);
  if (size > 0) {
    const int level = static_cast<signed char>(data[0]);
    const std::string indent = rw::Indent(level);
    Check(indent.size() ==
              (level <= 0 ? 0u : static_cast<std::size_t>(2 * level) - 7 * (((2 * level) - 1) / 8)),
          "indent width");
  }
  return 0;
}
