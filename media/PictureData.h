#pragma once

#include "base/Handle.h"
#include "base/RefCounted.h"
#include "media/FileStamp.h"
#include "media/ReaderRegistry.h"
#include "render/DIB.h"

#include <cstdint>
#include <filesystem>

namespace rw {

class MessageText;

// One decoded picture file, shared by every picture cut of that file, with one copy of the
// picture resampled to the size last asked for.
class PictureData : public RefCounted {
public:
  PictureData() = default;
  PictureData(const PictureData&) = delete;
  PictureData& operator=(const PictureData&) = delete;

  // Decodes `file` (also to read it again in place). On success the picture is replaced, the
  // scaled copy dropped and the file's stamp recorded; on failure everything but the name
  // stays as it was and a message is appended.
  bool Open(const std::filesystem::path& file, MessageText& messages);
  // The user will not have the changed file read again: the picture stays as it is and the
  // question comes again at the next check.
  void Declined() {}

  // Makes the picture delivered at w x h: the picture itself at its own size, else the scaled
  // copy, resampled only when the size changes. False for a size below 1 or one too large for
  // a frame buffer.
  bool SetSize(std::int32_t w, std::int32_t h);

  const DIB& Picture() const { return picture_; }
  const DIB& Scaled() const { return scaled_; }
  // The scaled copy when there is one, else the picture.
  const DIB& Delivered() const { return scaled_.IsPresent() ? scaled_ : picture_; }
  const std::filesystem::path& FileName() const { return fileName_; }
  const FileStamp& Stamp() const { return stamp_; }

private:
  friend class ReaderRegistry<PictureData>;

  DIB picture_;
  DIB scaled_;
  std::filesystem::path fileName_;
  FileStamp stamp_;
  ReaderRegistry<PictureData>::Link link_;
};

using PictureDataHandle = Handle<PictureData>;
// The decoded pictures of one program run, one per file.
using PictureDataRegistry = ReaderRegistry<PictureData>;

} // namespace rw
