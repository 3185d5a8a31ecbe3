#include "view/AudioImage.h"

#include "view/Sketch.h"

#include <algorithm>

namespace rw::view {

namespace {

void FillColumn(DIB& image, std::int32_t x, std::int64_t top, std::int64_t bottom, Colour colour) {
  const std::int32_t h = image.Height();
  top = std::max<std::int64_t>(top, 0);
  bottom = std::min<std::int64_t>(bottom, h);
  const auto blue = static_cast<std::uint8_t>(colour);
  const auto green = static_cast<std::uint8_t>(colour >> 8);
  const auto red = static_cast<std::uint8_t>(colour >> 16);
  for (std::int64_t y = top; y < bottom; ++y) {
    std::uint8_t* p = image.Bits() + (h - 1 - y) * image.Stride() + x * 3;
    p[0] = blue;
    p[1] = green;
    p[2] = red;
  }
}

} // namespace

void AudioImage::Blank(DIB& image) {
  image.FillColor(0x80, 0x80, 0x80);
}

void AudioImage::Draw(DIB& image, std::span<const std::int32_t> samples) {
  Blank(image);
  const std::int64_t w = image.Width();
  const std::int64_t h = image.Height();
  const auto n = static_cast<std::int64_t>(samples.size());
  if (w <= 0 || n == 0)
    return;
  // A counter that starts at n and loses w per sample closes a column every n / w samples.
  std::int64_t counter = n;
  std::int32_t column = 0;
  std::int64_t high = samples[0];
  std::int64_t low = samples[0];
  for (const std::int32_t v : samples) {
    high = std::max<std::int64_t>(high, v);
    low = std::min<std::int64_t>(low, v);
    counter -= w;
    if (counter >= 1)
      continue;
    counter += n;
    if (column < w) {
      const bool clips = high > 32767 || low < -32767;
      FillColumn(image, column, h / 2 - high * h / 65536, h / 2 - low * h / 65536 + 1, clips ? kRed : kBlack);
    }
    ++column;
    high = low = v;
  }
}

} // namespace rw::view
