#include "render/pTransWipeD2U.h"

#include "render/TransitionFrame.h"

namespace rw {

bool pTransWipeD2U::Render(const BitmapInfoHeader* header, std::uint8_t* out, const std::uint8_t* outgoing,
                           const std::uint8_t* incoming, std::int32_t index) const {
  TransitionFrame f;
  const auto step = TransitionFrame::Prepare(header, out, outgoing, incoming, index, length_, f);
  if (step != TransitionFrame::Step::kDraw)
    return step == TransitionFrame::Step::kDone;
  // Memory rows run bottom-up: the incoming picture takes the first rows (the bottom).
  const std::size_t split = static_cast<std::size_t>(f.height * (f.index + 1) / (f.length + 1)) * f.stride;
  TransitionFrame::Copy(f.out, f.incoming, split);
  TransitionFrame::Copy(f.out + split, f.outgoing + split, f.bytes - split);
  return true;
}

} // namespace rw
