#include "media/AviClip.h"

#include "base/RecordGrammar.h"
#include "media/AviAudioClip.h"
#include "media/MediaContext.h"
#include "media/VideoClipRecord.h"

#include <algorithm>
#include <limits>

namespace rw {
AviClip::AviClip(MediaContext& context, const std::filesystem::path& file) : context_(&context) {
  stream_ = context.AviFiles().OpenStream(file, context.Messages());
  if (stream_ && stream_->HasAudio()) {
    AudioClip audio = AudioClip::Make<AviAudioClip>(context, stream_);
    if (audio->IsValid())
      audio_ = std::move(audio);
  }
  decoder_ = context.AviFiles().OpenDecoder(stream_, 0, 0);
  beginFrame_ = 0;
  endFrame_ = stream_ ? stream_->FrameCount() - 1 : -1;
  fileName_ = file;
  width_ = GetWidth();
  height_ = GetHeight();
  length_ = endFrame_ - beginFrame_ + 1;
  FollowSound();
}

AviClip::AviClip(const AviClip& other)
    : pVideoClip(other), context_(other.context_), stream_(other.stream_), decoder_(other.decoder_) {
  width_ = GetWidth();
  height_ = GetHeight();
  length_ = endFrame_ - beginFrame_ + 1;
  FollowSound();
}

std::int32_t AviClip::SourceFrame(std::int32_t i) const {
  const std::int64_t n = static_cast<std::int64_t>(beginFrame_) + i;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(n, std::numeric_limits<std::int32_t>::min(),
                                                            std::numeric_limits<std::int32_t>::max()));
}

const std::uint8_t* AviClip::GetFrame(std::int32_t i) {
  return decoder_ ? decoder_->GetFrame(SourceFrame(i)) : nullptr;
}

bool AviClip::IsKeyFrame(std::int32_t i) const {
  return stream_ && stream_->IsKeyFrame(SourceFrame(i));
}

bool AviClip::IsNewFrame(std::int32_t i) const {
  return stream_ && stream_->IsNewFrame(SourceFrame(i));
}

bool AviClip::SetBeginFrame(std::int32_t n) {
  if (n < 0 || n >= GetSourceLength() || n > endFrame_)
    return false;
  beginFrame_ = n;
  length_ = endFrame_ - n + 1;
  FollowSound();
  return true;
}

bool AviClip::SetEndFrame(std::int32_t n) {
  if (n < 0 || n >= GetSourceLength() || n < beginFrame_)
    return false;
  endFrame_ = n;
  length_ = n - beginFrame_ + 1;
  FollowSound();
  return true;
}

bool AviClip::SetLength(std::int32_t n) {
  if (n < 0 || static_cast<std::int64_t>(beginFrame_) + n - 1 >= GetSourceLength())
    return false;
  endFrame_ = beginFrame_ + n - 1;
  length_ = n;
  FollowSound();
  return true;
}

VideoClip AviClip::Rebuild() {
  Handle<AviClip> clip = VideoClip::Make<AviClip>(*context_, fileName_);
  if (!clip->IsValid())
    return VideoClip();
  clip->SetBeginFrame(beginFrame_);
  clip->SetEndFrame(endFrame_);
  if (clip->audio_ && clip->audio_->IsValid() && loadedVolume_ >= 0)
    clip->audio_.SetVolume(loadedVolume_);
  return VideoClip(std::move(clip));
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
