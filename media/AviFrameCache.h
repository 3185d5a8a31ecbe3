#pragma once

#include "media/FfmpegPtr.h"
#include "media/FrameCacheBudget.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>

namespace rw {

// Decoded pictures of one decoder (in the decoder's own format), by display number. Its memory counts
// against a FrameCacheBudget shared with other caches (by default one of its own): adding a picture may evict
// the least recently used pictures of any cache of that budget. The protected picture (the one being decoded)
// is never evicted. A frame that Find answers stays valid until the next call on any cache of the same
// budget.
class AviFrameCache {
public:
  AviFrameCache() : budget_(std::make_shared<FrameCacheBudget>()) {}
  explicit AviFrameCache(std::shared_ptr<FrameCacheBudget> budget) : budget_(std::move(budget)) {}
  AviFrameCache(const AviFrameCache&) = delete;
  AviFrameCache& operator=(const AviFrameCache&) = delete;
  ~AviFrameCache() { Clear(); }

  // Counts against `budget` from now on; the pictures kept so far are dropped.
  void SetBudget(std::shared_ptr<FrameCacheBudget> budget);
  const FrameCacheBudget& Budget() const { return *budget_; }
  FrameCacheBudget& Budget() { return *budget_; }
  void Clear();

  // How many pictures of this stream the budget holds (at least two); the pictures of one
  // stream share a size, the first one kept tells it.
  std::size_t Capacity() const;
  std::size_t Size() const { return byPicture_.size(); }
  // Bytes of one picture of this stream; 0 before the first is kept.
  std::size_t PictureBytes() const { return pictureBytes_; }

  // The picture, or null; a hit counts as a use.
  const AVFrame* Find(std::int32_t picture);
  // Keeps `frame` as `picture`, evicting least recently used pictures of the budget to make
  // room; false when it does not fit (only the protected picture may pass the limit) or memory
  // runs out. A picture in buffers of the budget's decoders (see DecoderBuffers) is kept as a
  // reference, any other as a copy.
  bool Insert(std::int32_t picture, const AVFrame& frame);
  void Protect(std::int32_t picture) { protected_ = picture; }
  bool IsProtected(std::int32_t picture) const { return picture == protected_ && picture >= 0; }

private:
  friend class FrameCacheBudget;

  // Called by the budget when it evicts one of this cache's pictures.
  void Forget(std::int32_t picture) { byPicture_.erase(picture); }

  std::shared_ptr<FrameCacheBudget> budget_;
  std::unordered_map<std::int32_t, FrameCacheBudget::Entries::iterator> byPicture_;
  std::size_t pictureBytes_ = 0;
  std::int32_t protected_ = -1;
};

} // namespace rw
