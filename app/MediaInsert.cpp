#include "app/MediaInsert.h"

#include "media/AudioClipKinds.h"
#include "media/VideoClipKinds.h"
#include "project/VideoProject.h"

namespace rw::app {

bool MediaInsert::Movie(VideoProject& project, const std::filesystem::path& file) {
  VideoClip clip = VideoClipKinds::OpenFile(file, project.Context());
  if (clip.IsNull() || !clip->IsValid())
    return false;
  clip.SetSize(project.ViewWidth(), project.ViewHeight());
  if (project.CurrentFrame() == project.List().TotalFrames())
    return project.AppendClip(clip);
  return project.InsertClip(project.CurrentPos(), clip);
}

bool MediaInsert::Sound(VideoProject& project, const std::filesystem::path& file) {
  const AudioClip clip = AudioClipKinds::OpenFile(file, project.Context());
  if (clip.IsNull() || !clip->IsValid())
    return false;
  // At the end position there is no frame to start at: the sound goes with the last cut, which
  // is where a movie just added landed.
  const pVideoClipList& list = project.List();
  if (project.CurrentFrame() == list.TotalFrames())
    return project.AddAudioClip(clip, list.CutStartPos(list.LastPos()));
  return project.AddAudioClip(clip, project.CurrentPos());
}

} // namespace rw::app
