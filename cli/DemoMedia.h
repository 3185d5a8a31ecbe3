#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace rw {
class DIB;
class MessageText;
} // namespace rw

namespace rw::cli {

// The media of the demo project, made in code: movies with sound, a WAV file and two pictures.
// Every writer answers false with a message in `messages` when the file cannot be written.
class DemoMedia {
public:
  // An MJPEG movie of `frames` frames at 30 frames per second with 16-bit stereo sound at
  // 44100 Hz: a ball crossing a coloured sky (`scene` picks the colours) over a tone of `pitch`
  // Hz that ticks every second.
  static bool WriteMovie(const std::filesystem::path& file, int width, int height, int frames, int scene,
                         double pitch, MessageText& messages);
  // A little tune of `seconds` seconds, 16-bit stereo at 44100 Hz.
  static bool WriteWav(const std::filesystem::path& file, double seconds, MessageText& messages);
  // A 24-bit Windows bitmap of rings, and a 24-bit uncompressed Targa picture of tiles.
  static bool WriteBmp(const std::filesystem::path& file, int width, int height, MessageText& messages);
  static bool WriteTga(const std::filesystem::path& file, int width, int height, MessageText& messages);

  // Frame `n` of a movie's pictures.
  static void Scene(DIB& picture, int n, int scene);

private:
  static bool Store(const std::filesystem::path& file, const std::string& bytes, MessageText& messages);
};

} // namespace rw::cli
