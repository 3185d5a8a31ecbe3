#include "media/ContainerAudioClip.h"

#include "base/RecordGrammar.h"
#include "media/AudioClipRecord.h"
#include "media/MediaContext.h"

#include <array>
#include <string>

namespace rw {

ContainerAudioClip::ContainerAudioClip(MediaContext& context, const std::filesystem::path& file)
    : context_(&context) {
  sound_ = context.ContainerSounds().OpenShared(file, context.Messages());
  fileName_ = file;
  TakeWholeSource();
}

ContainerAudioClip::ContainerAudioClip(const ContainerAudioClip& other)
    : pAudioClip(other), context_(other.context_), sound_(other.sound_) {
  TakeFormat();
}

bool ContainerAudioClip::ReadSamples(void* dest, std::int32_t first, std::int32_t count) {
  if (!IsValid())
    return false;
  std::int32_t at = 0;
  return SourceSample(first, at) && sound_->Read(dest, at, count);
}

bool ContainerAudioClip::SetBeginSample(std::int32_t n) {
  return TrimBegin(n);
}

bool ContainerAudioClip::SetEndSample(std::int32_t n) {
  return TrimEnd(n);
}

bool ContainerAudioClip::SetLength(std::int32_t n) {
  return TrimLength(n);
}

AudioClip ContainerAudioClip::Rebuild() {
  return TakePlacement(AudioClip::Make<ContainerAudioClip>(*context_, fileName_));
}

bool ContainerAudioClip::HasSoundExtension(const std::filesystem::path& file) {
  static constexpr std::array<std::string_view, 10> kExtensions = {".MP4", ".M4V", ".MOV",  ".MKV", ".WEBM",
                                                                   ".MP3", ".M4A", ".FLAC", ".OGG", ".OPUS"};
  const std::string extension = file.extension().string();
  for (std::string_view known : kExtensions)
    if (SameWord(extension, known))
      return true;
  return false;
}

AudioClip ContainerAudioClip::OpenFile(const std::filesystem::path& file, MediaContext& context) {
  if (!HasSoundExtension(file))
    return AudioClip();
  AudioClip clip = AudioClip::Make<ContainerAudioClip>(context, file);
  if (!clip->IsValid())
    return AudioClip();
  return clip;
}

AudioClip ContainerAudioClip::LoadRecord(RecordReader& reader, MediaContext& context) {
  return AudioClipRecord::Load(AudioClip::Make<ContainerAudioClip>(context), reader, &context.Messages());
}

bool ContainerAudioClip::CheckFiles(MediaContext& context) {
  return context.ContainerSounds().CheckFiles(context.Prompt(), context.Messages());
}

} // namespace rw
