#include "tests/support/PictureTestFiles.h"

#include "media/FfmpegPtr.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>
#include <system_error>

namespace rw::test {
namespace {

void Put8(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v & 0xFF));
}
void Put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  Put8(out, v);
  Put8(out, v >> 8);
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}
std::uint32_t R(std::uint32_t c) {
  return c >> 16 & 0xFF;
}
std::uint32_t G(std::uint32_t c) {
  return c >> 8 & 0xFF;
}
std::uint32_t B(std::uint32_t c) {
  return c & 0xFF;
}

// The distinct colours of a picture in order of first appearance, and each pixel's index.
std::vector<std::uint32_t> Palette(const TestPicture& p, std::vector<std::uint8_t>& indices,
                                   std::size_t limit) {
  std::vector<std::uint32_t> palette;
  indices.clear();
  for (std::uint32_t c : p.rgb) {
    auto it = std::find(palette.begin(), palette.end(), c);
    if (it == palette.end()) {
      palette.push_back(c);
      it = palette.end() - 1;
    }
    indices.push_back(static_cast<std::uint8_t>(it - palette.begin()));
  }
  if (palette.size() > limit)
    throw std::logic_error("too many colours for the palette");
  return palette;
}

void PadTo4(std::vector<std::uint8_t>& row) {
  while (row.size() % 4 != 0)
    row.push_back(0);
}

// Run-length codes of one row of indices in the bitmap's RLE8 or RLE4 form.
void RleRow(const std::uint8_t* idx, std::int32_t w, bool four, std::vector<std::uint8_t>& out) {
  std::int32_t x = 0;
  while (x < w) {
    std::int32_t run = 1;
    while (x + run < w && run < 255 && idx[x + run] == idx[x])
      ++run;
    if (run == 1) {
      // A stretch of changing values: absolute mode when at least 3 long.
      std::int32_t n = 1;
      while (x + n < w && n < 254 && (x + n + 1 >= w || idx[x + n + 1] != idx[x + n]))
        ++n;
      if (n >= 3) {
        out.push_back(0);
        out.push_back(static_cast<std::uint8_t>(n));
        std::size_t start = out.size();
        if (four) {
          for (std::int32_t i = 0; i < n; i += 2)
            out.push_back(static_cast<std::uint8_t>(idx[x + i] << 4 | (i + 1 < n ? idx[x + i + 1] : 0)));
        } else {
          out.insert(out.end(), idx + x, idx + x + n);
        }
        if ((out.size() - start) % 2 == 1)
          out.push_back(0);
        x += n;
        continue;
      }
    }
    out.push_back(static_cast<std::uint8_t>(run));
    out.push_back(four ? static_cast<std::uint8_t>(idx[x] << 4 | idx[x]) : idx[x]);
    x += run;
  }
  out.push_back(0);
  out.push_back(0); // end of line
}

} // namespace

TestPicture TestPicture::Pattern(std::int32_t w, std::int32_t h) {
  TestPicture p{w, h, {}};
  for (std::int32_t y = 0; y < h; ++y)
    for (std::int32_t x = 0; x < w; ++x)
      p.rgb.push_back((static_cast<std::uint32_t>(x + y * w + 1) * 2654435761u >> 5) & 0xFFFFFF);
  return p;
}

TestPicture TestPicture::Primaries(std::int32_t w, std::int32_t h) {
  TestPicture p{w, h, {}};
  for (std::int32_t y = 0; y < h; ++y)
    for (std::int32_t x = 0; x < w; ++x) {
      const std::int32_t k = (x * 3 + y * 5 + x * y) % 8;
      p.rgb.push_back((k & 4 ? 0xFF0000u : 0) | (k & 2 ? 0x00FF00u : 0) | (k & 1 ? 0x0000FFu : 0));
    }
  return p;
}

TestPicture TestPicture::Indexed(std::int32_t w, std::int32_t h, std::int32_t colours) {
  TestPicture p{w, h, {}};
  for (std::int32_t y = 0; y < h; ++y)
    for (std::int32_t x = 0; x < w; ++x) {
      const std::uint32_t k = static_cast<std::uint32_t>((x + 2 * y) % colours);
      p.rgb.push_back(((k + 1) * 2246822519u >> 7) & 0xFFFFFF);
    }
  return p;
}

TestPicture TestPicture::Grey(std::int32_t w, std::int32_t h) {
  TestPicture p{w, h, {}};
  for (std::int32_t y = 0; y < h; ++y)
    for (std::int32_t x = 0; x < w; ++x) {
      const std::uint32_t v = static_cast<std::uint32_t>(x * 29 + y * 71 + 5) & 0xFF;
      p.rgb.push_back(v << 16 | v << 8 | v);
    }
  return p;
}

std::vector<std::uint8_t> BmpBytes(const TestPicture& p, BmpVariant variant) {
  const std::int32_t w = p.width;
  const std::int32_t h = p.height;
  std::int32_t bpp = 24;
  std::uint32_t compression = 0;
  std::size_t paletteLimit = 0;
  switch (variant) {
  case BmpVariant::Bgrx32:
    bpp = 32;
    break;
  case BmpVariant::Rgb555:
    bpp = 16;
    break;
  case BmpVariant::Rgb565:
    bpp = 16;
    compression = 3;
    break;
  case BmpVariant::Pal8:
    bpp = 8;
    paletteLimit = 256;
    break;
  case BmpVariant::Pal4:
    bpp = 4;
    paletteLimit = 16;
    break;
  case BmpVariant::Pal1:
    bpp = 1;
    paletteLimit = 2;
    break;
  case BmpVariant::Rle8:
    bpp = 8;
    compression = 1;
    paletteLimit = 256;
    break;
  case BmpVariant::Rle4:
    bpp = 4;
    compression = 2;
    paletteLimit = 16;
    break;
  default:
    break;
  }
  const bool os2 = variant == BmpVariant::Os2Bgr24;
  const bool topDown = variant == BmpVariant::Bgr24TopDown;
  std::vector<std::uint8_t> indices;
  std::vector<std::uint32_t> palette;
  if (paletteLimit)
    palette = Palette(p, indices, paletteLimit);

  std::vector<std::uint8_t> pixels;
  for (std::int32_t i = 0; i < h; ++i) {
    const std::int32_t y = topDown ? i : h - 1 - i;
    const std::uint8_t* rowIndex =
        indices.empty() ? nullptr : indices.data() + static_cast<std::size_t>(y) * w;
    if (compression == 1 || compression == 2) {
      RleRow(rowIndex, w, compression == 2, pixels);
      continue;
    }
    std::vector<std::uint8_t> row;
    for (std::int32_t x = 0; x < w; ++x) {
      const std::uint32_t c = p.At(x, y);
      switch (bpp) {
      case 32:
        Put8(row, B(c)), Put8(row, G(c)), Put8(row, R(c)), Put8(row, 0);
        break;
      case 24:
        Put8(row, B(c)), Put8(row, G(c)), Put8(row, R(c));
        break;
      case 16:
        if (compression == 3)
          Put16(row, (R(c) >> 3) << 11 | (G(c) >> 2) << 5 | B(c) >> 3);
        else
          Put16(row, (R(c) >> 3) << 10 | (G(c) >> 3) << 5 | B(c) >> 3);
        break;
      case 8:
        row.push_back(rowIndex[x]);
        break;
      case 4:
        if (x % 2 == 0)
          row.push_back(static_cast<std::uint8_t>(rowIndex[x] << 4));
        else
          row.back() |= rowIndex[x];
        break;
      case 1:
        if (x % 8 == 0)
          row.push_back(0);
        row.back() |= static_cast<std::uint8_t>(rowIndex[x] << (7 - x % 8));
        break;
      }
    }
    PadTo4(row);
    pixels.insert(pixels.end(), row.begin(), row.end());
  }
  if (compression == 1 || compression == 2) {
    pixels.push_back(0);
    pixels.push_back(1); // end of bitmap
  }

  std::vector<std::uint8_t> info;
  if (os2) {
    Put32(info, 12);
    Put16(info, static_cast<std::uint32_t>(w));
    Put16(info, static_cast<std::uint32_t>(h));
    Put16(info, 1);
    Put16(info, 24);
  } else {
    Put32(info, 40);
    Put32(info, static_cast<std::uint32_t>(w));
    Put32(info, static_cast<std::uint32_t>(topDown ? -h : h));
    Put16(info, 1);
    Put16(info, static_cast<std::uint32_t>(bpp));
    Put32(info, compression);
    Put32(info, static_cast<std::uint32_t>(pixels.size()));
    Put32(info, 2835);
    Put32(info, 2835);
    Put32(info, static_cast<std::uint32_t>(palette.size()));
    Put32(info, 0);
    if (compression == 3) {
      Put32(info, 0xF800);
      Put32(info, 0x07E0);
      Put32(info, 0x001F);
    }
    for (std::uint32_t c : palette)
      Put8(info, B(c)), Put8(info, G(c)), Put8(info, R(c)), Put8(info, 0);
  }
  std::vector<std::uint8_t> out{'B', 'M'};
  Put32(out, static_cast<std::uint32_t>(14 + info.size() + pixels.size()));
  Put32(out, 0);
  Put32(out, static_cast<std::uint32_t>(14 + info.size()));
  out.insert(out.end(), info.begin(), info.end());
  out.insert(out.end(), pixels.begin(), pixels.end());
  return out;
}

std::vector<std::uint8_t> TgaBytes(const TestPicture& p, TgaVariant variant, TgaOrigin origin) {
  const std::int32_t w = p.width;
  const std::int32_t h = p.height;
  const bool mapped = variant == TgaVariant::Mapped8 || variant == TgaVariant::RleMapped8;
  const bool rle = variant == TgaVariant::Rle24 || variant == TgaVariant::RleMapped8;
  std::vector<std::uint8_t> indices;
  std::vector<std::uint32_t> palette;
  if (mapped)
    palette = Palette(p, indices, 256);
  std::uint32_t type = mapped ? 1 : variant == TgaVariant::Grey8 ? 3 : 2;
  if (rle)
    type += 8;
  const std::uint32_t bpp = variant == TgaVariant::Bgra32              ? 32
                            : variant == TgaVariant::Rgb555            ? 16
                            : (mapped || variant == TgaVariant::Grey8) ? 8
                                                                       : 24;
  const bool rightToLeft = origin == TgaOrigin::BottomRight || origin == TgaOrigin::TopRight;
  const bool topToBottom = origin == TgaOrigin::TopLeft || origin == TgaOrigin::TopRight;

  const std::string id = "id!";
  std::vector<std::uint8_t> out;
  Put8(out, static_cast<std::uint32_t>(id.size()));
  Put8(out, mapped ? 1 : 0);
  Put8(out, type);
  Put16(out, 0);
  Put16(out, static_cast<std::uint32_t>(palette.size()));
  Put8(out, mapped ? 24 : 0);
  Put16(out, 0);
  Put16(out, 0);
  Put16(out, static_cast<std::uint32_t>(w));
  Put16(out, static_cast<std::uint32_t>(h));
  Put8(out, bpp);
  Put8(out, (bpp == 32 ? 8u : 0u) | (rightToLeft ? 0x10u : 0u) | (topToBottom ? 0x20u : 0u));
  out.insert(out.end(), id.begin(), id.end());
  for (std::uint32_t c : palette)
    Put8(out, B(c)), Put8(out, G(c)), Put8(out, R(c));

  auto pixel = [&](std::int32_t x, std::int32_t y) {
    std::vector<std::uint8_t> px;
    const std::uint32_t c = p.At(x, y);
    if (mapped)
      px.push_back(indices[static_cast<std::size_t>(y) * w + x]);
    else if (variant == TgaVariant::Grey8)
      px.push_back(static_cast<std::uint8_t>(G(c)));
    else if (bpp == 16)
      Put16(px, (R(c) >> 3) << 10 | (G(c) >> 3) << 5 | B(c) >> 3 | 0x8000);
    else {
      Put8(px, B(c)), Put8(px, G(c)), Put8(px, R(c));
      if (bpp == 32)
        Put8(px, 0xFF);
    }
    return px;
  };
  for (std::int32_t i = 0; i < h; ++i) {
    const std::int32_t y = topToBottom ? i : h - 1 - i;
    std::vector<std::vector<std::uint8_t>> row;
    for (std::int32_t j = 0; j < w; ++j)
      row.push_back(pixel(rightToLeft ? w - 1 - j : j, y));
    if (!rle) {
      for (const auto& px : row)
        out.insert(out.end(), px.begin(), px.end());
      continue;
    }
    // Run packets for repeats, raw packets for the rest, never across rows.
    std::size_t x = 0;
    while (x < row.size()) {
      std::size_t run = 1;
      while (x + run < row.size() && run < 128 && row[x + run] == row[x])
        ++run;
      if (run > 1) {
        Put8(out, 0x80u | static_cast<std::uint32_t>(run - 1));
        out.insert(out.end(), row[x].begin(), row[x].end());
      } else {
        std::size_t n = 1;
        while (x + n < row.size() && n < 128 && !(x + n + 1 < row.size() && row[x + n + 1] == row[x + n]))
          ++n;
        Put8(out, static_cast<std::uint32_t>(n - 1));
        for (std::size_t k = 0; k < n; ++k)
          out.insert(out.end(), row[x + k].begin(), row[x + k].end());
        run = n;
      }
      x += run;
    }
  }
  return out;
}

std::vector<std::uint8_t> EncodeWithLibavcodec(const TestPicture& p, bool targa) {
  const AVCodec* codec = avcodec_find_encoder(targa ? AV_CODEC_ID_TARGA : AV_CODEC_ID_BMP);
  if (!codec)
    throw std::runtime_error("no encoder");
  const ff::CodecContextPtr context = ff::MakeCodecContext(codec);
  context->width = p.width;
  context->height = p.height;
  context->pix_fmt = AV_PIX_FMT_BGR24;
  context->time_base = {1, 25};
  if (avcodec_open2(context.get(), codec, nullptr) < 0)
    throw std::runtime_error("encoder does not open");
  const ff::FramePtr frame = ff::MakeFrame();
  frame->width = p.width;
  frame->height = p.height;
  frame->format = AV_PIX_FMT_BGR24;
  if (av_frame_get_buffer(frame.get(), 0) < 0)
    throw std::runtime_error("no frame");
  for (std::int32_t y = 0; y < p.height; ++y)
    for (std::int32_t x = 0; x < p.width; ++x) {
      std::uint8_t* px = frame->data[0] + y * frame->linesize[0] + 3 * x;
      const std::uint32_t c = p.At(x, y);
      px[0] = static_cast<std::uint8_t>(B(c));
      px[1] = static_cast<std::uint8_t>(G(c));
      px[2] = static_cast<std::uint8_t>(R(c));
    }
  const ff::PacketPtr packet = ff::MakePacket();
  if (avcodec_send_frame(context.get(), frame.get()) < 0 ||
      avcodec_receive_packet(context.get(), packet.get()) < 0)
    throw std::runtime_error("encoding failed");
  return std::vector<std::uint8_t>(packet->data, packet->data + packet->size);
}

void WriteBytes(const std::filesystem::path& file, const std::vector<std::uint8_t>& bytes) {
  // A new file rather than one truncated in place, which the file system would flush on close.
  std::error_code ec;
  std::filesystem::remove(file, ec);
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

} // namespace rw::test
