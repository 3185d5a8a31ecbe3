#include "media/PictureReader.h"

#include "base/LittleEndian.h"
#include "base/MessageText.h"
#include "media/FfmpegPtr.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/frame.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cstring>
#include <fstream>
#include <memory>
#include <new>
#include <system_error>

namespace rw {
namespace {

// The size a header claims, or false when the bytes do not begin with such a header.
bool BmpHeaderSize(std::span<const std::uint8_t> b, std::int64_t& w, std::int64_t& h) {
  if (b.size() < 26 || b[0] != 'B' || b[1] != 'M')
    return false;
  if (U32Le(b.data() + 14) == 12) { // OS/2 core header: 16-bit sizes
    w = U16Le(b.data() + 18);
    h = U16Le(b.data() + 20);
  } else {
    w = static_cast<std::int32_t>(U32Le(b.data() + 18));
    h = static_cast<std::int32_t>(U32Le(b.data() + 22));
  }
  h = h < 0 ? -h : h; // negative: rows stored top-down
  return true;
}

bool TgaHeaderSize(std::span<const std::uint8_t> b, std::int64_t& w, std::int64_t& h) {
  if (b.size() < 18)
    return false;
  w = U16Le(b.data() + 12);
  h = U16Le(b.data() + 14);
  return true;
}

// Empty when a picture of w x h may be decoded, else the reason.
std::string SizeRefusal(std::int64_t w, std::int64_t h, const std::filesystem::path& name) {
  const std::string size = std::to_string(w) + "x" + std::to_string(h);
  if (w > PictureReader::kMaxSide || h > PictureReader::kMaxSide)
    return "画像" + MessageText::Quoted(name) + "の大きさ(" + size + ")が大きすぎます(縦横とも" +
           std::to_string(PictureReader::kMaxSide) + "画素まで)";
  if (w > 0 && h > 0 && static_cast<std::uint64_t>(w * h) * 4 > PictureReader::kMaxDecodedBytes)
    return "画像" + MessageText::Quoted(name) + "の大きさ(" + size + ")が大きすぎます(展開に" +
           std::to_string(PictureReader::kMaxDecodedBytes >> 20) + "MiBを超えるメモリが要ります)";
  return {};
}

// Decodes the one picture of `bytes` with the decoder `id`; null when it cannot.
ff::FramePtr DecodeFrame(AVCodecID id, std::span<const std::uint8_t> bytes) {
  const ff::CodecContextPtr context =
      ff::OpenDecoder(id, nullptr, {.maxPixels = PictureReader::kMaxDecodedBytes / 4});
  if (!context)
    return nullptr;
  const ff::PacketPtr packet = ff::MakePacket(bytes.data(), bytes.size());
  ff::FramePtr frame = ff::MakeFrame();
  if (!packet || !frame || avcodec_send_packet(context.get(), packet.get()) < 0)
    return nullptr;
  int result = avcodec_receive_frame(context.get(), frame.get());
  if (result == AVERROR(EAGAIN)) {
    avcodec_send_packet(context.get(), nullptr);
    result = avcodec_receive_frame(context.get(), frame.get());
  }
  if (result < 0 || frame->width < 1 || frame->height < 1)
    return nullptr;
  return frame;
}

} // namespace

bool PictureReader::Open(const std::filesystem::path& file, MessageText& messages) {
  Close();
  std::error_code ec;
  const bool regular = std::filesystem::is_regular_file(file, ec);
  const std::uintmax_t size = regular ? std::filesystem::file_size(file, ec) : 0;
  if (!regular || ec) {
    messages.Append("画像ファイル" + MessageText::Quoted(file) + "を開けません\n");
    return false;
  }
  if (size > kMaxFileBytes) {
    messages.Append("画像ファイル" + MessageText::Quoted(file) + "が大きすぎます\n");
    return false;
  }
  std::vector<std::uint8_t> bytes;
  try {
    bytes.resize(static_cast<std::size_t>(size));
  } catch (const std::bad_alloc&) {
    messages.Append("画像ファイル" + MessageText::Quoted(file) + "を読み込むメモリがありません\n");
    return false;
  }
  std::ifstream in(file, std::ios::binary);
  if (!in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()))) {
    messages.Append("画像ファイル" + MessageText::Quoted(file) + "を読めません\n");
    return false;
  }
  return Open(bytes, file, messages);
}

bool PictureReader::Open(std::span<const std::uint8_t> bytes, const std::filesystem::path& name,
                         MessageText& messages) {
  try {
    return Decode(bytes, name, messages);
  } catch (const std::bad_alloc&) {
    Close();
    messages.Append("画像ファイル" + MessageText::Quoted(name) + "を読み込むメモリがありません\n");
    return false;
  }
}

bool PictureReader::Decode(std::span<const std::uint8_t> bytes, const std::filesystem::path& name,
                           MessageText& messages) {
  Close();
  if (bytes.size() > kMaxFileBytes) {
    messages.Append("画像ファイル" + MessageText::Quoted(name) + "が大きすぎます\n");
    return false;
  }
  std::string extension = name.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  const bool bmpMagic = bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M';
  const bool targaFirst = extension == ".tga" || (extension != ".bmp" && !bmpMagic);
  const AVCodecID order[2] = {targaFirst ? AV_CODEC_ID_TARGA : AV_CODEC_ID_BMP,
                              targaFirst ? AV_CODEC_ID_BMP : AV_CODEC_ID_TARGA};

  std::string refusal;
  ff::FramePtr frame;
  for (AVCodecID id : order) {
    std::int64_t w = 0, h = 0;
    const bool header = id == AV_CODEC_ID_BMP ? BmpHeaderSize(bytes, w, h) : TgaHeaderSize(bytes, w, h);
    if (!header)
      continue;
    if (std::string why = SizeRefusal(w, h, name); !why.empty()) {
      refusal = why;
      continue;
    }
    frame = DecodeFrame(id, bytes);
    if (frame)
      break;
  }
  if (frame) {
    if (std::string why = SizeRefusal(frame->width, frame->height, name); !why.empty()) {
      refusal = why;
      frame.reset();
    }
  }
  if (!frame) {
    messages.Append(
        (refusal.empty() ? "画像ファイル" + MessageText::Quoted(name) + "を読み込めません" : refusal) + "\n");
    return false;
  }

  const int w = frame->width;
  const int h = frame->height;
  const auto format = static_cast<AVPixelFormat>(frame->format);
  const ff::SwsPtr convert =
      ff::MakeSws(w, h, format, w, h, AV_PIX_FMT_BGR24, SWS_POINT | SWS_BITEXACT | SWS_ACCURATE_RND);
  if (!convert) {
    messages.Append("画像ファイル" + MessageText::Quoted(name) + "の画素の形式には対応していません\n");
    return false;
  }
  // Rows 32-byte aligned for the converter, with room behind the last one.
  const std::size_t stride = (static_cast<std::size_t>(w) * 3 + 31) & ~std::size_t{31};
  bgr_.assign(stride * static_cast<std::size_t>(h) + 64, 0);
  std::uint8_t* dest[4] = {bgr_.data(), nullptr, nullptr, nullptr};
  const int destStride[4] = {static_cast<int>(stride), 0, 0, 0};
  if (sws_scale(convert.get(), frame->data, frame->linesize, 0, h, dest, destStride) != h) {
    Close();
    messages.Append("画像ファイル" + MessageText::Quoted(name) + "を読み込めません\n");
    return false;
  }
  stride_ = stride;
  width_ = w;
  height_ = h;
  nextRow_ = 0;
  return true;
}

bool PictureReader::NextRow(std::uint32_t* row) {
  if (nextRow_ >= height_)
    return false;
  const std::uint8_t* p = bgr_.data() + static_cast<std::size_t>(nextRow_) * stride_;
  for (std::int32_t x = 0; x < width_; ++x, p += 3)
    row[x] = static_cast<std::uint32_t>(p[0]) << 8 | static_cast<std::uint32_t>(p[2]) << 16 |
             static_cast<std::uint32_t>(p[1]) << 24;
  ++nextRow_;
  return true;
}

void PictureReader::Close() {
  width_ = 0;
  height_ = 0;
  nextRow_ = 0;
  stride_ = 0;
  bgr_.clear();
  bgr_.shrink_to_fit();
}

} // namespace rw
