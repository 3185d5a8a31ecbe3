#include "media/AudioClipKinds.h"

#include "media/AviAudioClip.h"
#include "media/ContainerAudioClip.h"
#include "media/WavClip.h"

#include <array>

namespace rw {
namespace {

// Rows in this order: WAV, AVI audio, the sound of other movie and sound files.
const std::array<AudioClipKind, 3> kKinds = {{
    {&WavClip::OpenFile, &WavClip::LoadRecord, "WAV", "サウンド(*.WAV)|*.WAV", &WavClip::CheckFiles},
    {&AviAudioClip::OpenFile, &AviAudioClip::LoadRecord, "AVIAudio", "Video for Windows Audio(*.AVI)|*.AVI",
     &AviAudioClip::CheckFiles},
    {&ContainerAudioClip::OpenFile, &ContainerAudioClip::LoadRecord, "Sound",
     "サウンド(*.MP3;*.M4A;*.FLAC;*.OGG;*.OPUS;*.MP4;*.M4V;*.MOV;*.MKV;*.WEBM)|"
     "*.MP3;*.M4A;*.FLAC;*.OGG;*.OPUS;*.MP4;*.M4V;*.MOV;*.MKV;*.WEBM",
     &ContainerAudioClip::CheckFiles},
}};

} // namespace

template <> std::span<const AudioClipKind> AudioClipKinds::Table() {
  return kKinds;
}

} // namespace rw
