#pragma once

#include <cstdint>
#include <span>

namespace rw {

// What the first bytes of a picture file say: its format by signature, and the size that
// the header of a given format claims, read before anything is decoded.
class PictureHeader {
public:
  enum class Format { Bmp, Targa, Png, Jpeg };

  // The format whose signature the bytes begin with; false when none does (Targa has none).
  static bool Signature(std::span<const std::uint8_t> bytes, Format& format);

  // The size claimed by a header of `format` and the bytes one decoded pixel takes (at least
  // 4); false when the bytes do not hold such a header. A JPEG header may claim a height of 0
  // (the height follows the picture data).
  static bool Size(Format format, std::span<const std::uint8_t> bytes, std::int64_t& width,
                   std::int64_t& height, std::int32_t& pixelBytes);

private:
  static bool BmpSize(std::span<const std::uint8_t> b, std::int64_t& w, std::int64_t& h);
  static bool TgaSize(std::span<const std::uint8_t> b, std::int64_t& w, std::int64_t& h);
  static bool PngSize(std::span<const std::uint8_t> b, std::int64_t& w, std::int64_t& h,
                      std::int32_t& pixelBytes);
  static bool JpegSize(std::span<const std::uint8_t> b, std::int64_t& w, std::int64_t& h,
                       std::int32_t& pixelBytes);
};

} // namespace rw
