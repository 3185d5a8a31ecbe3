#pragma once

#include "render/VideoTransition.h"

#include <string_view>

namespace rw {

// Wipe from top to bottom: the incoming picture grows from the top edge (the last memory rows)
// downwards; whole rows, padding included, come from one picture or the other.
class pTransWipeU2D : public pVideoTransition {
public:
  static constexpr std::string_view kKeyword = "WipeU2D";
  static constexpr std::string_view kDisplayName = "ワイプ 上→下";

  bool IsValid() const override { return true; }
  pVideoTransition* Clone() const override { return new pTransWipeU2D(*this); }
  bool Render(const BitmapInfoHeader* header, std::uint8_t* out, const std::uint8_t* outgoing,
              const std::uint8_t* incoming, std::int32_t index) const override;
  std::string_view Keyword() const override { return kKeyword; }
  std::string_view DisplayName() const override { return kDisplayName; }
};

} // namespace rw
