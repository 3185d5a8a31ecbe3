#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace rw {

class RecordReader;
class VideoProject;

// Reads the text of a project file into a fresh project: the current frame, the selection and
// the clip list block. Comments, bare words and unknown keys are ignored at every level; the
// last occurrence of a top-level key wins. A cut or audio clip whose file does not open, or
// whose kind keyword is unknown, is kept as an offline entry with its record (OfflineClip,
// OfflineAudioClip); OfflineMedia names them for the user. A record that cannot be read (a
// broken block, a transition of unknown kind, a cut without a length) is left out with its
// message in the project's MessageText, and a cut that is left out takes the transition and
// audio clips written before it along.
class ProjectFileReader {
public:
  // The "Select" value: a word and two numbers. Empty when the value has another form or the
  // word is neither "Frame" nor "Clip".
  struct Selection {
    int mode = 0; // 1 frames, 2 whole cuts
    std::int32_t anchor = 0;
    std::int32_t end = 0;
  };
  static std::optional<Selection> ParseSelect(std::string_view value);

  // Reads everything from `reader` into `fresh`, which must hold a new, empty project. Then gives
  // every cut the display size (when both are above 0), restores the selection and makes the
  // current frame current. False when a clip list block fails (a key line before its "begin",
  // or the end of the text before its "end"); `fresh` is then half read and must be dropped.
  static bool Read(RecordReader& reader, VideoProject& fresh, std::int32_t viewWidth,
                   std::int32_t viewHeight);
};

} // namespace rw
