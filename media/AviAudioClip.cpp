#include "media/AviAudioClip.h"

#include "media/AudioClipRecord.h"
#include "media/AviClip.h"
#include "media/MediaContext.h"

namespace rw {

AviAudioClip::AviAudioClip(MediaContext& context, const AviStream& stream)
    : context_(&context), stream_(stream) {
  fileName_ = stream_ ? stream_->FileName() : std::filesystem::path();
  TakeWholeSource();
}

AviAudioClip::AviAudioClip(MediaContext& context, const std::filesystem::path& file) : context_(&context) {
  stream_ = context.AviFiles().OpenStream(file, context.Messages());
  fileName_ = file;
  TakeWholeSource();
}

AviAudioClip::AviAudioClip(const AviAudioClip& other)
    : pAudioClip(other), context_(other.context_), stream_(other.stream_) {
  TakeFormat();
}

bool AviAudioClip::ReadSamples(void* dest, std::int32_t first, std::int32_t count) {
  if (!IsValid())
    return false;
  std::int32_t at = 0;
  return SourceSample(first, at) && stream_->ReadAudio(dest, at, count);
}

bool AviAudioClip::SetBeginSample(std::int32_t n) {
  return TrimBegin(n);
}

bool AviAudioClip::SetEndSample(std::int32_t n) {
  return TrimEnd(n);
}

bool AviAudioClip::SetLength(std::int32_t n) {
  return TrimLength(n);
}

AudioClip AviAudioClip::Rebuild() {
  return TakePlacement(AudioClip::Make<AviAudioClip>(*context_, fileName_));
}

AudioClip AviAudioClip::OpenFile(const std::filesystem::path& file, MediaContext& context) {
  if (!AviClip::HasAviExtension(file))
    return AudioClip();
  AudioClip clip = AudioClip::Make<AviAudioClip>(context, file);
  if (!clip->IsValid())
    return AudioClip();
  return clip;
}

AudioClip AviAudioClip::LoadRecord(RecordReader& reader, MediaContext& context) {
  return AudioClipRecord::Load(AudioClip::Make<AviAudioClip>(context), reader, &context.Messages());
}

bool AviAudioClip::CheckFiles(MediaContext& context) {
  return context.AviFiles().CheckFiles(context.Prompt(), context.Messages());
}

} // namespace rw
