#include "media/PictureHeader.h"

#include "base/LittleEndian.h"

#include <algorithm>

namespace rw {
namespace {

constexpr std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

std::uint32_t U16Be(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) << 8 | p[1];
}

std::uint32_t U32Be(const std::uint8_t* p) {
  return U16Be(p) << 16 | U16Be(p + 2);
}

// Start-of-frame markers of every JPEG coding process (not DHT, JPG or DAC).
bool IsStartOfFrame(std::uint8_t marker) {
  return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

} // namespace

bool PictureHeader::Signature(std::span<const std::uint8_t> b, Format& format) {
  if (b.size() >= sizeof kPngSignature && std::equal(kPngSignature, kPngSignature + 8, b.begin()))
    format = Format::Png;
  else if (b.size() >= 3 && b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF)
    format = Format::Jpeg;
  else if (b.size() >= 2 && b[0] == 'B' && b[1] == 'M')
    format = Format::Bmp;
  else
    return false;
  return true;
}

bool PictureHeader::Size(Format format, std::span<const std::uint8_t> b, std::int64_t& w, std::int64_t& h,
                         std::int32_t& pixelBytes) {
  pixelBytes = 4;
  switch (format) {
  case Format::Bmp:
    return BmpSize(b, w, h);
  case Format::Targa:
    return TgaSize(b, w, h);
  case Format::Png:
    return PngSize(b, w, h, pixelBytes);
  case Format::Jpeg:
    return JpegSize(b, w, h, pixelBytes);
  }
  return false;
}

bool PictureHeader::BmpSize(std::span<const std::uint8_t> b, std::int64_t& w, std::int64_t& h) {
  if (b.size() < 26 || b[0] != 'B' || b[1] != 'M')
    return false;
  if (U32Le(b.data() + 14) == 12) { // OS/2 core header: 16-bit sizes
    w = U16Le(b.data() + 18);
    h = U16Le(b.data() + 20);
  } else {
    w = static_cast<std::int32_t>(U32Le(b.data() + 18));
    h = static_cast<std::int32_t>(U32Le(b.data() + 22));
  }
  h = h < 0 ? -h : h; // negative: rows stored top-down
  return true;
}

bool PictureHeader::TgaSize(std::span<const std::uint8_t> b, std::int64_t& w, std::int64_t& h) {
  if (b.size() < 18)
    return false;
  w = U16Le(b.data() + 12);
  h = U16Le(b.data() + 14);
  return true;
}

bool PictureHeader::PngSize(std::span<const std::uint8_t> b, std::int64_t& w, std::int64_t& h,
                            std::int32_t& pixelBytes) {
  // The signature, then the IHDR chunk: length, type, width, height, bit depth, colour type.
  if (b.size() < 26 || !std::equal(kPngSignature, kPngSignature + 8, b.begin()) || U32Be(b.data() + 8) < 13 ||
      !std::equal(b.begin() + 12, b.begin() + 16, "IHDR"))
    return false;
  w = U32Be(b.data() + 16);
  h = U32Be(b.data() + 20);
  const std::int32_t sampleBytes = b[24] == 16 ? 2 : 1;
  std::int32_t channels = 1; // grey, or palette indices
  switch (b[25]) {
  case 2:
    channels = 3;
    break;
  case 4:
    channels = 2;
    break;
  case 6:
    channels = 4;
    break;
  default:
    break;
  }
  pixelBytes = std::max(4, channels * sampleBytes);
  return true;
}

bool PictureHeader::JpegSize(std::span<const std::uint8_t> b, std::int64_t& w, std::int64_t& h,
                             std::int32_t& pixelBytes) {
  if (b.size() < 4 || b[0] != 0xFF || b[1] != 0xD8)
    return false;
  // Marker segments up to the frame header; every step moves forward, so the walk ends.
  std::size_t at = 2;
  while (at + 1 < b.size()) {
    if (b[at] != 0xFF)
      return false;
    while (at + 1 < b.size() && b[at + 1] == 0xFF) // fill bytes
      ++at;
    if (at + 1 >= b.size())
      return false;
    const std::uint8_t marker = b[at + 1];
    at += 2;
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) // segments without a length
      continue;
    if (marker == 0xD9 || marker == 0xDA || at + 2 > b.size()) // picture data before any frame header
      return false;
    const std::size_t length = U16Be(b.data() + at);
    if (length < 2 || at + length > b.size())
      return false;
    if (IsStartOfFrame(marker)) {
      if (length < 8)
        return false;
      h = U16Be(b.data() + at + 3);
      w = U16Be(b.data() + at + 5);
      pixelBytes = std::max<std::int32_t>(4, b[at + 7]);
      return true;
    }
    at += length;
  }
  return false;
}

} // namespace rw
