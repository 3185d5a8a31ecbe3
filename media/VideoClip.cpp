#include "media/VideoClip.h"

#include "base/ScaleDiv.h"

#include <algorithm>

namespace rw {
namespace {

// The project's frame rate, at which the own sound is cut.
constexpr std::int32_t kTimelineRate = 30;

} // namespace

pVideoClip::pVideoClip(const pVideoClip& other)
    : RefCounted(), fileName_(other.fileName_), width_(other.width_), height_(other.height_),
      length_(other.length_), beginFrame_(other.beginFrame_), endFrame_(other.endFrame_),
      audio_(other.audio_), readLoss_(other.readLoss_) {}

void pVideoClip::FollowSound() {
  if (audio_.IsNull() || !audio_->IsValid())
    return;
  const std::int32_t rate = audio_->GetRate();
  const std::int32_t samples = audio_->GetSourceLength();
  if (rate <= 0)
    return;
  const std::int32_t begin = ScaleDiv(beginFrame_, rate, kTimelineRate);
  // The last sample of the end frame (not its first), within the sound.
  const std::int32_t end = std::min(ScaleDiv(endFrame_ + 1, rate, kTimelineRate), samples) - 1;
  if (endFrame_ < beginFrame_ || begin >= samples || end < begin) {
    // No frame, or none with sound: the cut is silent rather than keeping an old range.
    audio_.SetLength(0);
    return;
  }
  // Move the end first when the new range lies wholly after the old one.
  if (begin > audio_->GetEndSample()) {
    audio_.SetEndSample(end);
    audio_.SetBeginSample(begin);
  } else {
    audio_.SetBeginSample(begin);
    audio_.SetEndSample(end);
  }
}

VideoClip pVideoClip::Rebuild() {
  return VideoClip::Share(this);
}

bool VideoClip::SetSize(std::int32_t w, std::int32_t h) {
  if (IsNull() || (w == Get()->GetWidth() && h == Get()->GetHeight()))
    return false;
  Detach();
  Get()->SetSize(w, h);
  return true;
}

bool VideoClip::SetBeginFrame(std::int32_t n) {
  if (IsNull() || n == Get()->GetBeginFrame())
    return false;
  Detach();
  Get()->SetBeginFrame(n);
  return true;
}

bool VideoClip::SetEndFrame(std::int32_t n) {
  if (IsNull() || n == Get()->GetEndFrame())
    return false;
  Detach();
  Get()->SetEndFrame(n);
  return true;
}

bool VideoClip::SetLength(std::int32_t n) {
  if (IsNull() || n == Get()->Length())
    return false;
  Detach();
  Get()->SetLength(n);
  return true;
}

AudioClip* VideoClip::AudioForEditing() {
  if (IsNull() || Get()->Audio().IsNull() || !Get()->Audio()->IsValid())
    return nullptr;
  Detach();
  return &Get()->audio_;
}

bool VideoClip::Configure(ColorChooser& chooser) {
  if (IsNull())
    return false;
  Detach();
  return Get()->Configure(chooser);
}

} // namespace rw
