#include "media/AviStreamHeaders.h"

namespace rw {
namespace {

std::uint32_t Le32(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
         static_cast<std::uint32_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

std::int16_t Le16(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::int16_t>(b[at] | b[at + 1] << 8);
}

AviStreamHeader ParseStrh(std::span<const std::uint8_t> c) {
  AviStreamHeader h;
  h.fccType = Le32(c, 0);
  h.fccHandler = Le32(c, 4);
  h.flags = Le32(c, 8);
  h.initialFrames = Le32(c, 16);
  h.scale = Le32(c, 20);
  h.rate = Le32(c, 24);
  h.start = Le32(c, 28);
  h.length = Le32(c, 32);
  h.sampleSize = Le32(c, 44);
  if (c.size() >= 56) {
    h.left = Le16(c, 48);
    h.top = Le16(c, 50);
    h.right = Le16(c, 52);
    h.bottom = Le16(c, 54);
  }
  return h;
}

// Walks the chunks of `body`; lists named in the walk are entered, "movi" ends everything.
// Answers false when the walk must stop.
bool Walk(std::span<const std::uint8_t> body, int depth, std::vector<AviStreamHeader>& out) {
  bool strhSeen = false;
  std::size_t at = 0;
  while (body.size() - at >= 8) {
    const std::uint32_t id = Le32(body, at);
    const std::uint64_t size = Le32(body, at + 4);
    const std::size_t dataAt = at + 8;
    const std::size_t avail = body.size() - dataAt;
    const std::size_t len = size < avail ? static_cast<std::size_t>(size) : avail;
    const std::span<const std::uint8_t> data = body.subspan(dataAt, len);
    if (id == FourCC('L', 'I', 'S', 'T')) {
      if (len < 4)
        return false;
      const std::uint32_t type = Le32(data, 0);
      if (type == FourCC('m', 'o', 'v', 'i'))
        return false;
      if (depth < 2 && (type == FourCC('h', 'd', 'r', 'l') || type == FourCC('s', 't', 'r', 'l')))
        if (!Walk(data.subspan(4), depth + 1, out))
          return false;
    } else if (id == FourCC('s', 't', 'r', 'h') && depth == 2 && !strhSeen && len >= 48) {
      out.push_back(ParseStrh(data));
      strhSeen = true;
    }
    if (size > avail)
      return false;
    at = dataAt + len + (len & 1);
    if (at > body.size())
      return false;
  }
  return true;
}

} // namespace

std::vector<AviStreamHeader> AviStreamHeaders::Read(std::span<const std::uint8_t> fileStart) {
  std::vector<AviStreamHeader> out;
  if (fileStart.size() < 12 || Le32(fileStart, 0) != FourCC('R', 'I', 'F', 'F') ||
      Le32(fileStart, 8) != FourCC('A', 'V', 'I', ' '))
    return out;
  Walk(fileStart.subspan(12), 0, out);
  return out;
}

} // namespace rw
