#pragma once

#include "base/Handle.h"
#include "base/RefCounted.h"
#include "media/AviAudioTrack.h"
#include "media/AviFile.h"
#include "media/AviVideoIndex.h"
#include "media/FfmpegPtr.h"
#include "media/FileStamp.h"
#include "media/ReaderRegistry.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace rw {

class MessageText;

// What an AVI file says about its video stream.
struct AviVideoInfo {
  std::uint32_t fccType = 0;    // "vids"
  std::uint32_t fccHandler = 0; // the compressor's four-character code
  std::uint32_t rate = 0;       // frames per second = rate / scale
  std::uint32_t scale = 0;
  std::int32_t start = 0;  // the header's start (dwStart), as stored
  std::int32_t length = 0; // index entries, empty ones included
  std::int32_t width = 0;  // frame rectangle: right and bottom
  std::int32_t height = 0;
};

// The audio format as reads deliver it (PCM, one or two channels of 8 or 16 bits).
struct AviAudioFormat {
  std::uint16_t formatTag = 1;
  std::int32_t channels = 0;
  std::int32_t samplesPerSec = 0;
  std::int32_t blockAlign = 0;
  std::int32_t bitsPerSample = 0;
};

// One open AVI file: its first video stream (index, format, stored pictures) and its first
// audio stream when that is PCM. Shared by every cut and audio clip of the file through the
// registry of a MediaContext. A closed stream answers every question as absent.
class pAviStream : public RefCounted {
public:
  pAviStream() = default;
  pAviStream(const pAviStream&) = delete;
  pAviStream& operator=(const pAviStream&) = delete;

  // Opens `file`, or reopens it in place: whatever was open is closed first. On failure the
  // stream stays closed and the reason is appended to `messages`.
  bool Open(const std::filesystem::path& file, MessageText& messages);
  // Closes the file; the recorded size becomes 0, so the next check for changes asks again.
  void Close();
  // The user will not have the changed file read again: it is closed (its clips become invalid
  // and the question comes again at the next check).
  void Declined() { Close(); }

  bool IsOpen() const { return open_; }
  bool HasAudio() const { return open_ && audio_.IsPresent() && audio_.Length() > 0; }
  const std::filesystem::path& FileName() const { return fileName_; }

  const AviVideoInfo& VideoInfo() const { return info_; }
  std::int32_t FrameCount() const { return open_ ? info_.length : 0; }
  std::int32_t FrameWidth() const { return open_ ? info_.width : 0; }
  std::int32_t FrameHeight() const { return open_ ? info_.height : 0; }
  // Rounded frames per second: (rate + scale / 2) / scale, 30 when the scale is 0.
  std::int32_t FrameRate() const { return frameRate_; }
  // The number of the first index entry. Every entry number taken or given here counts from
  // the first entry, so this is always 0 (the header's own start is VideoInfo().start).
  std::int32_t Start() const { return 0; }

  AviAudioFormat AudioFormat() const;
  std::int32_t AudioLength() const { return HasAudio() ? audio_.Length() : 0; }

  // The index entry `n` (0-based) is a key frame / holds a picture.
  bool IsKeyFrame(std::int32_t n) const { return open_ && index_.IsKeyFrame(n); }
  bool IsNewFrame(std::int32_t n) const { return open_ && index_.IsNonEmpty(n); }

  // Sample frames first … first + count - 1 of the audio in AudioFormat() (see AviAudioTrack).
  bool ReadAudio(void* dest, std::int32_t first, std::int32_t count) const;
  // The stored (compressed) bytes of index entry `n`; empty for an empty entry.
  bool ReadVideoSample(std::int32_t n, std::vector<std::uint8_t>& out) const;

  // For the decoders: the video format, the index and the file.
  const AVCodecParameters* VideoParameters() const { return open_ ? video_.get() : nullptr; }
  const AviVideoIndex& Index() const { return index_; }
  const AviFile& File() const { return file_; }
  // Size and last write time when last opened.
  const FileStamp& Stamp() const { return stamp_; }
  // Changes whenever the stream is opened or closed, so that decoders notice a reload.
  std::uint64_t Generation() const { return generation_; }

private:
  friend class ReaderRegistry<pAviStream>;
  struct Demuxer;

  bool Fail(MessageText& messages, const std::string& text);
  bool ReadIndexes(Demuxer& d);
  void Scan(Demuxer& d, bool video, bool audio);

  std::filesystem::path fileName_;
  bool open_ = false;
  AviFile file_;
  ff::ParametersPtr video_;
  AviVideoInfo info_;
  std::int32_t frameRate_ = 0;
  AviVideoIndex index_;
  AviAudioTrack audio_;
  FileStamp stamp_;
  std::uint64_t generation_ = 0;
  ReaderRegistry<pAviStream>::Link link_;
};

// Handle to a shared AVI stream.
class AviStream : public Handle<pAviStream> {
public:
  using Handle::Handle;
  AviStream(Handle<pAviStream> h) : Handle(std::move(h)) {}
};

} // namespace rw
