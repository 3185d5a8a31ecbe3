// Audio of the clip list: the cuts' own sound and the audio sets anchored to the entries.

#include "output/settings/OutputInfo.h"
#include "project/VideoClipList.h"

#include <algorithm>

namespace rw {

namespace {

// The timeline frames [start, start + frames) in which a valid clip sounds; frames is its
// length rounded up to whole frames. False for a clip that cannot sound.
bool SoundSpan(const AudioClip& clip, std::int64_t entryStart, std::int64_t& start, std::int64_t& frames) {
  if (clip.IsNull() || !clip->IsValid())
    return false;
  const std::int64_t rate = clip->GetRate();
  if (rate <= 0)
    return false;
  start = entryStart + clip->PlayFrame();
  frames = (std::max<std::int64_t>(clip->Length(), 0) * OutputInfo::kVideoRate + rate - 1) / rate;
  return true;
}

} // namespace

std::int32_t pVideoClipList::AudioCount() const {
  std::int32_t count = 0;
  for (std::int32_t i = 0; i < Count(); ++i) {
    const ClipInfo& entry = EntryAt(i);
    if (!entry.clip.IsNull() && !entry.clip->Audio().IsNull() && entry.clip->Audio()->IsValid())
      ++count;
    count += entry.audio.Count();
  }
  return count;
}

std::vector<AudioRef> pVideoClipList::AudioInWindow(std::int32_t a, std::int32_t b) const {
  std::vector<AudioRef> found;
  const std::int64_t last = std::int64_t{a} + b;
  std::int64_t entryStart = 0;
  const auto sounds = [&](const AudioClip& clip) {
    std::int64_t start = 0;
    std::int64_t frames = 0;
    return SoundSpan(clip, entryStart, start, frames) && start <= last && start + frames > a;
  };
  for (std::int32_t i = 0; i < Count(); ++i) {
    const ClipInfo& entry = EntryAt(i);
    if (!entry.clip.IsNull() && sounds(entry.clip->Audio()))
      found.push_back({i, -1});
    for (std::int32_t k = 0; k < entry.audio.Count(); ++k) {
      if (sounds(entry.audio.At(k)))
        found.push_back({i, k});
    }
    entryStart += OwnFrames(i);
  }
  return found;
}

AudioClip pVideoClipList::AudioAt(const AudioRef& ref) const {
  if (ref.entry < 0 || ref.entry >= Count())
    return AudioClip();
  const ClipInfo& entry = EntryAt(ref.entry);
  if (ref.slot == -1)
    return entry.clip.IsNull() ? AudioClip() : entry.clip->Audio();
  return entry.audio.At(ref.slot);
}

std::int32_t pVideoClipList::AudioStartFrame(const AudioRef& ref) const {
  const AudioClip clip = AudioAt(ref);
  if (clip.IsNull() || !clip->IsValid())
    return -1;
  return StartOf(ref.entry) + clip->PlayFrame();
}

std::int32_t pVideoClipList::AudioVolume(const AudioRef& ref) const {
  const AudioClip clip = AudioAt(ref);
  if (clip.IsNull() || !clip->IsValid())
    return 0;
  return clip->Volume();
}

bool pVideoClipList::MoveAudio(const AudioRef& ref, std::int32_t f) {
  if (ref.slot < 0 || f < 0 || f >= TotalFrames())
    return false;
  AudioClip member = AudioAt(ref);
  const ClipPos target = PosAt(f);
  if (member.IsNull() || !IsValidPos(target))
    return false;
  if (target.index == ref.entry) {
    if (member->PlayFrame() == target.frame)
      return false;
    ClipInfo entry = EntryAt(ref.entry);
    entry.audio.Detach();
    member.SetPlayFrame(target.frame);
    entry.audio->Set(ref.slot, std::move(member));
    return UpdateEntry(entry, ref.entry);
  }
  ClipInfo from = EntryAt(ref.entry);
  from.audio.Detach();
  from.audio->Remove(ref.slot);
  ClipInfo to = EntryAt(target.index);
  to.audio.Detach();
  member.SetPlayFrame(target.frame);
  to.audio->Append(std::move(member));
  return UpdateEntry(from, ref.entry) && UpdateEntry(to, target.index);
}

} // namespace rw
