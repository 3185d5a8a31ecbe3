#pragma once

#include <filesystem>

namespace rw {
class VideoProject;
}

namespace rw::app {

// Files taken into the project at the current time: a movie becomes a cut at the preview's
// display size, inserted before the current position (appended at the end position); a sound
// file becomes an audio clip starting at the current frame (at the end position, with the last
// cut). Each is one edit.
class MediaInsert {
public:
  // False when no cut kind opens the file or the project refuses the cut.
  static bool Movie(VideoProject& project, const std::filesystem::path& file);
  // False when no audio clip kind opens the file or the project refuses the clip.
  static bool Sound(VideoProject& project, const std::filesystem::path& file);
};

} // namespace rw::app
