#pragma once

#include "media/VideoClip.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <limits>

namespace rw {

class MediaContext;

// What every cut of a movie file has, whatever reads the file: source frames begin … end, one
// per cut frame, delivered by a decoder shared with every other cut of the file, and the file's
// own sound following the trimming. Stream and Frame are the handles of the kind's shared reader
// (FrameCount, IsOpen, IsKeyFrame, IsNewFrame) and frame decoder (Width, Height, Format,
// GetFrame); the kind opens them and adds its name, copying and record operations.
template <class Stream, class Frame> class pMovieFileClip : public pVideoClip {
public:
  std::int32_t GetWidth() const override { return decoder_ ? decoder_->Width() : 0; }
  std::int32_t GetHeight() const override { return decoder_ ? decoder_->Height() : 0; }
  const BitmapInfoHeader* GetFormat() override { return decoder_ ? decoder_->Format() : nullptr; }
  const std::uint8_t* GetFrame(std::int32_t i) override {
    return decoder_ ? decoder_->GetFrame(SourceFrame(i)) : nullptr;
  }
  const std::uint8_t* GetFirstFrame() override { return GetFrame(0); }
  const std::uint8_t* GetLastFrame() override { return GetFrame(endFrame_ - beginFrame_); }
  const BitmapInfoHeader* GetSourceFormat() override { return GetFormat(); }
  const std::uint8_t* GetSourceFrame(std::int32_t i) override { return GetFrame(i); }
  bool IsKeyFrame(std::int32_t i) const override { return stream_ && stream_->IsKeyFrame(SourceFrame(i)); }
  bool IsNewFrame(std::int32_t i) const override { return stream_ && stream_->IsNewFrame(SourceFrame(i)); }
  std::int32_t GetBeginFrame() const override { return beginFrame_; }
  std::int32_t GetEndFrame() const override { return endFrame_; }
  bool HasBeginEnd() const override { return true; }
  std::int32_t GetSourceLength() const override { return stream_ ? stream_->FrameCount() : 0; }
  bool IsValid() const override { return stream_ && stream_->IsOpen() && decoder_; }
  bool IsMovieFile() const override { return true; }

  bool SetBeginFrame(std::int32_t n) override {
    if (n < 0 || n >= GetSourceLength() || n > endFrame_)
      return false;
    beginFrame_ = n;
    length_ = endFrame_ - n + 1;
    FollowSound();
    return true;
  }
  bool SetEndFrame(std::int32_t n) override {
    if (n < 0 || n >= GetSourceLength() || n < beginFrame_)
      return false;
    endFrame_ = n;
    length_ = n - beginFrame_ + 1;
    FollowSound();
    return true;
  }
  bool SetLength(std::int32_t n) override {
    if (n < 0 || static_cast<std::int64_t>(beginFrame_) + n - 1 >= GetSourceLength())
      return false;
    endFrame_ = beginFrame_ + n - 1;
    length_ = n;
    FollowSound();
    return true;
  }

  const Frame& Decoder() const { return decoder_; }

protected:
  explicit pMovieFileClip(MediaContext& context) : context_(&context) {}
  pMovieFileClip(const pMovieFileClip& other)
      : pVideoClip(other), context_(other.context_), stream_(other.stream_), decoder_(other.decoder_) {
    TakeSize();
  }

  // The whole of `file`, once the kind has opened stream, decoder and sound.
  void TakeWholeFile(const std::filesystem::path& file) {
    beginFrame_ = 0;
    endFrame_ = stream_ ? stream_->FrameCount() - 1 : -1;
    fileName_ = file;
    TakeSize();
  }

  // A fresh clip of kind Clip of the record's file, trimmed as this one where the file still
  // allows it, its sound at the record's volume; null when the file does not open.
  template <class Clip> VideoClip RebuildAs() const {
    Handle<Clip> clip = VideoClip::Make<Clip>(*context_, fileName_);
    if (!clip->IsValid())
      return VideoClip();
    clip->SetBeginFrame(beginFrame_);
    clip->SetEndFrame(endFrame_);
    if (clip->audio_ && clip->audio_->IsValid() && loadedVolume_ >= 0)
      clip->audio_.SetVolume(loadedVolume_);
    return VideoClip(std::move(clip));
  }

  // Source frame begin + i, clamped to the 32-bit range.
  std::int32_t SourceFrame(std::int32_t i) const {
    const std::int64_t n = static_cast<std::int64_t>(beginFrame_) + i;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(n, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
  }

  MediaContext* context_;
  Stream stream_;
  Frame decoder_;

private:
  void TakeSize() {
    width_ = GetWidth();
    height_ = GetHeight();
    length_ = endFrame_ - beginFrame_ + 1;
    FollowSound();
  }
};

} // namespace rw
