#pragma once

#include <cstdint>

namespace rw {

// Names one audio clip of a clip list: the entry and the slot in its audio set; slot -1 is the
// cut's own sound.
struct AudioRef {
  std::int32_t entry = -1;
  std::int32_t slot = -1;

  friend bool operator==(const AudioRef&, const AudioRef&) = default;
};

} // namespace rw
