#pragma once

#include "media/AviFrame.h"
#include "media/AviStream.h"
#include "media/VideoClip.h"

#include <cstdint>
#include <filesystem>
#include <string_view>

namespace rw {

class MediaContext;
class RecordReader;

// A cut of an AVI file: source frames begin … end, one per timeline frame, with the file's own
// sound as an AviAudioClip that follows the trimming. Stream and decoder are shared with every
// other cut of the file.
class AviClip : public pVideoClip {
public:
  // A blank clip without stream or decoder, to be filled from a record and rebuilt.
  explicit AviClip(MediaContext& context) : context_(&context) {}
  // The whole file; without stream or decoder when it cannot be opened.
  AviClip(MediaContext& context, const std::filesystem::path& file);
  AviClip(const AviClip& other);

  pVideoClip* Clone() const override { return new AviClip(*this); }
  std::int32_t GetWidth() const override { return decoder_ ? decoder_->Width() : 0; }
  std::int32_t GetHeight() const override { return decoder_ ? decoder_->Height() : 0; }
  const BitmapInfoHeader* GetFormat() override { return decoder_ ? decoder_->Format() : nullptr; }
  const std::uint8_t* GetFrame(std::int32_t i) override;
  const std::uint8_t* GetFirstFrame() override { return GetFrame(0); }
  const std::uint8_t* GetLastFrame() override { return GetFrame(endFrame_ - beginFrame_); }
  const BitmapInfoHeader* GetSourceFormat() override { return GetFormat(); }
  const std::uint8_t* GetSourceFrame(std::int32_t i) override { return GetFrame(i); }
  bool IsKeyFrame(std::int32_t i) const override;
  bool IsNewFrame(std::int32_t i) const override;
  std::int32_t GetBeginFrame() const override { return beginFrame_; }
  std::int32_t GetEndFrame() const override { return endFrame_; }
  bool HasBeginEnd() const override { return true; }
  std::int32_t GetSourceLength() const override { return stream_ ? stream_->FrameCount() : 0; }
  bool IsValid() const override { return stream_ && stream_->IsOpen() && decoder_; }
  bool IsMovieFile() const override { return true; }
  bool CanCopyStream() const override { return true; }
  const AviStream* GetStream() const override { return &stream_; }
  bool SetBeginFrame(std::int32_t n) override;
  bool SetEndFrame(std::int32_t n) override;
  bool SetLength(std::int32_t n) override;
  std::string_view GetKindName() const override { return "AVI"; }
  // A new clip of the record's file trimmed as the record says where the file still allows
  // it, its sound at the record's volume; null when the file does not open.
  VideoClip Rebuild() override;

  const AviFrame& Decoder() const { return decoder_; }

  // The name has at least 4 bytes and ends in ".AVI" in any letter case.
  static bool HasAviExtension(const std::filesystem::path& file);

  // Kind operations of the video clip kind table.
  static VideoClip OpenFile(const std::filesystem::path& file, MediaContext& context);
  static VideoClip LoadRecord(RecordReader& reader, MediaContext& context);
  static bool CheckFiles(MediaContext& context);

private:
  // Source frame begin + i, or -1 when that does not fit.
  std::int32_t SourceFrame(std::int32_t i) const;

  MediaContext* context_;
  AviStream stream_;
  AviFrame decoder_;
};

} // namespace rw
