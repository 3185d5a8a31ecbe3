#include "media/OfflineAudioClip.h"

#include "media/MediaContext.h"

namespace rw {

OfflineAudioClip::OfflineAudioClip(std::string keyword, OfflineRecord record, std::string reason)
    : keyword_(std::move(keyword)), record_(std::move(record)), reason_(std::move(reason)) {}

AudioClip OfflineAudioClip::Read(std::string_view /*keyword*/, RecordReader& /*reader*/,
                                 MediaContext& /*context*/) {
  return AudioClip();
}

AudioClip OfflineAudioClip::Open(std::string_view /*keyword*/, const OfflineRecord& /*record*/,
                                 MediaContext& /*context*/, std::string* /*reason*/) {
  return AudioClip();
}

OfflineRecord OfflineAudioClip::Record() const {
  return record_;
}

AudioClip OfflineAudioClip::Revive(MediaContext& /*context*/) const {
  return AudioClip();
}

AudioClip OfflineAudioClip::Relink(const std::filesystem::path& /*file*/, MediaContext& /*context*/) const {
  return AudioClip();
}

} // namespace rw
