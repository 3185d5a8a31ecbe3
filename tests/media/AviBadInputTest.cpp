// Damaged and hostile AVI files: refused with a message or read as far as they go, never a
// crash or a hang, and damaged pictures replaced by the last good one.
#include "base/MessageText.h"
#include "media/AviRegistry.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestAvi.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

namespace rw {
namespace {

using test::TestAviCodec;
using test::TestAviOptions;

class AviBadInputTest : public ::testing::Test {
protected:
  void SetUp() override { test::QuietMediaLibraries(); }

  std::filesystem::path Write(const std::string& name, TestAviOptions o) {
    const auto file = dir_ / name;
    std::string error;
    EXPECT_TRUE(test::WriteTestAvi(file, o, &error)) << error;
    return file;
  }

  // Opens `file` and asks for pictures and sound all over it; the answers only need to be safe.
  // Answers the number of frames, or -1 when the file was refused.
  int Exercise(const std::filesystem::path& file) {
    AviRegistry registry;
    MessageText messages;
    AviStream s = registry.OpenStream(file, messages);
    if (!s) {
      EXPECT_FALSE(messages.Empty());
      return -1;
    }
    const int count = s->FrameCount();
    EXPECT_GT(count, 0);
    AviFrame d = registry.OpenDecoder(s, 0, 0);
    if (d) {
      for (const int n : {count - 1, 0, count / 2, count / 3, count - 2, 1}) {
        // A picture, when there is one, is readable to its last byte.
        if (const std::uint8_t* p = d->GetFrame(n)) {
          EXPECT_GT(p[d->Format()->biSizeImage - 1] + 1, 0);
        }
      }
    }
    if (s->HasAudio()) {
      std::vector<std::uint8_t> buffer(4096 * 4);
      s->ReadAudio(buffer.data(), 0, 4096);
      s->ReadAudio(buffer.data(), s->AudioLength() - 10, 4096);
    }
    std::vector<std::uint8_t> sample;
    s->ReadVideoSample(count - 1, sample);
    return count;
  }

  test::TempDir dir_;
};

TEST_F(AviBadInputTest, FilesThatAreNoMoviesAreRefused) {
  AviRegistry registry;
  MessageText messages;
  const auto empty = dir_ / "empty.avi";
  test::WriteFileBytes(empty, {});
  EXPECT_FALSE(registry.OpenStream(empty, messages));
  EXPECT_NE(messages.Get().find("empty.avi"), std::string::npos);

  const auto text = dir_ / "text.avi";
  const std::string words = "RIFF is not enough to make a movie\n";
  test::WriteFileBytes(text, std::vector<std::uint8_t>(words.begin(), words.end()));
  messages.Clear();
  EXPECT_FALSE(registry.OpenStream(text, messages));
  EXPECT_FALSE(messages.Empty());

  // A WAV file under an AVI name.
  const std::uint8_t wav[] = {'R', 'I', 'F', 'F', 36, 0, 0,   0,   'W', 'A', 'V', 'E', 'f', 'm', 't', ' ',
                              16,  0,   0,   0,   1,  0, 1,   0,   0,   0,   0,   0,   0,   0,   0,   0,
                              0,   0,   2,   0,   16, 0, 'd', 'a', 't', 'a', 0,   0,   0,   0};
  const auto wavFile = dir_ / "sound.avi";
  test::WriteFileBytes(wavFile, std::vector<std::uint8_t>(std::begin(wav), std::end(wav)));
  messages.Clear();
  EXPECT_FALSE(registry.OpenStream(wavFile, messages));
  EXPECT_FALSE(messages.Empty());

  // A folder.
  std::filesystem::create_directory(dir_ / "folder.avi");
  EXPECT_FALSE(registry.OpenStream(dir_ / "folder.avi", messages));
  EXPECT_EQ(registry.StreamCount(), 0u);
}

// Cut at many places, from inside the first header to the last byte of the index.
TEST_F(AviBadInputTest, TruncatedFilesAreReadAsFarAsTheyGo) {
  for (const TestAviCodec codec :
       {TestAviCodec::Mjpeg, TestAviCodec::Mpeg4BFrames, TestAviCodec::H264BFrames}) {
    SCOPED_TRACE(static_cast<int>(codec));
    TestAviOptions o;
    o.codec = codec;
    o.width = 64;
    o.height = 48;
    o.frames = 36;
    o.gop = 8;
    o.audioRate = 11025;
    const auto whole = Write("whole.avi", o);
    const std::vector<std::uint8_t> bytes = test::ReadFileBytes(whole);
    std::vector<std::size_t> cuts;
    for (std::size_t c = 0; c < 300 && c < bytes.size(); c += 7)
      cuts.push_back(c);
    for (std::size_t i = 1; i < 40; ++i)
      cuts.push_back(bytes.size() * i / 40);
    for (std::size_t c = 1; c < 40; c += 3)
      cuts.push_back(bytes.size() - c);
    const auto cut = dir_ / "cut.avi";
    for (const std::size_t c : cuts) {
      SCOPED_TRACE(c);
      test::WriteFileBytes(
          cut, std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(c)));
      const int count = Exercise(cut);
      EXPECT_LE(count, o.frames);
    }
  }
}

// Without its index, the end of a cut-off file is lost but what remains stays exact.
TEST_F(AviBadInputTest, ATruncatedFileKeepsItsWholePictures) {
  TestAviOptions o;
  o.width = 64;
  o.height = 48;
  o.frames = 40;
  const auto whole = Write("long.avi", o);
  std::vector<std::uint8_t> bytes = test::ReadFileBytes(whole);
  bytes.resize(bytes.size() * 3 / 4);
  const auto cut = dir_ / "short.avi";
  test::WriteFileBytes(cut, bytes);
  AviRegistry registry;
  MessageText messages;
  AviStream s = registry.OpenStream(cut, messages);
  ASSERT_TRUE(s) << messages.Get();
  ASSERT_GE(s->FrameCount(), 20);
  ASSERT_LT(s->FrameCount(), 40);
  AviFrame d = registry.OpenDecoder(s, 0, 0);
  ASSERT_TRUE(d);
  for (int n = s->FrameCount() - 2; n >= 0; n -= 3)
    EXPECT_EQ(test::ReadPictureNumber(d->GetFrame(n), 64, 48), n) << n;
}

// A picture whose data is garbage shows the last good picture before it.
TEST_F(AviBadInputTest, GarbageInsideAPictureShowsTheLastGoodOne) {
  TestAviOptions o;
  o.width = 64;
  o.height = 48;
  o.frames = 20;
  const auto file = Write("garbage.avi", o);
  std::vector<std::int64_t> positions;
  std::vector<std::uint32_t> sizes;
  {
    AviRegistry registry;
    MessageText messages;
    AviStream s = registry.OpenStream(file, messages);
    ASSERT_TRUE(s);
    for (const int p : {7, 8, 15}) {
      positions.push_back(s->Index().Sample(p).DataPos());
      sizes.push_back(s->Index().Sample(p).size);
    }
  }
  std::vector<std::uint8_t> bytes = test::ReadFileBytes(file);
  for (std::size_t i = 0; i < positions.size(); ++i)
    std::memset(bytes.data() + positions[i], 0x5A, sizes[i]);
  test::WriteFileBytes(file, bytes);

  AviRegistry registry;
  MessageText messages;
  AviStream s = registry.OpenStream(file, messages);
  ASSERT_TRUE(s);
  AviFrame d = registry.OpenDecoder(s, 0, 0);
  ASSERT_TRUE(d);
  const int expected[20] = {0, 1, 2, 3, 4, 5, 6, 6, 6, 9, 10, 11, 12, 13, 14, 14, 16, 17, 18, 19};
  for (int n = 0; n < 20; ++n)
    EXPECT_EQ(test::ReadPictureNumber(d->GetFrame(n), 64, 48), expected[n]) << "sequential " << n;
  for (const int n : {8, 15, 7, 19, 0, 14, 16, 8})
    EXPECT_EQ(test::ReadPictureNumber(d->GetFrame(n), 64, 48), expected[n]) << "random " << n;
}

// Random damage all over the pictures of the inter-frame codecs: whatever comes out, nothing
// breaks.
TEST_F(AviBadInputTest, DamagedPicturesOfEveryCodecAreSurvived) {
  std::mt19937 rng(11);
  for (const TestAviCodec codec : {TestAviCodec::Mpeg4, TestAviCodec::Mpeg4BFrames, TestAviCodec::H264BFrames,
                                   TestAviCodec::Ffv1, TestAviCodec::Huffyuv, TestAviCodec::Mjpeg}) {
    SCOPED_TRACE(static_cast<int>(codec));
    TestAviOptions o;
    o.codec = codec;
    o.width = 64;
    o.height = 48;
    o.frames = 30;
    o.gop = 10;
    const auto file = Write("damaged.avi", o);
    std::vector<std::uint8_t> bytes = test::ReadFileBytes(file);
    // Leave the headers (the first 4 KiB) alone, damage the rest.
    for (int i = 0; i < 200; ++i) {
      const std::size_t at = 4096 + rng() % (bytes.size() - 4096);
      bytes[at] = static_cast<std::uint8_t>(rng());
    }
    test::WriteFileBytes(file, bytes);
    Exercise(file);
  }
}

// Header values that no real file has.
TEST_F(AviBadInputTest, ImpossibleHeaderValuesAreRefusedOrBounded) {
  TestAviOptions o;
  o.codec = TestAviCodec::RawBgr24;
  o.width = 32;
  o.height = 32;
  o.frames = 10;
  const auto file = Write("hostile.avi", o);
  const std::vector<std::uint8_t> original = test::ReadFileBytes(file);
  std::size_t strf = 0, strh = 0;
  for (std::size_t p = 0; p + 8 < original.size(); ++p) {
    if (!strf && std::memcmp(original.data() + p, "strf", 4) == 0)
      strf = p + 8;
    if (!strh && std::memcmp(original.data() + p, "strh", 4) == 0)
      strh = p + 8;
  }
  ASSERT_TRUE(strf && strh);
  auto patched = [&](std::size_t at, std::uint32_t v) {
    std::vector<std::uint8_t> b = original;
    for (int i = 0; i < 4; ++i)
      b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    test::WriteFileBytes(file, b);
  };
  AviRegistry registry;
  MessageText messages;
  // A frame 100000 pixels wide.
  patched(strf + 4, 100000);
  EXPECT_FALSE(registry.OpenStream(file, messages));
  EXPECT_FALSE(messages.Empty());
  // A frame height of 0.
  patched(strf + 8, 0);
  EXPECT_FALSE(registry.OpenStream(file, messages));
  // A header claiming two thousand million frames: the count stays within what the index
  // could hold.
  patched(strh + 32, 0x7FFFFFF0);
  AviStream s = registry.OpenStream(file, messages);
  ASSERT_TRUE(s);
  EXPECT_LE(s->FrameCount(), 10 + static_cast<int>(original.size() / 16));
  AviFrame d = registry.OpenDecoder(s, 0, 0);
  ASSERT_TRUE(d);
  EXPECT_EQ(test::ReadPictureNumber(d->GetFrame(s->FrameCount() - 1), 32, 32), 9);
}

// A header list under another name: libavformat still reads the streams, and what they say
// comes from its reading instead of the stream header.
TEST_F(AviBadInputTest, StreamsOutsideAHeaderListStillOpen) {
  TestAviOptions o;
  o.width = 64;
  o.height = 48;
  o.frames = 10;
  const auto file = Write("renamed.avi", o);
  std::vector<std::uint8_t> bytes = test::ReadFileBytes(file);
  ASSERT_EQ(std::memcmp(bytes.data() + 20, "hdrl", 4), 0);
  bytes[23] = 'X';
  test::WriteFileBytes(file, bytes);
  AviRegistry registry;
  MessageText messages;
  AviStream s = registry.OpenStream(file, messages);
  ASSERT_TRUE(s) << messages.Get();
  EXPECT_EQ(s->FrameCount(), 10);
  EXPECT_EQ(s->FrameRate(), 30);
  EXPECT_EQ(s->VideoInfo().fccHandler, s->VideoParameters()->codec_tag);
  AviFrame d = registry.OpenDecoder(s, 0, 0);
  ASSERT_TRUE(d);
  EXPECT_EQ(test::ReadPictureNumber(d->GetFrame(9), 64, 48), 9);
}

// An index whose positions lead nowhere: the file is read through instead.
TEST_F(AviBadInputTest, AnIndexPointingElsewhereIsNotTrusted) {
  TestAviOptions o;
  o.width = 64;
  o.height = 48;
  o.frames = 12;
  const auto file = Write("misindexed.avi", o);
  std::vector<std::uint8_t> bytes = test::ReadFileBytes(file);
  std::size_t idx1 = 0;
  for (std::size_t p = bytes.size() - 8; p > 0; --p)
    if (std::memcmp(bytes.data() + p, "idx1", 4) == 0) {
      idx1 = p + 8;
      break;
    }
  ASSERT_NE(idx1, 0u);
  // Shift every offset by 2 bytes.
  for (std::size_t e = idx1; e + 16 <= bytes.size(); e += 16)
    bytes[e + 8] = static_cast<std::uint8_t>(bytes[e + 8] + 2);
  test::WriteFileBytes(file, bytes);
  AviRegistry registry;
  MessageText messages;
  AviStream s = registry.OpenStream(file, messages);
  ASSERT_TRUE(s) << messages.Get();
  AviFrame d = registry.OpenDecoder(s, 0, 0);
  ASSERT_TRUE(d);
  for (const int n : {11, 3, 0, 7})
    EXPECT_EQ(test::ReadPictureNumber(d->GetFrame(n), 64, 48), n) << n;
}

} // namespace
} // namespace rw
