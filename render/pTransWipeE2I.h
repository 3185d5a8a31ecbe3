#pragma once

#include "render/VideoTransition.h"

#include <string_view>

namespace rw {

// Iris closing towards the centre: the outgoing picture inside a shrinking disc, the incoming
// one outside it.
class pTransWipeE2I : public pVideoTransition {
public:
  static constexpr std::string_view kKeyword = "WipeE2I";
  static constexpr std::string_view kDisplayName = "アイリス 外→中";

  bool IsValid() const override { return true; }
  pVideoTransition* Clone() const override { return new pTransWipeE2I(*this); }
  bool Render(const BitmapInfoHeader* header, std::uint8_t* out, const std::uint8_t* outgoing,
              const std::uint8_t* incoming, std::int32_t index) const override;
  std::string_view Keyword() const override { return kKeyword; }
  std::string_view DisplayName() const override { return kDisplayName; }
};

} // namespace rw
