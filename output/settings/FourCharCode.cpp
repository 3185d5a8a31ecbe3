#include "output/settings/FourCharCode.h"

namespace rw::FourCharCode {

std::string Encode(std::uint32_t code) {
  std::string text;
  for (int i = 0; i < 4; ++i) {
    const auto byte = static_cast<unsigned char>(code >> (8 * i));
    if (byte < 33 || byte > 126 || byte == '\\') {
      text += '\\';
      text += static_cast<char>('0' + (byte >> 6));
      text += static_cast<char>('0' + ((byte >> 3) & 7));
      text += static_cast<char>('0' + (byte & 7));
    } else {
      text += static_cast<char>(byte);
    }
  }
  return text;
}

bool Decode(std::string_view stored, std::uint32_t& code) {
  std::uint32_t decoded = 0;
  std::size_t pos = 0;
  for (int i = 0; i < 4; ++i) {
    if (pos >= stored.size())
      return false;
    unsigned value = static_cast<unsigned char>(stored[pos++]);
    if (value == '\\') {
      if (stored.size() - pos < 3)
        return false;
      value = 0;
      for (int d = 0; d < 3; ++d) {
        const char digit = stored[pos++];
        if (digit < '0' || digit > '7')
          return false;
        value = value * 8 + static_cast<unsigned>(digit - '0');
      }
      if (value > 255)
        return false;
    }
    if (value == 0)
      return false;
    decoded |= static_cast<std::uint32_t>(value) << (8 * i);
  }
  code = decoded;
  return true;
}

} // namespace rw::FourCharCode
