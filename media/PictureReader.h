#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace rw {

class MessageText;

// Reads a Windows Bitmap, Truevision Targa, PNG or JPEG picture and hands out its rows from
// the top of the picture downwards, one 32-bit word per pixel: blue in bits 8-15, red in bits
// 16-23, green in bits 24-31, bits 0-7 unused. Calling order: Open, Width and Height, NextRow
// once per row, Close.
//
// Every variant that libavcodec's bmp, targa, png and mjpeg decoders read is accepted (palettes,
// RLE, 1 to 32 bits per pixel and either row order in BMP and Targa; 1 to 16 bits per sample,
// grey, palette and alpha in PNG; baseline and progressive JPEG). A PNG, JPEG or BMP signature
// decides the decoder; Targa files have none, so the extension decides which decoder is tried
// first, then the first that decodes wins. PNG alpha is composited over black (BMP and Targa
// alpha is ignored); an EXIF orientation is applied, so Width and Height are those of the picture
// as it is meant to be seen. Pictures wider or taller than kMaxSide, or needing more than
// kMaxDecodedBytes decoded (at least 4 bytes a pixel), are refused before decoding.
class PictureReader {
public:
  static constexpr std::int32_t kMaxSide = 16384;
  static constexpr std::uint64_t kMaxDecodedBytes = 256ull << 20;
  // Files larger than this cannot hold a picture within the limits above.
  static constexpr std::uint64_t kMaxFileBytes = 512ull << 20;

  PictureReader() = default;
  PictureReader(const PictureReader&) = delete;
  PictureReader& operator=(const PictureReader&) = delete;

  // Decodes the whole picture. False, with a message naming the file, when it cannot.
  bool Open(const std::filesystem::path& file, MessageText& messages);
  // The same from bytes in memory; `name` stands for the file in messages and its extension
  // decides the decoder tried first.
  bool Open(std::span<const std::uint8_t> bytes, const std::filesystem::path& name, MessageText& messages);

  std::int32_t Width() const { return width_; }
  std::int32_t Height() const { return height_; }
  // Fills `row` (Width() words) with the next row; false when every row has been delivered.
  bool NextRow(std::uint32_t* row);
  void Close();

private:
  bool Decode(std::span<const std::uint8_t> bytes, const std::filesystem::path& name, MessageText& messages);

  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
  std::int32_t nextRow_ = 0;
  std::size_t stride_ = 0;
  std::vector<std::uint8_t> bgr_; // top-down, 3 bytes per pixel, rows stride_ bytes apart
};

} // namespace rw
