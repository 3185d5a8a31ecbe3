#include "media/AudioClipKinds.h"

#include "base/MessageText.h"
#include "base/RecordGrammar.h"
#include "media/AviAudioClip.h"
#include "media/MediaContext.h"
#include "media/WavClip.h"

#include <array>
#include <system_error>

namespace rw {
namespace {

// Rows in this order: WAV, AVI audio. The AVI audio operations are filled in by that kind.
const std::array<AudioClipKind, 2> kKinds = {{
    {&WavClip::OpenFile, &WavClip::LoadRecord, "WAV", "サウンド(*.WAV)|*.WAV", &WavClip::CheckFiles},
    {&AviAudioClip::OpenFile, &AviAudioClip::LoadRecord, "AVIAudio", "Video for Windows Audio(*.AVI)|*.AVI",
     &AviAudioClip::CheckFiles},
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

std::span<const AudioClipKind> AudioClipKinds::Table() {
  return kKinds;
}

AudioClip AudioClipKinds::OpenFile(const std::filesystem::path& file, MediaContext& context) {
  return OpenFile(Table(), file, context);
}

AudioClip AudioClipKinds::OpenFile(std::span<const AudioClipKind> kinds, const std::filesystem::path& file,
                                   MediaContext& context) {
  // Clips keep the full path of their file, whatever the current folder is later.
  std::error_code ec;
  std::filesystem::path full = std::filesystem::absolute(file, ec).lexically_normal();
  if (ec)
    full = file;
  for (const AudioClipKind& kind : kinds) {
    if (!kind.openFile)
      continue;
    AudioClip clip = kind.openFile(full, context);
    if (clip && clip->IsValid())
      return clip;
  }
  return AudioClip();
}

AudioClip AudioClipKinds::LoadRecord(std::string_view keyword, RecordReader& reader, MediaContext& context) {
  return LoadRecord(Table(), keyword, reader, context);
}

AudioClip AudioClipKinds::LoadRecord(std::span<const AudioClipKind> kinds, std::string_view keyword,
                                     RecordReader& reader, MediaContext& context) {
  for (const AudioClipKind& kind : kinds) {
    if (!SameWord(kind.keyword, keyword))
      continue;
    if (!kind.loadRecord)
      break;
    return kind.loadRecord(reader, context);
  }
  context.Messages().Append("不明な音声クリップの種類です: " + std::string(keyword) + "\n");
  return AudioClip();
}

std::string AudioClipKinds::FileFilter(std::size_t bufferSize) {
  return FileFilter(Table(), bufferSize);
}

std::string AudioClipKinds::FileFilter(std::span<const AudioClipKind> kinds, std::size_t bufferSize) {
  std::string joined;
  bool first = true;
  for (const AudioClipKind& kind : kinds) {
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

bool AudioClipKinds::CheckFiles(MediaContext& context) {
  return CheckFiles(Table(), context);
}

bool AudioClipKinds::CheckFiles(std::span<const AudioClipKind> kinds, MediaContext& context) {
  bool changed = false;
  for (const AudioClipKind& kind : kinds) {
    if (kind.checkFiles && kind.checkFiles(context))
      changed = true;
  }
  return changed;
}

} // namespace rw
