// reelwright-cli new and info over movie and sound files of other containers than AVI.

#include "cli/JsonWriter.h"
#include "tests/cli/CliRunner.h"
#include "tests/support/ContainerTestFiles.h"
#include "tests/support/SoundTestFiles.h"

namespace rw::test {
namespace {

// `count` pictures at rateNum/rateDen per second.
TestMovieOptions Movie(int count, std::int64_t rateNum, std::int64_t rateDen, TestRational timeBase) {
  TestMovieOptions options;
  options.pts = ConstantRatePts(count, rateNum, rateDen, timeBase);
  options.timeBase = timeBase;
  return options;
}

// The text of `key`'s value in the JSON object that starts at `from`: up to the next line end.
std::string ValueAfter(const std::string& json, const std::string& key, std::size_t from) {
  const std::size_t at = json.find("\"" + key + "\": ", from);
  if (at == std::string::npos)
    return "(no " + key + ")";
  const std::size_t start = at + key.size() + 4;
  return json.substr(start, json.find('\n', start) - start);
}

TEST(MovieInfoTest, NewTakesTheNewKindsAndInfoShowsTheirSourceAndMapping) {
  if (!HasMovieEncoder(TestMovieCodec::H264) || !HasSoundEncoder(TestMovieSound::Aac))
    GTEST_SKIP() << "no H.264 or AAC encoder";
  TempDir dir;
  // A phone clip: 29.97 fps stored 160 x 120 and turned a quarter for display, with sound.
  TestMovieOptions phone = Movie(30, 30000, 1001, {1, 30000});
  phone.rotation = 90;
  phone.sound = TestMovieSound::Aac;
  phone.soundRate = 44100;
  ASSERT_TRUE(WriteTestMovie(dir / "phone.MOV", phone));
  // One second at 60 fps in MKV's millisecond time base, and one at 25 fps in MP4.
  ASSERT_TRUE(WriteTestMovie(dir / "fast.mkv", Movie(60, 60, 1, {1, 1000})));
  ASSERT_TRUE(WriteTestMovie(dir / "slow.mp4", Movie(25, 25, 1, {1, 12800})));
  TestSoundOptions tune;
  tune.codec = TestSoundCodec::Aac;
  tune.rate = 22050;
  tune.channels = 1;
  ASSERT_TRUE(WriteTestSound(dir / "tune.m4a", tune));

  const std::string project = (dir / "made.rwe").string();
  CliResult result = RunCli({"new", project, (dir / "phone.MOV").string(), (dir / "fast.mkv").string(),
                             (dir / "tune.m4a").string(), (dir / "slow.mp4").string()});
  ASSERT_EQ(result.status, 0) << result.err;
  result = RunCli({"info", project});
  ASSERT_EQ(result.status, 0) << result.err;
  const std::string& out = result.out;
  // The output takes the first movie's size as shown: turned, 120 x 160.
  EXPECT_EQ(ValueAfter(out, "width", out.find("\"output\"")), "120,");
  EXPECT_EQ(ValueAfter(out, "height", out.find("\"output\"")), "160,");

  struct Expected {
    const char* file;
    double fps;
    int frames, held, skipped;
  };
  const Expected movies[] = {
      {"phone.MOV", 29.97, 30, 0, 0}, // 30 pictures of 1001/30000 s end at 1.001 s: 30 frames
      {"fast.mkv", 60, 30, 0, 30},    // every other picture
      {"slow.mp4", 25, 30, 5, 0},     // one frame in six holds its picture
  };
  std::size_t from = 0;
  for (const Expected& m : movies) {
    SCOPED_TRACE(m.file);
    from = out.find(cli::JsonWriter::Quote((dir / m.file).string()), from);
    ASSERT_NE(from, std::string::npos) << out;
    const std::size_t source = out.find("\"source\"", from);
    ASSERT_NE(source, std::string::npos);
    EXPECT_EQ(out.rfind("\"kind\": \"Movie\"", from), out.rfind("\"kind\"", from));
    // The rate as the container tells it, else measured from the time stamps.
    const std::size_t rate = out.find("\"rate\"", source);
    const double fps = std::stod(ValueAfter(out, "num", rate)) / std::stod(ValueAfter(out, "den", rate));
    EXPECT_NEAR(fps, m.fps, 0.05);
    const std::size_t mapping = out.find("\"mapping\"", source);
    EXPECT_EQ(ValueAfter(out, "frames", mapping), std::to_string(m.frames) + ",");
    EXPECT_EQ(ValueAfter(out, "heldFrames", mapping), std::to_string(m.held) + ",");
    EXPECT_EQ(ValueAfter(out, "skippedPictures", mapping), std::to_string(m.skipped));
  }
  // The phone clip's own sound, and the tune anchored at the first frame of the MKV cut.
  EXPECT_EQ(ValueAfter(out, "rate", out.find("\"sound\"")), "44100,");
  const std::size_t tuneAt = out.find("\"kind\": \"Sound\"");
  ASSERT_NE(tuneAt, std::string::npos) << out;
  EXPECT_EQ(ValueAfter(out, "playFrame", tuneAt), "0,");
  EXPECT_EQ(ValueAfter(out, "rate", tuneAt), "22050,");
  EXPECT_EQ(ValueAfter(out, "channels", tuneAt), "1");
  EXPECT_LT(out.find("fast.mkv"), tuneAt);
  EXPECT_GT(out.find("slow.mp4"), tuneAt);
}

} // namespace
} // namespace rw::test
