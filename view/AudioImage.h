#pragma once

#include "render/DIB.h"

#include <cstdint>
#include <span>

namespace rw::view {

// The picture of one frame's mixed sound: on a grey field, one black column per slice of the
// samples from their highest to their lowest value (full scale is the signed 16-bit range), red
// where the mix goes beyond that range and so would clip.
class AudioImage {
public:
  static void Blank(DIB& image);
  // `samples`: one value per sample of the frame, unlimited (values beyond +-32767 occur).
  static void Draw(DIB& image, std::span<const std::int32_t> samples);
};

} // namespace rw::view
