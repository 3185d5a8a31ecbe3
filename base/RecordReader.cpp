#include "base/RecordReader.h"

#include "base/TextEncoding.h"

namespace rw {
namespace {

// The length of the first piece of `text`: at most `limit` bytes, not ending inside a UTF-8
// sequence (unless a piece would otherwise be empty).
std::size_t PieceLength(std::string_view text, std::size_t limit) {
  if (text.size() <= limit)
    return text.size();
  std::size_t cut = limit;
  // Back off over continuation bytes so that the next piece starts on a lead byte.
  for (std::size_t back = 0; back < 4 && cut > 0; ++back) {
    if ((static_cast<unsigned char>(text[cut]) & 0xC0) != 0x80)
      return cut;
    --cut;
  }
  return limit;
}

} // namespace

bool RecordReader::ReadLine(std::string& line) {
  if (pendingPos_ >= pending_.size()) {
    if (pos_ >= text_.size())
      return false;
    const std::string_view text = text_;
    const std::size_t newline = text.find('\n', pos_);
    const std::size_t stop = newline == std::string_view::npos ? text.size() : newline;
    std::string_view raw = text.substr(pos_, stop - pos_);
    pos_ = newline == std::string_view::npos ? text.size() : newline + 1;
    if (raw.ends_with('\r'))
      raw.remove_suffix(1);
    ++lineNumber_;
    if (TextEncoding::IsValidUtf8(raw))
      pending_.assign(raw);
    else
      pending_ = TextEncoding::Cp932ToUtf8(raw);
    pendingPos_ = 0;
    // An empty line is handed out once, as an empty piece, like any other line.
  }
  const std::string_view rest = std::string_view(pending_).substr(pendingPos_);
  const std::size_t n = PieceLength(rest, kPieceSize);
  line.assign(rest.substr(0, n));
  pendingPos_ += n;
  return true;
}

} // namespace rw
