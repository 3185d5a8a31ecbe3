#include "media/VideoClip.h"

namespace rw {

pVideoClip::pVideoClip(const pVideoClip& other)
    : RefCounted(), fileName_(other.fileName_), width_(other.width_), height_(other.height_),
      length_(other.length_), beginFrame_(other.beginFrame_), endFrame_(other.endFrame_),
      audio_(other.audio_), readLoss_(other.readLoss_) {}

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
