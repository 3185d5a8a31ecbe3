#pragma once

#include "media/ContainerFrame.h"
#include "media/ContainerStream.h"
#include "media/VideoClip.h"

#include <cstdint>
#include <filesystem>
#include <string_view>

namespace rw {

class MediaContext;
class RecordReader;

// A cut of a movie in MP4, MOV, MKV or WebM: cut frames begin … end on the 30 fps timeline (see
// ContainerFrameMap), delivered at the size asked for, with the file's own sound as a
// ContainerAudioClip that follows the trimming. Stream and decoder are shared with every other
// cut of the file. Its pictures are always decoded and encoded again by the compile: there is
// no stream to copy from.
class ContainerClip : public pVideoClip {
public:
  // A blank clip without stream or decoder, to be filled from a record and rebuilt.
  explicit ContainerClip(MediaContext& context) : context_(&context) {}
  // The whole file; without stream or decoder when it cannot be opened.
  ContainerClip(MediaContext& context, const std::filesystem::path& file);
  ContainerClip(const ContainerClip& other);

  pVideoClip* Clone() const override { return new ContainerClip(*this); }
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
  bool CanCopyStream() const override { return false; }
  bool SetBeginFrame(std::int32_t n) override;
  bool SetEndFrame(std::int32_t n) override;
  bool SetLength(std::int32_t n) override;
  std::string_view GetKindName() const override { return "Movie"; }
  // A new clip of the record's file trimmed as the record says where the file still allows it,
  // its sound at the record's volume; null when the file does not open.
  VideoClip Rebuild() override;

  const ContainerStream& Stream() const { return stream_; }
  const ContainerFrame& Decoder() const { return decoder_; }

  // The name ends in ".MP4", ".M4V", ".MOV", ".MKV" or ".WEBM" in any letter case.
  static bool HasMovieExtension(const std::filesystem::path& file);

  // Kind operations of the video clip kind table.
  static VideoClip OpenFile(const std::filesystem::path& file, MediaContext& context);
  static VideoClip LoadRecord(RecordReader& reader, MediaContext& context);
  static bool CheckFiles(MediaContext& context);

private:
  // Cut frame begin + i, clamped to the 32-bit range.
  std::int32_t SourceFrame(std::int32_t i) const;

  MediaContext* context_;
  ContainerStream stream_;
  ContainerFrame decoder_;
};

} // namespace rw
