#include "render/TransitionFrame.h"

#include <limits>

namespace rw {

TransitionFrame::Step TransitionFrame::Prepare(const BitmapInfoHeader* header, std::uint8_t* out,
                                               const std::uint8_t* outgoing, const std::uint8_t* incoming,
                                               std::int64_t index, std::int64_t length,
                                               TransitionFrame& frame) {
  if (!header || !out || !outgoing || !incoming)
    return Step::kRefused;
  if (header->biBitCount != 24 || header->biWidth <= 0 || header->biHeight <= 0)
    return Step::kRefused;
  const std::uint64_t stride = (static_cast<std::uint64_t>(header->biWidth) * 3 + 3) & ~std::uint64_t{3};
  const std::uint64_t bytes = stride * static_cast<std::uint64_t>(header->biHeight);
  if (bytes > std::numeric_limits<std::size_t>::max() / 2)
    return Step::kRefused;
  // A header that states a smaller image than its size needs does not describe the blocks.
  if (header->biSizeImage != 0 && header->biSizeImage < bytes)
    return Step::kRefused;

  frame.width = header->biWidth;
  frame.height = header->biHeight;
  frame.stride = static_cast<std::size_t>(stride);
  frame.bytes = static_cast<std::size_t>(bytes);
  frame.length = length;
  frame.index = index;
  frame.out = out;
  frame.outgoing = outgoing;
  frame.incoming = incoming;
  if (index < 0 || index >= length) {
    Copy(out, outgoing, frame.bytes);
    return Step::kDone;
  }
  return Step::kDraw;
}

} // namespace rw
