#pragma once

#include "media/FfmpegPtr.h"

#include <cstddef>
#include <cstdint>
#include <list>
#include <unordered_map>

namespace rw {

// Decoded pictures of one decoder (references to libavcodec's frames, not copies), by display
// number, most recently used first. It holds at most max(2, limit / picture size) pictures, so
// its memory stays within max(limit, 2 pictures). The protected picture (the one being
// decoded) is never evicted.
class AviFrameCache {
public:
  void SetLimit(std::size_t limitBytes);
  void Clear();

  std::size_t Capacity() const { return capacity_; }
  std::size_t Size() const { return entries_.size(); }

  // The picture, or null; a hit counts as a use.
  const AVFrame* Find(std::int32_t picture);
  // Keeps a reference to `frame` as `picture`, evicting the least recently used other picture
  // when full; false when nothing may be evicted or memory runs out.
  bool Insert(std::int32_t picture, const AVFrame& frame);
  void Protect(std::int32_t picture) { protected_ = picture; }

private:
  struct Entry {
    std::int32_t picture;
    ff::FramePtr frame;
  };
  std::list<Entry> entries_; // most recently used first
  std::unordered_map<std::int32_t, std::list<Entry>::iterator> byPicture_;
  std::size_t limit_ = 0;
  std::size_t capacity_ = 2;
  std::int32_t protected_ = -1;
};

} // namespace rw
