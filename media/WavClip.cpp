#include "media/WavClip.h"

#include "base/RecordGrammar.h"
#include "media/AudioClipRecord.h"
#include "media/MediaContext.h"

namespace rw {

WavClip::WavClip(MediaContext& context, const std::filesystem::path& file) : context_(&context) {
  stream_ = context.WavStreams().OpenShared(file, context.Messages());
  fileName_ = file;
  TakeWholeSource();
}

WavClip::WavClip(const WavClip& other) : pAudioClip(other), context_(other.context_), stream_(other.stream_) {
  TakeFormat();
}

bool WavClip::ReadSamples(void* dest, std::int32_t first, std::int32_t count) {
  if (!stream_)
    return false;
  std::int32_t at = 0;
  return SourceSample(first, at) && stream_->Read(dest, at, count);
}

bool WavClip::SetBeginSample(std::int32_t n) {
  return TrimBegin(n);
}

bool WavClip::SetEndSample(std::int32_t n) {
  return TrimEnd(n);
}

bool WavClip::SetLength(std::int32_t n) {
  return TrimLength(n);
}

AudioClip WavClip::Rebuild() {
  return TakePlacement(AudioClip::Make<WavClip>(*context_, fileName_));
}

AudioClip WavClip::OpenFile(const std::filesystem::path& file, MediaContext& context) {
  if (!SameWord(file.extension().string(), ".WAV"))
    return AudioClip();
  AudioClip clip = AudioClip::Make<WavClip>(context, file);
  if (!clip->IsValid())
    return AudioClip();
  return clip;
}

AudioClip WavClip::LoadRecord(RecordReader& reader, MediaContext& context) {
  return AudioClipRecord::Load(AudioClip::Make<WavClip>(context), reader, &context.Messages());
}

bool WavClip::CheckFiles(MediaContext& context) {
  return context.WavStreams().CheckFiles(context.Prompt(), context.Messages());
}

} // namespace rw
