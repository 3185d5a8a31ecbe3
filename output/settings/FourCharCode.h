#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace rw::FourCharCode {

// The stored form of a four-character code: its four bytes, lowest first; a byte below 33,
// above 126 or equal to a backslash is written as a backslash and exactly three octal digits.
std::string Encode(std::uint32_t code);

// Reads the first four characters (plain bytes or backslash-octal escapes) of a stored form.
// False, leaving `code` unchanged, when the value runs out, an escape is not three octal digits
// of a byte value, or a decoded byte is zero.
bool Decode(std::string_view stored, std::uint32_t& code);

} // namespace rw::FourCharCode
