#include "tests/output/MovieWriterTestSupport.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>

namespace rw::test {

DIB MovingPicture(int width, int height, int n) {
  DIB picture;
  picture.Create(width, height);
  picture.Clear();
  const int bx = (n * 7) % std::max(1, width - width / 4);
  const int by = (n * 5) % std::max(1, height - height / 4);
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = picture.Bits() + static_cast<std::ptrdiff_t>(y) * picture.Stride();
    for (int x = 0; x < width; ++x) {
      int b = 30 + x * 160 / width + n * 3;
      int g = 40 + y * 150 / height;
      int r = 200 - (x + y) * 100 / (width + height) + n;
      if (x >= bx && x < bx + width / 4 && y >= by && y < by + height / 4) {
        b = 230 - n;
        g = 60 + n * 2;
        r = 40;
      }
      if ((x + y + n) % 17 == 0) {
        b /= 2;
        g /= 2;
      }
      row[3 * x] = static_cast<std::uint8_t>(b & 255);
      row[3 * x + 1] = static_cast<std::uint8_t>(g & 255);
      row[3 * x + 2] = static_cast<std::uint8_t>(r & 255);
    }
  }
  return picture;
}

double MeanDifference(const DIB& a, const DIB& b) {
  if (!a.IsPresent() || !b.IsPresent() || a.Width() != b.Width() || a.Height() != b.Height())
    return -1;
  std::int64_t sum = 0;
  for (int y = 0; y < a.Height(); ++y) {
    const std::uint8_t* ra = a.Bits() + static_cast<std::ptrdiff_t>(y) * a.Stride();
    const std::uint8_t* rb = b.Bits() + static_cast<std::ptrdiff_t>(y) * b.Stride();
    for (int x = 0; x < a.Width() * 3; ++x)
      sum += std::abs(ra[x] - rb[x]);
  }
  return static_cast<double>(sum) / (3.0 * a.Width() * a.Height());
}

std::size_t Closest(const DIB& picture, const std::vector<DIB>& candidates) {
  std::size_t best = 0;
  double bestDifference = std::numeric_limits<double>::max();
  for (std::size_t i = 0; i < candidates.size(); ++i) {
    const double d = MeanDifference(picture, candidates[i]);
    if (d >= 0 && d < bestDifference) {
      bestDifference = d;
      best = i;
    }
  }
  return best;
}

bool SamePixels(const DIB& a, const DIB& b) {
  if (!a.IsPresent() || !b.IsPresent() || a.Width() != b.Width() || a.Height() != b.Height())
    return false;
  for (int y = 0; y < a.Height(); ++y)
    if (std::memcmp(a.Bits() + static_cast<std::ptrdiff_t>(y) * a.Stride(),
                    b.Bits() + static_cast<std::ptrdiff_t>(y) * b.Stride(),
                    static_cast<std::size_t>(a.Width()) * 3))
      return false;
  return true;
}

namespace {

std::uint32_t Le32(std::span<const std::uint8_t> f, std::size_t at) {
  return static_cast<std::uint32_t>(f[at]) | static_cast<std::uint32_t>(f[at + 1]) << 8 |
         static_cast<std::uint32_t>(f[at + 2]) << 16 | static_cast<std::uint32_t>(f[at + 3]) << 24;
}

bool Is(std::span<const std::uint8_t> f, std::size_t at, const char* tag) {
  return at + 4 <= f.size() && std::memcmp(f.data() + at, tag, 4) == 0;
}

// Walks the chunks between `begin` and `end`; calls `visit(id, dataOffset, size)` for each and
// descends into LIST chunks.
template <class Visit>
void Walk(std::span<const std::uint8_t> f, std::size_t begin, std::size_t end, Visit&& visit) {
  std::size_t at = begin;
  while (at + 8 <= end) {
    const std::size_t size = Le32(f, at + 4);
    const std::size_t data = at + 8;
    if (data + size > f.size())
      return;
    if (Is(f, at, "LIST"))
      Walk(f, data + 4, data + size, visit);
    else
      visit(at, data, size);
    at = data + size + (size & 1);
  }
}

} // namespace

std::vector<IndexEntry> ReadIndex(std::span<const std::uint8_t> f) {
  std::vector<IndexEntry> entries;
  if (f.size() < 12 || !Is(f, 0, "RIFF"))
    return entries;
  Walk(f, 12, f.size(), [&](std::size_t id, std::size_t data, std::size_t size) {
    if (!Is(f, id, "idx1"))
      return;
    for (std::size_t e = data; e + 16 <= data + size; e += 16)
      entries.push_back(IndexEntry{std::string(reinterpret_cast<const char*>(f.data() + e), 4),
                                   Le32(f, e + 4), Le32(f, e + 12)});
  });
  return entries;
}

std::vector<IndexEntry> StreamEntries(const std::vector<IndexEntry>& index, int stream) {
  const std::string prefix =
      std::string(1, static_cast<char>('0' + stream / 10)) + static_cast<char>('0' + stream % 10);
  std::vector<IndexEntry> out;
  for (const IndexEntry& e : index)
    if (e.chunk.compare(0, 2, prefix) == 0)
      out.push_back(e);
  return out;
}

bool ReadStreamHeader(std::span<const std::uint8_t> f, int stream, std::uint32_t& length,
                      std::uint32_t& handler) {
  int seen = 0;
  bool found = false;
  if (f.size() < 12 || !Is(f, 0, "RIFF"))
    return false;
  Walk(f, 12, f.size(), [&](std::size_t id, std::size_t data, std::size_t size) {
    if (found || !Is(f, id, "strh") || size < 36)
      return;
    if (seen++ == stream) {
      handler = Le32(f, data + 4);
      length = Le32(f, data + 32);
      found = true;
    }
  });
  return found;
}

// ReadFileBytes is the one of tests/support/TestAvi.cpp (same declaration), so that tests
// linking both helpers have one definition.

bool FailingSink::Write(const std::uint8_t* data, std::size_t size) {
  if (stored_ + size > limit_) {
    ++failures_;
    return false;
  }
  stored_ += size;
  return MemoryMovieSink::Write(data, size);
}

} // namespace rw::test
