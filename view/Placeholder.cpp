#include "view/Placeholder.h"

#include "view/WindowLayout.h"

#include <cstring>

namespace rw::view {

namespace {

// A dark film frame: a grey field between two black bands of sprocket holes.
void Draw(DIB& picture) {
  const std::int32_t w = picture.Width();
  const std::int32_t h = picture.Height();
  const std::int32_t band = h / 6;
  for (std::int32_t y = 0; y < h; ++y) {
    std::uint8_t* row = picture.Bits() + static_cast<std::ptrdiff_t>(h - 1 - y) * picture.Stride();
    const bool inBand = y < band || y >= h - band;
    const bool holeRow = inBand && (y % band) >= band / 3 && (y % band) < band - band / 3;
    for (std::int32_t x = 0; x < w; ++x) {
      std::uint8_t v = 96;
      if (inBand)
        v = holeRow && (x % 10) >= 3 && (x % 10) < 7 ? 200 : 24;
      std::memset(row + x * 3, v, 3);
    }
  }
}

} // namespace

Placeholder::Placeholder() {
  small_.Create(WindowLayout::kThumbWidth, WindowLayout::kThumbHeight);
  Draw(small_);
  large_.Create(WindowLayout::kPreviewWidth, WindowLayout::kPreviewHeight);
  large_.ResizeFrom(small_);
}

void Placeholder::DrawInto(DIB& out) const {
  if (!out.IsPresent())
    return;
  for (const DIB* own : {&small_, &large_}) {
    if (out.Width() == own->Width() && out.Height() == own->Height()) {
      std::memcpy(out.Bits(), own->Bits(), own->SizeImage());
      return;
    }
  }
  out.QuickResizeFrom(small_);
}

} // namespace rw::view
