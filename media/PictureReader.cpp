#include "media/PictureReader.h"

#include "base/MessageText.h"
#include "base/RecordGrammar.h"
#include "media/FfmpegPtr.h"
#include "media/PictureConvert.h"
#include "media/PictureHeader.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/frame.h>
}

#include <algorithm>
#include <cstring>
#include <fstream>
#include <memory>
#include <new>
#include <system_error>

namespace rw {
namespace {

// Empty when a picture of w x h, decoded into `pixelBytes` bytes per pixel, may be decoded,
// else the reason.
std::string SizeRefusal(std::int64_t w, std::int64_t h, std::int32_t pixelBytes,
                        const std::filesystem::path& name) {
  const std::string size = std::to_string(w) + "x" + std::to_string(h);
  if (w > PictureReader::kMaxSide || h > PictureReader::kMaxSide)
    return "画像" + MessageText::Quoted(name) + "の大きさ(" + size + ")が大きすぎます(縦横とも" +
           std::to_string(PictureReader::kMaxSide) + "画素まで)";
  if (w > 0 && h > 0 &&
      static_cast<std::uint64_t>(w * h) * static_cast<std::uint64_t>(pixelBytes) >
          PictureReader::kMaxDecodedBytes)
    return "画像" + MessageText::Quoted(name) + "の大きさ(" + size + ")が大きすぎます(展開に" +
           std::to_string(PictureReader::kMaxDecodedBytes >> 20) + "MiBを超えるメモリが要ります)";
  return {};
}

// Decodes the one picture of `bytes` with the decoder `id`; null when it cannot.
ff::FramePtr DecodeFrame(AVCodecID id, std::span<const std::uint8_t> bytes, std::int32_t pixelBytes) {
  const ff::CodecContextPtr context = ff::OpenDecoder(
      id, nullptr, {.maxPixels = static_cast<std::int64_t>(PictureReader::kMaxDecodedBytes) / pixelBytes});
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

AVCodecID DecoderOf(PictureHeader::Format format) {
  switch (format) {
  case PictureHeader::Format::Bmp:
    return AV_CODEC_ID_BMP;
  case PictureHeader::Format::Png:
    return AV_CODEC_ID_PNG;
  case PictureHeader::Format::Jpeg:
    return AV_CODEC_ID_MJPEG;
  default:
    return AV_CODEC_ID_TARGA;
  }
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
  using Format = PictureHeader::Format;
  // A signature decides the decoder; a BMP signature still lets the Targa decoder try when the
  // bitmap decoder fails, as Targa files have no signature of their own. A file named as a PNG
  // or JPEG picture without that signature is not guessed at.
  Format signed_ = Format::Targa;
  const bool hasSignature = PictureHeader::Signature(bytes, signed_);
  const std::string extension = name.extension().string();
  std::vector<Format> order;
  if (hasSignature && signed_ != Format::Bmp)
    order = {signed_};
  else if (SameWord(extension, ".png") || SameWord(extension, ".jpg") || SameWord(extension, ".jpeg"))
    order = hasSignature ? std::vector<Format>{Format::Bmp} : std::vector<Format>{};
  else if (SameWord(extension, ".tga") || (!SameWord(extension, ".bmp") && !hasSignature))
    order = {Format::Targa, Format::Bmp};
  else
    order = {Format::Bmp, Format::Targa};

  std::string refusal;
  ff::FramePtr frame;
  Format decoded = Format::Targa;
  std::int32_t decodedPixelBytes = 4;
  for (Format format : order) {
    std::int64_t w = 0, h = 0;
    std::int32_t pixelBytes = 4;
    if (!PictureHeader::Size(format, bytes, w, h, pixelBytes))
      continue;
    if (std::string why = SizeRefusal(w, h, pixelBytes, name); !why.empty()) {
      refusal = why;
      continue;
    }
    frame = DecodeFrame(DecoderOf(format), bytes, pixelBytes);
    if (frame) {
      decoded = format;
      decodedPixelBytes = pixelBytes;
      break;
    }
  }
  if (frame) {
    if (std::string why = SizeRefusal(frame->width, frame->height, decodedPixelBytes, name); !why.empty()) {
      refusal = why;
      frame.reset();
    }
  }
  if (!frame) {
    messages.Append(
        (refusal.empty() ? "画像ファイル" + MessageText::Quoted(name) + "を読み込めません" : refusal) + "\n");
    return false;
  }

  // Alpha is composited over black for PNG pictures only; BMP and Targa alpha is ignored.
  BgrPicture picture;
  if (!PictureConvert::ToBgr(*frame, decoded == Format::Png, PictureConvert::OrientationOf(*frame),
                             picture)) {
    Close();
    messages.Append("画像ファイル" + MessageText::Quoted(name) + "の画素の形式には対応していません\n");
    return false;
  }
  bgr_ = std::move(picture.bytes);
  stride_ = picture.stride;
  width_ = picture.width;
  height_ = picture.height;
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
