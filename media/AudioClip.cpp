#include "media/AudioClip.h"

#include <cstdint>

namespace rw {

pAudioClip* pAudioClip::Clone() const {
  return new pAudioClip(*this);
}

AudioClip pAudioClip::Rebuild() {
  return AudioClip::Share(this);
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

bool pAudioClip::TrimBegin(std::int32_t n) {
  if (n < 0 || n >= GetSourceLength() || n > endSample_)
    return false;
  beginSample_ = n;
  length_ = endSample_ - n + 1;
  return true;
}

bool pAudioClip::TrimEnd(std::int32_t n) {
  if (n < 0 || n >= GetSourceLength() || n < beginSample_)
    return false;
  endSample_ = n;
  length_ = n - beginSample_ + 1;
  return true;
}

bool pAudioClip::TrimLength(std::int32_t n) {
  if (n < 0 || static_cast<std::int64_t>(beginSample_) + n - 1 >= GetSourceLength())
    return false;
  endSample_ = beginSample_ + n - 1;
  length_ = n;
  return true;
}

void pAudioClip::TakeWholeSource() {
  beginSample_ = 0;
  endSample_ = GetSourceLength() - 1;
  TakeFormat();
}

void pAudioClip::TakeFormat() {
  channels_ = GetChannels();
  bits_ = GetBits();
  rate_ = GetRate();
  length_ = endSample_ - beginSample_ + 1;
}

bool pAudioClip::SourceSample(std::int32_t first, std::int32_t& at) const {
  const std::int64_t n = static_cast<std::int64_t>(beginSample_) + first;
  if (n < 0 || n > INT32_MAX)
    return false;
  at = static_cast<std::int32_t>(n);
  return true;
}

AudioClip pAudioClip::TakePlacement(AudioClip fresh) const {
  if (!fresh || !fresh->IsValid())
    return AudioClip();
  fresh->SetBeginSample(beginSample_);
  fresh->SetLength(length_);
  fresh->SetPlayFrameMember(playFrame_);
  fresh->SetOverClipMember(overClip_);
  fresh->SetVolumeMember(volume_);
  return fresh;
}

} // namespace rw
