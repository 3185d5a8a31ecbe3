#include "output/StreamParameters.h"

#include <cstring>

namespace rw {

bool StreamParameters::IsBottomUpMark(const AVCodecParameters& p) {
  return p.extradata && p.extradata_size >= 8 && std::memcmp(p.extradata, "BottomUp", 8) == 0;
}

bool StreamParameters::SameExtradata(const AVCodecParameters& a, const AVCodecParameters& b) {
  const int as = a.extradata ? a.extradata_size : 0;
  const int bs = b.extradata ? b.extradata_size : 0;
  return as == bs && (as == 0 || std::memcmp(a.extradata, b.extradata, static_cast<std::size_t>(as)) == 0);
}

} // namespace rw
