#include "base/RecordGrammar.h"

#include <limits>

namespace rw {
namespace {

char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

bool IsBlank(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u >= 1 && u <= 32;
}

std::size_t SkipBlank(std::string_view text, std::size_t i) {
  while (i < text.size() && IsBlank(text[i]))
    ++i;
  return i;
}

RecordLine ParseRecordLine(std::string_view line) {
  RecordLine out;
  // Text after a zero byte is not part of the line.
  if (const auto nul = line.find('\0'); nul != std::string_view::npos)
    line = line.substr(0, nul);

  std::size_t i = SkipBlank(line, 0);
  if (line.substr(i).starts_with("//"))
    return out;

  const std::size_t keyStart = i;
  while (i < line.size() && line[i] != ':' && !IsBlank(line[i]))
    ++i;
  out.key.assign(line.substr(keyStart, i - keyStart));

  i = SkipBlank(line, i);
  if (i >= line.size() || line[i] != ':')
    return out;
  ++i;
  out.isKey = true;

  i = SkipBlank(line, i);
  std::size_t end = line.size();
  while (end > i && IsBlank(line[end - 1]))
    --end;
  out.value.assign(line.substr(i, end - i));
  return out;
}

bool SameWord(std::string_view a, std::string_view b) {
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i]))
      return false;
  return true;
}

std::int32_t ReadNumber(std::string_view value) {
  std::size_t i = SkipBlank(value, 0);
  bool negative = false;
  if (i < value.size() && (value[i] == '-' || value[i] == '+')) {
    negative = value[i] == '-';
    ++i;
  }
  // Accumulate as a magnitude in 64 bits and stop growing once past the 32-bit range.
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  std::int64_t magnitude = 0;
  for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) {
    magnitude = magnitude * 10 + (value[i] - '0');
    if (magnitude > kLimit)
      magnitude = kLimit;
  }
  if (negative)
    return static_cast<std::int32_t>(-magnitude); // -2^31 at most
  return magnitude >= kLimit ? std::numeric_limits<std::int32_t>::max()
                             : static_cast<std::int32_t>(magnitude);
}

std::string Indent(int level) {
  std::string out;
  if (level <= 0)
    return out;
  long long columns = 2LL * level;
  while (columns > 8) {
    out.push_back('\t');
    columns -= 8;
  }
  out.append(static_cast<std::size_t>(columns), ' ');
  return out;
}

} // namespace rw
