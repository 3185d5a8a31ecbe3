#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace rw::test {

// A picture in memory: rows from the top, each pixel 0xRRGGBB.
struct TestPicture {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::vector<std::uint32_t> rgb;

  std::uint32_t At(std::int32_t x, std::int32_t y) const {
    return rgb[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
  }
  // Every pixel a different colour, so that any flip or shift shows.
  static TestPicture Pattern(std::int32_t w, std::int32_t h);
  // Colours whose channels are only 0 or 255 (exact in 16-bit formats), still asymmetric.
  static TestPicture Primaries(std::int32_t w, std::int32_t h);
  // At most `colours` distinct colours (palette index (x + 2y) mod colours).
  static TestPicture Indexed(std::int32_t w, std::int32_t h, std::int32_t colours);
  // The same grey level in all three channels.
  static TestPicture Grey(std::int32_t w, std::int32_t h);
};

// Windows Bitmap files written byte by byte.
enum class BmpVariant {
  Bgr24, // 24-bit, bottom-up
  Bgr24TopDown,
  Bgrx32, // 32-bit BI_RGB
  Rgb555, // 16-bit BI_RGB
  Rgb565, // 16-bit BI_BITFIELDS
  Pal8,
  Pal4,
  Pal1,
  Rle8,
  Rle4,
  Os2Bgr24, // 12-byte OS/2 header
};
std::vector<std::uint8_t> BmpBytes(const TestPicture& picture, BmpVariant variant);

// Truevision Targa files written byte by byte.
enum class TgaOrigin { BottomLeft, TopLeft, BottomRight, TopRight };
enum class TgaVariant { Bgr24, Bgra32, Rgb555, Rle24, Grey8, Mapped8, RleMapped8 };
std::vector<std::uint8_t> TgaBytes(const TestPicture& picture, TgaVariant variant,
                                   TgaOrigin origin = TgaOrigin::BottomLeft);

// Files made by libavcodec's own encoders ("bmp", "targa") from a 24-bit picture.
std::vector<std::uint8_t> EncodeWithLibavcodec(const TestPicture& picture, bool targa);

void WriteBytes(const std::filesystem::path& file, const std::vector<std::uint8_t>& bytes);

} // namespace rw::test
