#pragma once

#include "project/TimelineRenderer.h"
#include "render/DIB.h"
#include "view/ImageRow.h"

#include <cstdint>
#include <vector>

namespace rw {
class pVideoClipList;
}

namespace rw::view {

class Placeholder;

// The pictures around the current time: the row of frame images, the preview of the current
// frame, the row of audio images and the large audio image of the current frame. Pictures are
// rendered by the quick frame at their own size, transitions included.
class TimelineImages {
public:
  // Bits of Refresh's answer beyond the rows' own (slot + 4).
  static constexpr std::uint32_t kPreviewChanged = 1u << 9;
  static constexpr std::uint32_t kLargeAudioChanged = 1u << 10;

  TimelineImages(const Placeholder& placeholder, TimelineRenderer& renderer);

  // Frame images and preview; answers the places that changed (kPreviewChanged for the preview).
  std::uint32_t RefreshFrames(const pVideoClipList& list, std::int32_t current, bool full);
  // Audio images and the large one; answers the places that changed (kLargeAudioChanged).
  std::uint32_t RefreshAudio(const pVideoClipList& list, std::int32_t current, bool full);
  // Placeholders in every frame image and the preview, every audio image blank.
  void ShowEmpty();

  const DIB& FrameImage(int slot) const { return frames_.Image(slot); }
  const DIB& Preview() const { return preview_; }
  const DIB& AudioImage(int slot) const { return audio_.Image(slot); }
  const DIB& LargeAudio() const { return largeAudio_; }
  // Frames rendered since construction, the preview included.
  std::int64_t FramesRendered() const { return rendered_; }

private:
  void DrawFrame(const pVideoClipList& list, DIB& picture, std::int32_t frame);
  void DrawAudio(const pVideoClipList& list, DIB& picture, std::int32_t frame);

  const Placeholder& placeholder_;
  TimelineRenderer& renderer_;
  ImageRow frames_;
  ImageRow audio_;
  DIB preview_;
  DIB largeAudio_;
  std::vector<std::int32_t> samples_;
  std::int64_t rendered_ = 0;
};

} // namespace rw::view
