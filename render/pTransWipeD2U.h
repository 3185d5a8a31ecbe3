#pragma once

#include "render/VideoTransition.h"

#include <string_view>

namespace rw {

// Wipe from bottom to top: the incoming picture grows from the bottom edge (the first memory
// rows) upwards; whole rows, padding included, come from one picture or the other.
class pTransWipeD2U : public pVideoTransition {
public:
  static constexpr std::string_view kKeyword = "WipeD2U";
  static constexpr std::string_view kDisplayName = "ワイプ 下→上";

  bool IsValid() const override { return true; }
  pVideoTransition* Clone() const override { return new pTransWipeD2U(*this); }
  bool Render(const BitmapInfoHeader* header, std::uint8_t* out, const std::uint8_t* outgoing,
              const std::uint8_t* incoming, std::int32_t index) const override;
  std::string_view Keyword() const override { return kKeyword; }
  std::string_view DisplayName() const override { return kDisplayName; }
};

} // namespace rw
