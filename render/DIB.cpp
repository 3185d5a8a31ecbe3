#include "render/DIB.h"

#include "render/ResizeWork.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace rw {

bool DIB::IsValidSize(std::int32_t width, std::int32_t height) {
  if (width < 1 || height < 1 || width > kMaxDimension || height > kMaxDimension) {
    return false;
  }
  return std::int64_t{StrideOf(width)} * height <= kMaxImageBytes;
}

bool DIB::IsReadable(const BitmapInfoHeader& header) {
  return header.biBitCount == 24 && header.biCompression == 0 && IsValidSize(header.biWidth, header.biHeight);
}

DIB& DIB::operator=(const DIB& other) {
  if (this == &other) {
    return *this;
  }
  Destroy();
  if (other.IsPresent() && CreateLike(other)) {
    std::memcpy(bits_.get(), other.bits_.get(), SizeImage());
  }
  return *this;
}

bool DIB::Create(std::int32_t width, std::int32_t height) {
  if (!IsValidSize(width, height)) {
    return false;
  }
  const std::uint32_t size = static_cast<std::uint32_t>(StrideOf(width)) * static_cast<std::uint32_t>(height);
  std::unique_ptr<std::uint8_t[]> bits(new (std::nothrow) std::uint8_t[size]);
  if (!bits) {
    return false;
  }
  auto header = std::make_unique<BitmapInfoHeader>();
  header->biSize = 40;
  header->biWidth = width;
  header->biHeight = height;
  header->biPlanes = 1;
  header->biBitCount = 24;
  header->biCompression = 0;
  header->biSizeImage = size;
  header_ = std::move(header);
  bits_ = std::move(bits);
  return true;
}

bool DIB::CreateLike(const DIB& other) {
  if (!other.header_) {
    Destroy();
    return true;
  }
  return Create(other.Width(), other.Height());
}

void DIB::Destroy() {
  header_.reset();
  bits_.reset();
}

bool DIB::Clear() {
  if (!header_ || !bits_) {
    return false;
  }
  std::memset(bits_.get(), 0, SizeImage());
  return true;
}

namespace {

// The source pair is usable: both pointers set and the header describes a readable picture.
bool SourceUsable(const BitmapInfoHeader* header, const std::uint8_t* bits) {
  return header != nullptr && bits != nullptr && DIB::IsReadable(*header);
}

} // namespace

bool DIB::ResizeFrom(const BitmapInfoHeader* srcHeader, const std::uint8_t* srcBits) {
  if (!IsPresent()) {
    return false;
  }
  if (!SourceUsable(srcHeader, srcBits)) {
    Clear();
    return false;
  }
  const std::int32_t sw = srcHeader->biWidth;
  const std::int32_t sh = srcHeader->biHeight;
  if (sw == Width() && sh == Height()) {
    std::memcpy(bits_.get(), srcBits, static_cast<std::size_t>(Stride()) * Height());
    return true;
  }
  ResizeWork work(Width(), Height(), sw, sh);
  return work.Run(srcBits, bits_.get());
}

bool DIB::QuickResizeFrom(const BitmapInfoHeader* srcHeader, const std::uint8_t* srcBits) {
  if (!IsPresent()) {
    return false;
  }
  if (!SourceUsable(srcHeader, srcBits)) {
    Clear();
    return false;
  }
  const std::int32_t sw = srcHeader->biWidth;
  const std::int32_t sh = srcHeader->biHeight;
  const std::int32_t dw = Width();
  const std::int32_t dh = Height();
  const std::size_t ds = static_cast<std::size_t>(Stride());
  if (sw == dw && sh == dh) {
    std::memcpy(bits_.get(), srcBits, ds * dh);
    return true;
  }
  if (sw == 1 && sh == 1) {
    FillColor(srcBits[2], srcBits[1], srcBits[0]);
    return true;
  }

  // Sample-and-hold along a row: the source pixel of every output pixel, worked out once.
  std::unique_ptr<std::int32_t[]> columns(new (std::nothrow) std::int32_t[static_cast<std::size_t>(dw)]);
  if (!columns) {
    return false;
  }
  {
    std::int32_t position = 0; // pixels passed over so far
    std::int32_t held = 0;
    std::int32_t c = dw / 2;
    for (std::int32_t x = 0; x < dw; ++x) {
      c += sw;
      if (c > dw) {
        position += c / dw;
        held = std::min(position, sw) - 1;
        c %= dw;
      }
      columns[x] = held * 3;
    }
  }
  const std::size_t ss = static_cast<std::size_t>(StrideOf(sw));
  const std::int32_t* const cols = columns.get();
  auto makeRow = [&](const std::uint8_t* src, std::uint8_t* dst) {
    for (std::int32_t x = 0; x < dw; ++x) {
      const std::uint8_t* p = src + cols[x];
      dst[0] = p[0];
      dst[1] = p[1];
      dst[2] = p[2];
      dst += 3;
    }
  };

  std::uint8_t* dst = bits_.get();
  if (dh < sh) {
    std::int32_t row = 0;
    std::int32_t r = dh / 2;
    for (std::int32_t y = 0; y < dh; ++y) {
      makeRow(srcBits + ss * static_cast<std::size_t>(std::min(row, sh - 1)), dst + ds * y);
      row += (sh + r) / dh;
      r = (sh + r) % dh;
    }
  } else {
    std::int32_t row = 0;
    std::int32_t r = sh / 2;
    for (std::int32_t y = 0; y < dh; ++y) {
      const std::int32_t t = r - sh;
      if (t < 0 || y == 0) {
        makeRow(srcBits + ss * static_cast<std::size_t>(std::min(row, sh - 1)), dst + ds * y);
        ++row;
        r = dh + r - sh;
      } else {
        std::memcpy(dst + ds * y, dst + ds * (y - 1), ds);
        r = t;
      }
    }
  }
  return true;
}

void DIB::FillColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  if (!IsPresent()) {
    return;
  }
  const std::int32_t width = Width();
  const std::size_t stride = static_cast<std::size_t>(Stride());
  std::uint8_t* row = bits_.get();
  for (std::int32_t x = 0; x < width; ++x) {
    row[x * 3] = blue;
    row[x * 3 + 1] = green;
    row[x * 3 + 2] = red;
  }
  std::fill(row + static_cast<std::size_t>(width) * 3, row + stride, std::uint8_t{0});
  for (std::int32_t y = 1; y < Height(); ++y) {
    std::memcpy(row + stride * y, row, stride);
  }
}

bool DIB::IsSame(const DIB& other) const {
  if (!header_ || !bits_ || !other.header_ || !other.bits_) {
    return false;
  }
  if (std::memcmp(header_.get(), other.header_.get(), sizeof(BitmapInfoHeader)) != 0) {
    return false;
  }
  return std::memcmp(bits_.get(), other.bits_.get(), SizeImage()) == 0;
}

} // namespace rw
