#pragma once

#include "media/AudioClip.h"
#include "media/FileStamp.h"
#include "media/OfflineRecord.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace rw {

class MediaContext;
class RecordReader;

// An audio clip kept in place although its file does not open or its kind keyword is unknown.
// It is silent; it keeps its anchor, range, volume and OverClip as the record gives them, and
// writes the record back unchanged except for an anchor or volume changed since (moving the
// clip, or its volume). Its range cannot be trimmed.
class OfflineAudioClip : public pAudioClip {
public:
  OfflineAudioClip(std::string keyword, OfflineRecord record, std::string reason);
  OfflineAudioClip(const OfflineAudioClip& other) = default;

  // An audio clip record of kind `keyword` after its "Audio" line: the live clip when the kind
  // knows the keyword and the file opens, else an offline clip keeping the record (the reader's
  // messages become its reason). Null only when the block itself is broken.
  static AudioClip Read(std::string_view keyword, RecordReader& reader, MediaContext& context);
  // The live clip of a kept record when its kind is known and its file opens; null otherwise,
  // with the reason in `reason` when given. Leaves the context's MessageText as it was.
  static AudioClip Open(std::string_view keyword, const OfflineRecord& record, MediaContext& context,
                        std::string* reason = nullptr);

  pAudioClip* Clone() const override { return new OfflineAudioClip(*this); }
  bool ReadSamples(void* /*dest*/, std::int32_t /*first*/, std::int32_t /*count*/) override { return false; }
  std::int32_t GetSourceLength() const override {
    return endSample_ < INT32_MAX ? endSample_ + 1 : INT32_MAX;
  }
  bool IsValid() const override { return false; }
  bool IsOffline() const override { return true; }
  std::string OfflineReason() const override { return reason_; }
  std::int32_t GetBeginSample() const override { return beginSample_; }
  std::int32_t GetEndSample() const override { return endSample_; }
  std::string_view GetKindName() const override { return keyword_; }

  const std::string& Keyword() const { return keyword_; }
  // The kept record with the anchor, volume and OverClip as they are now.
  OfflineRecord Record() const;

  // The live clip of the kept record when its file opens now; null otherwise. A file that was read
  // but refused is not read again until it changes.
  AudioClip Revive(MediaContext& context) const;
  // The record pointed at `file`: the live clip when it opens, else an offline clip of the new
  // file with the reason it does not open.
  AudioClip Relink(const std::filesystem::path& file, MediaContext& context) const;

private:
  std::string keyword_;
  OfflineRecord record_;
  std::string reason_;
  // The file as it was when it was found damaged or of a form no reader knows: while it stays so,
  // reading it again cannot succeed and is not tried.
  FileStamp refused_;
  bool settled_ = false;
};

} // namespace rw
