#include "render/pTransWipeE2I.h"

#include "render/IrisDisc.h"

namespace rw {

bool pTransWipeE2I::Render(const BitmapInfoHeader* header, std::uint8_t* out, const std::uint8_t* outgoing,
                           const std::uint8_t* incoming, std::int32_t index) const {
  TransitionFrame f;
  const auto step = TransitionFrame::Prepare(header, out, outgoing, incoming, index, length_, f);
  if (step != TransitionFrame::Step::kDraw)
    return step == TransitionFrame::Step::kDone;
  const std::int64_t r = IrisDisc::Diagonal(f.width, f.height) / 2 * (f.length - f.index) / (f.length + 1);
  IrisDisc::Draw(f, r, f.outgoing, f.incoming);
  return true;
}

} // namespace rw
