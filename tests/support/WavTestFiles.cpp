#include "tests/support/WavTestFiles.h"

#include <fstream>
#include <system_error>

namespace rw::test {

void PutU16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v & 0xFF));
  out.push_back(static_cast<std::uint8_t>(v >> 8 & 0xFF));
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  PutU16(out, v & 0xFFFF);
  PutU16(out, v >> 16);
}

namespace {

void PutId(std::vector<std::uint8_t>& out, std::string_view id) {
  for (int i = 0; i < 4; ++i)
    out.push_back(static_cast<std::uint8_t>(i < static_cast<int>(id.size()) ? id[i] : ' '));
}

} // namespace

std::vector<std::uint8_t> WavBuilder::Bytes() const {
  std::vector<std::uint8_t> out;
  PutId(out, "RIFF");
  PutU32(out, static_cast<std::uint32_t>(4 + chunks_.size()));
  PutId(out, "WAVE");
  out.insert(out.end(), chunks_.begin(), chunks_.end());
  return out;
}

void WavBuilder::Write(const std::filesystem::path& file) const {
  const std::vector<std::uint8_t> bytes = Bytes();
  // A new file rather than one truncated in place, which the file system would flush on close.
  std::error_code ec;
  std::filesystem::remove(file, ec);
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

WavBuilder& WavBuilder::Chunk(std::string_view id, const std::vector<std::uint8_t>& body, bool pad) {
  RawChunk(id, static_cast<std::uint32_t>(body.size()), body);
  if (pad && body.size() % 2 == 1)
    chunks_.push_back(0);
  return *this;
}

WavBuilder& WavBuilder::RawChunk(std::string_view id, std::uint32_t claimedSize,
                                 const std::vector<std::uint8_t>& body) {
  PutId(chunks_, id);
  PutU32(chunks_, claimedSize);
  chunks_.insert(chunks_.end(), body.begin(), body.end());
  return *this;
}

WavBuilder& WavBuilder::Fmt(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate,
                            std::uint16_t bits) {
  std::vector<std::uint8_t> body;
  const std::uint32_t block = channels * ((bits + 7u) / 8u);
  PutU16(body, tag);
  PutU16(body, channels);
  PutU32(body, rate);
  PutU32(body, rate * block);
  PutU16(body, block);
  PutU16(body, bits);
  return Chunk("fmt ", body);
}

WavBuilder& WavBuilder::FmtExtensible(std::uint16_t subFormat, std::uint16_t channels, std::uint32_t rate,
                                      std::uint16_t bits) {
  std::vector<std::uint8_t> body;
  const std::uint32_t block = channels * ((bits + 7u) / 8u);
  PutU16(body, 0xFFFE);
  PutU16(body, channels);
  PutU32(body, rate);
  PutU32(body, rate * block);
  PutU16(body, block);
  PutU16(body, bits);
  PutU16(body, 22);
  PutU16(body, bits);
  PutU32(body, 3);
  PutU16(body, subFormat);
  for (std::uint8_t b : {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71})
    body.push_back(b);
  return Chunk("fmt ", body);
}

std::int16_t ToneSample16(std::int32_t frame, std::int32_t channel) {
  // Distinct for the first 32768 frames of each channel; the right channel is negated.
  const std::int32_t v = frame % 32768;
  return static_cast<std::int16_t>(channel == 0 ? v : -v - 1);
}

std::uint8_t ToneSample8(std::int32_t frame, std::int32_t channel) {
  return static_cast<std::uint8_t>(channel == 0 ? frame % 256 : 255 - frame % 256);
}

std::vector<std::uint8_t> ToneData(std::int32_t frames, std::int32_t channels, std::int32_t bits) {
  std::vector<std::uint8_t> data;
  for (std::int32_t f = 0; f < frames; ++f) {
    for (std::int32_t c = 0; c < channels; ++c) {
      if (bits == 8)
        data.push_back(ToneSample8(f, c));
      else
        PutU16(data, static_cast<std::uint16_t>(ToneSample16(f, c)));
    }
  }
  return data;
}

void WriteToneWav(const std::filesystem::path& file, std::int32_t frames, std::int32_t channels,
                  std::int32_t bits, std::int32_t rate) {
  WavBuilder()
      .Fmt(1, static_cast<std::uint16_t>(channels), static_cast<std::uint32_t>(rate),
           static_cast<std::uint16_t>(bits))
      .Data(ToneData(frames, channels, bits))
      .Write(file);
}

} // namespace rw::test
