#include "render/pTransWipeL2R.h"

#include "render/TransitionFrame.h"

#include <cstring>

namespace rw {

bool pTransWipeL2R::Render(const BitmapInfoHeader* header, std::uint8_t* out, const std::uint8_t* outgoing,
                           const std::uint8_t* incoming, std::int32_t index) const {
  TransitionFrame f;
  const auto step = TransitionFrame::Prepare(header, out, outgoing, incoming, index, length_, f);
  if (step != TransitionFrame::Step::kDraw)
    return step == TransitionFrame::Step::kDone;
  const std::size_t split = static_cast<std::size_t>((f.index + 1) * f.width / (f.length + 1)) * 3;
  const std::size_t pixels = f.PixelBytes();
  for (std::int64_t y = 0; y < f.height; ++y) {
    std::uint8_t* row = f.OutRow(y);
    TransitionFrame::Copy(row, f.IncomingRow(y), split);
    TransitionFrame::Copy(row + split, f.OutgoingRow(y) + split, pixels - split);
    std::memset(row + pixels, 0, f.stride - pixels);
  }
  return true;
}

} // namespace rw
