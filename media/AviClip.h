#pragma once

#include "media/AviFrame.h"
#include "media/AviStream.h"
#include "media/MovieFileClip.h"

#include <cstdint>
#include <filesystem>
#include <string_view>

namespace rw {

class MediaContext;
class RecordReader;

// A cut of an AVI file: source frames begin … end, one per timeline frame, with the file's own
// sound as an AviAudioClip that follows the trimming. Stream and decoder are shared with every
// other cut of the file.
class AviClip : public pMovieFileClip<AviStream, AviFrame> {
public:
  // A blank clip without stream or decoder, to be filled from a record and rebuilt.
  explicit AviClip(MediaContext& context) : pMovieFileClip(context) {}
  // The whole file; without stream or decoder when it cannot be opened.
  AviClip(MediaContext& context, const std::filesystem::path& file);
  AviClip(const AviClip& other) = default;

  pVideoClip* Clone() const override { return new AviClip(*this); }
  bool CanCopyStream() const override { return true; }
  const AviStream* GetStream() const override { return &stream_; }
  std::string_view GetKindName() const override { return "AVI"; }
  VideoClip Rebuild() override { return RebuildAs<AviClip>(); }

  // The name has at least 4 bytes and ends in ".AVI" in any letter case.
  static bool HasAviExtension(const std::filesystem::path& file);

  // Kind operations of the video clip kind table.
  static VideoClip OpenFile(const std::filesystem::path& file, MediaContext& context);
  static VideoClip LoadRecord(RecordReader& reader, MediaContext& context);
  static bool CheckFiles(MediaContext& context);
};

} // namespace rw
