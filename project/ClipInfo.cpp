#include "project/ClipInfo.h"

namespace rw {

ClipInfo::ClipInfo() : audio(AudioClipSet::New()) {}

ClipInfo::ClipInfo(VideoClip c, VideoTransition t, AudioClipSet a)
    : clip(std::move(c)), trans(std::move(t)), audio(std::move(a)) {
  if (audio.IsNull())
    audio = AudioClipSet::New();
}

ClipInfo::ClipInfo(VideoClip c) : ClipInfo(std::move(c), VideoTransition(), AudioClipSet::New()) {}

const ClipInfo& ClipInfo::Default() {
  static const ClipInfo entry(VideoClip(), VideoTransition(), AudioClipSet::New());
  return entry;
}

bool ClipInfo::SetBegin(std::int32_t b) {
  if (clip.IsNull())
    return false;
  const std::int32_t before = clip->GetBeginFrame();
  if (!clip.SetBeginFrame(b))
    return false;
  RebuildAudio(clip->GetBeginFrame() - before, false);
  return true;
}

bool ClipInfo::SetEnd(std::int32_t e) {
  if (!clip.SetEndFrame(e))
    return false;
  RebuildAudio(0, true);
  return true;
}

bool ClipInfo::SetTotal(std::int32_t n) {
  if (!clip.SetLength(n))
    return false;
  RebuildAudio(0, true);
  return true;
}

bool ClipInfo::DropFront(std::int32_t k) {
  if (clip.IsNull() || k <= 0)
    return false;
  if (clip->HasBeginEnd())
    return SetBegin(clip->GetBeginFrame() + k);
  const std::int32_t before = clip->Length();
  if (!clip.SetLength(before - k))
    return false;
  RebuildAudio(before - clip->Length(), false);
  return true;
}

bool ClipInfo::SetSize(std::int32_t width, std::int32_t height) {
  return clip.SetSize(width, height);
}

void ClipInfo::RebuildAudio(std::int32_t shift, bool keepBefore) {
  const std::int32_t length = Length();
  AudioClipSet kept = AudioClipSet::New();
  for (std::int32_t i = 0; i < audio.Count(); ++i) {
    AudioClip member = audio.At(i);
    if (member.IsNull())
      continue;
    const std::int64_t anchor = static_cast<std::int64_t>(member->PlayFrame()) - shift;
    if (anchor >= length || (!keepBefore && anchor < 0))
      continue;
    member.SetPlayFrame(static_cast<std::int32_t>(anchor));
    kept->Append(std::move(member));
  }
  audio = std::move(kept);
}

} // namespace rw
