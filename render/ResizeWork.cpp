#include "render/ResizeWork.h"

namespace rw {

ResizeWork::ResizeWork(std::int32_t dstWidth, std::int32_t dstHeight, std::int32_t srcWidth,
                       std::int32_t srcHeight)
    : dstWidth_(dstWidth), dstHeight_(dstHeight), srcWidth_(srcWidth), srcHeight_(srcHeight) {}

bool ResizeWork::Run(const std::uint8_t*, std::uint8_t*) {
  return false;
}

} // namespace rw
