#pragma once

// Projects and surroundings for the tests of the play command and its playback feeder.

#include "tests/support/WavTestFiles.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace rw::test {

// Sample bytes from a fixed generator: every byte value occurs, so silence bytes show up inside
// the sound as well as around it.
inline std::vector<std::uint8_t> NoiseBytes(std::size_t count, std::uint32_t seed) {
  std::vector<std::uint8_t> out(count);
  std::uint32_t x = seed * 2654435761u + 12345u;
  for (auto& b : out) {
    x = x * 1664525u + 1013904223u;
    b = static_cast<std::uint8_t>(x >> 24);
  }
  return out;
}

// Two colour mats of 50 and 45 frames joined by a 10-frame overlap (85 frames in all), with a
// 44100 Hz 16-bit stereo WAV anchored at the first mat's frame 0 and a quieter 22050 Hz 8-bit
// mono WAV at the second mat's frame 3, both long enough to sound to the end. The output audio
// format is the one given. Answers the project file written under `folder`.
inline std::filesystem::path WritePlayProject(const std::filesystem::path& folder, int rate, int channels,
                                              int bits) {
  WavBuilder().Fmt(1, 2, 44100, 16).Data(NoiseBytes(44100 * 4 * 3, 1)).Write(folder / "music.wav");
  WavBuilder().Fmt(1, 1, 22050, 8).Data(NoiseBytes(22050 * 3, 2)).Write(folder / "voice.wav");
  const std::string text = "// Reelwright Ver.0.2006\n"
                           "//\n"
                           "CurrentFrame: 0\n"
                           "ClipInfo: \n"
                           "begin\n"
                           "  Output:\n"
                           "  begin\n"
                           "    VideoX: 320\n"
                           "    VideoY: 240\n"
                           "    VideoRate: 30\n"
                           "    AudioOut: ON\n"
                           "    AudioRate: " +
                           std::to_string(rate) +
                           "\n"
                           "    AudioBits: " +
                           std::to_string(bits) +
                           "\n"
                           "    AudioChannel: " +
                           std::to_string(channels) +
                           "\n"
                           "  end\n"
                           "  ClipNum: 2\n"
                           "  Audio: WAV\n"
                           "  begin\n"
                           "    FileName: music.wav\n"
                           "    StartSample: 1000\n"
                           "    TotalSample: 120000\n"
                           "    PlayFrame: 0\n"
                           "    OverClip: ON\n"
                           "    Volume: 256\n"
                           "  end\n"
                           "  Clip: Mat\n"
                           "  begin\n"
                           "    TotalFrame: 50\n"
                           "    ColorRed: 10\n"
                           "    ColorGreen: 20\n"
                           "    ColorBlue: 30\n"
                           "  end\n"
                           "  Trans: Overlap\n"
                           "  begin\n"
                           "    TransFrame: 10\n"
                           "  end\n"
                           "  Audio: WAV\n"
                           "  begin\n"
                           "    FileName: voice.wav\n"
                           "    StartSample: 0\n"
                           "    TotalSample: 60000\n"
                           "    PlayFrame: 3\n"
                           "    OverClip: OFF\n"
                           "    Volume: 100\n"
                           "  end\n"
                           "  Clip: Mat\n"
                           "  begin\n"
                           "    TotalFrame: 45\n"
                           "    ColorRed: 200\n"
                           "    ColorGreen: 100\n"
                           "    ColorBlue: 0\n"
                           "  end\n"
                           "end\n";
  const std::filesystem::path file = folder / "play.rwe";
  std::ofstream(file, std::ios::binary) << text;
  return file;
}

// Sets an environment variable for the life of the object, then restores it.
class ScopedEnv {
public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name))
      old_ = old;
    ::setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (old_)
      ::setenv(name_, old_->c_str(), 1);
    else
      ::unsetenv(name_);
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
  const char* name_;
  std::optional<std::string> old_;
};

} // namespace rw::test
