#pragma once

#include <filesystem>
#include <string>

namespace rw {

class MessageText;
struct EditInfo;

// The text of a project file: the header comments, the current frame, the selection and the
// clip list block with the output settings and, entry by entry, the incoming transition, the
// anchored audio clips and the cut. Every record is written by its own writer; file names are
// stored relative to `folder`.
class ProjectFileWriter {
public:
  // The text of `state`. False when some record could not be written (a file name that the
  // text cannot hold); the reasons are appended to `messages` and `text` is left empty.
  static bool Compose(const EditInfo& state, const std::filesystem::path& folder, std::string& text,
                      MessageText& messages);
};

} // namespace rw
