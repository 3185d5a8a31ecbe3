#pragma once

#include "render/DIB.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace rw {

// The picture an offline cut shows: dark diagonal stripes with a panel that says "MISSING" in
// large letters and, below it, the name of the file, drawn with a small built-in 5 x 7 font (with descenders)
// so that nobody takes it for black footage. Characters the font does not have show as "?".
class OfflinePicture {
public:
  static constexpr std::string_view kWord = "MISSING";

  // Creates `dib` at width x height and draws the picture for the file `name` (UTF-8); false
  // when the size is not a valid picture size.
  static bool Draw(DIB& dib, std::int32_t width, std::int32_t height, std::string_view name);

  // `name` as the font can show it: printable ASCII kept, every other character (a whole UTF-8
  // sequence) one "?", and cut in the middle with "..." to at most `columns` characters.
  static std::string Printable(std::string_view name, std::size_t columns);
};

} // namespace rw
