#pragma once

#include <cstdint>

namespace rw {

// a * b / c in 32-bit arithmetic without forming the product a * b, the divisions truncating:
// (a % c) * (b % c) / c + (a / c) * b + (a % c) * (b / c). Every conversion between frame
// numbers and sample numbers goes through it, so that all callers agree to the sample.
constexpr std::int32_t ScaleDiv(std::int32_t a, std::int32_t b, std::int32_t c) {
  return (a % c) * (b % c) / c + (a / c) * b + (a % c) * (b / c);
}

} // namespace rw
