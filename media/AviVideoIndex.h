#pragma once

#include <cstdint>
#include <vector>

namespace rw {

// Where the bytes of one stored sample are: `pos` is the file position of its chunk header
// ("00dc" and the size) when `hasHeader`, otherwise of the data itself.
struct AviSampleRef {
  std::int64_t pos = 0;
  std::uint32_t size = 0;
  bool hasHeader = false;

  std::int64_t DataPos() const { return hasHeader ? pos + 8 : pos; }
};

// The index of a video stream: entries 0 … FrameCount() - 1, of which the non-empty ones are
// the stored pictures 0 … PictureCount() - 1 in file (decoding) order.
class AviVideoIndex {
public:
  void Clear();
  // Adds the next non-empty entry; entries must come in rising order.
  void Add(std::int64_t entry, const AviSampleRef& ref, bool key);
  // Ends the index: the frame count is at least one past the last entry added.
  void Finish(std::int64_t frameCount);

  std::int32_t FrameCount() const { return frameCount_; }
  std::int32_t PictureCount() const { return static_cast<std::int32_t>(pictures_.size()); }

  bool IsKeyFrame(std::int32_t entry) const;
  bool IsNonEmpty(std::int32_t entry) const { return PictureOf(entry) >= 0; }

  // The picture stored at `entry`, or -1 when the entry is empty or outside.
  std::int32_t PictureOf(std::int32_t entry) const;
  // The picture shown at `entry`: the last picture stored at or before it, the first picture
  // for empty entries before it; -1 without pictures.
  std::int32_t PictureShownAt(std::int32_t entry) const;
  std::int32_t EntryOf(std::int32_t picture) const { return pictures_[picture].entry; }
  const AviSampleRef& Sample(std::int32_t picture) const { return pictures_[picture].ref; }
  bool IsKeyPicture(std::int32_t picture) const { return pictures_[picture].key; }

  // The last key picture at or before `picture` (picture 0 when there is none).
  std::int32_t KeyAtOrBefore(std::int32_t picture) const;
  // The last key picture before `key`; -1 when `key` is the first.
  std::int32_t KeyBefore(std::int32_t key) const;

private:
  struct Picture {
    std::int32_t entry;
    AviSampleRef ref;
    bool key;
  };
  std::vector<Picture> pictures_;
  std::vector<std::int32_t> keys_; // pictures that are key frames, rising
  std::int32_t frameCount_ = 0;
};

} // namespace rw
