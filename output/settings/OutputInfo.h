#pragma once

#include <cstdint>

namespace rw {

class MessageText;
class RecordReader;
class RecordWriter;

// The meaningful part of the compressor choice: what survives from one use to the next. Format
// and parameter blocks of a particular encoder are never kept.
struct CompressOptions {
  std::uint32_t fccType = 0;
  std::uint32_t fccHandler = 0; // four-character code of the encoder, lowest byte first
  std::uint32_t dwKeyFrameEvery = 0;
  std::uint32_t dwQuality = 0;
  std::uint32_t dwBytesPerSecond = 0;
  std::uint32_t dwFlags = 0;
  std::uint32_t dwInterleaveEvery = 0;

  friend bool operator==(const CompressOptions&, const CompressOptions&) = default;
};

// The movie output settings of one project: frame size and rate, audio format, recompression
// and the compressor choice. Copied by value. Every clip list holds one; the settings used while
// no project is open are a default-constructed OutputInfo owned by the program and passed to
// whoever needs it (there is no shared global instance). The validating setters answer whether the value
// was taken; a refused value leaves the field as it was.
class OutputInfo {
public:
  static constexpr std::int32_t kVideoRate = 30;
  static constexpr std::int32_t kMaxFrameSize = 4096;
  static constexpr std::int32_t kDefaultAudioRate = 44100;
  static constexpr std::int32_t kDefaultAudioBits = 16;
  static constexpr std::int32_t kDefaultAudioChannels = 2;

  // Everything back to the defaults: no compressor, rate 30, size 0 x 0 (not chosen yet),
  // no recompression, audio on at 44100 Hz, 16 bits, stereo.
  void Reset() { *this = OutputInfo(); }

  bool SetVideoRate(std::int32_t rate);         // 30 only
  bool SetVideoWidth(std::int32_t width);       // 1..4096
  bool SetVideoHeight(std::int32_t height);     // 1..4096
  bool SetAudioRate(std::int32_t rate);         // 11025, 22050, 32000, 44100, 48000
  bool SetAudioBits(std::int32_t bits);         // 8, 16
  bool SetAudioChannels(std::int32_t channels); // 1, 2
  void SetRecompress(bool on) { recompress_ = on; }
  void SetAudioOut(bool on) { audioOut_ = on; }
  void SetCompress(const CompressOptions& options) { compress_ = options; }

  std::int32_t VideoRate() const { return videoRate_; }
  std::int32_t VideoWidth() const { return videoWidth_; }
  std::int32_t VideoHeight() const { return videoHeight_; }
  bool Recompress() const { return recompress_; }
  bool AudioOut() const { return audioOut_; }
  std::int32_t AudioRate() const { return audioRate_; }
  std::int32_t AudioBits() const { return audioBits_; }
  std::int32_t AudioChannels() const { return audioChannels_; }
  const CompressOptions& Compress() const { return compress_; }
  CompressOptions& Compress() { return compress_; }

  // The block that follows the project's "Output:" line: "begin" at `level`, the keys at
  // level + 1, "end" at `level`.
  bool WriteBlock(RecordWriter& out, int level) const;
  // Resets to the defaults, then reads such a block. Refused values are ignored. False (with a
  // message appended to
  // `messages` when given) when a key line comes before "begin" or the input ends before "end"; the
  // values read until then stay set.
  bool ReadBlock(RecordReader& in, MessageText* messages = nullptr);

  friend bool operator==(const OutputInfo&, const OutputInfo&) = default;

private:
  CompressOptions compress_;
  std::int32_t videoRate_ = kVideoRate;
  std::int32_t videoWidth_ = 0;
  std::int32_t videoHeight_ = 0;
  bool recompress_ = false;
  bool audioOut_ = true;
  std::int32_t audioRate_ = kDefaultAudioRate;
  std::int32_t audioBits_ = kDefaultAudioBits;
  std::int32_t audioChannels_ = kDefaultAudioChannels;
};

} // namespace rw
