#pragma once

#include "media/PictureData.h"
#include "media/VideoClip.h"

#include <cstdint>
#include <filesystem>
#include <string_view>

namespace rw {

class MediaContext;
class RecordReader;

// A cut that shows one still picture (BMP, TGA, PNG or JPEG) for a number of frames, 30 when opened. The
// decoded picture is shared by every cut of the same file, and so is its size: SetSize on
// one cut changes what all of them deliver.
class PictureClip : public pVideoClip {
public:
  static constexpr std::int32_t kSourceLength = 32767;
  static constexpr std::int32_t kDefaultLength = 30;

  // A blank cut without a picture, to be filled from a record and rebuilt.
  explicit PictureClip(MediaContext& context) : context_(&context) {}
  // A cut of `file`, 30 frames long; without a picture when the file cannot be decoded.
  PictureClip(MediaContext& context, const std::filesystem::path& file);
  PictureClip(const PictureClip& other) = default;

  pVideoClip* Clone() const override { return new PictureClip(*this); }
  std::int32_t GetWidth() const override { return picture_ ? picture_->Delivered().Width() : -1; }
  std::int32_t GetHeight() const override { return picture_ ? picture_->Delivered().Height() : -1; }
  const BitmapInfoHeader* GetFormat() override { return picture_ ? picture_->Delivered().Header() : nullptr; }
  const std::uint8_t* GetFrame(std::int32_t) override {
    return picture_ ? picture_->Delivered().Bits() : nullptr;
  }
  const std::uint8_t* GetFirstFrame() override { return GetFrame(0); }
  const std::uint8_t* GetLastFrame() override { return GetFrame(0); }
  const BitmapInfoHeader* GetSourceFormat() override {
    return picture_ ? picture_->Picture().Header() : nullptr;
  }
  const std::uint8_t* GetSourceFrame(std::int32_t) override {
    return picture_ ? picture_->Picture().Bits() : nullptr;
  }
  bool IsKeyFrame(std::int32_t i) const override { return i == 0; }
  bool IsNewFrame(std::int32_t i) const override { return i == 0; }
  std::int32_t GetBeginFrame() const override { return 0; }
  std::int32_t GetEndFrame() const override { return length_ - 1; }
  std::int32_t GetSourceLength() const override { return kSourceLength; }
  bool IsValid() const override;
  bool SetSize(std::int32_t w, std::int32_t h) override { return picture_ && picture_->SetSize(w, h); }
  bool SetLength(std::int32_t n) override;
  std::string_view GetKindName() const override { return "PIC"; }
  // A new cut of the record's file with the record's length (30 when the record's length is
  // refused); null when the file does not decode.
  VideoClip Rebuild() override;

  const PictureDataHandle& Data() const { return picture_; }

  // Kind operations of the video clip kind table.
  static VideoClip OpenFile(const std::filesystem::path& file, MediaContext& context);
  static VideoClip LoadRecord(RecordReader& reader, MediaContext& context);
  static bool CheckFiles(MediaContext& context);

private:
  MediaContext* context_;
  PictureDataHandle picture_;
};

} // namespace rw
