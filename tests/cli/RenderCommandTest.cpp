// reelwright-cli frame and audio: the files hold exactly what the timeline renderer gives.

#include "base/MessageText.h"
#include "base/UserPrompt.h"
#include "media/MediaContext.h"
#include "project/ProjectFile.h"
#include "project/TimelineRenderer.h"
#include "project/VideoProject.h"
#include "render/DIB.h"
#include "tests/cli/CliRunner.h"
#include "tests/support/ProjectTestMedia.h"

#include <cstring>

namespace rw::test {
namespace {

std::uint32_t U32(const std::string& bytes, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i)
    v = v << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
  return v;
}

std::uint32_t U16(const std::string& bytes, std::size_t at) {
  return static_cast<unsigned char>(bytes[at]) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 8;
}

class RenderCommandTest : public ::testing::Test {
protected:
  RenderCommandTest() : media(WriteProjectMedia(dir.Path())) { Write("sample.rwe", SampleProjectText("//")); }

  std::string Write(const std::string& name, const std::string& text) {
    std::ofstream(dir / name, std::ios::binary) << text;
    return (dir / name).string();
  }
  std::string Path(const std::string& name) const { return (dir / name).string(); }

  // The project as the tool opens it, for the expected results.
  void OpenHere(const std::string& name) {
    ASSERT_TRUE(ProjectFile::Open(project, dir / name, 160, 120)) << messages.Get();
  }

  // A BMP file of the renderer's picture: file header, then the buffer's header and pixel bytes
  // (the padding at the end of each row zero).
  std::string ExpectedBmp(std::int32_t frame, std::int32_t width, std::int32_t height, bool quick) {
    DIB picture;
    EXPECT_TRUE(picture.Create(width, height));
    const ClipPos pos = project.List().PosAt(frame);
    EXPECT_TRUE(quick ? renderer.QuickFrame(project.List(), picture, pos)
                      : renderer.SmoothFrame(project.List(), picture, pos));
    const std::size_t row = static_cast<std::size_t>(width) * 3;
    const auto stride = static_cast<std::size_t>(picture.Stride());
    for (std::size_t y = 0; row < stride && y < static_cast<std::size_t>(height); ++y)
      std::memset(picture.Bits() + y * stride + row, 0, stride - row);
    std::string bytes = "BM";
    const std::uint32_t fileHeader[3] = {54 + picture.SizeImage(), 0, 54};
    bytes.append(reinterpret_cast<const char*>(fileHeader), sizeof fileHeader);
    bytes.append(reinterpret_cast<const char*>(picture.Header()), sizeof(BitmapInfoHeader));
    bytes.append(reinterpret_cast<const char*>(picture.Bits()), picture.SizeImage());
    return bytes;
  }

  // The sound of frames a .. a + b - 1, one window per frame.
  std::string ExpectedSamples(std::int32_t a, std::int32_t b) {
    std::string bytes;
    std::vector<std::uint8_t> buffer;
    for (std::int32_t i = a; i < a + b; ++i) {
      EXPECT_TRUE(renderer.RenderAudio(project.List(), buffer, i, 1));
      bytes.append(reinterpret_cast<const char*>(buffer.data()), buffer.size());
    }
    return bytes;
  }

  void ExpectWav(const std::string& file, std::uint32_t channels, std::uint32_t rate, std::uint32_t bits,
                 const std::string& samples) {
    ASSERT_GE(file.size(), 44u);
    EXPECT_EQ(file.substr(0, 4), "RIFF");
    EXPECT_EQ(U32(file, 4), file.size() - 8);
    EXPECT_EQ(file.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(U32(file, 16), 16u);
    EXPECT_EQ(U16(file, 20), 1u);
    EXPECT_EQ(U16(file, 22), channels);
    EXPECT_EQ(U32(file, 24), rate);
    EXPECT_EQ(U32(file, 28), rate * channels * bits / 8);
    EXPECT_EQ(U16(file, 32), channels * bits / 8);
    EXPECT_EQ(U16(file, 34), bits);
    EXPECT_EQ(file.substr(36, 4), "data");
    EXPECT_EQ(U32(file, 40), samples.size());
    EXPECT_TRUE(file.substr(44) == samples) << "sample bytes differ";
  }

  TempDir dir;
  ProjectMedia media;
  MessageText messages;
  FixedPrompt prompt{UserPrompt::Answer::No};
  MediaContext context{messages, prompt};
  VideoProject project{context};
  TimelineRenderer renderer;
};

TEST_F(RenderCommandTest, SmoothFrameAtTheOutputSize) {
  OpenHere("sample.rwe");
  // In the AVI cut, inside the overlap (frames 45 to 59), and in the mat.
  for (std::int32_t frame : {0, 25, 45, 52, 59, 60, 134}) {
    const CliResult result = RunCli({"frame", Path("sample.rwe"), std::to_string(frame), Path("f.bmp")});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(FileText(dir / "f.bmp") == ExpectedBmp(frame, 320, 240, false)) << "frame " << frame;
  }
}

TEST_F(RenderCommandTest, QuickFrameAndOtherSizes) {
  OpenHere("sample.rwe");
  ASSERT_EQ(RunCli({"frame", Path("sample.rwe"), "50", Path("q.bmp"), "--quick"}).status, 0);
  EXPECT_TRUE(FileText(dir / "q.bmp") == ExpectedBmp(50, 160, 120, true));
  ASSERT_EQ(RunCli({"frame", "--quick", "--size=64x48", Path("sample.rwe"), "50", Path("q.bmp")}).status, 0);
  EXPECT_TRUE(FileText(dir / "q.bmp") == ExpectedBmp(50, 64, 48, true));
  ASSERT_EQ(RunCli({"frame", Path("sample.rwe"), "50", Path("s.bmp"), "--size", "99x37"}).status, 0);
  EXPECT_TRUE(FileText(dir / "s.bmp") == ExpectedBmp(50, 99, 37, false));
}

TEST_F(RenderCommandTest, FrameFailures) {
  // No output size and no --size.
  Write("nosize.rwe", "ClipInfo: \nbegin\n  Clip: Mat\n  begin\n    TotalFrame: 5\n  end\nend\n");
  CliResult result = RunCli({"frame", Path("nosize.rwe"), "0", Path("n.bmp")});
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.err.find("--size"), std::string::npos) << result.err;
  EXPECT_FALSE(std::filesystem::exists(dir / "n.bmp"));
  EXPECT_EQ(RunCli({"frame", Path("nosize.rwe"), "0", Path("n.bmp"), "--size", "8x8"}).status, 0);

  for (const char* frame : {"135", "-1", "2147483647"}) {
    result = RunCli({"frame", Path("sample.rwe"), frame, Path("x.bmp")});
    EXPECT_EQ(result.status, 1) << frame;
    EXPECT_NE(result.err.find("outside the timeline"), std::string::npos) << result.err;
  }
  EXPECT_EQ(RunCli({"frame", Path("sample.rwe"), "1e3", Path("x.bmp")}).status, 2);
  EXPECT_EQ(RunCli({"frame", Path("sample.rwe"), "3", Path("x.bmp"), "--size", "0x5"}).status, 2);
  EXPECT_EQ(RunCli({"frame", Path("sample.rwe"), "3", Path("x.bmp"), "--size"}).status, 2);
  EXPECT_EQ(RunCli({"frame", Path("sample.rwe"), "3"}).status, 2);
  EXPECT_EQ(RunCli({"frame", Path("sample.rwe"), "3", Path("x.bmp"), "--slow"}).status, 2);
  // A picture larger than a frame buffer may be.
  EXPECT_EQ(RunCli({"frame", Path("sample.rwe"), "3", Path("x.bmp"), "--size", "40000x40000"}).status, 1);
  // Nowhere to write.
  result = RunCli({"frame", Path("sample.rwe"), "3", Path("missing/x.bmp")});
  EXPECT_EQ(result.status, 1);
  EXPECT_FALSE(result.err.empty());
  EXPECT_FALSE(std::filesystem::exists(dir / "x.bmp"));
}

TEST_F(RenderCommandTest, WholeTimelineSoundFrameByFrame) {
  OpenHere("sample.rwe");
  const CliResult result = RunCli({"audio", Path("sample.rwe"), Path("a.wav")});
  ASSERT_EQ(result.status, 0) << result.err;
  const std::string samples = ExpectedSamples(0, 135);
  EXPECT_EQ(samples.size(), 135u * 1470 * 4);
  ExpectWav(FileText(dir / "a.wav"), 2, 44100, 16, samples);
}

TEST_F(RenderCommandTest, PartOfTheTimelineInAnotherFormatWithAudioOutputOff) {
  std::string text = SampleProjectText("//");
  auto replace = [&](const std::string& from, const std::string& to) {
    text.replace(text.find(from), from.size(), to);
  };
  replace("AudioOut: ON", "AudioOut: OFF");
  replace("AudioRate: 44100", "AudioRate: 22050");
  replace("AudioBits: 16", "AudioBits: 8");
  replace("AudioChannel: 2", "AudioChannel: 1");
  Write("mono.rwe", text);
  OpenHere("mono.rwe");
  const CliResult result = RunCli({"audio", Path("mono.rwe"), Path("m.wav"), "--from", "40", "--frames=27"});
  ASSERT_EQ(result.status, 0) << result.err;
  ExpectWav(FileText(dir / "m.wav"), 1, 22050, 8, ExpectedSamples(40, 27));
  // To the end from --from.
  ASSERT_EQ(RunCli({"audio", Path("mono.rwe"), Path("m.wav"), "--from", "130"}).status, 0);
  ExpectWav(FileText(dir / "m.wav"), 1, 22050, 8, ExpectedSamples(130, 5));
  ASSERT_EQ(RunCli({"audio", Path("mono.rwe"), Path("m.wav"), "--frames", "0"}).status, 0);
  ExpectWav(FileText(dir / "m.wav"), 1, 22050, 8, "");
}

TEST_F(RenderCommandTest, AudioFailures) {
  for (const std::vector<std::string>& range : {std::vector<std::string>{"--from", "136"},
                                                {"--from", "-1"},
                                                {"--frames", "136"},
                                                {"--from", "100", "--frames", "36"},
                                                {"--frames", "-2"}}) {
    std::vector<std::string> args{"audio", Path("sample.rwe"), Path("bad.wav")};
    args.insert(args.end(), range.begin(), range.end());
    const CliResult result = RunCli(args);
    EXPECT_EQ(result.status, 1) << range[0] << " " << range[1];
    EXPECT_NE(result.err.find("timeline"), std::string::npos) << result.err;
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "bad.wav"));
  EXPECT_EQ(RunCli({"audio", Path("sample.rwe"), Path("bad.wav"), "--from", "x"}).status, 2);
  EXPECT_EQ(RunCli({"audio", Path("sample.rwe")}).status, 2);
  EXPECT_EQ(RunCli({"audio", Path("missing.rwe"), Path("bad.wav")}).status, 1);
}

} // namespace
} // namespace rw::test
