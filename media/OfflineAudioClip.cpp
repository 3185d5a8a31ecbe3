#include "media/OfflineAudioClip.h"

#include "base/RecordGrammar.h"
#include "base/RecordReader.h"
#include "media/MediaContext.h"
#include "media/OfflineCause.h"
#include "media/OfflineReplay.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace rw {
namespace {

bool IsOn(std::string_view value) {
  return SameWord(value.substr(0, 2), "ON");
}

} // namespace

OfflineAudioClip::OfflineAudioClip(std::string keyword, OfflineRecord record, std::string reason)
    : keyword_(std::move(keyword)), record_(std::move(record)), reason_(std::move(reason)) {
  fileName_ = record_.File();
  settled_ = !fileName_.empty() && OfflineCause::WasRead(reason_);
  if (settled_)
    refused_ = FileStamp::Of(fileName_);
  // The values as the record gives them; what the record lacks keeps the default of a clip.
  beginSample_ = std::max(record_.Number("StartSample").value_or(0), 0);
  length_ = std::max(record_.Number("TotalSample").value_or(0), 0);
  endSample_ =
      static_cast<std::int32_t>(std::min<std::int64_t>(std::int64_t{beginSample_} + length_ - 1, INT32_MAX));
  playFrame_ = record_.Number("PlayFrame").value_or(playFrame_);
  volume_ = record_.Number("Volume").value_or(volume_);
  if (const auto over = record_.Value("OverClip"))
    overClip_ = IsOn(*over);
}

AudioClip OfflineAudioClip::Read(std::string_view keyword, RecordReader& reader, MediaContext& context) {
  return OfflineReplay<AudioClip>::Read<OfflineAudioClip>(keyword, reader, context, "音声クリップ");
}

AudioClip OfflineAudioClip::Open(std::string_view keyword, const OfflineRecord& record, MediaContext& context,
                                 std::string* reason) {
  AudioClip clip = OfflineReplay<AudioClip>::Open(keyword, record, context, reason);
  if (clip) {
    const std::int64_t first = record.Number("StartSample").value_or(0);
    if (const auto total = record.Number("TotalSample"); total && *total > 0)
      clip->SetReadLoss(
          OfflineCause::Shortfall("サンプル", first, first + *total - 1, clip->GetSourceLength()));
  }
  return clip;
}

OfflineRecord OfflineAudioClip::Record() const {
  OfflineRecord record = record_;
  // Only what changed since reading is written anew, so that an untouched record stays as read.
  if (playFrame_ != record_.Number("PlayFrame").value_or(0))
    record.SetValue("PlayFrame", std::to_string(playFrame_));
  if (volume_ != record_.Number("Volume").value_or(256))
    record.SetValue("Volume", std::to_string(volume_));
  const auto over = record_.Value("OverClip");
  if (overClip_ != (over ? IsOn(*over) : true))
    record.SetValue("OverClip", overClip_ ? "ON" : "OFF");
  return record;
}

AudioClip OfflineAudioClip::Revive(MediaContext& context) const {
  if (settled_ && FileStamp::Of(fileName_) == refused_)
    return AudioClip();
  return Open(keyword_, Record(), context);
}

AudioClip OfflineAudioClip::Relink(const std::filesystem::path& file, MediaContext& context) const {
  OfflineRecord record = Record();
  record.SetFile(file);
  std::string reason;
  if (AudioClip clip = Open(keyword_, record, context, &reason))
    return clip;
  return AudioClip::Make<OfflineAudioClip>(keyword_, std::move(record), std::move(reason));
}

} // namespace rw
