#pragma once

#include "media/AudioClip.h"

#include <cstddef>
#include <filesystem>
#include <limits>
#include <span>
#include <string>
#include <string_view>

namespace rw {

class MediaContext;
class RecordReader;

// One row of the audio clip kind table. Any operation may be absent (null).
struct AudioClipKind {
  // Opens a media file as an audio clip of this kind (the kind checks the extension).
  AudioClip (*openFile)(const std::filesystem::path& file, MediaContext& context);
  // Reads an audio record (the lines after the "Audio: <keyword>" line) into a clip of this kind.
  AudioClip (*loadRecord)(RecordReader& reader, MediaContext& context);
  std::string_view keyword;
  // File-dialog filter text ("caption|pattern" pairs joined by "|").
  std::string_view fileFilter;
  // Checks the kind's open files for outside changes; true when any file had changed.
  bool (*checkFiles)(MediaContext& context);
};

// The kinds of audio clip (WAV, AVI audio, in this order) and the operations over all of them.
// Each operation also comes in a form over any table, for tests.
class AudioClipKinds {
public:
  static std::span<const AudioClipKind> Table();

  // The first kind whose OpenFile answers a valid clip, tried in table order; null if none.
  static AudioClip OpenFile(const std::filesystem::path& file, MediaContext& context);
  static AudioClip OpenFile(std::span<const AudioClipKind> kinds, const std::filesystem::path& file,
                            MediaContext& context);

  // Reads the record of the kind named by `keyword` (case-insensitive). An unknown keyword
  // answers null and leaves the reader where it was.
  static AudioClip LoadRecord(std::string_view keyword, RecordReader& reader, MediaContext& context);
  static AudioClip LoadRecord(std::span<const AudioClipKind> kinds, std::string_view keyword,
                              RecordReader& reader, MediaContext& context);

  // The filters of all kinds joined by "|", at most `bufferSize` - 1 bytes (the size of the
  // caller's buffer, terminator included): a kind is added only while 2 bytes of room remain
  // and is cut to the room left.
  static std::string FileFilter(std::size_t bufferSize = std::numeric_limits<std::size_t>::max());
  static std::string FileFilter(std::span<const AudioClipKind> kinds, std::size_t bufferSize);

  // Asks every kind to check its open files; true when any reported a change.
  static bool CheckFiles(MediaContext& context);
  static bool CheckFiles(std::span<const AudioClipKind> kinds, MediaContext& context);
};

} // namespace rw
