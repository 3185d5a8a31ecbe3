#include "media/PictureClip.h"

#include "media/MediaContext.h"
#include "media/VideoClipRecord.h"

namespace rw {

PictureClip::PictureClip(MediaContext& context, const std::filesystem::path& file) : context_(&context) {
  picture_ = context.Pictures().OpenShared(file, context.Messages());
  fileName_ = file;
  length_ = kDefaultLength;
}

bool PictureClip::IsValid() const {
  return picture_ && !picture_->FileName().empty() && picture_->Picture().IsPresent();
}

bool PictureClip::SetLength(std::int32_t n) {
  if (n < 0 || n - 1 >= kSourceLength)
    return false;
  length_ = n;
  return true;
}

VideoClip PictureClip::Rebuild() {
  VideoClip clip = VideoClip::Make<PictureClip>(*context_, fileName_);
  if (!clip->IsValid())
    return VideoClip();
  clip->SetLength(length_);
  return clip;
}

VideoClip PictureClip::OpenFile(const std::filesystem::path& file, MediaContext& context) {
  VideoClip clip = VideoClip::Make<PictureClip>(context, file);
  if (!clip->IsValid())
    return VideoClip();
  return clip;
}

VideoClip PictureClip::LoadRecord(RecordReader& reader, MediaContext& context) {
  return VideoClipRecord::Load(VideoClip::Make<PictureClip>(context), reader, &context.Messages());
}

bool PictureClip::CheckFiles(MediaContext& context) {
  return context.Pictures().CheckFiles(context.Prompt(), context.Messages());
}

} // namespace rw
