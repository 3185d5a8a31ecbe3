#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace rw::view {

// Whole numbers as typed into the dialogs' edits: optional spaces, an optional sign, decimal
// digits, optional spaces. A number beyond the 32-bit range gives the nearest 32-bit value.
class DecimalText {
public:
  // None when the text is not a whole number (empty, letters, a fraction...).
  static std::optional<std::int32_t> Parse(std::string_view text);
  // As Parse, with 0 for a text that is not a number.
  static std::int32_t ParseOrZero(std::string_view text) { return Parse(text).value_or(0); }
};

} // namespace rw::view
