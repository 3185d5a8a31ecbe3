#pragma once

#include "render/VideoTransition.h"

#include <string_view>

namespace rw {

// Wipe from left to right: the incoming picture enters at the left edge of every row; row
// padding is set to 0.
class pTransWipeL2R : public pVideoTransition {
public:
  static constexpr std::string_view kKeyword = "WipeL2R";
  static constexpr std::string_view kDisplayName = "ワイプ 左→右";

  bool IsValid() const override { return true; }
  pVideoTransition* Clone() const override { return new pTransWipeL2R(*this); }
  bool Render(const BitmapInfoHeader* header, std::uint8_t* out, const std::uint8_t* outgoing,
              const std::uint8_t* incoming, std::int32_t index) const override;
  std::string_view Keyword() const override { return kKeyword; }
  std::string_view DisplayName() const override { return kDisplayName; }
};

} // namespace rw
