#include "media/FrameCacheBudget.h"

#include "media/AviFrameCache.h"

#include <algorithm>

namespace rw {

// Two files' worth of the editor's needs: as much as every decoder used to keep on its own, so
// stepping back through a long group or jumping about in one file decodes no more than before,
// and the two cuts of a transition each still keep a long stretch. A compile, which reads each
// file front to back, gains nothing from more.
const std::size_t FrameCacheBudget::kDefaultLimit = std::size_t{64} << 20;

void FrameCacheBudget::SetLimit(std::size_t limitBytes) {
  limit_ = limitBytes;
  MakeRoom(0);
}

std::size_t FrameCacheBudget::BytesOf(const AVFrame& frame) {
  std::size_t bytes = 0;
  for (const AVBufferRef* buf : frame.buf)
    if (buf)
      bytes += buf->size;
  for (int i = 0; i < frame.nb_extended_buf; ++i)
    if (frame.extended_buf[i])
      bytes += frame.extended_buf[i]->size;
  return bytes;
}

bool FrameCacheBudget::MakeRoom(std::size_t bytes) {
  auto it = entries_.end();
  while (total_ + bytes > limit_ && it != entries_.begin()) {
    --it;
    if (it->owner->IsProtected(it->picture))
      continue;
    const auto victim = it++;
    Evict(victim);
  }
  return total_ + bytes <= limit_;
}

FrameCacheBudget::Entries::iterator FrameCacheBudget::Add(Entry entry) {
  total_ += entry.bytes;
  peak_ = std::max(peak_, total_);
  entries_.push_front(std::move(entry));
  return entries_.begin();
}

void FrameCacheBudget::Remove(Entries::iterator entry) {
  total_ -= entry->bytes;
  entries_.erase(entry);
}

void FrameCacheBudget::Evict(Entries::iterator entry) {
  entry->owner->Forget(entry->picture);
  Remove(entry);
}

} // namespace rw
