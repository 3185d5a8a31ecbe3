#include "media/PictureConvert.h"

#include "media/FfmpegPtr.h"

extern "C" {
#include <libavutil/dict.h>
#include <libavutil/frame.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include <cstdlib>

namespace rw {
namespace {

// c (0..255) weighted by a (0..255), rounded.
std::uint8_t Over8(std::uint32_t c, std::uint32_t a) {
  return static_cast<std::uint8_t>((c * a + 127) / 255);
}

// c (0..65535) weighted by a (0..65535), rounded to 0..255.
std::uint8_t Over16(std::uint64_t c, std::uint64_t a) {
  constexpr std::uint64_t kFull = 65535ull * 65535ull;
  return static_cast<std::uint8_t>((c * a * 255 + kFull / 2) / kFull);
}

std::uint32_t Be16(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) << 8 | p[1];
}

} // namespace

int PictureConvert::OrientationOf(const AVFrame& frame) {
  const AVDictionaryEntry* entry = av_dict_get(frame.metadata, "Orientation", nullptr, 0);
  if (!entry || !entry->value)
    return 1;
  char* end = nullptr;
  const long value = std::strtol(entry->value, &end, 10);
  return end != entry->value && value >= 1 && value <= 8 ? static_cast<int>(value) : 1;
}

void PictureConvert::Allocate(std::int32_t w, std::int32_t h, BgrPicture& out) {
  // Rows 32-byte aligned for the converter, with room behind the last one.
  out.stride = (static_cast<std::size_t>(w) * 3 + 31) & ~std::size_t{31};
  out.bytes.assign(out.stride * static_cast<std::size_t>(h) + 64, 0);
  out.width = w;
  out.height = h;
}

bool PictureConvert::ToBgr(const AVFrame& frame, bool overBlack, int orientation, BgrPicture& out) {
  const auto format = static_cast<AVPixelFormat>(frame.format);
  const bool alpha = format == AV_PIX_FMT_RGBA || format == AV_PIX_FMT_RGBA64BE || format == AV_PIX_FMT_YA8 ||
                     format == AV_PIX_FMT_YA16BE || format == AV_PIX_FMT_PAL8;
  // 16-bit samples are rounded here: libswscale is one off for some of them.
  const bool wide = format == AV_PIX_FMT_RGB48BE || format == AV_PIX_FMT_GRAY16BE;
  if (!((overBlack && alpha) || wide ? Direct(frame, out) : Scale(frame, out)))
    return false;
  Orient(orientation, out);
  return true;
}

bool PictureConvert::Scale(const AVFrame& frame, BgrPicture& out) {
  const int w = frame.width;
  const int h = frame.height;
  const ff::SwsPtr convert = ff::MakeSws(w, h, static_cast<AVPixelFormat>(frame.format), w, h,
                                         AV_PIX_FMT_BGR24, SWS_POINT | SWS_BITEXACT | SWS_ACCURATE_RND);
  if (!convert)
    return false;
  Allocate(w, h, out);
  std::uint8_t* dest[4] = {out.bytes.data(), nullptr, nullptr, nullptr};
  const int destStride[4] = {static_cast<int>(out.stride), 0, 0, 0};
  return sws_scale(convert.get(), frame.data, frame.linesize, 0, h, dest, destStride) == h;
}

// The formats with alpha that the PNG decoder delivers, each pixel weighted by its alpha, and
// its 16-bit formats without alpha.
bool PictureConvert::Direct(const AVFrame& frame, BgrPicture& out) {
  const auto format = static_cast<AVPixelFormat>(frame.format);
  const int w = frame.width;
  const int h = frame.height;
  const auto* palette = reinterpret_cast<const std::uint32_t*>(frame.data[1]);
  if (format == AV_PIX_FMT_PAL8 && !palette)
    return false;
  Allocate(w, h, out);
  for (int y = 0; y < h; ++y) {
    const std::uint8_t* s = frame.data[0] + static_cast<std::ptrdiff_t>(y) * frame.linesize[0];
    std::uint8_t* d = out.bytes.data() + static_cast<std::size_t>(y) * out.stride;
    for (int x = 0; x < w; ++x, d += 3) {
      switch (format) {
      case AV_PIX_FMT_RGBA:
        d[0] = Over8(s[4 * x + 2], s[4 * x + 3]);
        d[1] = Over8(s[4 * x + 1], s[4 * x + 3]);
        d[2] = Over8(s[4 * x], s[4 * x + 3]);
        break;
      case AV_PIX_FMT_RGBA64BE: {
        const std::uint8_t* p = s + 8 * x;
        d[0] = Over16(Be16(p + 4), Be16(p + 6));
        d[1] = Over16(Be16(p + 2), Be16(p + 6));
        d[2] = Over16(Be16(p), Be16(p + 6));
        break;
      }
      case AV_PIX_FMT_RGB48BE: {
        const std::uint8_t* p = s + 6 * x;
        d[0] = Over16(Be16(p + 4), 65535);
        d[1] = Over16(Be16(p + 2), 65535);
        d[2] = Over16(Be16(p), 65535);
        break;
      }
      case AV_PIX_FMT_GRAY16BE:
        d[0] = d[1] = d[2] = Over16(Be16(s + 2 * x), 65535);
        break;
      case AV_PIX_FMT_YA8:
        d[0] = d[1] = d[2] = Over8(s[2 * x], s[2 * x + 1]);
        break;
      case AV_PIX_FMT_YA16BE:
        d[0] = d[1] = d[2] = Over16(Be16(s + 4 * x), Be16(s + 4 * x + 2));
        break;
      default: { // palette entries are 0xAARRGGBB
        const std::uint32_t c = palette[s[x]];
        const std::uint32_t a = c >> 24;
        d[0] = Over8(c & 0xFF, a);
        d[1] = Over8(c >> 8 & 0xFF, a);
        d[2] = Over8(c >> 16 & 0xFF, a);
        break;
      }
      }
    }
  }
  return true;
}

void PictureConvert::Orient(int orientation, BgrPicture& picture) {
  if (orientation < 2 || orientation > 8)
    return;
  const std::int32_t w = picture.width;
  const std::int32_t h = picture.height;
  const bool turned = orientation >= 5; // 5 to 8 swap width and height
  BgrPicture out;
  Allocate(turned ? h : w, turned ? w : h, out);
  for (std::int32_t y = 0; y < out.height; ++y) {
    std::uint8_t* d = out.bytes.data() + static_cast<std::size_t>(y) * out.stride;
    for (std::int32_t x = 0; x < out.width; ++x, d += 3) {
      // The stored pixel shown at (x, y).
      std::int32_t sx = x, sy = y;
      switch (orientation) {
      case 2: // mirrored left to right
        sx = w - 1 - x;
        break;
      case 3: // turned half round
        sx = w - 1 - x;
        sy = h - 1 - y;
        break;
      case 4: // mirrored top to bottom
        sy = h - 1 - y;
        break;
      case 5: // mirrored along the main diagonal
        sx = y;
        sy = x;
        break;
      case 6: // stored turned a quarter anticlockwise: shown turned a quarter clockwise
        sx = y;
        sy = h - 1 - x;
        break;
      case 7: // mirrored along the other diagonal
        sx = w - 1 - y;
        sy = h - 1 - x;
        break;
      default: // 8: shown turned a quarter anticlockwise
        sx = w - 1 - y;
        sy = x;
        break;
      }
      const std::uint8_t* s = picture.bytes.data() + static_cast<std::size_t>(sy) * picture.stride + 3 * sx;
      d[0] = s[0];
      d[1] = s[1];
      d[2] = s[2];
    }
  }
  picture = std::move(out);
}

} // namespace rw
