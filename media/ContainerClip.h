#pragma once

#include "media/ContainerFrame.h"
#include "media/ContainerStream.h"
#include "media/MovieFileClip.h"

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
class ContainerClip : public pMovieFileClip<ContainerStream, ContainerFrame> {
public:
  // A blank clip without stream or decoder, to be filled from a record and rebuilt.
  explicit ContainerClip(MediaContext& context) : pMovieFileClip(context) {}
  // The whole file; without stream or decoder when it cannot be opened.
  ContainerClip(MediaContext& context, const std::filesystem::path& file);
  ContainerClip(const ContainerClip& other) = default;

  pVideoClip* Clone() const override { return new ContainerClip(*this); }
  bool CanCopyStream() const override { return false; }
  std::string_view GetKindName() const override { return "Movie"; }
  // A new clip of the record's file trimmed as the record says where the file still allows it,
  // its sound at the record's volume; null when the file does not open.
  VideoClip Rebuild() override { return RebuildAs<ContainerClip>(); }

  const ContainerStream& Stream() const { return stream_; }

  // The name ends in ".MP4", ".M4V", ".MOV", ".MKV" or ".WEBM" in any letter case.
  static bool HasMovieExtension(const std::filesystem::path& file);

  // Kind operations of the video clip kind table.
  static VideoClip OpenFile(const std::filesystem::path& file, MediaContext& context);
  static VideoClip LoadRecord(RecordReader& reader, MediaContext& context);
  static bool CheckFiles(MediaContext& context);
};

} // namespace rw
