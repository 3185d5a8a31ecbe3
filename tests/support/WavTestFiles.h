#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>
#include <vector>

namespace rw::test {

// Builds WAV files byte by byte, so that tests control every header field.
class WavBuilder {
public:
  // RIFF/WAVE header followed by the chunks added, in order; the RIFF size is filled in.
  std::vector<std::uint8_t> Bytes() const;
  void Write(const std::filesystem::path& file) const;

  // Any chunk; an odd-sized one gets its pad byte unless `pad` is false.
  WavBuilder& Chunk(std::string_view id, const std::vector<std::uint8_t>& body, bool pad = true);
  // A chunk whose size field says `claimedSize` whatever the body holds.
  WavBuilder& RawChunk(std::string_view id, std::uint32_t claimedSize, const std::vector<std::uint8_t>& body);
  // "fmt " of 16 bytes (format tag, channels, rate, bits; block align and byte rate derived).
  WavBuilder& Fmt(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, std::uint16_t bits);
  // "fmt " of the extensible format (40 bytes) with the given sub-format code.
  WavBuilder& FmtExtensible(std::uint16_t subFormat, std::uint16_t channels, std::uint32_t rate,
                            std::uint16_t bits);
  WavBuilder& Data(const std::vector<std::uint8_t>& samples) { return Chunk("data", samples); }

private:
  std::vector<std::uint8_t> chunks_;
};

// Little-endian helpers.
void PutU16(std::vector<std::uint8_t>& out, std::uint32_t v);
void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v);

// A tone whose samples encode their position: frame f, channel ch has the 16-bit value
// ToneSample16(f, ch); 8-bit files hold ToneSample8(f, ch).
std::int16_t ToneSample16(std::int32_t frame, std::int32_t channel);
std::uint8_t ToneSample8(std::int32_t frame, std::int32_t channel);
// The data bytes of such a tone with `frames` frames.
std::vector<std::uint8_t> ToneData(std::int32_t frames, std::int32_t channels, std::int32_t bits);

// A complete PCM WAV file of the tone.
void WriteToneWav(const std::filesystem::path& file, std::int32_t frames, std::int32_t channels,
                  std::int32_t bits, std::int32_t rate);

} // namespace rw::test
