// reelwright-cli info: the JSON description of a project.

#include "cli/JsonWriter.h"
#include "tests/cli/CliRunner.h"
#include "tests/support/ProjectTestMedia.h"

namespace rw::test {
namespace {

using cli::JsonWriter;

class InfoCommandTest : public ::testing::Test {
protected:
  InfoCommandTest() : media(WriteProjectMedia(dir.Path())) {}

  std::filesystem::path Write(const std::string& name, const std::string& text) {
    std::ofstream(dir / name, std::ios::binary) << text;
    return dir / name;
  }

  TempDir dir;
  ProjectMedia media;
};

TEST_F(InfoCommandTest, DescribesTheSampleProject) {
  const CliResult result = RunCli({"info", Write("sample.rwe", SampleProjectText("//")).string()});
  ASSERT_EQ(result.status, 0) << result.err;
  const std::string expected = R"({
  "totalFrames": 135,
  "currentFrame": 25,
  "selection": {
    "mode": "frame",
    "start": 10,
    "end": 40
  },
  "output": {
    "width": 320,
    "height": 240,
    "rate": 30,
    "audioOut": true,
    "audioRate": 44100,
    "audioBits": 16,
    "audioChannels": 2,
    "compressor": null,
    "keyFrameEvery": 0,
    "quality": 0,
    "bytesPerSecond": 0,
    "flags": 0,
    "recompress": false
  },
  "entries": [
    {
      "kind": "AVI",
      "file": )" + JsonWriter::Quote(media.avi.string()) +
                               R"(,
      "begin": 0,
      "end": 59,
      "length": 60,
      "start": 0,
      "valid": true,
      "transition": null,
      "ownAudio": {
        "volume": 256
      },
      "color": null,
      "audio": []
    },
    {
      "kind": "Mat",
      "file": null,
      "begin": 0,
      "end": 89,
      "length": 90,
      "start": 45,
      "valid": true,
      "transition": {
        "kind": "Overlap",
        "length": 15
      },
      "ownAudio": null,
      "color": {
        "red": 0,
        "green": 0,
        "blue": 255
      },
      "audio": [
        {
          "kind": "WAV",
          "file": )" + JsonWriter::Quote(media.wav.string()) +
                               R"(,
          "beginSample": 0,
          "length": 88200,
          "playFrame": 5,
          "overClip": false,
          "volume": 256
        }
      ]
    }
  ]
}
)";
  EXPECT_EQ(result.out, expected);
  EXPECT_EQ(result.err, "");
}

TEST_F(InfoCommandTest, PictureCutsCompressorTextAndClipSelection) {
  const std::string text =
      "CurrentFrame: 9999\nSelect: Clip 3 -1\nClipInfo: \nbegin\n  Output:\n  begin\n"
      "    CompressHandler: DIB\\040\n    CompressQuality: 7500\n    AudioOut: OFF\n  end\n"
      "  Clip: PIC\n  begin\n    FileName: stills/title.bmp\n    TotalFrame: 45\n  end\n"
      "  Audio: AVIAudio\n  begin\n    FileName: media/opening.avi\n    StartSample: 7\n"
      "    TotalSample: 700\n    PlayFrame: 2\n    OverClip: ON\n    Volume: 90\n  end\n"
      "  Clip: Mat\n  begin\n    TotalFrame: 3\n  end\nend\n";
  const CliResult result = RunCli({"info", Write("pic.rwe", text).string()});
  ASSERT_EQ(result.status, 0) << result.err;
  const std::string& out = result.out;
  EXPECT_NE(out.find("\"currentFrame\": 48,"), std::string::npos) << out; // limited to the end
  EXPECT_NE(out.find("\"mode\": \"clip\",\n    \"start\": 3,\n    \"end\": -1"), std::string::npos) << out;
  EXPECT_NE(out.find("\"compressor\": \"DIB \","), std::string::npos) << out;
  EXPECT_NE(out.find("\"quality\": 7500,"), std::string::npos) << out;
  EXPECT_NE(out.find("\"audioOut\": false,"), std::string::npos) << out;
  EXPECT_NE(out.find("\"kind\": \"PIC\",\n      \"file\": " + JsonWriter::Quote(media.bmp.string()) +
                     ",\n      \"begin\": 0,\n      \"end\": 44,\n      \"length\": 45"),
            std::string::npos)
      << out;
  EXPECT_NE(
      out.find("\"kind\": \"AVIAudio\",\n          \"file\": " + JsonWriter::Quote(media.avi.string()) +
               ",\n          \"beginSample\": 7,\n          \"length\": 700,\n          \"playFrame\": 2,\n"
               "          \"overClip\": true,\n          \"volume\": 90"),
      std::string::npos)
      << out;
}

TEST_F(InfoCommandTest, NamesThatNeedEscapesStayValidJson) {
  const std::filesystem::path odd = dir / "we\"ird\\name\ttab.wav";
  std::filesystem::copy_file(media.wav, odd);
  const std::string text =
      "ClipInfo: \nbegin\n  Audio: WAV\n  begin\n    FileName: \"./we\\\"ird\\name\ttab.wav\"\n"
      "  end\n  Clip: Mat\n  begin\n    TotalFrame: 3\n  end\nend\n";
  const CliResult result = RunCli({"info", Write("odd.rwe", text).string()});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.out.find("\"file\": \"" + dir.Path().string() + "/we\\\"ird\\\\name\\ttab.wav\""),
            std::string::npos)
      << result.out;
}

TEST_F(InfoCommandTest, EmptyProject) {
  const CliResult result = RunCli({"info", Write("empty.rwe", "// nothing\n").string()});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.out.find("\"totalFrames\": 0,"), std::string::npos);
  EXPECT_NE(result.out.find("\"entries\": []\n}\n"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("\"width\": 0,"), std::string::npos);
}

} // namespace
} // namespace rw::test
