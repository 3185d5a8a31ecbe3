// The audio edits of the project and the check of the media files.

#include "base/ScaleDiv.h"
#include "media/AudioClipKinds.h"
#include "media/MediaContext.h"
#include "media/VideoClipKinds.h"
#include "output/settings/OutputInfo.h"
#include "project/VideoProject.h"

namespace rw {

namespace {

constexpr std::int32_t kFrameRate = OutputInfo::kVideoRate;

} // namespace

template <class Change> bool VideoProject::AudioEdit(const AudioRef& ref, Change change) {
  const pVideoClipList& list = List();
  if (ref.entry < 0 || ref.entry >= list.Count())
    return false;
  ClipInfo entry = list.EntryAt(ref.entry);
  if (!change(entry))
    return false;
  EditInfo next = Draft();
  if (!next.list->UpdateEntry(entry, ref.entry))
    return false;
  return Commit(std::move(next), CurrentFrame());
}

bool VideoProject::AddAudioClip(const AudioClip& clip, const ClipPos& pos) {
  if (!List().IsValidPos(pos) || clip.IsNull() || !clip->IsValid())
    return false;
  return AudioEdit(AudioRef{pos.index, -1}, [&](ClipInfo& entry) {
    AudioClip added = clip;
    added.SetPlayFrame(pos.frame);
    entry.audio.Detach();
    entry.audio->Append(std::move(added));
    return true;
  });
}

bool VideoProject::MoveAudioClip(const AudioRef& ref, std::int32_t f) {
  EditInfo next = Draft();
  if (!next.list->MoveAudio(ref, f))
    return false;
  return Commit(std::move(next), CurrentFrame());
}

bool VideoProject::SetAudioStart(const AudioRef& ref, std::int32_t f) {
  if (f < 0 || f >= List().TotalFrames() || ref.slot < 0)
    return false;
  return AudioEdit(ref, [&](ClipInfo& entry) {
    AudioClip member = entry.audio.At(ref.slot);
    if (member.IsNull())
      return false;
    const std::int32_t first = ScaleDiv(f, member->GetRate(), kFrameRate);
    if (!member.SetBeginSample(first) || member->GetBeginSample() != first)
      return false;
    entry.audio.Detach();
    entry.audio->Set(ref.slot, std::move(member));
    return true;
  });
}

bool VideoProject::SetAudioLength(const AudioRef& ref, std::int32_t n) {
  if (n < 0 || n >= List().TotalFrames() || ref.slot < 0)
    return false;
  return AudioEdit(ref, [&](ClipInfo& entry) {
    AudioClip member = entry.audio.At(ref.slot);
    if (member.IsNull())
      return false;
    if (n == 0) {
      entry.audio.Detach();
      entry.audio->Remove(ref.slot);
      return true;
    }
    const std::int32_t samples = ScaleDiv(n, member->GetRate(), kFrameRate);
    if (!member.SetLength(samples) || member->Length() != samples)
      return false;
    entry.audio.Detach();
    entry.audio->Set(ref.slot, std::move(member));
    return true;
  });
}

bool VideoProject::SetAudioVolume(const AudioRef& ref, std::int32_t v) {
  if (v < 0)
    return false;
  return AudioEdit(ref, [&](ClipInfo& entry) {
    if (ref.slot == -1) {
      AudioClip* own = entry.clip.AudioForEditing();
      return own != nullptr && own->SetVolume(v);
    }
    AudioClip member = entry.audio.At(ref.slot);
    if (member.IsNull() || !member.SetVolume(v))
      return false;
    entry.audio.Detach();
    entry.audio->Set(ref.slot, std::move(member));
    return true;
  });
}

bool VideoProject::CheckMediaFiles() {
  const bool cuts = VideoClipKinds::CheckFiles(Context());
  const bool sounds = AudioClipKinds::CheckFiles(Context());
  return cuts || sounds;
}

} // namespace rw
