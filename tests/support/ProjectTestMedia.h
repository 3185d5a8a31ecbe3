#pragma once

// Media files and project texts for the tests of the project file and of reelwright-cli.

#include <filesystem>
#include <string>

namespace rw::test {

// The media of the sample project, generated under `folder`:
//   media/opening.avi        60 frames of 160 x 120 MJPEG, 44100 Hz 16-bit stereo sound
//   sound/theme music.wav    2 s (88200 sample frames) of 44100 Hz 16-bit stereo tone
//   stills/title.bmp         a 24-bit picture of 40 x 30
struct ProjectMedia {
  std::filesystem::path avi;
  std::filesystem::path wav;
  std::filesystem::path bmp;
};
ProjectMedia WriteProjectMedia(const std::filesystem::path& folder);

// The sample project over those files: an AVI cut of 60 frames, a 15-frame overlap into a blue
// colour mat of 90 frames with the WAV anchored at its frame 5, current frame 25, frames 10 to
// 40 selected, output 320 x 240 at 44100 Hz 16-bit stereo. `secondComment` is the second line
// (without its line end). With `windows`, names use "\" and lines end with "\r\n".
std::string SampleProjectText(const std::string& secondComment, bool windows = false);

// Replaces every "\n" by "\r\n".
std::string WithCrLf(const std::string& text);

} // namespace rw::test
