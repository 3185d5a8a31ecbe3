#pragma once

#include "media/VideoClip.h"

namespace rw {

class MessageText;
class RecordReader;
class RecordWriter;

// The project-file record of one cut: a "begin" … "end" block holding the file name, the
// trimming or length, the volume of the clip's own sound and the kind's own keys.
class VideoClipRecord {
public:
  // Writes the block of `clip` at nesting level `level` (its keys one level deeper).
  static bool Write(const pVideoClip& clip, RecordWriter& writer, int level);

  // Reads a block into `blank` (a new clip of the kind). False when a key line comes before
  // "begin" or the input ends before "end"; a message is appended to `messages` when given.
  static bool Read(pVideoClip& blank, RecordReader& reader, MessageText* messages = nullptr);

  // Reads a block into `blank` and answers the kind's Rebuild of it; null on failure.
  static VideoClip Load(VideoClip blank, RecordReader& reader, MessageText* messages = nullptr);
};

} // namespace rw
