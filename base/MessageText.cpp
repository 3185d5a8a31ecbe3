#include "base/MessageText.h"

namespace rw {

bool MessageText::Set(std::string_view text) {
  if (text.size() > kCapacity) {
    text_.clear();
    return false;
  }
  text_.assign(text);
  return true;
}

bool MessageText::Append(std::string_view text) {
  if (text_.size() + text.size() > kCapacity)
    return false;
  text_.append(text);
  return true;
}

std::string MessageText::Quoted(const std::filesystem::path& file) {
  // Appended piece by piece: GCC 12 warns wrongly (-Wrestrict) about "'" + string at -O3.
  std::string quoted = "'";
  quoted += file.string();
  quoted += '\'';
  return quoted;
}

} // namespace rw
