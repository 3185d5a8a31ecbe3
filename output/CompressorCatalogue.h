#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace rw {

class MessageText;
struct CompressOptions;

// How an encoder is driven: which options carry the quality, the key-frame interval and the
// data rate, and how a key frame is forced at a chosen picture.
enum class EncoderFamily : std::uint8_t {
  Stored,    // no encoder: the picture's own bytes are the sample
  MpegVideo, // libavcodec's MPEG-style encoders: quantiser scale, group size, bit rate
  X264,      // libx264: constant rate factor, group size, bit rate
  Restart,   // encoders that cannot be told to make a key frame: they are opened afresh instead
  Intra      // every picture stands alone and the encoder has no settings to map
};

// One compressor of the catalogue.
struct CompressorInfo {
  std::uint32_t code = 0;       // four-character code, lowest byte first, as stored in projects
  std::string_view encoder;     // libavcodec encoder name
  std::string_view description; // short, for lists
  std::string_view pixelFormat; // the encoder's input picture format (libavutil's name)
  EncoderFamily family = EncoderFamily::Intra;
  bool lossless = false;
  bool quality = false;   // honours the quality setting
  bool keyFrames = false; // honours the key-frame interval
  bool dataRate = false;  // honours the data rate
  // Largest mean difference per colour byte between a picture and its decoded copy that the
  // trial write accepts (0 for the lossless ones).
  int trialTolerance = 0;

  // The code as four characters (bytes outside printable ASCII in the stored backslash form).
  std::string CodeText() const;
};

// What the user chose for the encoder, already interpreted.
struct EncoderSettings {
  static constexpr int kDefaultQuality = 7500;
  static constexpr int kDefaultKeyFrameEvery = 30;

  int quality = kDefaultQuality;             // 0 (smallest) .. 10000 (best)
  int keyFrameEvery = kDefaultKeyFrameEvery; // at most this many pictures from one key frame to the next
  std::int64_t bytesPerSecond = 0;           // data-rate target; 0: none (quality decides)
  int threads = 1; // encoder threads; 0: one per processor. Only ways that give the same bytes.

  // From the stored compressor choice: a quality above 10000 (the "default" value -1 among
  // them) means the default; the key-frame interval counts only with its flag (4) and the data
  // rate only with its flag (2), each when above 0.
  static EncoderSettings From(const CompressOptions& options);
};

// The compressors this program can write into an AVI movie: every encoder of the installed
// libavcodec that a trial write and read-back shows to work. The trial runs once, on first use,
// and its result is kept in the object.
class CompressorCatalogue {
public:
  // Every compressor the program knows, available here or not, in listing order.
  static std::span<const CompressorInfo> Known();
  // The known entry for a code, compared without regard to letter case; null when unknown.
  static const CompressorInfo* FindKnown(std::uint32_t code);

  // The entries available here, in listing order.
  const std::vector<const CompressorInfo*>& Entries();
  // The available entry for a code (letter case ignored); null when there is none.
  const CompressorInfo* Find(std::uint32_t code);
  // As Find, but a missing code is reported by name in `messages`.
  const CompressorInfo* Require(std::uint32_t code, MessageText& messages);
  // Why a known code did not pass its trial (empty for available and unknown codes).
  std::string TrialFailure(std::uint32_t code);

  // A code from its text: exactly four characters, or fewer padded with spaces ("DIB").
  static std::optional<std::uint32_t> ParseCode(std::string_view text);
  static bool SameCode(std::uint32_t a, std::uint32_t b);

private:
  void Probe();

  bool probed_ = false;
  std::vector<const CompressorInfo*> entries_;
  std::vector<std::pair<const CompressorInfo*, std::string>> failures_;
};

} // namespace rw
