#include "media/VideoClipKinds.h"

#include "base/MessageText.h"
#include "base/RecordGrammar.h"
#include "media/AviClip.h"
#include "media/ColormatClip.h"
#include "media/MediaContext.h"
#include "media/PictureClip.h"
#include "media/VideoClipRecord.h"

#include <array>
#include <system_error>

namespace rw {
namespace {

VideoClip LoadColormatRecord(RecordReader& reader, MediaContext& context) {
  return VideoClipRecord::Load(VideoClip::Make<ColormatClip>(), reader, &context.Messages());
}

// Rows in this order: AVI, picture, colour mat. The AVI and picture operations are filled in
// by their kinds.
const std::array<VideoClipKind, 3> kKinds = {{
    {&AviClip::OpenFile, &AviClip::LoadRecord, "AVI", "Video for Windows(*.AVI)|*.AVI", &AviClip::CheckFiles},
    {&PictureClip::OpenFile, &PictureClip::LoadRecord, "PIC",
     "Windows Bitmap(*.BMP)|*.BMP|Truevision Targa(*.TGA)|*.TGA", &PictureClip::CheckFiles},
    {nullptr, &LoadColormatRecord, "Mat", "", nullptr},
}};

// Length of the longest prefix of `text` of at most `limit` bytes that does not end inside a
// UTF-8 sequence.
std::size_t CutPoint(std::string_view text, std::size_t limit) {
  if (text.size() <= limit)
    return text.size();
  std::size_t n = limit;
  while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
    --n;
  return n;
}

} // namespace

std::span<const VideoClipKind> VideoClipKinds::Table() {
  return kKinds;
}

VideoClip VideoClipKinds::OpenFile(const std::filesystem::path& file, MediaContext& context) {
  return OpenFile(Table(), file, context);
}

VideoClip VideoClipKinds::OpenFile(std::span<const VideoClipKind> kinds, const std::filesystem::path& file,
                                   MediaContext& context) {
  // Clips keep the full path of their file, whatever the current folder is later.
  std::error_code ec;
  std::filesystem::path full = std::filesystem::absolute(file, ec).lexically_normal();
  if (ec)
    full = file;
  for (const VideoClipKind& kind : kinds) {
    if (!kind.openFile)
      continue;
    VideoClip clip = kind.openFile(full, context);
    if (clip && clip->IsValid())
      return clip;
  }
  return VideoClip();
}

VideoClip VideoClipKinds::LoadRecord(std::string_view keyword, RecordReader& reader, MediaContext& context) {
  return LoadRecord(Table(), keyword, reader, context);
}

VideoClip VideoClipKinds::LoadRecord(std::span<const VideoClipKind> kinds, std::string_view keyword,
                                     RecordReader& reader, MediaContext& context) {
  for (const VideoClipKind& kind : kinds) {
    if (!SameWord(kind.keyword, keyword))
      continue;
    if (!kind.loadRecord)
      break;
    return kind.loadRecord(reader, context);
  }
  context.Messages().Append("不明なクリップの種類です: " + std::string(keyword) + "\n");
  return VideoClip();
}

std::string VideoClipKinds::FileFilter(std::size_t bufferSize) {
  return FileFilter(Table(), bufferSize);
}

std::string VideoClipKinds::FileFilter(std::span<const VideoClipKind> kinds, std::size_t bufferSize) {
  std::string joined;
  bool first = true;
  for (const VideoClipKind& kind : kinds) {
    // Room left in the caller's buffer, its terminator included.
    const std::size_t room = bufferSize > joined.size() ? bufferSize - joined.size() : 0;
    if (room < 2)
      break;
    std::string piece = first ? std::string(kind.fileFilter) : "|" + std::string(kind.fileFilter);
    first = false;
    joined.append(piece, 0, CutPoint(piece, room - 1));
  }
  return joined;
}

bool VideoClipKinds::CheckFiles(MediaContext& context) {
  return CheckFiles(Table(), context);
}

bool VideoClipKinds::CheckFiles(std::span<const VideoClipKind> kinds, MediaContext& context) {
  bool changed = false;
  for (const VideoClipKind& kind : kinds) {
    if (kind.checkFiles && kind.checkFiles(context))
      changed = true;
  }
  return changed;
}

} // namespace rw
