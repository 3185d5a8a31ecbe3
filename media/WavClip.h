#pragma once

#include "media/AudioClip.h"
#include "media/WavStream.h"

#include <cstdint>
#include <filesystem>
#include <string_view>

namespace rw {

class MediaContext;
class RecordReader;

// An audio clip of a WAV file, read through the file's shared WavStream.
class WavClip : public pAudioClip {
public:
  // A blank clip without a stream, to be filled from a record and rebuilt.
  explicit WavClip(MediaContext& context) : context_(&context) {}
  // A clip of the whole file; without a stream when the file cannot be opened.
  WavClip(MediaContext& context, const std::filesystem::path& file);
  WavClip(const WavClip& other);

  pAudioClip* Clone() const override { return new WavClip(*this); }
  std::int32_t GetChannels() const override { return stream_ ? stream_->Channels() : 0; }
  std::int32_t GetBits() const override { return stream_ ? stream_->Bits() : 0; }
  std::int32_t GetRate() const override { return stream_ ? stream_->Rate() : 0; }
  bool ReadSamples(void* dest, std::int32_t first, std::int32_t count) override;
  std::int32_t GetSourceLength() const override { return stream_ ? stream_->SampleFrames() : 0; }
  bool IsValid() const override { return static_cast<bool>(stream_); }
  std::int32_t GetBeginSample() const override { return beginSample_; }
  std::int32_t GetEndSample() const override { return endSample_; }
  bool SetBeginSample(std::int32_t n) override;
  bool SetEndSample(std::int32_t n) override;
  bool SetLength(std::int32_t n) override;
  std::string_view GetKindName() const override { return "WAV"; }
  // A new clip of the record's file with the record's trimming, anchor, volume and OverClip;
  // null when the file does not open.
  AudioClip Rebuild() override;

  const WavStream& Stream() const { return stream_; }

  // Kind operations of the audio clip kind table.
  static AudioClip OpenFile(const std::filesystem::path& file, MediaContext& context);
  static AudioClip LoadRecord(RecordReader& reader, MediaContext& context);
  static bool CheckFiles(MediaContext& context);

private:
  MediaContext* context_;
  WavStream stream_;
};

} // namespace rw
