#include "media/WavStream.h"

#include "base/LittleEndian.h"
#include "base/MessageText.h"

#include <algorithm>
#include <limits>
#include <string>
#include <system_error>
#include <vector>

namespace rw {
namespace {

constexpr std::uint16_t kTagPcm = 1;
constexpr std::uint16_t kTagFloat = 3;
constexpr std::uint16_t kTagExtensible = 0xFFFE;
// The sub-format GUID of the extensible format after its first two bytes (the format tag).
constexpr std::uint8_t kSubFormatTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                             0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
// Frames converted per piece when the file's layout is not the delivered one, and the most
// bytes such a piece may take (frames of many channels make fewer frames a piece).
constexpr std::int32_t kConvertPiece = 4096;
constexpr std::int64_t kConvertBytes = std::int64_t{1} << 20;

// Little-endian reads from a file of known length.
class ChunkInput {
public:
  ChunkInput(std::FILE* f, std::int64_t length) : f_(f), length_(length) {}

  bool Bytes(void* dest, std::size_t n) { return std::fread(dest, 1, n, f_) == n; }
  bool U16(std::uint16_t& v) { return Value(v, &U16Le); }
  bool U32(std::uint32_t& v) { return Value(v, &U32Le); }
  std::int64_t Position() const { return ::ftello(f_); }
  std::int64_t Remaining() const { return length_ - Position(); }
  // Moves `n` bytes on; false when that would leave the file.
  bool Skip(std::int64_t n) {
    if (n > Remaining())
      return false;
    return ::fseeko(f_, static_cast<off_t>(n), SEEK_CUR) == 0;
  }

private:
  template <class V> bool Value(V& v, V (*decode)(const std::uint8_t*)) {
    std::uint8_t b[sizeof(V)];
    if (!Bytes(b, sizeof b))
      return false;
    v = decode(b);
    return true;
  }

  std::FILE* f_;
  std::int64_t length_;
};

std::string ChunkName(std::uint32_t id) {
  std::string name;
  for (int i = 0; i < 4; ++i) {
    const char c = static_cast<char>(id >> (8 * i) & 0xFF);
    name += (c >= 0x20 && c < 0x7F) ? c : '?';
  }
  return name;
}

} // namespace

bool pWavStream::Fail(MessageText& messages, const std::string& text) {
  file_.reset();
  messages.Append(text + "\n");
  return false;
}

bool pWavStream::Open(const std::filesystem::path& file, MessageText& messages) {
  Close();
  fileName_ = file;
  stamp_ = FileStamp{};

  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec))
    return Fail(messages, "WAVファイル" + MessageText::Quoted(file) + "を開けません");
  FilePtr f(std::fopen(file.c_str(), "rb"));
  if (!f || ::fseeko(f.get(), 0, SEEK_END) != 0)
    return Fail(messages, "WAVファイル" + MessageText::Quoted(file) + "を開けません");
  const std::int64_t length = ::ftello(f.get());
  std::rewind(f.get());
  ChunkInput in(f.get(), length);

  channels_ = 0;
  bits_ = 0;
  rate_ = 0;
  std::uint32_t riff = 0, riffSize = 0, wave = 0;
  if (!in.U32(riff) || riff != FourCC('R', 'I', 'F', 'F') || !in.U32(riffSize) || !in.U32(wave) ||
      wave != FourCC('W', 'A', 'V', 'E'))
    return Fail(messages, MessageText::Quoted(file) + "はWAVファイルではありません");

  bool isFloat = false;
  for (;;) {
    std::uint32_t id = 0, size = 0;
    if (!in.U32(id) || !in.U32(size))
      return Fail(messages, MessageText::Quoted(file) + "に音声データ(dataチャンク)がありません");
    if (size > in.Remaining())
      return Fail(messages, MessageText::Quoted(file) + "のチャンク'" + ChunkName(id) + "'の大きさ(" +
                                std::to_string(size) + "バイト)がファイルの終わりを越えています");
    if (id == FourCC('f', 'm', 't', ' ')) {
      if (size < 16)
        return Fail(messages, MessageText::Quoted(file) + "の形式(fmtチャンク)が短すぎます");
      std::uint16_t tag = 0, channels = 0, blockAlign = 0, bits = 0;
      std::uint32_t rate = 0, byteRate = 0;
      if (!in.U16(tag) || !in.U16(channels) || !in.U32(rate) || !in.U32(byteRate) || !in.U16(blockAlign) ||
          !in.U16(bits))
        return Fail(messages, MessageText::Quoted(file) + "の形式(fmtチャンク)が読めません");
      std::int64_t rest = static_cast<std::int64_t>(size) - 16;
      if (tag == kTagExtensible) {
        std::uint16_t extraSize = 0, validBits = 0;
        std::uint32_t channelMask = 0;
        std::uint8_t guid[16];
        if (size < 40 || !in.U16(extraSize) || extraSize < 22 || !in.U16(validBits) || !in.U32(channelMask) ||
            !in.Bytes(guid, sizeof guid))
          return Fail(messages, MessageText::Quoted(file) + "の拡張形式(fmtチャンク)が不正です");
        rest -= 24;
        tag = U16Le(guid);
        if (!std::equal(std::begin(kSubFormatTail), std::end(kSubFormatTail), guid + 2))
          tag = 0;
      }
      if (tag != kTagPcm && tag != kTagFloat)
        return Fail(messages,
                    MessageText::Quoted(file) + "はPCM形式ではありません(形式 " + std::to_string(tag) + ")");
      isFloat = tag == kTagFloat;
      channels_ = channels;
      rate_ = rate > static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max())
                  ? 0
                  : static_cast<std::int32_t>(rate);
      bits_ = bits;
      if (!in.Skip(rest + (size & 1)))
        return Fail(messages, MessageText::Quoted(file) + "の形式(fmtチャンク)が読めません");
    } else if (id == FourCC('d', 'a', 't', 'a')) {
      if (rate_ == 0 || channels_ == 0 || bits_ == 0)
        return Fail(messages,
                    MessageText::Quoted(file) + "の音声データの前に正しい形式(fmtチャンク)がありません");
      if (size == 0)
        return Fail(messages, MessageText::Quoted(file) + "の音声データが空です");
      source_ = PcmFormat{channels_, (bits_ - 1) / 8 + 1, isFloat};
      if (!source_.IsSupported())
        return Fail(messages, MessageText::Quoted(file) + "のサンプルの形式(" + std::to_string(bits_) +
                                  "ビット" + (isFloat ? "浮動小数点" : "") + ")には対応していません");
      const std::int64_t frames = size / static_cast<std::uint32_t>(source_.BlockSize());
      if (frames == 0)
        return Fail(messages, MessageText::Quoted(file) + "の音声データが空です");
      sampleFrames_ =
          static_cast<std::int32_t>(std::min<std::int64_t>(frames, std::numeric_limits<std::int32_t>::max()));
      channels_ = source_.DeliveredChannels();
      bits_ = source_.DeliveredBits();
      blockSize_ = source_.DeliveredBlockSize();
      dataOffset_ = in.Position();
      stamp_ = FileStamp::Of(file);
      file_ = std::move(f);
      return true;
    } else if (!in.Skip(static_cast<std::int64_t>(size) + (size & 1))) {
      return Fail(messages, MessageText::Quoted(file) + "に音声データ(dataチャンク)がありません");
    }
  }
}

bool pWavStream::Read(void* dest, std::int32_t first, std::int32_t count) {
  if (!file_ || first < 0 || first >= sampleFrames_ || count < 0)
    return false;
  count = std::min(count, sampleFrames_ - first);
  if (count == 0)
    return true;
  const std::size_t sourceBlock = static_cast<std::size_t>(source_.BlockSize());
  std::FILE* f = file_.get();
  std::clearerr(f);
  if (::fseeko(f, static_cast<off_t>(dataOffset_ + static_cast<std::int64_t>(first) * source_.BlockSize()),
               SEEK_SET) != 0)
    return false;
  if (source_.IsDelivered())
    return std::fread(dest, sourceBlock, static_cast<std::size_t>(count), f) ==
           static_cast<std::size_t>(count);

  auto* out = static_cast<std::uint8_t*>(dest);
  const auto frames = static_cast<std::int32_t>(
      std::clamp<std::int64_t>(kConvertBytes / source_.BlockSize(), 1, std::min(count, kConvertPiece)));
  std::vector<std::uint8_t> piece(sourceBlock * static_cast<std::size_t>(frames));
  while (count > 0) {
    const std::int32_t n = std::min(count, frames);
    if (std::fread(piece.data(), sourceBlock, static_cast<std::size_t>(n), f) != static_cast<std::size_t>(n))
      return false;
    source_.ToDelivered(piece.data(), n, out);
    out += static_cast<std::size_t>(n) * static_cast<std::size_t>(blockSize_);
    count -= n;
  }
  return true;
}

} // namespace rw
