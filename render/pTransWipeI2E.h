#pragma once

#include "render/VideoTransition.h"

#include <string_view>

namespace rw {

// Iris opening from the centre: the incoming picture inside a growing disc, the outgoing one
// outside it.
class pTransWipeI2E : public pVideoTransition {
public:
  static constexpr std::string_view kKeyword = "WipeI2E";
  static constexpr std::string_view kDisplayName = "アイリス 中→外";

  bool IsValid() const override { return true; }
  pVideoTransition* Clone() const override { return new pTransWipeI2E(*this); }
  bool Render(const BitmapInfoHeader* header, std::uint8_t* out, const std::uint8_t* outgoing,
              const std::uint8_t* incoming, std::int32_t index) const override;
  std::string_view Keyword() const override { return kKeyword; }
  std::string_view DisplayName() const override { return kDisplayName; }
};

} // namespace rw
