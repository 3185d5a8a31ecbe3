#pragma once

#include "media/AudioClip.h"
#include "media/VideoClip.h"

#include <cstdint>
#include <filesystem>

namespace rw {

class MediaContext;

// Media files given by name — on the editor's command line, dropped on its window, or to the
// command-line tool's new command — sorted by their extension (compared in either case) and
// opened through the kind tables.
class MediaFiles {
public:
  enum class Kind {
    Project, // .RWE
    Movie,   // .AVI, .MP4, .M4V, .MOV, .MKV, .WEBM
    Picture, // .BMP, .TGA, .PNG, .JPG, .JPEG
    Sound,   // .WAV, .MP3, .M4A, .FLAC, .OGG, .OPUS
    Other,
  };

  static Kind KindOf(const std::filesystem::path& file);

  struct Size {
    std::int32_t width = 0;
    std::int32_t height = 0;
  };
  // The cut of a movie or picture file through the cut kinds, delivering width x height; null
  // when no kind opens it (the kinds' messages are in the context's MessageText). `ownSize`,
  // when given, receives the size the cut delivered as opened (a movie's picture as shown).
  static VideoClip OpenCut(MediaContext& context, const std::filesystem::path& file, std::int32_t width,
                           std::int32_t height, Size* ownSize = nullptr);
  // The audio clip of a sound file through the audio clip kinds; null when no kind opens it.
  static AudioClip OpenSound(MediaContext& context, const std::filesystem::path& file);
};

} // namespace rw
