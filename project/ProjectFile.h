#pragma once

#include "project/ProjectFileStore.h"

#include <cstdint>
#include <filesystem>

namespace rw {

class VideoProject;

// Saving and opening a whole project as a project file (".rwe"). Both clear the project's
// MessageText first; on failure it holds the message for the user, naming the file and adding
// what the steps reported.
class ProjectFile {
public:
  // Writes the current state of `project` under `file` (its own file name when empty), keeping
  // the previous version as ".$WE". On success the state is no longer modified and takes the
  // file's absolute name; on failure nothing changes, on disk or in the project.
  static bool Save(VideoProject& project, const std::filesystem::path& file = {},
                   const ProjectFileStore::FaultHook& faults = {});

  // Reads `file` into a fresh project whose cuts get the display size viewWidth x viewHeight
  // (none when either is 0) and, on success, assigns it over `project`, not modified and named
  // after the file. On failure `project` is untouched. Records that cannot be read are left out;
  // their messages stay in the MessageText.
  static bool Open(VideoProject& project, const std::filesystem::path& file, std::int32_t viewWidth,
                   std::int32_t viewHeight);
};

} // namespace rw
