#pragma once

#include "render/DIB.h"

namespace rw::view {

// The neutral picture shown where a slot or frame image has no frame (before the first frame,
// at the end position, in an empty project): a small one of the thumbnails' size and a large
// one of the preview's size resampled from it.
class Placeholder {
public:
  Placeholder();

  const DIB& Small() const { return small_; }
  const DIB& Large() const { return large_; }
  // The placeholder drawn into `out` at out's size: a copy of one of the two when the size
  // matches, otherwise the small one stretched.
  void DrawInto(DIB& out) const;

private:
  DIB small_;
  DIB large_;
};

} // namespace rw::view
