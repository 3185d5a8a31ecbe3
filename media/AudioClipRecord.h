#pragma once

#include "media/AudioClip.h"

namespace rw {

class MessageText;
class RecordReader;
class RecordWriter;

// The project-file record of one audio clip: a "begin" … "end" block holding the file name,
// the first sample, the number of samples, the anchor frame, OverClip, the volume and the
// kind's own keys.
class AudioClipRecord {
public:
  // Writes the block of `clip` at nesting level `level` (its keys one level deeper).
  static bool Write(const pAudioClip& clip, RecordWriter& writer, int level);

  // Reads a block into `blank` (a new clip of the kind). False when a key line comes before
  // "begin" or the input ends before "end"; a message is appended to `messages` when given.
  static bool Read(pAudioClip& blank, RecordReader& reader, MessageText* messages = nullptr);

  // Reads a block into `blank` and answers the kind's Rebuild of it; null on failure.
  static AudioClip Load(AudioClip blank, RecordReader& reader, MessageText* messages = nullptr);
};

} // namespace rw
