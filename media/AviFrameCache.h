#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <unordered_map>

namespace rw {

// Decoded pictures of one decoder, by display number, most recently used first. It holds at
// most max(2, limit / frame size) pictures, so its memory stays within max(limit, 2 frames).
// The pinned picture (the one last handed out) and the protected one (the one being decoded)
// are never evicted.
class AviFrameCache {
public:
  void Reset(std::size_t frameBytes, std::size_t limitBytes);
  void Clear();

  std::size_t Capacity() const { return capacity_; }
  std::size_t Size() const { return entries_.size(); }

  // The pixels of `picture`, or null; a hit counts as a use.
  std::uint8_t* Find(std::int32_t picture);
  // A buffer for `picture` to be filled (its old pixels when it is present), evicting the
  // least recently used other picture when full; null when nothing may be evicted or memory
  // runs out.
  std::uint8_t* Insert(std::int32_t picture);
  void Remove(std::int32_t picture);
  void Pin(std::int32_t picture) { pinned_ = picture; }
  void Protect(std::int32_t picture) { protected_ = picture; }

private:
  struct Entry {
    std::int32_t picture;
    std::unique_ptr<std::uint8_t[]> pixels;
  };
  std::list<Entry> entries_; // most recently used first
  std::unordered_map<std::int32_t, std::list<Entry>::iterator> byPicture_;
  std::size_t frameBytes_ = 0;
  std::size_t capacity_ = 2;
  std::int32_t pinned_ = -1;
  std::int32_t protected_ = -1;
};

} // namespace rw
