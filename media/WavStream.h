#pragma once

#include "base/Handle.h"
#include "base/RefCounted.h"
#include "media/FileStamp.h"
#include "media/PcmFormat.h"
#include "media/ReaderRegistry.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>

namespace rw {

class MessageText;

// One open WAV file, shared by every audio clip of that file through its registry.
//
// Integer PCM of 1 to 32 bits and floating-point PCM (format tags 1 and 3, and the extensible
// format with either sub-format) are accepted; reads deliver the layout of
// PcmFormat::ToDelivered, and Channels, Bits and BlockSize describe that delivered layout.
class pWavStream : public RefCounted {
public:
  pWavStream() = default;
  pWavStream(const pWavStream&) = delete;
  pWavStream& operator=(const pWavStream&) = delete;

  // Opens `file`, or reopens it in place: whatever was open is closed first. On failure the
  // stream stays closed with a recorded size of 0, and a message is appended to `messages`.
  bool Open(const std::filesystem::path& file, MessageText& messages);
  // Closes the file; the format and the recorded stamp stay.
  void Close() { file_.reset(); }
  // The user will not have the changed file read again: it is closed (its clips fall silent and
  // the question comes again at the next check).
  void Declined() { Close(); }
  bool IsOpen() const { return file_ != nullptr; }

  // Reads `count` sample frames from frame `first` into `dest` (count × BlockSize() bytes).
  // False when closed, when `first` lies outside the data or `count` is negative, and when
  // fewer frames than asked could be read; a read that runs past the end of the data is cut
  // to the frames that remain.
  bool Read(void* dest, std::int32_t first, std::int32_t count);

  const std::filesystem::path& FileName() const { return fileName_; }
  std::int32_t Channels() const { return channels_; }
  std::int32_t Bits() const { return bits_; }
  std::int32_t Rate() const { return rate_; }
  std::int32_t SampleFrames() const { return sampleFrames_; }
  std::int32_t BlockSize() const { return blockSize_; }
  // The layout of the frames in the file.
  const PcmFormat& SourceFormat() const { return source_; }
  // Size and last write time when the file was last opened.
  const FileStamp& Stamp() const { return stamp_; }

private:
  struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

  friend class ReaderRegistry<pWavStream>;

  bool Fail(MessageText& messages, const std::string& text);

  FileStamp stamp_;
  std::filesystem::path fileName_;
  FilePtr file_;
  std::int64_t dataOffset_ = 0;
  std::int32_t channels_ = 2;
  std::int32_t bits_ = 16;
  std::int32_t rate_ = 44100;
  std::int32_t sampleFrames_ = 0;
  std::int32_t blockSize_ = 4;
  PcmFormat source_{2, 2, false};
  ReaderRegistry<pWavStream>::Link link_;
};

using WavStream = Handle<pWavStream>;
// The open WAV files of one program run, one stream per file.
using WavStreamRegistry = ReaderRegistry<pWavStream>;

} // namespace rw
