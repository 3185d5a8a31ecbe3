#pragma once

#include "media/AudioClip.h"
#include "media/VideoClip.h"

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
  // The cut of a file through the cut kinds, at the project's display size; null when no kind
  // opens it.
  static VideoClip OpenMovie(VideoProject& project, const std::filesystem::path& file);
  // The audio clip of a file through the audio clip kinds; null when no kind opens it.
  static AudioClip OpenSound(VideoProject& project, const std::filesystem::path& file);
  static bool InsertCut(VideoProject& project, const VideoClip& clip);
  static bool AddSound(VideoProject& project, const AudioClip& clip);

  // Both steps; false when the file does not open or the project refuses it.
  static bool Movie(VideoProject& project, const std::filesystem::path& file);
  static bool Sound(VideoProject& project, const std::filesystem::path& file);
};

} // namespace rw::app
