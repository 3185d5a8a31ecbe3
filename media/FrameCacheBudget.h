#pragma once

#include "media/DecoderBuffers.h"
#include "media/FfmpegPtr.h"

#include <cstddef>
#include <cstdint>
#include <list>
#include <vector>

namespace rw {

class AviFrameCache;

// One bound on the decoded pictures kept by all the frame caches that share it (a program run's
// media context owns one; every decoder its registry opens uses it). The pictures of every cache
// sit in one list, most recently used first: when a cache adds a picture and the total would
// pass the limit, the least recently used pictures of any cache go first. A cache's picture
// being decoded (protected, see AviFrameCache::Protect) never goes; when nothing else is left
// to evict, that picture alone may take the total past the limit, any other picture is refused.
// What counts is the bytes of the buffers of each kept picture.
//
// The budget and its caches are used by one thread at a time, like the decoders themselves.
// Caches hold the budget (shared), so it outlives every cache that uses it.
class FrameCacheBudget {
public:
  // The limit of a budget made without one: 64 MiB (the reasons are beside its definition).
  static const std::size_t kDefaultLimit;

  explicit FrameCacheBudget(std::size_t limitBytes = kDefaultLimit) : limit_(limitBytes) {}
  FrameCacheBudget(const FrameCacheBudget&) = delete;
  FrameCacheBudget& operator=(const FrameCacheBudget&) = delete;

  std::size_t Limit() const { return limit_; }
  // Changes the limit, evicting least recently used pictures until the total is within it.
  void SetLimit(std::size_t limitBytes);

  // Bytes and pictures kept now, by every cache together.
  std::size_t Total() const { return total_; }
  std::size_t Pictures() const { return entries_.size(); }
  // The highest total since the budget was made or the peak was last reset.
  std::size_t Peak() const { return peak_; }
  void ResetPeak() { peak_ = total_; }

  // The bytes of the buffers `frame` references.
  static std::size_t BytesOf(const AVFrame& frame);

  // Working memory for converting a picture, shared by the decoders of this budget instead of
  // one buffer each; its content means nothing from one conversion to the next.
  std::vector<std::uint8_t>& Scratch() { return scratch_; }
  // The picture buffers of the decoders of this budget, so that their cached pictures can be
  // references; the few released buffers kept for taking again are shared by all of them.
  const DecoderBuffers& Buffers() const { return buffers_; }

private:
  friend class AviFrameCache;

  struct Entry {
    AviFrameCache* owner;
    std::int32_t picture;
    std::size_t bytes;
    ff::FramePtr frame;
  };
  using Entries = std::list<Entry>;

  // Evicts least recently used pictures that may go until `bytes` more fit; false when they
  // cannot be made to fit.
  bool MakeRoom(std::size_t bytes);
  Entries::iterator Add(Entry entry);
  void Touch(Entries::iterator entry) { entries_.splice(entries_.begin(), entries_, entry); }
  // Forgets the entry; the owner has already dropped its own reference to it.
  void Remove(Entries::iterator entry);
  // Evicts the entry from its owner and from the list.
  void Evict(Entries::iterator entry);

  Entries entries_; // most recently used first
  std::size_t limit_;
  std::size_t total_ = 0;
  std::size_t peak_ = 0;
  std::vector<std::uint8_t> scratch_;
  DecoderBuffers buffers_;
};

} // namespace rw
