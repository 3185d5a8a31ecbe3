#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace rw {

// The key/value line grammar shared by every record of the project file.
//
// A key line is: optional white space (bytes 1..32), a key running to the first colon or white
// space, optional white space, a colon, optional white space, and a value that runs to the end
// of the line with trailing white space removed. A line beginning with "//" is a comment.
// Bare words such as "begin" and "end" are not key lines, but their word is still returned in
// `key` so that callers can recognise them.
struct RecordLine {
  bool isKey = false;
  std::string key;
  std::string value;
};

RecordLine ParseRecordLine(std::string_view line);

// White space of the record grammar: every control byte and the space (1..32). A zero byte is
// not white space; the parser treats it as the end of the line.
bool IsBlank(char c);
// The index of the first byte at or after `i` that is not white space (text.size() when none).
std::size_t SkipBlank(std::string_view text, std::size_t i);

// ASCII case-insensitive comparison, used for keys, kind keywords and bare words.
bool SameWord(std::string_view a, std::string_view b);

// Decimal number as the reader takes it: leading white space skipped, an optional sign, digits
// up to the first non-digit; no digits gives 0. Saturates at the 32-bit range.
std::int32_t ReadNumber(std::string_view value);

// Indentation of nesting level n: 2n columns, a tab for each 8 columns while more than 8
// remain, spaces for the rest.
std::string Indent(int level);

} // namespace rw
