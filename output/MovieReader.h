#pragma once

#include "media/FfmpegPtr.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace rw {

class DIB;

// Reads a written AVI movie back through libavformat and libavcodec: the trial of the
// compressor catalogue and the checks of written movies use it.
class MovieReader {
public:
  struct VideoSample {
    std::int64_t position = 0; // frame number
    std::vector<std::uint8_t> bytes;
    bool key = false;
  };

  MovieReader();
  ~MovieReader();
  MovieReader(const MovieReader&) = delete;
  MovieReader& operator=(const MovieReader&) = delete;

  bool Open(const std::filesystem::path& file, std::string& error);
  // A movie in memory; the bytes must stay alive while the reader is open.
  bool Open(std::span<const std::uint8_t> bytes, std::string& error);

  // The first video and audio streams; null when there is none.
  const AVCodecParameters* Video() const;
  const AVCodecParameters* Audio() const;
  // The video stream's length in frames as the file's header gives it.
  std::int64_t VideoFrames() const;

  // Every sample of the file in file order: the video samples (empty ones included when the
  // reader delivers them) and the bytes of the audio stream.
  bool ReadAll(std::vector<VideoSample>& video, std::vector<std::uint8_t>& audio, std::string& error);
  // Decodes video samples into one 24-bit bottom-up picture per position 0 .. count - 1;
  // a position without a non-empty sample repeats the picture before it.
  bool Decode(const std::vector<VideoSample>& samples, std::int64_t count, std::vector<DIB>& pictures,
              std::string& error) const;

private:
  bool OpenInput(std::string& error);

  struct MemoryInput;
  std::unique_ptr<MemoryInput> memory_;
  ff::InputPtr input_; // declared after memory_: its I/O reads from it
  int videoIndex_ = -1;
  int audioIndex_ = -1;
};

} // namespace rw
