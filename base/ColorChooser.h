#pragma once

#include <cstdint>

namespace rw {

// Lets the user choose a colour, starting from the given one. Answers true with the chosen
// colour stored back into red, green and blue when the user confirms, false when cancelled.
class ColorChooser {
public:
  virtual ~ColorChooser() = default;
  virtual bool Choose(std::uint32_t& red, std::uint32_t& green, std::uint32_t& blue) = 0;
};

} // namespace rw
