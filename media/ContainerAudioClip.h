#pragma once

#include "media/AudioClip.h"
#include "media/ContainerSound.h"

#include <cstdint>
#include <filesystem>
#include <string_view>

namespace rw {

class MediaContext;
class RecordReader;

// An audio clip of the first audio stream of a movie or sound file (MP4, MOV, MKV, WebM, MP3,
// M4A, FLAC, Ogg, Opus), read through the file's shared ContainerSound: 16-bit PCM, mono or
// stereo, at the stream's own rate, sample 0 at the file's time origin (its first picture when
// it has pictures), so the sound of a movie cut stays aligned with its frames.
class ContainerAudioClip : public pAudioClip {
public:
  // A blank clip without a sound, to be filled from a record and rebuilt.
  explicit ContainerAudioClip(MediaContext& context) : context_(&context) {}
  // The whole audio of the file, opened (or shared) through the context's registry; not valid
  // when the file has no audio stream or does not open.
  ContainerAudioClip(MediaContext& context, const std::filesystem::path& file);
  ContainerAudioClip(const ContainerAudioClip& other);

  pAudioClip* Clone() const override { return new ContainerAudioClip(*this); }
  std::int32_t GetChannels() const override { return sound_ ? sound_->Channels() : 0; }
  std::int32_t GetBits() const override { return sound_ ? sound_->Bits() : 0; }
  std::int32_t GetRate() const override { return sound_ ? sound_->Rate() : 0; }
  bool ReadSamples(void* dest, std::int32_t first, std::int32_t count) override;
  std::int32_t GetSourceLength() const override { return sound_ ? sound_->SampleFrames() : 0; }
  bool IsValid() const override { return sound_ && sound_->IsOpen() && sound_->SampleFrames() > 0; }
  std::int32_t GetBeginSample() const override { return beginSample_; }
  std::int32_t GetEndSample() const override { return endSample_; }
  bool SetBeginSample(std::int32_t n) override;
  bool SetEndSample(std::int32_t n) override;
  bool SetLength(std::int32_t n) override;
  std::string_view GetKindName() const override { return "Sound"; }
  // A new clip of the record's file with the record's trimming, anchor, volume and OverClip;
  // null when the file has no usable audio.
  AudioClip Rebuild() override;

  const ContainerSound& Sound() const { return sound_; }

  // Whether the file's extension is one this kind opens (either letter case).
  static bool HasSoundExtension(const std::filesystem::path& file);

  // Kind operations of the audio clip kind table.
  static AudioClip OpenFile(const std::filesystem::path& file, MediaContext& context);
  static AudioClip LoadRecord(RecordReader& reader, MediaContext& context);
  static bool CheckFiles(MediaContext& context);

private:
  MediaContext* context_;
  ContainerSound sound_;
};

} // namespace rw
