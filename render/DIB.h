#pragma once

#include "render/BitmapInfoHeader.h"

#include <cstdint>
#include <memory>

namespace rw {

// The one in-memory picture: 24 bits per pixel (blue, green, red), rows bottom-up, each row
// padded to a multiple of 4 bytes (stride = (width * 3 + 3) & ~3). Header and pixels are owned
// separately and are both null while the buffer is empty.
class DIB {
public:
  DIB() = default;
  DIB(const DIB& other) { *this = other; }
  DIB(DIB&&) noexcept = default;
  // Deep copy.
  DIB& operator=(const DIB& other);
  DIB& operator=(DIB&&) noexcept = default;
  ~DIB() = default;

  static constexpr std::int32_t StrideOf(std::int32_t width) { return (width * 3 + 3) & ~3; }

  // Largest width or height a buffer may have, and the largest pixel block.
  static constexpr std::int32_t kMaxDimension = 32768;
  static constexpr std::int64_t kMaxImageBytes = std::int64_t{1} << 30;
  // Width and height within 1..kMaxDimension and the pixel block within kMaxImageBytes.
  static bool IsValidSize(std::int32_t width, std::int32_t height);
  // A header the resamplers can read: 24 bits, uncompressed, bottom-up, a valid size.
  static bool IsReadable(const BitmapInfoHeader& header);

  // Allocates a width x height buffer (pixels uninitialised); any earlier blocks are freed.
  // False, leaving the buffer as it was, for a size IsValidSize refuses or a failed allocation.
  bool Create(std::int32_t width, std::int32_t height);
  // Create at the other buffer's size; when the other has no header this buffer becomes empty.
  bool CreateLike(const DIB& other);
  void Destroy();
  // All pixel bytes (padding included) to 0; false when the buffer is empty.
  bool Clear();

  // Smoothing resample of a 24-bit bottom-up source into this buffer's size. False when this
  // buffer is empty, or when the source is null or not IsReadable (this buffer is cleared then),
  // or when the work storage cannot be allocated (this buffer is left as it was).
  bool ResizeFrom(const BitmapInfoHeader* srcHeader, const std::uint8_t* srcBits);
  bool ResizeFrom(const DIB& src) { return ResizeFrom(src.Header(), src.Bits()); }
  // Fast nearest-pixel resample, for interactive display; answers as ResizeFrom.
  bool QuickResizeFrom(const BitmapInfoHeader* srcHeader, const std::uint8_t* srcBits);
  bool QuickResizeFrom(const DIB& src) { return QuickResizeFrom(src.Header(), src.Bits()); }

  // Every pixel to one colour, padding zeroed; nothing happens to an empty buffer.
  void FillColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue);
  // Headers byte-for-byte equal and all biSizeImage pixel bytes equal; false when either
  // buffer is empty.
  bool IsSame(const DIB& other) const;

  const BitmapInfoHeader* Header() const { return header_.get(); }
  std::uint8_t* Bits() { return bits_.get(); }
  const std::uint8_t* Bits() const { return bits_.get(); }
  std::int32_t Width() const { return header_ ? header_->biWidth : 0; }
  std::int32_t Height() const { return header_ ? header_->biHeight : 0; }
  std::int32_t Stride() const { return StrideOf(Width()); }
  std::uint32_t SizeImage() const { return header_ ? header_->biSizeImage : 0; }
  // Header and pixels exist and both sizes are above 0.
  bool IsPresent() const { return header_ && bits_ && Width() > 0 && Height() > 0; }

private:
  std::unique_ptr<BitmapInfoHeader> header_;
  std::unique_ptr<std::uint8_t[]> bits_;
};

} // namespace rw
