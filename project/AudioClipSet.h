#pragma once

#include "base/Handle.h"
#include "base/RefCounted.h"
#include "media/AudioClip.h"

#include <cstdint>
#include <vector>

namespace rw {

// The audio clips anchored to one timeline entry. Shared through AudioClipSet handles and
// changed only after Detach; a copy shares every clip.
class pAudioClipSet : public RefCounted {
public:
  pAudioClipSet() = default;
  pAudioClipSet(const pAudioClipSet& other);
  pAudioClipSet& operator=(const pAudioClipSet&) = delete;

  std::int32_t Count() const { return static_cast<std::int32_t>(items_.size()); }
  // The clip at i; an empty handle outside 0..Count()-1.
  AudioClip At(std::int32_t i) const;
  void Append(AudioClip clip);
  // Replaces the clip at i; ignored outside 0..Count()-1.
  void Set(std::int32_t i, AudioClip clip);
  // Removes the clip at i, moving the later ones down; ignored outside 0..Count()-1.
  void Remove(std::int32_t i);

private:
  std::vector<AudioClip> items_;
};

class AudioClipSet : public Handle<pAudioClipSet> {
public:
  using Handle::Handle;
  AudioClipSet(Handle<pAudioClipSet> h) : Handle(std::move(h)) {}

  // A new empty set held by the returned handle.
  static AudioClipSet New() { return Make(); }

  std::int32_t Count() const { return IsNull() ? 0 : Get()->Count(); }
  AudioClip At(std::int32_t i) const { return IsNull() ? AudioClip() : Get()->At(i); }
};

} // namespace rw
