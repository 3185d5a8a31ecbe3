#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rw {

class MessageText;
class RecordReader;
class RecordWriter;

// The block of a clip record kept as it was read, for a clip whose file does not open or whose
// kind this program does not know: its key lines and nested blocks in order, and for the
// FileName keys of the block's own level the file each names. Written back it gives the same
// record, the file names stored relative to the folder of the project being saved.
class OfflineRecord {
public:
  enum class Mark { Key, Begin, End };
  struct Line {
    Mark mark = Mark::Key;
    int depth = 0; // 0 for the block's own lines, one more inside each nested block
    std::string key;
    std::string value;
    std::string text;           // the line as it was read
    std::filesystem::path file; // a FileName key of depth 0: the file its value names
    bool moved = false;         // the file was changed after reading (text no longer says it)
  };

  OfflineRecord() = default;

  // Reads a block: up to the bare word "begin", then every line up to the "end" that closes it.
  // With `nested`, a "begin" inside opens a nested block closed by its own "end"; without, the
  // first "end" closes the block, as for the program's own clip records. Comments and stray bare
  // words are passed over. False, with the message RecordBlock gives for `what`, when a key
  // line comes before "begin" or the text ends first.
  static bool Capture(RecordReader& reader, bool nested, MessageText* messages, std::string_view what,
                      OfflineRecord& out);

  // The block as record text ("begin" … "end"), to be read again by a RecordReader over
  // Folder(); moved files are written in their stored form.
  std::string Text() const;
  // The folder that the block's file names were read relative to.
  const std::filesystem::path& Folder() const { return folder_; }
  // Writes the block at nesting level `level`, the FileName keys of depth 0 through the
  // writer's file-name form. False when a file name cannot be written.
  bool Write(RecordWriter& writer, int level) const;

  // The file named by the last FileName key of depth 0; empty when there is none.
  std::filesystem::path File() const;
  // Points every FileName key of depth 0 at `file` (adds one when there is none).
  void SetFile(const std::filesystem::path& file);

  // The value of the last key `key` (case-insensitive) of depth 0; nullopt when there is none.
  std::optional<std::string> Value(std::string_view key) const;
  // The same read as a number (see ReadNumber).
  std::optional<std::int32_t> Number(std::string_view key) const;
  // Gives the last key `key` of depth 0 the value, or adds the key at the end of the block.
  void SetValue(std::string_view key, std::string_view value);

  const std::vector<Line>& Lines() const { return lines_; }

private:
  std::vector<Line> lines_;
  std::filesystem::path folder_;
};

} // namespace rw
