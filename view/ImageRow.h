#pragma once

#include "render/DIB.h"

#include <array>
#include <cstdint>
#include <functional>

namespace rw::view {

// A row of nine pictures of one size for the frames current - 4 .. current + 4. The places
// within three frames of the current one are kept (the centre too: stepping then moves it aside
// instead of drawing it); the outermost two are never drawn. When the current time moves,
// pictures whose frame is still in the row move to their new place and only the places that
// come into view are drawn.
class ImageRow {
public:
  // Draws the picture of timeline frame `frame` (which may lie outside the timeline).
  using Draw = std::function<void(DIB& picture, std::int32_t frame)>;

  ImageRow(std::int32_t width, std::int32_t height);

  // Answers which places changed, as bits slot + 4.
  std::uint32_t Refresh(std::int32_t current, bool full, const Draw& draw);

  static constexpr bool Kept(int slot) { return slot >= -3 && slot <= 3; }

  // Empty for the places not kept.
  const DIB& Image(int slot) const { return images_[static_cast<std::size_t>(slot + 4)]; }
  // Pictures drawn since construction (moved ones do not count).
  std::int64_t Drawn() const { return drawn_; }

private:
  static constexpr std::int32_t kNone = INT32_MIN;

  std::array<DIB, 9> images_;
  std::array<std::int32_t, 9> frames_;
  std::int64_t drawn_ = 0;
};

} // namespace rw::view
