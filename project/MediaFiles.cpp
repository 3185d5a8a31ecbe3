#include "project/MediaFiles.h"

#include "base/RecordGrammar.h"
#include "media/AudioClipKinds.h"
#include "media/VideoClipKinds.h"

#include <algorithm>
#include <initializer_list>
#include <string>
#include <string_view>

namespace rw {
namespace {

bool OneOf(const std::string& extension, std::initializer_list<std::string_view> extensions) {
  return std::any_of(extensions.begin(), extensions.end(),
                     [&](std::string_view e) { return SameWord(extension, e); });
}

} // namespace

MediaFiles::Kind MediaFiles::KindOf(const std::filesystem::path& file) {
  const std::string extension = file.extension().string();
  if (SameWord(extension, ".RWE"))
    return Kind::Project;
  if (OneOf(extension, {".AVI", ".MP4", ".M4V", ".MOV", ".MKV", ".WEBM"}))
    return Kind::Movie;
  if (OneOf(extension, {".BMP", ".TGA", ".PNG", ".JPG", ".JPEG"}))
    return Kind::Picture;
  if (OneOf(extension, {".WAV", ".MP3", ".M4A", ".FLAC", ".OGG", ".OPUS"}))
    return Kind::Sound;
  return Kind::Other;
}

VideoClip MediaFiles::OpenCut(MediaContext& context, const std::filesystem::path& file, std::int32_t width,
                              std::int32_t height, Size* ownSize) {
  VideoClip clip = VideoClipKinds::OpenFile(file, context);
  if (clip.IsNull() || !clip->IsValid())
    return VideoClip();
  if (ownSize)
    *ownSize = {clip->GetWidth(), clip->GetHeight()};
  clip.SetSize(width, height);
  return clip;
}

AudioClip MediaFiles::OpenSound(MediaContext& context, const std::filesystem::path& file) {
  AudioClip clip = AudioClipKinds::OpenFile(file, context);
  if (clip.IsNull() || !clip->IsValid())
    return AudioClip();
  return clip;
}

} // namespace rw
