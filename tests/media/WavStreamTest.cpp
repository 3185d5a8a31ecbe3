#include "media/WavStream.h"
#include "base/MessageText.h"
#include "tests/support/PictureTestFiles.h"
#include "tests/support/TempDir.h"
#include "tests/support/WavTestFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

namespace rw {
namespace {

using test::PutU16;
using test::PutU32;
using test::WavBuilder;

class WavStreamTest : public ::testing::Test {
protected:
  std::filesystem::path Write(const WavBuilder& b, std::string_view name = "a.wav") {
    const auto file = dir / name;
    b.Write(file);
    return file;
  }
  bool Open(const std::filesystem::path& file) { return stream.Open(file, messages); }

  test::TempDir dir;
  MessageText messages;
  pWavStream stream;
};

std::vector<std::uint8_t> Read(pWavStream& s, std::int32_t first, std::int32_t count) {
  std::vector<std::uint8_t> out(static_cast<std::size_t>(count) * static_cast<std::size_t>(s.BlockSize()));
  if (!s.Read(out.data(), first, count))
    out.clear();
  return out;
}

std::int16_t At16(const std::vector<std::uint8_t>& bytes, std::size_t index) {
  return static_cast<std::int16_t>(bytes[2 * index] | bytes[2 * index + 1] << 8);
}

TEST_F(WavStreamTest, ReadsFramesExactlyAtAnyOffset) {
  const auto file = dir / "tone.wav";
  test::WriteToneWav(file, 5000, 2, 16, 22050);
  ASSERT_TRUE(Open(file)) << messages.Get();
  EXPECT_EQ(stream.Channels(), 2);
  EXPECT_EQ(stream.Bits(), 16);
  EXPECT_EQ(stream.Rate(), 22050);
  EXPECT_EQ(stream.SampleFrames(), 5000);
  EXPECT_EQ(stream.BlockSize(), 4);

  std::mt19937 rng(7);
  for (int round = 0; round < 50; ++round) {
    const std::int32_t first = static_cast<std::int32_t>(rng() % 5000);
    const std::int32_t count = 1 + static_cast<std::int32_t>(rng() % (5000 - first));
    const auto bytes = Read(stream, first, count);
    ASSERT_EQ(bytes.size(), static_cast<std::size_t>(count) * 4);
    for (std::int32_t i = 0; i < count; i += 97) {
      EXPECT_EQ(At16(bytes, 2 * i), test::ToneSample16(first + i, 0));
      EXPECT_EQ(At16(bytes, 2 * i + 1), test::ToneSample16(first + i, 1));
    }
  }
}

TEST_F(WavStreamTest, ReadBoundaries) {
  const auto file = dir / "tone.wav";
  test::WriteToneWav(file, 100, 1, 8, 11025);
  ASSERT_TRUE(Open(file));
  std::vector<std::uint8_t> buf(200, 0xEE);
  EXPECT_FALSE(stream.Read(buf.data(), -1, 1));
  EXPECT_FALSE(stream.Read(buf.data(), 100, 1));
  EXPECT_FALSE(stream.Read(buf.data(), 0, -1));
  EXPECT_TRUE(stream.Read(buf.data(), 0, 0));
  // A read past the end is cut to the frames that remain and leaves the rest untouched.
  EXPECT_TRUE(stream.Read(buf.data(), 98, 10));
  EXPECT_EQ(buf[0], test::ToneSample8(98, 0));
  EXPECT_EQ(buf[1], test::ToneSample8(99, 0));
  EXPECT_EQ(buf[2], 0xEE);
  stream.Close();
  EXPECT_FALSE(stream.Read(buf.data(), 0, 1));
}

TEST_F(WavStreamTest, WalksChunksWithOddSizesAndPadding) {
  // A LIST chunk of odd size (padded), an odd "fmt " with extra bytes, and unknown chunks.
  std::vector<std::uint8_t> fmt;
  PutU16(fmt, 1);
  PutU16(fmt, 1);
  PutU32(fmt, 8000);
  PutU32(fmt, 16000);
  PutU16(fmt, 2);
  PutU16(fmt, 16);
  fmt.push_back(0x55); // one extra byte: size 17, then a pad byte
  const auto file = Write(WavBuilder()
                              .Chunk("LIST", {'I', 'N', 'F', 'O', 'x'})
                              .Chunk("fmt ", fmt)
                              .Chunk("junk", {1, 2, 3})
                              .Data(test::ToneData(10, 1, 16)));
  ASSERT_TRUE(Open(file)) << messages.Get();
  EXPECT_EQ(stream.Rate(), 8000);
  EXPECT_EQ(stream.SampleFrames(), 10);
  const auto bytes = Read(stream, 3, 2);
  ASSERT_EQ(bytes.size(), 4u);
  EXPECT_EQ(At16(bytes, 0), test::ToneSample16(3, 0));
  EXPECT_EQ(At16(bytes, 1), test::ToneSample16(4, 0));
}

TEST_F(WavStreamTest, RefusesWhatIsNotUsablePcm) {
  struct Case {
    const char* what;
    std::vector<std::uint8_t> bytes;
  };
  std::vector<Case> cases;
  cases.push_back({"empty file", {}});
  cases.push_back({"not RIFF", {'R', 'I', 'F', 'X', 4, 0, 0, 0, 'W', 'A', 'V', 'E'}});
  cases.push_back({"not WAVE", {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'A', 'V', 'I', ' '}});
  cases.push_back({"data before fmt", WavBuilder().Data({1, 2}).Fmt(1, 1, 8000, 16).Bytes()});
  cases.push_back({"no data", WavBuilder().Fmt(1, 1, 8000, 16).Bytes()});
  cases.push_back({"empty data", WavBuilder().Fmt(1, 1, 8000, 16).Data({}).Bytes()});
  cases.push_back({"data shorter than a frame", WavBuilder().Fmt(1, 2, 8000, 16).Data({1, 2}).Bytes()});
  cases.push_back({"ADPCM", WavBuilder().Fmt(2, 1, 8000, 4).Data({1, 2}).Bytes()});
  cases.push_back({"zero channels", WavBuilder().Fmt(1, 0, 8000, 16).Data({1, 2}).Bytes()});
  cases.push_back({"zero rate", WavBuilder().Fmt(1, 1, 0, 16).Data({1, 2}).Bytes()});
  cases.push_back({"zero bits", WavBuilder().Fmt(1, 1, 8000, 0).Data({1, 2}).Bytes()});
  cases.push_back({"40-bit integers", WavBuilder().Fmt(1, 1, 8000, 40).Data({1, 2, 3, 4, 5}).Bytes()});
  cases.push_back({"16-bit float", WavBuilder().Fmt(3, 1, 8000, 16).Data({1, 2}).Bytes()});
  cases.push_back({"short fmt", WavBuilder().Chunk("fmt ", {1, 0, 1, 0}).Data({1, 2}).Bytes()});
  cases.push_back(
      {"extensible, unknown sub-format", WavBuilder().FmtExtensible(2, 1, 8000, 16).Data({1, 2}).Bytes()});
  cases.push_back(
      {"data past the end", WavBuilder().Fmt(1, 1, 8000, 16).RawChunk("data", 1000, {1, 2}).Bytes()});
  cases.push_back({"absurd data size",
                   WavBuilder().Fmt(1, 1, 8000, 16).RawChunk("data", 0xFFFFFFFF, {1, 2, 3, 4}).Bytes()});
  cases.push_back({"absurd chunk size",
                   WavBuilder().RawChunk("LIST", 0xFFFFFFF0, {}).Fmt(1, 1, 8000, 16).Data({1, 2}).Bytes()});
  cases.push_back({"absurd fmt size", WavBuilder().RawChunk("fmt ", 0x7FFFFFFF, {1, 0, 1, 0}).Bytes()});

  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto file = dir / "bad.wav";
    test::WriteBytes(file, c.bytes);
    messages.Clear();
    EXPECT_FALSE(Open(file));
    EXPECT_FALSE(stream.IsOpen());
    EXPECT_NE(messages.Get().find("bad.wav"), std::string::npos) << messages.Get();
  }
  messages.Clear();
  EXPECT_FALSE(Open(dir / "missing.wav"));
  EXPECT_FALSE(messages.Empty());
  EXPECT_FALSE(Open(dir.Path())); // a folder
}

TEST_F(WavStreamTest, TruncatedFilesAreRefusedOrReadSafely) {
  const auto whole =
      WavBuilder().Chunk("LIST", {1, 2, 3}).Fmt(1, 2, 44100, 16).Data(test::ToneData(64, 2, 16)).Bytes();
  for (std::size_t cut = 0; cut < whole.size(); ++cut) {
    const auto file = dir / "cut.wav";
    test::WriteBytes(
        file, std::vector<std::uint8_t>(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut)));
    // Every cut file loses part of its data chunk at least.
    EXPECT_FALSE(Open(file)) << cut;
  }
}

TEST_F(WavStreamTest, WideAndFloatSamplesBecomeSixteenBit) {
  struct Case {
    const char* what;
    WavBuilder builder;
    std::vector<std::int16_t> expected; // first frame's two delivered samples, then the second's
  };
  auto bytes24 = [] {
    std::vector<std::uint8_t> d;
    for (std::int32_t v : {0x123456, -0x123456, 0x7FFFFF, -0x800000}) {
      d.push_back(static_cast<std::uint8_t>(v & 0xFF));
      d.push_back(static_cast<std::uint8_t>(v >> 8 & 0xFF));
      d.push_back(static_cast<std::uint8_t>(v >> 16 & 0xFF));
    }
    return d;
  }();
  auto bytes32 = [] {
    std::vector<std::uint8_t> d;
    for (std::int64_t v : {0x12345678LL, -0x12345678LL, 0x7FFFFFFFLL, -0x80000000LL})
      PutU32(d, static_cast<std::uint32_t>(v));
    return d;
  }();
  auto floats = [](std::initializer_list<float> values) {
    std::vector<std::uint8_t> d;
    for (float f : values) {
      std::uint32_t bits;
      std::memcpy(&bits, &f, 4);
      PutU32(d, bits);
    }
    return d;
  };
  auto doubles = [](std::initializer_list<double> values) {
    std::vector<std::uint8_t> d;
    for (double f : values) {
      std::uint64_t bits;
      std::memcpy(&bits, &f, 8);
      PutU32(d, static_cast<std::uint32_t>(bits));
      PutU32(d, static_cast<std::uint32_t>(bits >> 32));
    }
    return d;
  };
  std::vector<Case> cases;
  // 24-bit: rounded to the nearest 16-bit value, the top clipped.
  cases.push_back(
      {"pcm24", WavBuilder().Fmt(1, 2, 48000, 24).Data(bytes24), {0x1234, -0x1234, 32767, -32768}});
  cases.push_back(
      {"pcm32", WavBuilder().Fmt(1, 2, 48000, 32).Data(bytes32), {0x1234, -0x1234, 32767, -32768}});
  cases.push_back({"float32",
                   WavBuilder().Fmt(3, 2, 48000, 32).Data(floats({0.5f, -0.5f, 1.5f, -1.0f})),
                   {16384, -16384, 32767, -32768}});
  cases.push_back({"float32 not-a-number",
                   WavBuilder().Fmt(3, 2, 48000, 32).Data(floats({NAN, 0.25f, -2.0f, 1.0f})),
                   {0, 8192, -32768, 32767}});
  cases.push_back({"float64",
                   WavBuilder().Fmt(3, 2, 48000, 64).Data(doubles({0.5, -0.25, 1.0, -1.0})),
                   {16384, -8192, 32767, -32768}});
  cases.push_back({"extensible pcm24",
                   WavBuilder().FmtExtensible(1, 2, 48000, 24).Data(bytes24),
                   {0x1234, -0x1234, 32767, -32768}});
  cases.push_back({"extensible float",
                   WavBuilder().FmtExtensible(3, 2, 48000, 32).Data(floats({0.5f, -0.5f, 1.5f, -1.0f})),
                   {16384, -16384, 32767, -32768}});

  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(Open(Write(c.builder))) << messages.Get();
    EXPECT_EQ(stream.Channels(), 2);
    EXPECT_EQ(stream.Bits(), 16);
    EXPECT_EQ(stream.BlockSize(), 4);
    EXPECT_EQ(stream.SampleFrames(), 2);
    const auto bytes = Read(stream, 0, 2);
    ASSERT_EQ(bytes.size(), 8u);
    for (std::size_t i = 0; i < 4; ++i)
      EXPECT_EQ(At16(bytes, i), c.expected[i]) << i;
  }
}

TEST_F(WavStreamTest, MoreThanTwoChannelsDeliverTheFirstTwo) {
  // Six channels of 16 bits, 5000 frames (more than one conversion piece); channel c of frame f
  // holds f * 8 + c.
  std::vector<std::uint8_t> six;
  for (int f = 0; f < 5000; ++f)
    for (int c = 0; c < 6; ++c)
      PutU16(six, static_cast<std::uint16_t>(f * 8 + c));
  ASSERT_TRUE(Open(Write(WavBuilder().Fmt(1, 6, 48000, 16).Data(six)))) << messages.Get();
  EXPECT_EQ(stream.Channels(), 2);
  EXPECT_EQ(stream.SampleFrames(), 5000);
  const auto bytes = Read(stream, 10, 4990);
  ASSERT_EQ(bytes.size(), 4990u * 4);
  for (std::size_t i = 0; i < 4990; ++i) {
    ASSERT_EQ(At16(bytes, 2 * i), static_cast<std::int16_t>((10 + i) * 8)) << i;
    ASSERT_EQ(At16(bytes, 2 * i + 1), static_cast<std::int16_t>((10 + i) * 8 + 1)) << i;
  }

  // Eight-bit files keep eight bits.
  std::vector<std::uint8_t> three{10, 20, 30, 11, 21, 31};
  ASSERT_TRUE(Open(Write(WavBuilder().Fmt(1, 3, 8000, 8).Data(three), "b.wav")));
  EXPECT_EQ(stream.Bits(), 8);
  EXPECT_EQ(stream.BlockSize(), 2);
  EXPECT_EQ(Read(stream, 0, 2), (std::vector<std::uint8_t>{10, 20, 11, 21}));
}

TEST_F(WavStreamTest, ReopenInPlaceFollowsTheNewFile) {
  const auto file = dir / "tone.wav";
  test::WriteToneWav(file, 100, 2, 16, 44100);
  ASSERT_TRUE(Open(file));
  test::WriteToneWav(file, 40, 1, 8, 11025);
  ASSERT_TRUE(Open(file));
  EXPECT_EQ(stream.SampleFrames(), 40);
  EXPECT_EQ(stream.Channels(), 1);
  EXPECT_EQ(stream.Bits(), 8);
  EXPECT_EQ(stream.Rate(), 11025);
  std::filesystem::remove(file);
  EXPECT_FALSE(Open(file));
  EXPECT_FALSE(stream.IsOpen());
  EXPECT_EQ(stream.Stamp().size, 0u);
}

} // namespace
} // namespace rw
