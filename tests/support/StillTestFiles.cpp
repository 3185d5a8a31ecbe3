#include "tests/support/StillTestFiles.h"

#include "media/FfmpegPtr.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/frame.h>
}

#include <algorithm>
#include <map>
#include <stdexcept>

namespace rw::test {
namespace {

std::uint8_t R(std::uint32_t c) {
  return static_cast<std::uint8_t>(c >> 16);
}
std::uint8_t G(std::uint32_t c) {
  return static_cast<std::uint8_t>(c >> 8);
}
std::uint8_t B(std::uint32_t c) {
  return static_cast<std::uint8_t>(c);
}

AVPixelFormat FormatOf(PngVariant variant) {
  switch (variant) {
  case PngVariant::Rgb24:
    return AV_PIX_FMT_RGB24;
  case PngVariant::Rgb48:
    return AV_PIX_FMT_RGB48BE;
  case PngVariant::Rgba:
    return AV_PIX_FMT_RGBA;
  case PngVariant::Rgba64:
    return AV_PIX_FMT_RGBA64BE;
  case PngVariant::Grey8:
    return AV_PIX_FMT_GRAY8;
  case PngVariant::Grey16:
    return AV_PIX_FMT_GRAY16BE;
  case PngVariant::GreyAlpha8:
    return AV_PIX_FMT_YA8;
  case PngVariant::GreyAlpha16:
    return AV_PIX_FMT_YA16BE;
  case PngVariant::Palette:
    return AV_PIX_FMT_PAL8;
  case PngVariant::Mono:
    return AV_PIX_FMT_MONOBLACK;
  }
  return AV_PIX_FMT_NONE;
}

void Put16(std::uint8_t* p, std::uint8_t v) {
  p[0] = v; // v * 257, big-endian
  p[1] = v;
}

std::vector<std::uint8_t> Encode(AVCodecID id, const ff::FramePtr& frame, int quality = 0) {
  const AVCodec* codec = avcodec_find_encoder(id);
  if (!codec)
    throw std::runtime_error("no encoder");
  const ff::CodecContextPtr context = ff::MakeCodecContext(codec);
  context->width = frame->width;
  context->height = frame->height;
  context->pix_fmt = static_cast<AVPixelFormat>(frame->format);
  context->time_base = {1, 25};
  if (quality > 0) {
    context->flags |= AV_CODEC_FLAG_QSCALE;
    context->global_quality = quality * FF_QP2LAMBDA;
    frame->quality = context->global_quality;
  }
  if (avcodec_open2(context.get(), codec, nullptr) < 0)
    throw std::runtime_error("encoder does not open");
  const ff::PacketPtr packet = ff::MakePacket();
  if (avcodec_send_frame(context.get(), frame.get()) < 0 || avcodec_send_frame(context.get(), nullptr) < 0 ||
      avcodec_receive_packet(context.get(), packet.get()) < 0)
    throw std::runtime_error("encoding failed");
  return std::vector<std::uint8_t>(packet->data, packet->data + packet->size);
}

ff::FramePtr MakeFrame(std::int32_t w, std::int32_t h, AVPixelFormat format) {
  ff::FramePtr frame = ff::MakeFrame();
  frame->width = w;
  frame->height = h;
  frame->format = format;
  if (av_frame_get_buffer(frame.get(), 0) < 0)
    throw std::runtime_error("no frame");
  return frame;
}

void Append(std::vector<std::uint8_t>& out, std::initializer_list<int> bytes) {
  for (int b : bytes)
    out.push_back(static_cast<std::uint8_t>(b));
}

} // namespace

std::vector<std::uint8_t> PngBytes(const TestPicture& p, PngVariant variant,
                                   const std::vector<std::uint8_t>& alpha) {
  const ff::FramePtr frame = MakeFrame(p.width, p.height, FormatOf(variant));
  std::map<std::uint64_t, std::uint8_t> palette; // (alpha << 24 | rgb) -> index
  auto* entries = variant == PngVariant::Palette ? reinterpret_cast<std::uint32_t*>(frame->data[1]) : nullptr;
  for (std::int32_t y = 0; y < p.height; ++y) {
    std::uint8_t* row = frame->data[0] + static_cast<std::ptrdiff_t>(y) * frame->linesize[0];
    if (variant == PngVariant::Mono)
      std::fill(row, row + (p.width + 7) / 8, 0);
    for (std::int32_t x = 0; x < p.width; ++x) {
      const std::uint32_t c = p.At(x, y);
      const std::uint8_t a = alpha.empty() ? 255 : alpha[static_cast<std::size_t>(y * p.width + x)];
      switch (variant) {
      case PngVariant::Rgb24:
        row[3 * x] = R(c), row[3 * x + 1] = G(c), row[3 * x + 2] = B(c);
        break;
      case PngVariant::Rgb48:
        Put16(row + 6 * x, R(c)), Put16(row + 6 * x + 2, G(c)), Put16(row + 6 * x + 4, B(c));
        break;
      case PngVariant::Rgba:
        row[4 * x] = R(c), row[4 * x + 1] = G(c), row[4 * x + 2] = B(c), row[4 * x + 3] = a;
        break;
      case PngVariant::Rgba64:
        Put16(row + 8 * x, R(c)), Put16(row + 8 * x + 2, G(c)), Put16(row + 8 * x + 4, B(c));
        Put16(row + 8 * x + 6, a);
        break;
      case PngVariant::Grey8:
        row[x] = G(c);
        break;
      case PngVariant::Grey16:
        Put16(row + 2 * x, G(c));
        break;
      case PngVariant::GreyAlpha8:
        row[2 * x] = G(c), row[2 * x + 1] = a;
        break;
      case PngVariant::GreyAlpha16:
        Put16(row + 4 * x, G(c)), Put16(row + 4 * x + 2, a);
        break;
      case PngVariant::Palette: {
        const std::uint64_t key = static_cast<std::uint64_t>(a) << 24 | (c & 0xFFFFFF);
        auto [at, added] = palette.emplace(key, static_cast<std::uint8_t>(palette.size()));
        if (added) {
          if (palette.size() > 256)
            throw std::runtime_error("more than 256 colours");
          entries[at->second] = static_cast<std::uint32_t>(key);
        }
        row[x] = at->second;
        break;
      }
      case PngVariant::Mono:
        if (G(c) >= 128)
          row[x / 8] = static_cast<std::uint8_t>(row[x / 8] | 0x80 >> (x % 8));
        break;
      }
    }
  }
  return Encode(AV_CODEC_ID_PNG, frame);
}

std::vector<std::uint8_t> JpegBytes(const TestPicture& p) {
  const ff::FramePtr frame = MakeFrame(p.width, p.height, AV_PIX_FMT_YUVJ444P);
  for (std::int32_t y = 0; y < p.height; ++y)
    for (std::int32_t x = 0; x < p.width; ++x) {
      const std::uint32_t c = p.At(x, y);
      const double r = R(c), g = G(c), b = B(c);
      auto put = [&](int plane, double v) {
        frame->data[plane][y * frame->linesize[plane] + x] =
            static_cast<std::uint8_t>(std::clamp(v + 0.5, 0.0, 255.0));
      };
      put(0, 0.299 * r + 0.587 * g + 0.114 * b);
      put(1, 128 - 0.168736 * r - 0.331264 * g + 0.5 * b);
      put(2, 128 + 0.5 * r - 0.418688 * g - 0.081312 * b);
    }
  return Encode(AV_CODEC_ID_MJPEG, frame, 2);
}

std::vector<std::uint8_t> WithExifOrientation(const std::vector<std::uint8_t>& jpeg,
                                              std::uint16_t orientation, bool bigEndian) {
  auto u16 = [&](std::vector<std::uint8_t>& out, std::uint32_t v) {
    if (bigEndian)
      Append(out, {static_cast<int>(v >> 8 & 0xFF), static_cast<int>(v & 0xFF)});
    else
      Append(out, {static_cast<int>(v & 0xFF), static_cast<int>(v >> 8 & 0xFF)});
  };
  auto u32 = [&](std::vector<std::uint8_t>& out, std::uint32_t v) {
    if (bigEndian)
      u16(out, v >> 16), u16(out, v & 0xFFFF);
    else
      u16(out, v & 0xFFFF), u16(out, v >> 16);
  };
  // TIFF header, then one IFD of one entry: Orientation (0x0112), SHORT, count 1.
  std::vector<std::uint8_t> tiff;
  Append(tiff, bigEndian ? std::initializer_list<int>{'M', 'M'} : std::initializer_list<int>{'I', 'I'});
  u16(tiff, 42);
  u32(tiff, 8);
  u16(tiff, 1);
  u16(tiff, 0x0112);
  u16(tiff, 3);
  u32(tiff, 1);
  u16(tiff, orientation);
  u16(tiff, 0);
  u32(tiff, 0); // no next IFD
  std::vector<std::uint8_t> out(jpeg.begin(), jpeg.begin() + 2);
  const std::size_t length = 2 + 6 + tiff.size();
  Append(out, {0xFF, 0xE1, static_cast<int>(length >> 8), static_cast<int>(length & 0xFF), 'E', 'x', 'i', 'f',
               0, 0});
  out.insert(out.end(), tiff.begin(), tiff.end());
  out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
  return out;
}

std::vector<std::uint8_t> ProgressiveGreyJpeg(std::int32_t blocksWide, std::int32_t blocksHigh) {
  const std::int32_t w = blocksWide * 8, h = blocksHigh * 8, blocks = blocksWide * blocksHigh;
  std::vector<std::uint8_t> out;
  Append(out, {0xFF, 0xD8});
  // Quantisation table 0: every step 1.
  Append(out, {0xFF, 0xDB, 0, 67, 0});
  out.insert(out.end(), 64, 1);
  // Progressive frame header: one component.
  Append(out, {0xFF, 0xC2, 0, 11, 8, h >> 8, h & 0xFF, w >> 8, w & 0xFF, 1, 1, 0x11, 0});
  // DC table 0: category 0 coded "0", category 8 coded "10"; AC table 0: end of block coded "0".
  Append(out, {0xFF, 0xC4, 0, 21, 0x00, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 8});
  Append(out, {0xFF, 0xC4, 0, 20, 0x10, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x00});
  // Bits written most significant first; the last byte filled with ones.
  auto flush = [&out](const std::vector<bool>& bits) {
    for (std::size_t i = 0; i < bits.size(); i += 8) {
      int byte = 0;
      for (std::size_t j = 0; j < 8; ++j)
        byte = byte << 1 | (i + j < bits.size() ? bits[i + j] : 1);
      out.push_back(static_cast<std::uint8_t>(byte));
    }
  };
  // DC scan: the first block's DC is 8 * (144 - 128) = 128 (category 8, bits 10000000), the
  // others differ by 0.
  Append(out, {0xFF, 0xDA, 0, 8, 1, 1, 0x00, 0, 0, 0x00});
  std::vector<bool> dc = {true, false, true, false, false, false, false, false, false, false};
  dc.insert(dc.end(), static_cast<std::size_t>(blocks - 1), false);
  flush(dc);
  // AC scan of coefficients 1 to 63: an end of block in every block.
  Append(out, {0xFF, 0xDA, 0, 8, 1, 1, 0x00, 1, 63, 0x00});
  flush(std::vector<bool>(static_cast<std::size_t>(blocks), false));
  Append(out, {0xFF, 0xD9});
  return out;
}

} // namespace rw::test
