#include "media/AviStreamHeaders.h"

namespace rw {
namespace {

AviStreamHeader ParseStrh(std::span<const std::uint8_t> c) {
  AviStreamHeader h;
  h.fccType = U32Le(c.data());
  h.fccHandler = U32Le(c.data() + 4);
  h.flags = U32Le(c.data() + 8);
  h.initialFrames = U32Le(c.data() + 16);
  h.scale = U32Le(c.data() + 20);
  h.rate = U32Le(c.data() + 24);
  h.start = U32Le(c.data() + 28);
  h.length = U32Le(c.data() + 32);
  h.sampleSize = U32Le(c.data() + 44);
  if (c.size() >= 56) {
    h.left = S16Le(c.data() + 48);
    h.top = S16Le(c.data() + 50);
    h.right = S16Le(c.data() + 52);
    h.bottom = S16Le(c.data() + 54);
  }
  return h;
}

// Walks the chunks of `body`; lists named in the walk are entered, "movi" ends everything.
// Answers false when the walk must stop.
bool Walk(std::span<const std::uint8_t> body, int depth, std::vector<AviStreamHeader>& out) {
  bool strhSeen = false;
  std::size_t at = 0;
  while (body.size() - at >= 8) {
    const std::uint32_t id = U32Le(body.data() + at);
    const std::uint64_t size = U32Le(body.data() + at + 4);
    const std::size_t dataAt = at + 8;
    const std::size_t avail = body.size() - dataAt;
    const std::size_t len = size < avail ? static_cast<std::size_t>(size) : avail;
    const std::span<const std::uint8_t> data = body.subspan(dataAt, len);
    if (id == FourCC('L', 'I', 'S', 'T')) {
      if (len < 4)
        return false;
      const std::uint32_t type = U32Le(data.data());
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
  if (fileStart.size() < 12 || U32Le(fileStart.data()) != FourCC('R', 'I', 'F', 'F') ||
      U32Le(fileStart.data() + 8) != FourCC('A', 'V', 'I', ' '))
    return out;
  Walk(fileStart.subspan(12), 0, out);
  return out;
}

} // namespace rw
