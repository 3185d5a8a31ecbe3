#include "media/OfflineClip.h"

#include "base/RecordReader.h"
#include "media/MediaContext.h"
#include "media/OfflineCause.h"
#include "media/OfflinePicture.h"
#include "media/OfflineReplay.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace rw {
OfflineClip::OfflineClip(std::string keyword, OfflineRecord record, std::string reason)
    : keyword_(std::move(keyword)), record_(std::move(record)), reason_(std::move(reason)) {
  fileName_ = record_.File();
  settled_ = !fileName_.empty() && OfflineCause::WasRead(reason_);
  if (settled_)
    refused_ = FileStamp::Of(fileName_);
  width_ = kSourceWidth;
  height_ = kSourceHeight;
  TakeLength();
}

void OfflineClip::TakeLength() {
  const auto start = record_.Number("StartFrame");
  const auto end = record_.Number("EndFrame");
  std::int64_t length = kUnknownLength;
  beginFrame_ = 0;
  hasBeginEnd_ = start || end;
  if (hasBeginEnd_) {
    beginFrame_ = std::max(start.value_or(0), 0);
    length = std::int64_t{end.value_or(0)} - beginFrame_ + 1;
  } else if (const auto total = record_.Number("TotalFrame")) {
    length = *total;
  } else if (const auto frames = record_.Number("Frames")) {
    length = *frames;
  }
  // A record whose length cannot stand keeps the cut on the timeline all the same.
  if (length < 0 || length > INT32_MAX - beginFrame_)
    length = kUnknownLength;
  length_ = static_cast<std::int32_t>(length);
  endFrame_ = beginFrame_ + length_ - 1;
}

VideoClip OfflineClip::Read(std::string_view keyword, RecordReader& reader, MediaContext& context) {
  return OfflineReplay<VideoClip>::Read<OfflineClip>(keyword, reader, context, "クリップ");
}

VideoClip OfflineClip::Open(std::string_view keyword, const OfflineRecord& record, MediaContext& context,
                            std::string* reason) {
  VideoClip clip = OfflineReplay<VideoClip>::Open(keyword, record, context, reason);
  // A live clip of length -1 is left to the list's own check, as when it is read directly.
  if (clip) {
    const auto first = record.Number("StartFrame");
    const auto last = record.Number("EndFrame");
    if (clip->HasBeginEnd() && (first || last))
      clip->SetReadLoss(
          OfflineCause::Shortfall("フレーム", first.value_or(0), last.value_or(0), clip->GetSourceLength()));
  }
  return clip;
}

const DIB& OfflineClip::Drawn(DIB& picture, std::int32_t width, std::int32_t height) {
  if (!picture.IsPresent() || picture.Width() != width || picture.Height() != height)
    OfflinePicture::Draw(picture, width, height, fileName_.filename().string());
  return picture;
}

const BitmapInfoHeader* OfflineClip::GetFormat() {
  return Drawn(delivered_, width_, height_).Header();
}

const std::uint8_t* OfflineClip::GetFrame(std::int32_t /*i*/) {
  return Drawn(delivered_, width_, height_).Bits();
}

const BitmapInfoHeader* OfflineClip::GetSourceFormat() {
  return Drawn(source_, kSourceWidth, kSourceHeight).Header();
}

const std::uint8_t* OfflineClip::GetSourceFrame(std::int32_t /*i*/) {
  return Drawn(source_, kSourceWidth, kSourceHeight).Bits();
}

bool OfflineClip::SetSize(std::int32_t w, std::int32_t h) {
  if (!DIB::IsValidSize(w, h))
    return false;
  width_ = w;
  height_ = h;
  return true;
}

VideoClip OfflineClip::Revive(MediaContext& context) const {
  if (settled_ && FileStamp::Of(fileName_) == refused_)
    return VideoClip();
  return Open(keyword_, record_, context);
}

VideoClip OfflineClip::Relink(const std::filesystem::path& file, MediaContext& context) const {
  OfflineRecord record = record_;
  record.SetFile(file);
  std::string reason;
  if (VideoClip clip = Open(keyword_, record, context, &reason))
    return clip;
  Handle<OfflineClip> moved = VideoClip::Make<OfflineClip>(keyword_, std::move(record), std::move(reason));
  moved->SetSize(width_, height_);
  return VideoClip(std::move(moved));
}

} // namespace rw
