#include "media/ContainerClip.h"

#include "base/RecordGrammar.h"
#include "media/ContainerAudioClip.h"
#include "media/MediaContext.h"
#include "media/VideoClipRecord.h"

namespace rw {

ContainerClip::ContainerClip(MediaContext& context, const std::filesystem::path& file)
    : pMovieFileClip(context) {
  stream_ = context.ContainerFiles().OpenStream(file, context.Messages());
  decoder_ = context.ContainerFiles().OpenDecoder(stream_, 0, 0);
  if (decoder_) {
    AudioClip audio = AudioClip::Make<ContainerAudioClip>(context, file);
    if (audio->IsValid())
      audio_ = std::move(audio);
  }
  TakeWholeFile(file);
}

bool ContainerClip::HasMovieExtension(const std::filesystem::path& file) {
  const std::string name = file.filename().string();
  for (const std::string_view extension : {".MP4", ".M4V", ".MOV", ".MKV", ".WEBM"})
    if (name.size() > extension.size() &&
        SameWord(std::string_view(name).substr(name.size() - extension.size()), extension))
      return true;
  return false;
}

VideoClip ContainerClip::OpenFile(const std::filesystem::path& file, MediaContext& context) {
  if (!HasMovieExtension(file))
    return VideoClip();
  VideoClip clip = VideoClip::Make<ContainerClip>(context, file);
  if (!clip->IsValid())
    return VideoClip();
  return clip;
}

VideoClip ContainerClip::LoadRecord(RecordReader& reader, MediaContext& context) {
  return VideoClipRecord::Load(VideoClip::Make<ContainerClip>(context), reader, &context.Messages());
}

bool ContainerClip::CheckFiles(MediaContext& context) {
  return context.ContainerFiles().CheckFiles(context.Prompt(), context.Messages());
}

} // namespace rw
