#include "view/TimelineImages.h"

#include "project/VideoClipList.h"
#include "view/AudioImage.h"
#include "view/Placeholder.h"
#include "view/WindowLayout.h"

namespace rw::view {

TimelineImages::TimelineImages(const Placeholder& placeholder, TimelineRenderer& renderer)
    : placeholder_(placeholder), renderer_(renderer),
      frames_(WindowLayout::FrameImage(0).w, WindowLayout::FrameImage(0).h),
      audio_(WindowLayout::AudioImage(0).w, WindowLayout::AudioImage(0).h) {
  preview_.Create(WindowLayout::kPreviewWidth, WindowLayout::kPreviewHeight);
  largeAudio_.Create(WindowLayout::kImageAudioNowLarge.w, WindowLayout::kImageAudioNowLarge.h);
  ShowEmpty();
}

void TimelineImages::ShowEmpty() {
  // An empty timeline has no frame anywhere: every place draws its placeholder.
  const VideoClipList empty = VideoClipList::New();
  RefreshFrames(*empty, 0, true);
  RefreshAudio(*empty, 0, true);
}

std::uint32_t TimelineImages::RefreshFrames(const pVideoClipList& list, std::int32_t current, bool full) {
  std::uint32_t changed = frames_.Refresh(
      current, full, [&](DIB& picture, std::int32_t frame) { DrawFrame(list, picture, frame); });
  DrawFrame(list, preview_, current);
  return changed | kPreviewChanged;
}

std::uint32_t TimelineImages::RefreshAudio(const pVideoClipList& list, std::int32_t current, bool full) {
  std::uint32_t changed = audio_.Refresh(
      current, full, [&](DIB& picture, std::int32_t frame) { DrawAudio(list, picture, frame); });
  DrawAudio(list, largeAudio_, current);
  return changed | kLargeAudioChanged;
}

void TimelineImages::DrawFrame(const pVideoClipList& list, DIB& picture, std::int32_t frame) {
  if (frame < 0 || frame >= list.TotalFrames()) {
    placeholder_.DrawInto(picture);
    return;
  }
  ++rendered_;
  renderer_.QuickFrame(list, picture, list.PosAt(frame));
}

void TimelineImages::DrawAudio(const pVideoClipList& list, DIB& picture, std::int32_t frame) {
  if (frame < 0 || frame >= list.TotalFrames()) {
    AudioImage::Blank(picture);
    return;
  }
  const auto n = static_cast<std::size_t>(TimelineRenderer::SampleCount(list.Output(), frame, 1));
  samples_.resize(n);
  if (!renderer_.RenderAudioMono(list, samples_, frame, 1)) {
    AudioImage::Blank(picture);
    return;
  }
  AudioImage::Draw(picture, samples_);
}

} // namespace rw::view
