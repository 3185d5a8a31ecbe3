#include "app/MediaInsert.h"

#include "media/AudioClipKinds.h"
#include "media/VideoClipKinds.h"
#include "project/VideoProject.h"

namespace rw::app {

VideoClip MediaInsert::OpenMovie(VideoProject& project, const std::filesystem::path& file) {
  VideoClip clip = VideoClipKinds::OpenFile(file, project.Context());
  if (clip.IsNull() || !clip->IsValid())
    return VideoClip();
  clip.SetSize(project.ViewWidth(), project.ViewHeight());
  return clip;
}

AudioClip MediaInsert::OpenSound(VideoProject& project, const std::filesystem::path& file) {
  AudioClip clip = AudioClipKinds::OpenFile(file, project.Context());
  if (clip.IsNull() || !clip->IsValid())
    return AudioClip();
  return clip;
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
