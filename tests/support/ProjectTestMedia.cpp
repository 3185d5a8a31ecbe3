#include "tests/support/ProjectTestMedia.h"

#include "tests/support/PictureTestFiles.h"
#include "tests/support/TestAvi.h"
#include "tests/support/WavTestFiles.h"

#include <gtest/gtest.h>

namespace rw::test {

ProjectMedia WriteProjectMedia(const std::filesystem::path& folder) {
  ProjectMedia media{folder / "media" / "opening.avi", folder / "sound" / "theme music.wav",
                     folder / "stills" / "title.bmp"};
  std::filesystem::create_directories(media.avi.parent_path());
  std::filesystem::create_directories(media.wav.parent_path());
  std::filesystem::create_directories(media.bmp.parent_path());
  QuietMediaLibraries();
  TestAviOptions options;
  options.frames = 60;
  options.audioRate = 44100;
  std::string error;
  EXPECT_TRUE(WriteTestAvi(media.avi, options, &error)) << error;
  WriteToneWav(media.wav, 88200, 2, 16, 44100);
  WriteBytes(media.bmp, BmpBytes(TestPicture::Pattern(40, 30), BmpVariant::Bgr24));
  return media;
}

std::string SampleProjectText(const std::string& secondComment, bool windows) {
  const std::string avi = windows ? "media\\opening.avi" : "media/opening.avi";
  const std::string wav = windows ? "\"sound\\theme music.wav\"" : "\"sound/theme music.wav\"";
  const std::string text = "// Reelwright Ver.0.2006\n" + secondComment +
                           "\n"
                           "CurrentFrame: 25\n"
                           "Select: Frame 10 40\n"
                           "ClipInfo: \n"
                           "begin\n"
                           "  Output:\n"
                           "  begin\n"
                           "    VideoX: 320\n"
                           "    VideoY: 240\n"
                           "    VideoRate: 30\n"
                           "    AudioOut: ON\n"
                           "    AudioRate: 44100\n"
                           "    AudioBits: 16\n"
                           "    AudioChannel: 2\n"
                           "    CompressHandler: \\000\\000\\000\\000\n"
                           "    CompressKeyFrameEvery: 0\n"
                           "    CompressQuality: 0\n"
                           "    CompressBytesPerSecond: 0\n"
                           "    CompressFlags: 0\n"
                           "  end\n"
                           "  ClipNum: 2\n"
                           "  Clip: AVI\n"
                           "  begin\n"
                           "    FileName: " +
                           avi +
                           "\n"
                           "    StartFrame: 0\n"
                           "    EndFrame: 59\n"
                           "    Volume: 256\n"
                           "  end\n"
                           "  Trans: Overlap\n"
                           "  begin\n"
                           "    TransFrame: 15\n"
                           "  end\n"
                           "  Audio: WAV\n"
                           "  begin\n"
                           "    FileName: " +
                           wav +
                           "\n"
                           "    StartSample: 0\n"
                           "    TotalSample: 88200\n"
                           "    PlayFrame: 5\n"
                           "    OverClip: OFF\n"
                           "    Volume: 256\n"
                           "  end\n"
                           "  Clip: Mat\n"
                           "  begin\n"
                           "    TotalFrame: 90\n"
                           "    ColorRed: 0\n"
                           "    ColorGreen: 0\n"
                           "    ColorBlue: 255\n"
                           "  end\n"
                           "end\n";
  return windows ? WithCrLf(text) : text;
}

std::string WithCrLf(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (char c : text) {
    if (c == '\n')
      out += '\r';
    out += c;
  }
  return out;
}

} // namespace rw::test
