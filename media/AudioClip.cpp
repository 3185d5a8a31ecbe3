#include "media/AudioClip.h"

namespace rw {

pAudioClip* pAudioClip::Clone() const {
  return new pAudioClip(*this);
}

AudioClip pAudioClip::Rebuild() {
  AddRef();
  return AudioClip(this);
}

bool AudioClip::SetBeginSample(std::int32_t n) {
  if (IsNull() || n == Get()->GetBeginSample())
    return false;
  Detach();
  Get()->SetBeginSample(n);
  return true;
}

bool AudioClip::SetEndSample(std::int32_t n) {
  if (IsNull() || n == Get()->GetEndSample())
    return false;
  Detach();
  Get()->SetEndSample(n);
  return true;
}

bool AudioClip::SetLength(std::int32_t n) {
  if (IsNull() || n == Get()->Length())
    return false;
  Detach();
  Get()->SetLength(n);
  return true;
}

bool AudioClip::SetPlayFrame(std::int32_t f) {
  if (IsNull() || f == Get()->PlayFrame())
    return false;
  Detach();
  Get()->SetPlayFrameMember(f);
  return true;
}

bool AudioClip::SetVolume(std::int32_t v) {
  if (IsNull() || v == Get()->Volume())
    return false;
  Detach();
  Get()->SetVolumeMember(v);
  return true;
}

} // namespace rw
