#pragma once

#include "output/MemoryMovieSink.h"
#include "render/DIB.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace rw::test {

// A picture with smooth gradients, a moving block and a thin diagonal, different for every n.
DIB MovingPicture(int width, int height, int n);

// Mean absolute difference per colour byte; -1 when the sizes differ.
double MeanDifference(const DIB& a, const DIB& b);
// The index of the picture in `candidates` closest to `picture`.
std::size_t Closest(const DIB& picture, const std::vector<DIB>& candidates);
// Pixel bytes equal (row padding ignored).
bool SamePixels(const DIB& a, const DIB& b);

// One entry of an AVI file's idx1 index.
struct IndexEntry {
  std::string chunk; // "00dc", "01wb", …
  std::uint32_t flags = 0;
  std::uint32_t size = 0;
  bool Key() const { return (flags & 0x10) != 0; }
};
// All idx1 entries in file order; empty when there is no idx1 chunk.
std::vector<IndexEntry> ReadIndex(std::span<const std::uint8_t> file);
// The entries whose chunk names stream `stream` ("00", "01").
std::vector<IndexEntry> StreamEntries(const std::vector<IndexEntry>& index, int stream);
// dwLength of the stream header of stream `stream` and its fccHandler; false when missing.
bool ReadStreamHeader(std::span<const std::uint8_t> file, int stream, std::uint32_t& length,
                      std::uint32_t& handler);

std::vector<std::uint8_t> ReadFileBytes(const std::filesystem::path& file);

// A memory sink whose writes fail once `limit` bytes have been stored.
class FailingSink : public MemoryMovieSink {
public:
  explicit FailingSink(std::size_t limit) : limit_(limit) {}
  bool Write(const std::uint8_t* data, std::size_t size) override;
  std::string ErrorText() const override { return "injected failure"; }
  std::size_t Failures() const { return failures_; }

private:
  std::size_t limit_;
  std::size_t stored_ = 0;
  std::size_t failures_ = 0;
};

} // namespace rw::test
