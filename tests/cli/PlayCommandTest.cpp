// reelwright-cli play: the sound that reaches the device, read back through SDL's disk driver.

#include "cli/PlayCommand.h"
#include "tests/cli/CliRunner.h"
#include "tests/cli/PlayTestProject.h"

#include <algorithm>
#include <sstream>

namespace rw::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes FileBytes(const std::filesystem::path& file) {
  const std::string text = FileText(file);
  return Bytes(text.begin(), text.end());
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  return lines;
}

// "mm:ss:ff", minutes of two digits or more.
bool IsTimeText(const std::string& line) {
  const auto digits = [&](std::size_t from, std::size_t to) {
    return std::all_of(line.begin() + static_cast<std::ptrdiff_t>(from),
                       line.begin() + static_cast<std::ptrdiff_t>(to),
                       [](char c) { return c >= '0' && c <= '9'; });
  };
  const std::size_t n = line.size();
  return n >= 8 && digits(0, n - 6) && line[n - 6] == ':' && digits(n - 5, n - 3) && line[n - 3] == ':' &&
         digits(n - 2, n);
}

// Where `expected` lies in what the device played: the device plays silence before the sound
// starts and after it ends, nothing else. Answers the offset, or nothing when `played` is not
// silence, then exactly `expected`, then silence.
std::optional<std::size_t> FindFramedBySilence(const Bytes& played, const Bytes& expected,
                                               std::uint8_t silence) {
  const auto isSilence = [silence](std::uint8_t b) { return b == silence; };
  const auto firstSound = [&](const Bytes& bytes) {
    return static_cast<std::size_t>(std::find_if_not(bytes.begin(), bytes.end(), isSilence) - bytes.begin());
  };
  const std::size_t leadInPlayed = firstSound(played);
  const std::size_t leadInExpected = firstSound(expected);
  if (leadInExpected == expected.size() || leadInPlayed < leadInExpected)
    return std::nullopt;
  const std::size_t at = leadInPlayed - leadInExpected;
  if (played.size() - at < expected.size() ||
      !std::equal(expected.begin(), expected.end(), played.begin() + at))
    return std::nullopt;
  if (!std::all_of(played.begin() + static_cast<std::ptrdiff_t>(at + expected.size()), played.end(),
                   isSilence))
    return std::nullopt;
  return at;
}

Bytes WithoutSilence(const Bytes& bytes, std::uint8_t silence) {
  Bytes out;
  std::copy_if(bytes.begin(), bytes.end(), std::back_inserter(out),
               [&](std::uint8_t b) { return b != silence; });
  return out;
}

class PlayCommandTest : public ::testing::Test {
protected:
  // The WAV data `reelwright-cli audio` writes for the same frames.
  Bytes AudioCommandData(const std::filesystem::path& project, const std::vector<std::string>& range) {
    std::vector<std::string> args{"audio", project.string(), (dir / "expected.wav").string()};
    args.insert(args.end(), range.begin(), range.end());
    const CliResult result = RunCli(args);
    EXPECT_EQ(result.status, 0) << result.err;
    Bytes wav = FileBytes(dir / "expected.wav");
    return wav.size() > 44 ? Bytes(wav.begin() + 44, wav.end()) : Bytes();
  }

  // Plays through the disk driver, a little faster than real time; answers the device's bytes.
  Bytes PlayToDisk(const std::filesystem::path& project, const std::vector<std::string>& range,
                   CliResult& result) {
    const std::filesystem::path device = dir / "device.raw";
    ScopedEnv driver("SDL_AUDIODRIVER", "disk");
    ScopedEnv file("SDL_DISKAUDIOFILE", device.string());
    ScopedEnv delay("SDL_DISKAUDIODELAY", "8");
    std::vector<std::string> args{"play", project.string()};
    args.insert(args.end(), range.begin(), range.end());
    result = RunCli(args);
    return FileBytes(device);
  }

  // The device must have played exactly the audio command's bytes between silence. A gap in
  // the middle means this process was starved for longer than the queue lasts (the machine was
  // overloaded, the sound itself is complete), so that case is played once more.
  void ExpectDevicePlaysTheAudioCommandBytes(const std::filesystem::path& project,
                                             const std::vector<std::string>& range, std::uint8_t silence,
                                             std::int32_t first, std::int32_t end) {
    const Bytes expected = AudioCommandData(project, range);
    ASSERT_FALSE(expected.empty());
    for (int attempt = 0; attempt < 2; ++attempt) {
      CliResult result;
      const Bytes played = PlayToDisk(project, range, result);
      ASSERT_EQ(result.status, 0) << result.err;
      const std::vector<std::string> lines = Lines(result.out);
      ASSERT_GE(lines.size(), 2u) << result.out;
      EXPECT_EQ(lines.front(), cli::PlayCommand::TimeText(first));
      EXPECT_EQ(lines.back(), cli::PlayCommand::TimeText(end));
      for (const std::string& line : lines)
        EXPECT_TRUE(IsTimeText(line)) << line;
      if (FindFramedBySilence(played, expected, silence))
        return;
      ASSERT_TRUE(WithoutSilence(played, silence) == WithoutSilence(expected, silence))
          << "the device played other bytes than the audio command wrote (" << played.size()
          << " bytes played, " << expected.size() << " expected)";
      if (attempt == 1)
        FAIL() << "the sound had gaps in two runs: the queue was not kept fed";
      RecordProperty("gap", "played again after a gap in the sound");
    }
  }

  TempDir dir;
};

TEST_F(PlayCommandTest, SixteenBitStereoReachesTheDeviceAsTheAudioCommandWritesIt) {
  const auto project = WritePlayProject(dir.Path(), 44100, 2, 16);
  // 80 frames: past the first 60 queued, so the top-up feeds the rest.
  ExpectDevicePlaysTheAudioCommandBytes(project, {"--from", "4", "--frames", "80"}, 0x00, 4, 84);
}

TEST_F(PlayCommandTest, EightBitMonoWholeTimelineReachesTheDeviceAsTheAudioCommandWritesIt) {
  const auto project = WritePlayProject(dir.Path(), 22050, 1, 8);
  ExpectDevicePlaysTheAudioCommandBytes(project, {}, 0x80, 0, 85);
}

TEST_F(PlayCommandTest, WithoutASoundDeviceSaysSoOnceAndFails) {
  const auto project = WritePlayProject(dir.Path(), 44100, 2, 16);
  ScopedEnv driver("SDL_AUDIODRIVER", "reelwright-no-such-driver");
  const CliResult result = RunCli({"play", project.string(), "--frames", "70"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "");
  ASSERT_EQ(Lines(result.err).size(), 1u) << result.err;
  EXPECT_TRUE(result.err.starts_with("reelwright-cli: no sound: ")) << result.err;
}

TEST_F(PlayCommandTest, WrongCommandLinesAndRanges) {
  const auto project = WritePlayProject(dir.Path(), 44100, 2, 16).string();
  // No device is needed to refuse these.
  ScopedEnv driver("SDL_AUDIODRIVER", "reelwright-no-such-driver");
  const std::vector<std::vector<std::string>> usage = {
      {"play"},
      {"play", project, project},
      {"play", project, "--from", "x"},
      {"play", project, "--frames", "1.5"},
      {"play", project, "--frames"},
      {"play", project, "--speed", "2"},
  };
  for (const auto& args : usage) {
    const CliResult result = RunCli(args);
    EXPECT_EQ(result.status, 2) << args.size() << ": " << result.err;
    EXPECT_NE(result.err.find("usage: reelwright-cli play"), std::string::npos) << result.err;
  }
  const std::vector<std::vector<std::string>> failures = {
      {"play", project, "--from", "86"},        {"play", project, "--from", "-1"},
      {"play", project, "--frames", "-3"},      {"play", project, "--from", "80", "--frames", "6"},
      {"play", (dir / "missing.rwe").string()},
  };
  for (const auto& args : failures) {
    const CliResult result = RunCli(args);
    EXPECT_EQ(result.status, 1) << args.back() << ": " << result.err;
    EXPECT_EQ(result.out, "");
  }
  // Nothing to play: done without asking for a device.
  const CliResult none = RunCli({"play", project, "--from", "85"});
  EXPECT_EQ(none.status, 0) << none.err;
  EXPECT_EQ(none.out, "");
}

TEST(PlayTimeTextTest, MinutesSecondsAndFramesAtThirtyFramesASecond) {
  EXPECT_EQ(cli::PlayCommand::TimeText(0), "00:00:00");
  EXPECT_EQ(cli::PlayCommand::TimeText(29), "00:00:29");
  EXPECT_EQ(cli::PlayCommand::TimeText(1799), "00:59:29");
  EXPECT_EQ(cli::PlayCommand::TimeText(1800), "01:00:00");
  EXPECT_EQ(cli::PlayCommand::TimeText(108000), "60:00:00"); // minutes do not wrap
}

} // namespace
} // namespace rw::test
