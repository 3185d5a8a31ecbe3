#include "tests/media/AviOdmlTestFile.h"

#include <algorithm>
#include <cstddef>

namespace rw::test {
namespace {

// Little-endian bytes with chunks whose sizes are filled in when they close.
class RiffBytes {
public:
  std::size_t Pos() const { return b_.size(); }
  void U8(std::uint8_t v) { b_.push_back(v); }
  void U16(std::uint16_t v) {
    U8(static_cast<std::uint8_t>(v));
    U8(static_cast<std::uint8_t>(v >> 8));
  }
  void U32(std::uint32_t v) {
    U16(static_cast<std::uint16_t>(v));
    U16(static_cast<std::uint16_t>(v >> 16));
  }
  void U64(std::uint64_t v) {
    U32(static_cast<std::uint32_t>(v));
    U32(static_cast<std::uint32_t>(v >> 32));
  }
  void Tag(const char* t) { b_.insert(b_.end(), t, t + 4); }
  void Fill(std::size_t n, std::uint8_t v) { b_.insert(b_.end(), n, v); }
  // Starts a chunk; answers where it begins.
  std::size_t Open(const char* id) {
    const std::size_t at = Pos();
    Tag(id);
    U32(0);
    return at;
  }
  void Close(std::size_t at) {
    Set32(at + 4, static_cast<std::uint32_t>(Pos() - at - 8));
    if (Pos() & 1)
      U8(0);
  }
  void Set32(std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
      b_[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
  }
  void Set64(std::size_t at, std::uint64_t v) {
    Set32(at, static_cast<std::uint32_t>(v));
    Set32(at + 4, static_cast<std::uint32_t>(v >> 32));
  }
  std::vector<std::uint8_t> Take() { return std::move(b_); }

private:
  std::vector<std::uint8_t> b_;
};

} // namespace

std::vector<std::uint8_t> MakeOdmlAvi(const OdmlAviOptions& o) {
  const auto w = static_cast<std::uint32_t>(o.width);
  const auto h = static_cast<std::uint32_t>(o.height);
  const std::uint32_t frameBytes = ((w * 3 + 3) & ~3u) * h;
  const int first = std::clamp(o.firstPartFrames, 1, o.frames);
  RiffBytes b;

  const std::size_t riff = b.Open("RIFF");
  b.Tag("AVI ");
  const std::size_t hdrl = b.Open("LIST");
  b.Tag("hdrl");
  const std::size_t avih = b.Open("avih");
  for (const std::uint32_t v : {33333u, frameBytes * 30, 0u, o.legacyIndex ? 0x10u : 0u,
                                static_cast<std::uint32_t>(first), 0u, 1u, frameBytes, w, h, 0u, 0u, 0u, 0u})
    b.U32(v);
  b.Close(avih);
  const std::size_t strl = b.Open("LIST");
  b.Tag("strl");
  const std::size_t strh = b.Open("strh");
  b.Tag("vids");
  for (const std::uint32_t v :
       {0u, 0u, 0u, 0u, 1u, 30u, 0u, static_cast<std::uint32_t>(o.frames), frameBytes, 0xFFFFFFFFu, 0u})
    b.U32(v);
  for (const std::uint16_t v :
       {std::uint16_t{0}, std::uint16_t{0}, static_cast<std::uint16_t>(w), static_cast<std::uint16_t>(h)})
    b.U16(v);
  b.Close(strh);
  const std::size_t strf = b.Open("strf");
  b.U32(40);
  b.U32(w);
  b.U32(h);
  b.U16(1);
  b.U16(24);
  for (const std::uint32_t v : {0u, frameBytes, 0u, 0u, 0u, 0u})
    b.U32(v);
  b.Close(strf);
  const std::size_t indx = b.Open("indx");
  b.U16(4); // longs per entry
  b.U8(0);  // sub type
  b.U8(0);  // an index of indexes
  const std::size_t superCountAt = b.Pos();
  b.U32(0);
  b.Tag("00db");
  b.Fill(12, 0);
  const std::size_t superEntries = b.Pos();
  b.Fill(16 * static_cast<std::size_t>(o.superSlots), 0);
  b.Close(indx);
  b.Close(strl);
  const std::size_t odml = b.Open("LIST");
  b.Tag("odml");
  const std::size_t dmlh = b.Open("dmlh");
  b.U32(static_cast<std::uint32_t>(o.frames));
  b.Fill(244, 0);
  b.Close(dmlh);
  b.Close(odml);
  b.Close(hdrl);

  std::uint32_t parts = 0;
  std::size_t firstStandard = 0;
  for (int from = 0; from < o.frames; ++parts) {
    const int to = parts == 0 ? first : o.frames;
    std::size_t part = riff;
    if (parts > 0) {
      part = b.Open("RIFF");
      b.Tag("AVIX");
    }
    const std::size_t movi = b.Open("LIST");
    b.Tag("movi");
    std::vector<std::size_t> chunks;
    for (int n = from; n < to; ++n) {
      chunks.push_back(b.Pos());
      const std::size_t c = b.Open("00db");
      b.Fill(frameBytes, OdmlPictureByte(n));
      b.Close(c);
    }
    const std::size_t ix = b.Open("ix00");
    b.U16(2); // longs per entry
    b.U8(0);
    b.U8(1); // an index of chunks
    b.U32(static_cast<std::uint32_t>(chunks.size()));
    b.Tag("00db");
    b.U64(movi);
    b.U32(0);
    for (const std::size_t c : chunks) {
      b.U32(static_cast<std::uint32_t>(c + 8 - movi));
      b.U32(frameBytes);
    }
    b.Close(ix);
    const std::size_t ixBytes = b.Pos() - ix;
    b.Close(movi);
    if (parts == 0) {
      firstStandard = ix;
      if (o.legacyIndex) {
        const std::size_t idx1 = b.Open("idx1");
        for (const std::size_t c : chunks) {
          b.Tag("00db");
          b.U32(0x10);
          b.U32(static_cast<std::uint32_t>(c - movi - 8));
          b.U32(frameBytes);
        }
        b.Close(idx1);
      }
    }
    b.Close(part);
    if (static_cast<int>(parts) < o.superSlots) {
      const std::size_t entry = superEntries + 16 * parts;
      b.Set64(entry, ix);
      b.Set32(entry + 8, static_cast<std::uint32_t>(ixBytes));
      b.Set32(entry + 12, static_cast<std::uint32_t>(to - from));
    }
    from = to;
  }
  b.Set32(superCountAt,
          o.superCount ? o.superCount : std::min(parts, static_cast<std::uint32_t>(o.superSlots)));
  if (o.standardCount)
    b.Set32(firstStandard + 12, o.standardCount);
  if (o.standardOffset)
    b.Set64(superEntries, o.standardOffset);
  return b.Take();
}

} // namespace rw::test
