#pragma once

#include "render/VideoTransition.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace rw {

// Cross-fade: every byte of the picture, row padding included, moves from the outgoing towards
// the incoming value by the step's weight in 16.16 fixed point, rounded toward the outgoing value.
class pTransOverlap : public pVideoTransition {
public:
  static constexpr std::string_view kKeyword = "Overlap";
  static constexpr std::string_view kDisplayName = "オーバーラップ";

  bool IsValid() const override { return true; }
  pVideoTransition* Clone() const override { return new pTransOverlap(*this); }
  bool Render(const BitmapInfoHeader* header, std::uint8_t* out, const std::uint8_t* outgoing,
              const std::uint8_t* incoming, std::int32_t index) const override;
  std::string_view Keyword() const override { return kKeyword; }
  std::string_view DisplayName() const override { return kDisplayName; }

  // The byte rule over n bytes with weight 0..65535; `wide` picks the 32-byte vector path,
  // which needs UseWideVectors(). Both paths give the same bytes.
  static void BlendBytes(std::uint8_t* out, const std::uint8_t* a, const std::uint8_t* b, std::size_t n,
                         std::uint32_t weight, bool wide);
  static bool UseWideVectors();
};

} // namespace rw
