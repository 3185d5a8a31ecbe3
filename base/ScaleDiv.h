#pragma once

#include <cstdint>

namespace rw {

// a * b / c in 32-bit arithmetic without forming the product a * b, the divisions truncating:
// (a % c) * (b % c) / c + (a / c) * b + (a % c) * (b / c). Every conversion between frame
// numbers and sample numbers goes through it, so that all callers agree to the sample.
// The product of the two remainders can pass 32 bits once c is above 46340 (a 96 kHz source
// rate, say), so that one term is formed in 64 bits; the result is unchanged wherever the
// 32-bit form did not overflow.
constexpr std::int32_t ScaleDiv(std::int32_t a, std::int32_t b, std::int32_t c) {
  return static_cast<std::int32_t>(std::int64_t{a % c} * (b % c) / c) + (a / c) * b + (a % c) * (b / c);
}

} // namespace rw
