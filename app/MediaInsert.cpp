#include "app/MediaInsert.h"

#include "project/MediaFiles.h"
#include "project/VideoProject.h"

namespace rw::app {

VideoClip MediaInsert::OpenMovie(VideoProject& project, const std::filesystem::path& file) {
  return MediaFiles::OpenCut(project.Context(), file, project.ViewWidth(), project.ViewHeight());
}

AudioClip MediaInsert::OpenSound(VideoProject& project, const std::filesystem::path& file) {
  return MediaFiles::OpenSound(project.Context(), file);
}

bool MediaInsert::InsertCut(VideoProject& project, const VideoClip& clip) {
  if (project.CurrentFrame() == project.List().TotalFrames())
    return project.AppendClip(clip);
  return project.InsertClip(project.CurrentPos(), clip);
}

bool MediaInsert::AddSound(VideoProject& project, const AudioClip& clip) {
  // At the end position there is no frame to start at: the sound goes with the last cut, which
  // is where a movie just added landed.
  const pVideoClipList& list = project.List();
  if (project.CurrentFrame() == list.TotalFrames())
    return project.AddAudioClip(clip, list.CutStartPos(list.LastPos()));
  return project.AddAudioClip(clip, project.CurrentPos());
}

bool MediaInsert::Movie(VideoProject& project, const std::filesystem::path& file) {
  const VideoClip clip = OpenMovie(project, file);
  return !clip.IsNull() && InsertCut(project, clip);
}

bool MediaInsert::Sound(VideoProject& project, const std::filesystem::path& file) {
  const AudioClip clip = OpenSound(project, file);
  return !clip.IsNull() && AddSound(project, clip);
}

} // namespace rw::app
