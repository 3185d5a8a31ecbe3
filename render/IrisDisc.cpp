#include "render/IrisDisc.h"

#include <algorithm>
#include <cmath>

namespace rw {

std::int64_t IrisDisc::IntegerSqrt(std::int64_t n) {
  if (n <= 0)
    return 0;
  auto h = static_cast<std::int64_t>(std::sqrt(static_cast<double>(n)));
  while (h > 0 && h * h > n)
    --h;
  while ((h + 1) * (h + 1) <= n)
    ++h;
  return h;
}

std::int64_t IrisDisc::Diagonal(std::int64_t width, std::int64_t height) {
  // floor(sqrt(s) + 1/2) in integers: with q = floor(sqrt(s)), sqrt(s) >= q + 1/2 exactly when
  // s > q * q + q.
  const std::int64_t s = width * width + height * height;
  const std::int64_t q = IntegerSqrt(s);
  return s > q * q + q ? q + 1 : q;
}

void IrisDisc::Draw(const TransitionFrame& f, std::int64_t r, const std::uint8_t* inside,
                    const std::uint8_t* outside) {
  const std::int64_t cx = f.width / 2;
  const std::int64_t cy = f.height / 2;
  const std::int64_t reach = r * r + r;
  std::int64_t dy = cy - f.height;
  // Threshold r*r + r - dy*dy, kept from row to row; h follows it up and down.
  std::int64_t threshold = reach - dy * dy;
  std::int64_t h = IntegerSqrt(threshold);
  for (std::int64_t y = 0; y < f.height; ++y, ++dy) {
    if (y > 0) {
      threshold -= 2 * (dy - 1) + 1;
      if (threshold < 0) {
        h = 0;
      } else {
        while ((h + 1) * (h + 1) <= threshold)
          ++h;
        while (h * h > threshold)
          --h;
      }
    }
    std::uint8_t* row = f.out + static_cast<std::size_t>(y) * f.stride;
    const std::size_t offset = static_cast<std::size_t>(y) * f.stride;
    std::int64_t left = cx - h;
    std::int64_t right = cx + h;
    if (right < 0 || left >= f.width || left >= right) {
      TransitionFrame::Copy(row, outside + offset, f.stride);
      continue;
    }
    left = std::max<std::int64_t>(left, 0);
    right = std::min<std::int64_t>(right, f.width - 1);
    const auto l = static_cast<std::size_t>(left) * 3;
    const auto rr = static_cast<std::size_t>(right + 1) * 3;
    TransitionFrame::Copy(row, outside + offset, l);
    TransitionFrame::Copy(row + l, inside + offset + l, rr - l);
    TransitionFrame::Copy(row + rr, outside + offset + rr, f.PixelBytes() - rr);
  }
}

} // namespace rw
