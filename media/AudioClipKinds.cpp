#include "media/AudioClipKinds.h"

#include "media/AviAudioClip.h"
#include "media/WavClip.h"

#include <array>

namespace rw {
namespace {

// Rows in this order: WAV, AVI audio. The AVI audio operations are filled in by that kind.
const std::array<AudioClipKind, 2> kKinds = {{
    {&WavClip::OpenFile, &WavClip::LoadRecord, "WAV", "サウンド(*.WAV)|*.WAV", &WavClip::CheckFiles},
    {&AviAudioClip::OpenFile, &AviAudioClip::LoadRecord, "AVIAudio", "Video for Windows Audio(*.AVI)|*.AVI",
     &AviAudioClip::CheckFiles},
}};

} // namespace

template <> std::span<const AudioClipKind> AudioClipKinds::Table() {
  return kKinds;
}

} // namespace rw
