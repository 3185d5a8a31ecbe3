#include "view/VolumeScale.h"

#include <cmath>
#include <limits>

namespace rw::view {

std::int32_t VolumeScale::Decibels(std::int32_t gain) {
  if (gain <= 0)
    return kSilent;
  return static_cast<std::int32_t>(std::round(20.0 * std::log10(gain / 256.0)));
}

std::int32_t VolumeScale::Gain(std::int32_t decibels) {
  if (decibels <= kSilent)
    return 0;
  const double gain = std::pow(10.0, decibels * 0.05) * 256.0 + 0.5;
  return gain >= std::numeric_limits<std::int32_t>::max() ? std::numeric_limits<std::int32_t>::max()
                                                          : static_cast<std::int32_t>(gain);
}

std::string VolumeScale::Label(std::int32_t decibels) {
  if (decibels == kSilent)
    return "-∽dB";
  return std::to_string(decibels) + "dB";
}

} // namespace rw::view
