#include "output/settings/OutputInfo.h"
#include "base/MessageText.h"
#include "base/RecordReader.h"
#include "base/RecordWriter.h"
#include "output/settings/FourCharCode.h"

#include <gtest/gtest.h>

#include <string>

namespace rw {
namespace {

constexpr std::uint32_t Code(char a, char b, char c, char d) {
  return std::uint32_t(std::uint8_t(a)) | std::uint32_t(std::uint8_t(b)) << 8 |
         std::uint32_t(std::uint8_t(c)) << 16 | std::uint32_t(std::uint8_t(d)) << 24;
}

// ---- defaults and setters ----

TEST(OutputInfoFields, DefaultsAndReset) {
  OutputInfo info;
  EXPECT_EQ(info.VideoRate(), 30);
  EXPECT_EQ(info.VideoWidth(), 0);
  EXPECT_EQ(info.VideoHeight(), 0);
  EXPECT_FALSE(info.Recompress());
  EXPECT_TRUE(info.AudioOut());
  EXPECT_EQ(info.AudioRate(), 44100);
  EXPECT_EQ(info.AudioBits(), 16);
  EXPECT_EQ(info.AudioChannels(), 2);
  EXPECT_EQ(info.Compress(), CompressOptions());

  info.SetVideoWidth(320);
  info.SetAudioOut(false);
  info.SetRecompress(true);
  info.Compress().fccHandler = Code('M', 'J', 'P', 'G');
  info.Compress().dwQuality = 7500;
  info.Reset();
  EXPECT_EQ(info, OutputInfo());
}

TEST(OutputInfoFields, SettersRefuseValuesOutsideTheirRange) {
  OutputInfo info;
  EXPECT_TRUE(info.SetVideoWidth(1));
  EXPECT_TRUE(info.SetVideoWidth(4096));
  EXPECT_FALSE(info.SetVideoWidth(5000)); // keeps the previous width
  EXPECT_FALSE(info.SetVideoWidth(0));
  EXPECT_FALSE(info.SetVideoWidth(-1));
  EXPECT_EQ(info.VideoWidth(), 4096);
  EXPECT_TRUE(info.SetVideoHeight(240));
  EXPECT_FALSE(info.SetVideoHeight(4097));
  EXPECT_EQ(info.VideoHeight(), 240);

  EXPECT_TRUE(info.SetVideoRate(30));
  EXPECT_FALSE(info.SetVideoRate(25));
  EXPECT_FALSE(info.SetVideoRate(60));
  EXPECT_EQ(info.VideoRate(), 30);

  for (const int rate : {11025, 22050, 32000, 44100, 48000}) {
    EXPECT_TRUE(info.SetAudioRate(rate));
    EXPECT_EQ(info.AudioRate(), rate);
  }
  for (const int rate : {0, 8000, 44101, 96000, -44100})
    EXPECT_FALSE(info.SetAudioRate(rate));
  EXPECT_EQ(info.AudioRate(), 48000);

  EXPECT_TRUE(info.SetAudioBits(8));
  EXPECT_FALSE(info.SetAudioBits(24));
  EXPECT_FALSE(info.SetAudioBits(0));
  EXPECT_EQ(info.AudioBits(), 8);
  EXPECT_TRUE(info.SetAudioChannels(1));
  EXPECT_FALSE(info.SetAudioChannels(3));
  EXPECT_FALSE(info.SetAudioChannels(0));
  EXPECT_EQ(info.AudioChannels(), 1);
}

// ---- four-character codes ----

TEST(FourCharCodeForm, PrintableBytesAreWrittenAsThemselves) {
  EXPECT_EQ(FourCharCode::Encode(Code('M', 'J', 'P', 'G')), "MJPG");
  EXPECT_EQ(FourCharCode::Encode(Code('!', '~', 'a', '0')), "!~a0");
}

TEST(FourCharCodeForm, OtherBytesAreEscapedInOctal) {
  EXPECT_EQ(FourCharCode::Encode(0), "\\000\\000\\000\\000");
  EXPECT_EQ(FourCharCode::Encode(Code('D', 'I', 'B', ' ')), "DIB\\040");
  EXPECT_EQ(FourCharCode::Encode(Code('a', '\\', 'b', 'c')), "a\\134bc");
  EXPECT_EQ(FourCharCode::Encode(Code('\x7f', '\x80', '\xff', ' ')), "\\177\\200\\377\\040");
  EXPECT_EQ(FourCharCode::Encode(Code('\x01', '\x20', '\x21', 'x')), "\\001\\040!x");
}

TEST(FourCharCodeForm, EveryNonZeroByteRoundTripsInEveryPosition) {
  for (int byte = 1; byte < 256; ++byte) {
    for (int position = 0; position < 4; ++position) {
      std::uint32_t code = Code('A', 'B', 'C', 'D');
      code = (code & ~(0xFFu << (8 * position))) | std::uint32_t(byte) << (8 * position);
      std::uint32_t back = 0;
      ASSERT_TRUE(FourCharCode::Decode(FourCharCode::Encode(code), back)) << byte;
      EXPECT_EQ(back, code) << byte << " at " << position;
    }
  }
}

TEST(FourCharCodeForm, DecodingRefusesWhatIsNotFourNonZeroBytes) {
  const std::uint32_t kept = Code('k', 'e', 'p', 't');
  const char* bad[] = {
      "",         "MJP",      "\\000\\000\\000\\000",
      "MJ\\000G", // too short, zero bytes
      "MJP\\04",  "MJP\\",    "MJP\\0a0",
      "MJP\\089",             // escape cut short, not octal
      "MJP\\400", "MJP\\777", // beyond a byte
  };
  for (const char* text : bad) {
    std::uint32_t code = kept;
    EXPECT_FALSE(FourCharCode::Decode(text, code)) << text;
    EXPECT_EQ(code, kept) << text;
  }
  std::uint32_t code = 0;
  EXPECT_TRUE(FourCharCode::Decode("MJPGextra", code)); // only four characters are taken
  EXPECT_EQ(code, Code('M', 'J', 'P', 'G'));
  EXPECT_TRUE(FourCharCode::Decode("\\115\\112PG", code));
  EXPECT_EQ(code, Code('M', 'J', 'P', 'G'));
}

// ---- record ----

bool ReadText(OutputInfo& info, const std::string& text, MessageText* messages = nullptr) {
  RecordReader in(text);
  return info.ReadBlock(in, messages);
}

TEST(OutputInfoRecord, WritesEveryKeyInOrder) {
  OutputInfo info;
  info.SetVideoWidth(320);
  info.SetVideoHeight(240);
  RecordWriter out;
  ASSERT_TRUE(info.WriteBlock(out, 1));
  EXPECT_EQ(out.Text(), "  begin\n"
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
                        "  end\n");
}

TEST(OutputInfoRecord, RoundTripOfEveryField) {
  const std::uint32_t codes[] = {Code('M', 'J', 'P', 'G'), Code('D', 'I', 'B', ' '),
                                 Code('\\', 'a', '\\', 'b'), Code('\xe9', '\x7f', '\x80', '\xff')};
  for (const std::uint32_t code : codes) {
    OutputInfo info;
    info.SetVideoWidth(641);
    info.SetVideoHeight(479);
    info.SetAudioOut(false);
    info.SetAudioRate(22050);
    info.SetAudioBits(8);
    info.SetAudioChannels(1);
    info.Compress().fccHandler = code;
    info.Compress().dwKeyFrameEvery = 15;
    info.Compress().dwQuality = 0xFFFFFFFFu; // written as -1
    info.Compress().dwBytesPerSecond = 0x80000000u;
    info.Compress().dwFlags = 0x0000000Au;
    RecordWriter out;
    ASSERT_TRUE(info.WriteBlock(out, 2));
    EXPECT_NE(out.Text().find("CompressQuality: -1\n"), std::string::npos);
    OutputInfo back;
    ASSERT_TRUE(ReadText(back, out.Text()));
    // Recompression and the stream type are not part of the record.
    EXPECT_EQ(back, info) << out.Text();
  }
}

TEST(OutputInfoRecord, ReadingStartsFromTheDefaults) {
  OutputInfo info;
  info.SetVideoWidth(800);
  info.SetAudioBits(8);
  info.SetAudioOut(false);
  info.Compress().fccHandler = Code('H', 'F', 'Y', 'U');
  ASSERT_TRUE(ReadText(info, "begin\n  VideoY: 600\nend\n"));
  OutputInfo expected;
  expected.SetVideoHeight(600);
  EXPECT_EQ(info, expected);
}

TEST(OutputInfoRecord, AudioOutIsOnOnlyWhenTheValueBeginsWithOn) {
  const struct {
    const char* value;
    bool on;
  } cases[] = {{"ON", true}, {"on", true},   {"ONWARD", true}, {"On air", true}, {"OFF", false},
               {"O", false}, {"yes", false}, {"1", false},     {"", false}};
  for (const auto& c : cases) {
    OutputInfo info;
    info.SetAudioOut(!c.on);
    ASSERT_TRUE(ReadText(info, std::string("begin\nAudioOut: ") + c.value + "\nend\n"));
    EXPECT_EQ(info.AudioOut(), c.on) << c.value;
  }
}

TEST(OutputInfoRecord, RefusedAndUnknownValuesLeaveTheDefaults) {
  OutputInfo info;
  ASSERT_TRUE(ReadText(info, "// settings\nstray words\nBegin\n"
                             "  VideoRate: 25\n  VideoX: 5000\n  VideoY: -3\n  AudioRate: 44000\n"
                             "  AudioBits: 12\n  AudioChannel: six\n  Colour: blue\n  bare word\n"
                             "  CompressHandler: \\000\\000\\000\\000\n"
                             "END\n"));
  EXPECT_EQ(info, OutputInfo());
}

TEST(OutputInfoRecord, AnUndecodableCodeKeepsTheOneReadBefore) {
  OutputInfo info;
  ASSERT_TRUE(
      ReadText(info, "begin\nCompressHandler: XVID\nCompressHandler: X\\000ID\nCompressHandler: ab\nend\n"));
  EXPECT_EQ(info.Compress().fccHandler, Code('X', 'V', 'I', 'D'));
}

TEST(OutputInfoRecord, FailuresKeepWhatWasRead) {
  MessageText messages;
  OutputInfo info;
  EXPECT_FALSE(ReadText(info, "begin\nVideoX: 320\nAudioBits: 8\n", &messages)); // no end
  EXPECT_EQ(info.VideoWidth(), 320);
  EXPECT_EQ(info.AudioBits(), 8);
  EXPECT_EQ(info.AudioRate(), 44100);
  EXPECT_FALSE(messages.Empty());

  messages.Clear();
  info.SetAudioBits(16);
  EXPECT_FALSE(ReadText(info, "VideoX: 320\nbegin\nend\n", &messages)); // key line before begin
  EXPECT_EQ(info, OutputInfo());
  EXPECT_FALSE(messages.Empty());

  messages.Clear();
  EXPECT_FALSE(ReadText(info, "", &messages));
  EXPECT_FALSE(messages.Empty());
}

TEST(OutputInfoRecord, ReaderStopsRightAfterEnd) {
  RecordReader in("begin\nVideoX: 64\nend\nClipNum: 2\n");
  OutputInfo info;
  ASSERT_TRUE(info.ReadBlock(in));
  std::string next;
  ASSERT_TRUE(in.ReadLine(next));
  EXPECT_EQ(next, "ClipNum: 2");
}

} // namespace
} // namespace rw
