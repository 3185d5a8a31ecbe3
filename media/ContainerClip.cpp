#include "media/ContainerClip.h"

#include "base/RecordGrammar.h"
#include "media/ContainerAudioClip.h"
#include "media/MediaContext.h"
#include "media/VideoClipRecord.h"

#include <algorithm>
#include <limits>

namespace rw {

ContainerClip::ContainerClip(MediaContext& context, const std::filesystem::path& file) : context_(&context) {
  stream_ = context.ContainerFiles().OpenStream(file, context.Messages());
  decoder_ = context.ContainerFiles().OpenDecoder(stream_, 0, 0);
  if (decoder_) {
    AudioClip audio = AudioClip::Make<ContainerAudioClip>(context, file);
    if (audio->IsValid())
      audio_ = std::move(audio);
  }
  beginFrame_ = 0;
  endFrame_ = stream_ ? stream_->FrameCount() - 1 : -1;
  fileName_ = file;
  width_ = GetWidth();
  height_ = GetHeight();
  length_ = endFrame_ - beginFrame_ + 1;
  FollowSound();
}

ContainerClip::ContainerClip(const ContainerClip& other)
    : pVideoClip(other), context_(other.context_), stream_(other.stream_), decoder_(other.decoder_) {
  width_ = GetWidth();
  height_ = GetHeight();
  length_ = endFrame_ - beginFrame_ + 1;
  FollowSound();
}

std::int32_t ContainerClip::SourceFrame(std::int32_t i) const {
  const std::int64_t n = static_cast<std::int64_t>(beginFrame_) + i;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(n, std::numeric_limits<std::int32_t>::min(),
                                                            std::numeric_limits<std::int32_t>::max()));
}

const std::uint8_t* ContainerClip::GetFrame(std::int32_t i) {
  return decoder_ ? decoder_->GetFrame(SourceFrame(i)) : nullptr;
}

bool ContainerClip::IsKeyFrame(std::int32_t i) const {
  return stream_ && stream_->IsKeyFrame(SourceFrame(i));
}

bool ContainerClip::IsNewFrame(std::int32_t i) const {
  return stream_ && stream_->IsNewFrame(SourceFrame(i));
}

bool ContainerClip::SetBeginFrame(std::int32_t n) {
  if (n < 0 || n >= GetSourceLength() || n > endFrame_)
    return false;
  beginFrame_ = n;
  length_ = endFrame_ - n + 1;
  FollowSound();
  return true;
}

bool ContainerClip::SetEndFrame(std::int32_t n) {
  if (n < 0 || n >= GetSourceLength() || n < beginFrame_)
    return false;
  endFrame_ = n;
  length_ = n - beginFrame_ + 1;
  FollowSound();
  return true;
}

bool ContainerClip::SetLength(std::int32_t n) {
  if (n < 0 || static_cast<std::int64_t>(beginFrame_) + n - 1 >= GetSourceLength())
    return false;
  endFrame_ = beginFrame_ + n - 1;
  length_ = n;
  FollowSound();
  return true;
}

VideoClip ContainerClip::Rebuild() {
  Handle<ContainerClip> clip = VideoClip::Make<ContainerClip>(*context_, fileName_);
  if (!clip->IsValid())
    return VideoClip();
  clip->SetBeginFrame(beginFrame_);
  clip->SetEndFrame(endFrame_);
  if (clip->audio_ && clip->audio_->IsValid() && loadedVolume_ >= 0)
    clip->audio_.SetVolume(loadedVolume_);
  return VideoClip(std::move(clip));
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
