#include "media/AviFrameCache.h"

#include <algorithm>

namespace rw {

void AviFrameCache::SetBudget(std::shared_ptr<FrameCacheBudget> budget) {
  Clear();
  budget_ = std::move(budget);
}

void AviFrameCache::Clear() {
  for (const auto& [picture, entry] : byPicture_)
    budget_->Remove(entry);
  byPicture_.clear();
  pictureBytes_ = 0;
  protected_ = -1;
}

std::size_t AviFrameCache::Capacity() const {
  return std::max<std::size_t>(2, pictureBytes_ > 0 ? budget_->Limit() / pictureBytes_ : 2);
}

const AVFrame* AviFrameCache::Find(std::int32_t picture) {
  const auto it = byPicture_.find(picture);
  if (it == byPicture_.end())
    return nullptr;
  budget_->Touch(it->second);
  return it->second->frame.get();
}

bool AviFrameCache::Insert(std::int32_t picture, const AVFrame& frame) {
  if (const auto it = byPicture_.find(picture); it != byPicture_.end()) {
    budget_->Remove(it->second);
    byPicture_.erase(it);
  }
  // Buffers of the budget's decoders hold their own memory and no more. Others are copied into
  // buffers of the cache's own: libavcodec's buffers go back to the decoder's pool when
  // released, and the pool keeps them for as long as the decoder lives, so evicted pictures
  // would still hold memory for every file ever read.
  ff::FramePtr copy = ff::MakeFrame();
  if (!copy)
    return false;
  if (budget_->Buffers().Owns(frame)) {
    if (av_frame_ref(copy.get(), &frame) < 0)
      return false;
  } else {
    copy->format = frame.format;
    copy->width = frame.width;
    copy->height = frame.height;
    if (av_frame_get_buffer(copy.get(), 0) < 0 || av_frame_copy(copy.get(), &frame) < 0 ||
        av_frame_copy_props(copy.get(), &frame) < 0)
      return false;
  }
  const std::size_t bytes = FrameCacheBudget::BytesOf(*copy);
  if (pictureBytes_ == 0)
    pictureBytes_ = bytes;
  // Only the picture being decoded may be kept when the others cannot make room for it.
  if (!budget_->MakeRoom(bytes) && !IsProtected(picture))
    return false;
  byPicture_[picture] = budget_->Add({this, picture, bytes, std::move(copy)});
  return true;
}

} // namespace rw
