#pragma once

#include <string>
#include <string_view>

namespace rw::TextEncoding {

bool IsValidUtf8(std::string_view text);
// CP932 (Shift-JIS as Windows writes it) to UTF-8; bytes that cannot be converted become U+FFFD.
std::string Cp932ToUtf8(std::string_view text);

} // namespace rw::TextEncoding
