#include "media/AviClip.h"

#include "base/RecordGrammar.h"
#include "media/AviAudioClip.h"
#include "media/MediaContext.h"
#include "media/VideoClipRecord.h"

namespace rw {
AviClip::AviClip(MediaContext& context, const std::filesystem::path& file) : pMovieFileClip(context) {
  stream_ = context.AviFiles().OpenStream(file, context.Messages());
  if (stream_ && stream_->HasAudio()) {
    AudioClip audio = AudioClip::Make<AviAudioClip>(context, stream_);
    if (audio->IsValid())
      audio_ = std::move(audio);
  }
  decoder_ = context.AviFiles().OpenDecoder(stream_, 0, 0);
  TakeWholeFile(file);
}

bool AviClip::HasAviExtension(const std::filesystem::path& file) {
  const std::string name = file.string();
  return name.size() >= 4 && SameWord(std::string_view(name).substr(name.size() - 4), ".AVI");
}

VideoClip AviClip::OpenFile(const std::filesystem::path& file, MediaContext& context) {
  if (!HasAviExtension(file))
    return VideoClip();
  VideoClip clip = VideoClip::Make<AviClip>(context, file);
  if (!clip->IsValid())
    return VideoClip();
  return clip;
}

VideoClip AviClip::LoadRecord(RecordReader& reader, MediaContext& context) {
  return VideoClipRecord::Load(VideoClip::Make<AviClip>(context), reader, &context.Messages());
}

bool AviClip::CheckFiles(MediaContext& context) {
  return context.AviFiles().CheckFiles(context.Prompt(), context.Messages());
}

} // namespace rw
