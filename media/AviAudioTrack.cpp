#include "media/AviAudioTrack.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace rw {
namespace {
constexpr std::int64_t kConvertBytes = std::int64_t{1} << 20;
}

void AviAudioTrack::Clear() {
  source_ = PcmFormat{};
  rate_ = 0;
  chunks_.clear();
  totalBytes_ = 0;
}

void AviAudioTrack::SetFormat(const PcmFormat& source, std::int32_t rate) {
  source_ = source;
  rate_ = rate;
}

void AviAudioTrack::AddChunk(const AviSampleRef& ref) {
  if (ref.size == 0)
    return;
  chunks_.push_back({ref, totalBytes_});
  totalBytes_ += ref.size;
}

std::int32_t AviAudioTrack::Length() const {
  if (!IsPresent())
    return 0;
  return static_cast<std::int32_t>(
      std::min<std::int64_t>(totalBytes_ / source_.BlockSize(), std::numeric_limits<std::int32_t>::max()));
}

bool AviAudioTrack::ReadBytes(const AviFile& file, std::int64_t from, std::int64_t size,
                              std::uint8_t* dest) const {
  auto it = std::upper_bound(chunks_.begin(), chunks_.end(), from,
                             [](std::int64_t b, const Chunk& c) { return b < c.firstByte; });
  if (it == chunks_.begin())
    return false;
  --it;
  while (size > 0 && it != chunks_.end()) {
    const auto offset = static_cast<std::uint32_t>(from - it->firstByte);
    const std::int64_t n = std::min<std::int64_t>(size, it->ref.size - offset);
    if (!file.ReadSamplePart(it->ref, offset, dest, static_cast<std::size_t>(n)))
      return false;
    dest += n;
    from += n;
    size -= n;
    ++it;
  }
  return size == 0;
}

bool AviAudioTrack::Read(const AviFile& file, void* dest, std::int32_t first, std::int32_t count) const {
  const std::int32_t length = Length();
  if (!IsPresent() || first < 0 || count < 0 || first >= length)
    return false;
  const std::int32_t n = std::min(count, length - first);
  const std::int64_t block = source_.BlockSize();
  auto* out = static_cast<std::uint8_t*>(dest);
  if (source_.IsDelivered()) {
    if (!ReadBytes(file, first * block, n * block, out))
      return false;
  } else {
    // Converted a piece at a time: the buffer stays small whatever the file's channel count.
    const auto piece =
        static_cast<std::int32_t>(std::clamp<std::int64_t>(kConvertBytes / block, 1, std::max(n, 1)));
    std::vector<std::uint8_t> raw(static_cast<std::size_t>(piece * block));
    for (std::int32_t done = 0; done < n;) {
      const std::int32_t m = std::min(piece, n - done);
      if (!ReadBytes(file, (first + done) * block, m * block, raw.data()))
        return false;
      source_.ToDelivered(raw.data(), m, out + static_cast<std::size_t>(done) * BlockAlign());
      done += m;
    }
  }
  // Past the end of the stream: silence.
  const std::size_t done = static_cast<std::size_t>(n) * static_cast<std::size_t>(BlockAlign());
  const std::size_t rest = static_cast<std::size_t>(count - n) * static_cast<std::size_t>(BlockAlign());
  std::memset(out + done, Bits() == 8 ? 0x80 : 0, rest);
  return true;
}

} // namespace rw
