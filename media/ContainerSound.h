#pragma once

#include "base/Handle.h"
#include "base/RefCounted.h"
#include "media/ContainerSoundIndex.h"
#include "media/FileStamp.h"
#include "media/ReaderRegistry.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace rw {

class ContainerSoundDecoder;
class MessageText;

// The sound of a file libavformat opens (MP4, MOV, MKV, WebM, MP3, M4A, FLAC, Ogg, Opus, …):
// the first audio stream, delivered as 16-bit signed interleaved PCM, mono or stereo, at the
// stream's own sample rate. Sample frame 0 lies at the file's time origin: the first picture
// of its video stream, or the first audio sample when there is none. Shared by every clip of
// the file through its registry.
//
// Random reads decode from a packet far enough before the first frame asked for; a read that
// continues where the previous one ended goes on with the running decoder.
class pContainerSound : public RefCounted {
public:
  pContainerSound();
  pContainerSound(const pContainerSound&) = delete;
  pContainerSound& operator=(const pContainerSound&) = delete;
  ~pContainerSound() override;

  // Opens `file`, or reopens it in place: whatever was open is closed first. On failure the
  // sound stays closed with no frames, and a message naming the file is appended to `messages`.
  bool Open(const std::filesystem::path& file, MessageText& messages);
  // Closes the file; the length and the recorded stamp stay.
  void Close();
  // The user will not have the changed file read again: it is closed (its clips fall silent and
  // the question comes again at the next check).
  void Declined() { Close(); }
  bool IsOpen() const;

  // Sample frames first … first + count - 1 into `dest` (count × BlockSize() bytes); frames
  // before the first sample of the stream and after its last are silence. False when closed,
  // when `first` lies outside 0 … SampleFrames() - 1, when `count` is negative or when the
  // file cannot be read.
  bool Read(void* dest, std::int32_t first, std::int32_t count);

  const std::filesystem::path& FileName() const { return fileName_; }
  std::int32_t Channels() const { return channels_; }
  std::int32_t Bits() const { return 16; }
  std::int32_t Rate() const { return rate_; }
  // Frames from the time origin to the end of the last audio sample.
  std::int32_t SampleFrames() const { return sampleFrames_; }
  std::int32_t BlockSize() const { return channels_ * 2; }
  // Size and last write time when the file was last opened.
  const FileStamp& Stamp() const { return stamp_; }

private:
  friend class ReaderRegistry<pContainerSound>;

  enum class Reach { Decoded, End, Failed };

  bool Fail(MessageText& messages, const std::string& text);
  // Decodes on until frame `at` (measured from the origin) or a later one is in the cache,
  // jumping when it lies behind the running decoder or far ahead of it.
  Reach DecodeTo(std::int64_t at);
  // The first presented sample and the end of the last, on the file's sample axis.
  bool FindBounds(ContainerSoundDecoder& decoder);
  void Keep(std::int64_t start, const std::int16_t* samples, std::int64_t frames);

  FileStamp stamp_;
  std::filesystem::path fileName_;
  std::unique_ptr<ContainerSoundDecoder> decoder_;
  ContainerSoundIndex index_;
  // The time origin as a place on the file's sample axis.
  std::int64_t origin_ = 0;
  std::int64_t audioFirst_ = 0;
  std::int64_t audioEnd_ = 0;
  // The most recently decoded frames, [cacheStart_, cacheStart_ + cached frames), from the origin.
  std::vector<std::int16_t> cache_;
  std::int64_t cacheStart_ = 0;
  // Where the running decoder's next frames start, from the origin; none when it must jump.
  std::optional<std::int64_t> next_;
  // Frames before this, from the origin, are still settling after a jump and are not kept.
  std::int64_t settled_ = 0;
  std::int32_t channels_ = 2;
  std::int32_t rate_ = 0;
  std::int32_t sampleFrames_ = 0;
  ReaderRegistry<pContainerSound>::Link link_;
};

using ContainerSound = Handle<pContainerSound>;
// The open sound files of one program run, one reader per file.
using ContainerSoundRegistry = ReaderRegistry<pContainerSound>;

} // namespace rw
