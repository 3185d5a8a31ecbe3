#pragma once

#include "media/AudioClip.h"
#include "media/AviStream.h"

#include <cstdint>
#include <filesystem>
#include <string_view>

namespace rw {

class MediaContext;
class RecordReader;

// An audio clip of the PCM audio stream of an AVI file, read through the file's shared stream
// (for the sound of an AVI cut, the cut's own stream).
class AviAudioClip : public pAudioClip {
public:
  // A blank clip without a stream, to be filled from a record and rebuilt.
  explicit AviAudioClip(MediaContext& context) : context_(&context) {}
  // The whole audio of `stream`.
  AviAudioClip(MediaContext& context, const AviStream& stream);
  // The whole audio of the file, opened (or shared) through the context's registry.
  AviAudioClip(MediaContext& context, const std::filesystem::path& file);
  AviAudioClip(const AviAudioClip& other);

  pAudioClip* Clone() const override { return new AviAudioClip(*this); }
  std::int32_t GetChannels() const override { return Format().channels; }
  std::int32_t GetBits() const override { return Format().bitsPerSample; }
  std::int32_t GetRate() const override { return Format().samplesPerSec; }
  bool ReadSamples(void* dest, std::int32_t first, std::int32_t count) override;
  std::int32_t GetSourceLength() const override { return stream_ ? stream_->AudioLength() : 0; }
  bool IsValid() const override { return stream_ && stream_->IsOpen() && stream_->HasAudio(); }
  std::int32_t GetBeginSample() const override { return beginSample_; }
  std::int32_t GetEndSample() const override { return endSample_; }
  bool SetBeginSample(std::int32_t n) override;
  bool SetEndSample(std::int32_t n) override;
  bool SetLength(std::int32_t n) override;
  std::string_view GetKindName() const override { return "AVIAudio"; }
  // A new clip of the record's file with the record's trimming, anchor, volume and OverClip;
  // null when the file has no usable audio.
  AudioClip Rebuild() override;

  const AviStream& Stream() const { return stream_; }

  // Kind operations of the audio clip kind table.
  static AudioClip OpenFile(const std::filesystem::path& file, MediaContext& context);
  static AudioClip LoadRecord(RecordReader& reader, MediaContext& context);
  static bool CheckFiles(MediaContext& context);

private:
  AviAudioFormat Format() const { return stream_ ? stream_->AudioFormat() : AviAudioFormat{}; }

  MediaContext* context_;
  AviStream stream_;
};

} // namespace rw
