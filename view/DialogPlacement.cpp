#include "view/DialogPlacement.h"

namespace rw::view {

namespace {

// One axis of AroundPointer, in 64 bits so that no size or position near the limits overflows.
std::int32_t AroundOnAxis(std::int32_t size, std::int32_t pointer, std::int32_t screenStart,
                          std::int32_t screenSize) {
  std::int64_t start = std::int64_t{pointer} - size / 2;
  if (start < screenStart) {
    start = screenStart;
  }
  const std::int64_t screenEnd = std::int64_t{screenStart} + screenSize;
  if (start + size > screenEnd) {
    start = screenEnd - size;
  }
  return static_cast<std::int32_t>(start);
}

std::int32_t CentredOnAxis(std::int32_t size, std::int32_t screenStart, std::int32_t screenSize) {
  return static_cast<std::int32_t>(screenStart + (std::int64_t{screenSize} - size) / 2);
}

} // namespace

ScreenPoint DialogPlacement::AroundPointer(std::int32_t width, std::int32_t height, ScreenPoint pointer,
                                           const ScreenArea& screen) {
  return {AroundOnAxis(width, pointer.x, screen.x, screen.w),
          AroundOnAxis(height, pointer.y, screen.y, screen.h)};
}

ScreenPoint DialogPlacement::Centred(std::int32_t width, std::int32_t height, const ScreenArea& screen) {
  return {CentredOnAxis(width, screen.x, screen.w), CentredOnAxis(height, screen.y, screen.h)};
}

} // namespace rw::view
