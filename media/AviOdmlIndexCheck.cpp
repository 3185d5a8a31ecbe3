#include "media/AviOdmlIndexCheck.h"

#include "base/LittleEndian.h"
#include "media/AviFile.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace rw {
namespace {

constexpr std::uint64_t kIndexHeader = 24; // bytes in front of the entries of every index
constexpr std::uint8_t kIndexOfIndexes = 0;
constexpr std::uint8_t kIndexOfChunks = 1;

std::uint64_t U64Le(const std::uint8_t* p) {
  return static_cast<std::uint64_t>(U32Le(p)) | static_cast<std::uint64_t>(U32Le(p + 4)) << 32;
}

// Reads small pieces of the file through a window, so that a walk over many small chunks does
// not make a system call for each.
class WindowReader {
public:
  explicit WindowReader(const AviFile& file) : file_(file), window_(kWindow) {}

  bool Read(std::int64_t pos, std::uint8_t* dest, std::size_t n) {
    const std::int64_t size = file_.Size();
    if (pos < 0 || n > kWindow || pos > size || static_cast<std::int64_t>(n) > size - pos)
      return false;
    if (pos < start_ || pos + static_cast<std::int64_t>(n) > start_ + static_cast<std::int64_t>(filled_)) {
      start_ = pos;
      filled_ = static_cast<std::size_t>(std::min<std::int64_t>(kWindow, size - pos));
      if (!file_.ReadAt(pos, window_.data(), filled_)) {
        filled_ = 0;
        return false;
      }
    }
    std::memcpy(dest, window_.data() + (pos - start_), n);
    return true;
  }

private:
  static constexpr std::size_t kWindow = std::size_t{1} << 16;
  const AviFile& file_;
  std::vector<std::uint8_t> window_;
  std::int64_t start_ = 0;
  std::size_t filled_ = 0;
};

// The header fields shared by both kinds of index.
struct IndexHeader {
  std::uint16_t longsPerEntry;
  std::uint8_t subType;
  std::uint8_t type;
  std::uint32_t count;

  explicit IndexHeader(const std::uint8_t* p)
      : longsPerEntry(U16Le(p)), subType(p[2]), type(p[3]), count(U32Le(p + 4)) {}
};

// The end of the standard index chunk at `pos` when it is sound, else -1.
std::int64_t StandardIndexEnd(const AviFile& file, std::uint64_t pos) {
  std::uint8_t b[8 + kIndexHeader];
  const auto size = static_cast<std::uint64_t>(file.Size());
  if (pos > size || sizeof b > size - pos || !file.ReadAt(static_cast<std::int64_t>(pos), b, sizeof b))
    return -1;
  const std::uint64_t chunk = U32Le(b + 4);
  const IndexHeader h(b + 8);
  if (h.longsPerEntry != 2 || h.subType != 0 || h.type != kIndexOfChunks ||
      kIndexHeader + std::uint64_t{h.count} * 8 > chunk || chunk > size - pos - 8)
    return -1;
  return static_cast<std::int64_t>(pos + 8 + chunk);
}

// The "indx" chunk whose data (`size` bytes) begins at `data`.
bool IndexChunkIsSound(const AviFile& file, WindowReader& in, std::int64_t data, std::uint64_t size) {
  std::uint8_t b[kIndexHeader];
  if (size < kIndexHeader || size > static_cast<std::uint64_t>(file.Size() - data) ||
      !in.Read(data, b, sizeof b))
    return false;
  const IndexHeader h(b);
  if (h.subType != 0)
    return false;
  if (h.type == kIndexOfChunks)
    return h.longsPerEntry == 2 && kIndexHeader + std::uint64_t{h.count} * 8 <= size;
  if (h.type != kIndexOfIndexes || kIndexHeader + std::uint64_t{h.count} * 16 > size)
    return false;
  std::int64_t next = 0; // where the standard index before ends
  for (std::uint32_t i = 0; i < h.count; ++i) {
    std::uint8_t e[16];
    if (!in.Read(data + static_cast<std::int64_t>(kIndexHeader + std::uint64_t{i} * 16), e, sizeof e))
      return false;
    const std::uint64_t offset = U64Le(e);
    if (offset < static_cast<std::uint64_t>(next))
      return false;
    next = StandardIndexEnd(file, offset);
    if (next < 0)
      return false;
  }
  return true;
}

} // namespace

bool AviOdmlIndexCheck::IsSound(const AviFile& file) {
  // The chunks in front of the "movi" list, walked as libavformat walks them: every list entered.
  WindowReader in(file);
  const std::int64_t size = file.Size();
  std::int64_t pos = 12;
  std::uint8_t b[12];
  while (pos <= size - 8) {
    if (!in.Read(pos, b, 8))
      return true;
    const std::uint32_t id = U32Le(b);
    const std::uint64_t chunk = U32Le(b + 4);
    if (id == FourCC('L', 'I', 'S', 'T')) {
      if (chunk < 4 || !in.Read(pos + 8, b + 8, 4) || U32Le(b + 8) == FourCC('m', 'o', 'v', 'i'))
        return true;
      pos += 12;
      continue;
    }
    if (id == FourCC('i', 'n', 'd', 'x') && !IndexChunkIsSound(file, in, pos + 8, chunk))
      return false;
    pos += 8 + static_cast<std::int64_t>(chunk + (chunk & 1));
  }
  return true;
}

} // namespace rw
