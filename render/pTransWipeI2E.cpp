#include "render/pTransWipeI2E.h"

#include "render/IrisDisc.h"

namespace rw {

bool pTransWipeI2E::Render(const BitmapInfoHeader* header, std::uint8_t* out, const std::uint8_t* outgoing,
                           const std::uint8_t* incoming, std::int32_t index) const {
  TransitionFrame f;
  const auto step = TransitionFrame::Prepare(header, out, outgoing, incoming, index, length_, f);
  if (step != TransitionFrame::Step::kDraw)
    return step == TransitionFrame::Step::kDone;
  const std::int64_t r = IrisDisc::Diagonal(f.width, f.height) / 2 * (f.index + 1) / (f.length + 1);
  IrisDisc::Draw(f, r, f.incoming, f.outgoing);
  return true;
}

} // namespace rw
