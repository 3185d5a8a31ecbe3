#include "media/OfflineClip.h"

#include "media/MediaContext.h"

namespace rw {

OfflineClip::OfflineClip(std::string keyword, OfflineRecord record, std::string reason)
    : keyword_(std::move(keyword)), record_(std::move(record)), reason_(std::move(reason)) {}

VideoClip OfflineClip::Read(std::string_view /*keyword*/, RecordReader& /*reader*/,
                            MediaContext& /*context*/) {
  return VideoClip();
}

VideoClip OfflineClip::Open(std::string_view /*keyword*/, const OfflineRecord& /*record*/,
                            MediaContext& /*context*/, std::string* /*reason*/) {
  return VideoClip();
}

const BitmapInfoHeader* OfflineClip::GetFormat() {
  return nullptr;
}

const std::uint8_t* OfflineClip::GetFrame(std::int32_t /*i*/) {
  return nullptr;
}

const BitmapInfoHeader* OfflineClip::GetSourceFormat() {
  return nullptr;
}

const std::uint8_t* OfflineClip::GetSourceFrame(std::int32_t /*i*/) {
  return nullptr;
}

bool OfflineClip::SetSize(std::int32_t /*w*/, std::int32_t /*h*/) {
  return false;
}

VideoClip OfflineClip::Revive(MediaContext& /*context*/) const {
  return VideoClip();
}

VideoClip OfflineClip::Relink(const std::filesystem::path& /*file*/, MediaContext& /*context*/) const {
  return VideoClip();
}

void OfflineClip::TakeLength() {}

const DIB& OfflineClip::Drawn(DIB& picture, std::int32_t /*width*/, std::int32_t /*height*/) {
  return picture;
}

} // namespace rw
