#pragma once

#include "media/FileStamp.h"
#include "media/OfflineRecord.h"
#include "media/VideoClip.h"
#include "render/DIB.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace rw {

class MediaContext;
class RecordReader;

// A cut kept in the timeline although its file does not open (missing, unreadable, damaged,
// unknown to every decoder) or its kind keyword is unknown. It keeps the kind keyword and the
// record as read, and writes that record back unchanged. It holds the length its record gives
// and shows a placeholder picture that says "MISSING" with the file's name. It can be moved,
// deleted, copied and pasted, but not trimmed or split: every setter answers false.
class OfflineClip : public pVideoClip {
public:
  // Frames of an offline cut whose record gives no length at all.
  static constexpr std::int32_t kUnknownLength = 30;
  // Size of the source picture (the one the smooth rendering scales).
  static constexpr std::int32_t kSourceWidth = 320;
  static constexpr std::int32_t kSourceHeight = 240;

  OfflineClip(std::string keyword, OfflineRecord record, std::string reason);
  OfflineClip(const OfflineClip& other) = default;

  // A cut record of kind `keyword` after its "Clip" line: the live cut when the kind knows the
  // keyword and the file opens, else an offline cut keeping the record. The messages of a file
  // that does not open become the offline cut's reason instead of going to the context's
  // MessageText. Null only when the block itself is broken (message in the context).
  static VideoClip Read(std::string_view keyword, RecordReader& reader, MediaContext& context);
  // The live cut of a kept record when its kind is known and its file opens; null otherwise,
  // with the reason in `reason` when given. Leaves the context's MessageText as it was.
  static VideoClip Open(std::string_view keyword, const OfflineRecord& record, MediaContext& context,
                        std::string* reason = nullptr);

  pVideoClip* Clone() const override { return new OfflineClip(*this); }
  std::int32_t GetWidth() const override { return width_; }
  std::int32_t GetHeight() const override { return height_; }
  const BitmapInfoHeader* GetFormat() override;
  const std::uint8_t* GetFrame(std::int32_t i) override;
  const std::uint8_t* GetFirstFrame() override { return GetFrame(0); }
  const std::uint8_t* GetLastFrame() override { return GetFrame(0); }
  const BitmapInfoHeader* GetSourceFormat() override;
  const std::uint8_t* GetSourceFrame(std::int32_t i) override;
  bool IsKeyFrame(std::int32_t i) const override { return i == 0; }
  bool IsNewFrame(std::int32_t i) const override { return i == 0; }
  std::int32_t GetBeginFrame() const override { return beginFrame_; }
  std::int32_t GetEndFrame() const override { return endFrame_; }
  bool HasBeginEnd() const override { return hasBeginEnd_; }
  std::int32_t GetSourceLength() const override { return endFrame_ + 1; }
  bool IsValid() const override { return false; }
  bool IsOffline() const override { return true; }
  std::string OfflineReason() const override { return reason_; }
  // The placeholder is drawn at the display size; the record is not changed.
  bool SetSize(std::int32_t w, std::int32_t h) override;
  std::string_view GetKindName() const override { return keyword_; }

  const std::string& Keyword() const { return keyword_; }
  const OfflineRecord& Record() const { return record_; }

  // The live cut of the kept record when its file opens now; null otherwise. A file that was read
  // but refused is not read again until it changes.
  VideoClip Revive(MediaContext& context) const;
  // The record pointed at `file`: the live cut when it opens, else an offline cut of the new file
  // with the reason it does not open.
  VideoClip Relink(const std::filesystem::path& file, MediaContext& context) const;

private:
  // Takes the length and begin frame from the record.
  void TakeLength();
  // Draws `picture` at the size asked for when it is not drawn at that size yet.
  const DIB& Drawn(DIB& picture, std::int32_t width, std::int32_t height);

  std::string keyword_;
  OfflineRecord record_;
  std::string reason_;
  // The file as it was when it was found damaged or of a form no reader knows: while it stays so,
  // reading it again cannot succeed and is not tried.
  FileStamp refused_;
  bool settled_ = false;
  bool hasBeginEnd_ = false;
  DIB delivered_;
  DIB source_;
};

} // namespace rw
