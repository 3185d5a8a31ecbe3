#pragma once

#include "base/MessageText.h"
#include "base/RecordGrammar.h"
#include "media/MediaContext.h"

#include <cstddef>
#include <filesystem>
#include <limits>
#include <span>
#include <string>
#include <string_view>
#include <system_error>

namespace rw {

class AudioClip;
class RecordReader;
class VideoClip;

// One row of a clip kind table (Clip is VideoClip or AudioClip). Any operation may be absent
// (null).
template <class Clip> struct ClipKind {
  // Opens a media file as a clip of this kind (the kind checks the extension).
  Clip (*openFile)(const std::filesystem::path& file, MediaContext& context);
  // Reads a clip record (the lines after the line naming the kind) into a clip of this kind.
  Clip (*loadRecord)(RecordReader& reader, MediaContext& context);
  std::string_view keyword;
  // File-dialog filter text ("caption|pattern" pairs joined by "|"); may be empty.
  std::string_view fileFilter;
  // Checks the kind's open files for outside changes; true when any file had changed.
  bool (*checkFiles)(MediaContext& context);
};

// The program's table of one kind of clip and the operations over all its rows; each
// operation also comes in a form over any table, for tests. A new kind is one row of the table.
template <class Clip> class ClipKindTable {
public:
  using Row = ClipKind<Clip>;

  // The rows, defined for VideoClip and AudioClip beside their kinds (see below).
  static std::span<const Row> Table();
  // The start of the message for a keyword that no row has.
  static std::string_view UnknownKind();

  // The first kind whose openFile answers a valid clip, tried in table order; null if none.
  // The clip is given the full path of the file, whatever the current folder is later.
  static Clip OpenFile(const std::filesystem::path& file, MediaContext& context) {
    return OpenFile(Table(), file, context);
  }
  static Clip OpenFile(std::span<const Row> kinds, const std::filesystem::path& file, MediaContext& context) {
    std::error_code ec;
    std::filesystem::path full = std::filesystem::absolute(file, ec).lexically_normal();
    if (ec)
      full = file;
    for (const Row& kind : kinds) {
      if (!kind.openFile)
        continue;
      Clip clip = kind.openFile(full, context);
      if (clip && clip->IsValid())
        return clip;
    }
    return Clip();
  }

  // Reads the record of the kind named by `keyword` (case-insensitive). An unknown keyword
  // answers null with a message and leaves the reader where it was.
  static Clip LoadRecord(std::string_view keyword, RecordReader& reader, MediaContext& context) {
    return LoadRecord(Table(), keyword, reader, context);
  }
  static Clip LoadRecord(std::span<const Row> kinds, std::string_view keyword, RecordReader& reader,
                         MediaContext& context) {
    if (const Row* kind = Find(kinds, keyword))
      return kind->loadRecord(reader, context);
    context.Messages().Append(std::string(UnknownKind()) + std::string(keyword) + "\n");
    return Clip();
  }

  // Whether a kind of this keyword (case-insensitive) reads records.
  static bool HasRecord(std::string_view keyword) { return Find(Table(), keyword) != nullptr; }

  // The filters of all kinds joined by "|", at most `bufferSize` - 1 bytes (the size of the
  // caller's buffer, terminator included): a kind is added only while 2 bytes of room remain
  // and is cut to the room left, never inside a UTF-8 sequence.
  static std::string FileFilter(std::size_t bufferSize = std::numeric_limits<std::size_t>::max()) {
    return FileFilter(Table(), bufferSize);
  }
  static std::string FileFilter(std::span<const Row> kinds, std::size_t bufferSize) {
    std::string joined;
    for (std::size_t i = 0; i < kinds.size(); ++i) {
      // Room left in the caller's buffer, its terminator included.
      const std::size_t room = bufferSize > joined.size() ? bufferSize - joined.size() : 0;
      if (room < 2)
        break;
      std::string piece;
      if (i > 0)
        piece.push_back('|');
      piece.append(kinds[i].fileFilter);
      joined.append(piece, 0, CutPoint(piece, room - 1));
    }
    return joined;
  }

  // Asks every kind to check its open files; true when any reported a change.
  static bool CheckFiles(MediaContext& context) { return CheckFiles(Table(), context); }
  static bool CheckFiles(std::span<const Row> kinds, MediaContext& context) {
    bool changed = false;
    for (const Row& kind : kinds) {
      if (kind.checkFiles && kind.checkFiles(context))
        changed = true;
    }
    return changed;
  }

private:
  // The first row of this keyword when it reads records; null otherwise.
  static const Row* Find(std::span<const Row> kinds, std::string_view keyword) {
    for (const Row& kind : kinds) {
      if (SameWord(kind.keyword, keyword))
        return kind.loadRecord ? &kind : nullptr;
    }
    return nullptr;
  }

  // Length of the longest prefix of `text` of at most `limit` bytes that does not end inside a
  // UTF-8 sequence.
  static std::size_t CutPoint(std::string_view text, std::size_t limit) {
    if (text.size() <= limit)
      return text.size();
    std::size_t n = limit;
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
      --n;
    return n;
  }
};

// The program's two tables: the kinds of cut, whose rows are in VideoClipKinds.cpp, and of
// audio clip, in AudioClipKinds.cpp.
template <> std::span<const ClipKind<VideoClip>> ClipKindTable<VideoClip>::Table();
template <> inline std::string_view ClipKindTable<VideoClip>::UnknownKind() {
  return "不明なクリップの種類です: ";
}
template <> std::span<const ClipKind<AudioClip>> ClipKindTable<AudioClip>::Table();
template <> inline std::string_view ClipKindTable<AudioClip>::UnknownKind() {
  return "不明な音声クリップの種類です: ";
}

} // namespace rw
