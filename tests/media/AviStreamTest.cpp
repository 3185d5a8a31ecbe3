// The AVI stream: what it reports about a file, its index tests, sample-exact audio, the
// registry that shares streams and decoders, and reloading files changed on disk.
#include "base/MessageText.h"
#include "base/UserPrompt.h"
#include "media/AviRegistry.h"
#include "media/AviStreamHeaders.h"
#include "media/PcmFormat.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestAvi.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <deque>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace rw {
namespace {

using test::TestAviCodec;
using test::TestAviOptions;
using test::TestAviSample;

// Answers questions from a script and remembers them.
class ScriptedPrompt : public UserPrompt {
public:
  std::deque<Answer> answers;
  std::vector<std::string> texts;
  std::vector<std::string> captions;
  Answer Ask(const std::string& text, const std::string& caption, Buttons) override {
    texts.push_back(text);
    captions.push_back(caption);
    if (answers.empty())
      return Answer::Cancel;
    const Answer a = answers.front();
    answers.pop_front();
    return a;
  }
};

// The file position of the video stream header's fields ("strh" of the "vids" stream).
std::size_t VideoStrh(const std::vector<std::uint8_t>& b) {
  for (std::size_t p = 0; p + 12 <= b.size(); ++p)
    if (std::memcmp(b.data() + p, "strh", 4) == 0 && std::memcmp(b.data() + p + 8, "vids", 4) == 0)
      return p + 8;
  return 0;
}

void PutLe32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i)
    b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

class AviStreamTest : public ::testing::Test {
protected:
  void SetUp() override { test::QuietMediaLibraries(); }

  std::filesystem::path Write(const std::string& name, const TestAviOptions& o) {
    const std::filesystem::path file = dir_ / name;
    std::string error;
    EXPECT_TRUE(test::WriteTestAvi(file, o, &error)) << error;
    return file;
  }

  test::TempDir dir_;
  MessageText messages_;
  AviRegistry registry_;
};

TEST_F(AviStreamTest, ReportsTheVideoInformationOfTheFile) {
  TestAviOptions o;
  o.frames = 24;
  o.width = 176;
  o.height = 144;
  AviStream s = registry_.OpenStream(Write("a.avi", o), messages_);
  ASSERT_TRUE(s) << messages_.Get();
  EXPECT_TRUE(s->IsOpen());
  EXPECT_FALSE(s->HasAudio());
  EXPECT_EQ(s->FrameCount(), 24);
  EXPECT_EQ(s->FrameWidth(), 176);
  EXPECT_EQ(s->FrameHeight(), 144);
  EXPECT_EQ(s->Start(), 0);
  EXPECT_EQ(s->VideoInfo().fccType, FourCC('v', 'i', 'd', 's'));
  EXPECT_EQ(s->VideoInfo().fccHandler, FourCC('M', 'J', 'P', 'G'));
  EXPECT_EQ(s->VideoInfo().length, 24);
  EXPECT_EQ(s->FrameRate(), 30);
  EXPECT_EQ(s->AudioLength(), 0);
  EXPECT_TRUE(messages_.Empty());
}

TEST_F(AviStreamTest, FrameRateIsRoundedAndAZeroScaleMeansThirty) {
  struct Case {
    int rate, scale, expected;
  };
  for (const Case c :
       {Case{30000, 1001, 30}, Case{24000, 1001, 24}, Case{25, 1, 25}, Case{15, 2, 8}, Case{10, 3, 3}}) {
    TestAviOptions o;
    o.codec = TestAviCodec::RawBgr24;
    o.frames = 3;
    o.rate = c.rate;
    o.scale = c.scale;
    AviRegistry registry;
    AviStream s = registry.OpenStream(Write("r.avi", o), messages_);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->FrameRate(), c.expected) << c.rate << "/" << c.scale;
    EXPECT_EQ(s->VideoInfo().rate * static_cast<std::uint64_t>(c.scale),
              s->VideoInfo().scale * std::uint64_t(c.rate));
  }
  // A header with a scale of 0.
  TestAviOptions o;
  o.codec = TestAviCodec::RawBgr24;
  o.frames = 3;
  const auto file = Write("zero.avi", o);
  std::vector<std::uint8_t> bytes = test::ReadFileBytes(file);
  const std::size_t strh = VideoStrh(bytes);
  ASSERT_NE(strh, 0u);
  PutLe32(bytes, strh + 20, 0);
  test::WriteFileBytes(file, bytes);
  AviStream s = registry_.OpenStream(file, messages_);
  ASSERT_TRUE(s) << messages_.Get();
  EXPECT_EQ(s->VideoInfo().scale, 0u);
  EXPECT_EQ(s->FrameRate(), 30);
  AviFrame d = registry_.OpenDecoder(s, 0, 0);
  ASSERT_TRUE(d);
  EXPECT_EQ(test::ReadPictureNumber(d->GetFrame(2), o.width, o.height), 2);
}

// Every supported sample layout, read at random offsets and lengths that cross the chunks
// of the file, is exactly the stored samples (converted to 16 bits where they are wider).
TEST_F(AviStreamTest, AudioReadsAreSampleExactAcrossChunks) {
  struct Case {
    TestAviSample sample;
    int channels, rate;
  };
  const Case cases[] = {
      {TestAviSample::U8, 1, 11025},  {TestAviSample::U8, 2, 22050},  {TestAviSample::S16, 1, 32000},
      {TestAviSample::S16, 2, 44100}, {TestAviSample::S16, 2, 48000}, {TestAviSample::S24, 2, 44100},
      {TestAviSample::S32, 1, 22050}, {TestAviSample::F32, 2, 48000}, {TestAviSample::S16, 4, 44100}};
  std::mt19937 rng(3);
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << static_cast<int>(c.sample) << " " << c.channels << "ch " << c.rate);
    TestAviOptions o;
    o.codec = TestAviCodec::RawBgr24;
    o.width = 16;
    o.height = 16;
    o.frames = 20;
    o.audioRate = c.rate;
    o.audioChannels = c.channels;
    o.audioSample = c.sample;
    AviRegistry registry;
    AviStream s = registry.OpenStream(Write("audio.avi", o), messages_);
    ASSERT_TRUE(s && s->HasAudio()) << messages_.Get();
    const std::int64_t length = test::TestAviAudioLength(o);
    ASSERT_EQ(s->AudioLength(), length);
    const int bytes = c.sample == TestAviSample::U8    ? 1
                      : c.sample == TestAviSample::S16 ? 2
                      : c.sample == TestAviSample::S24 ? 3
                                                       : 4;
    const PcmFormat source{c.channels, bytes, c.sample == TestAviSample::F32};
    const AviAudioFormat f = s->AudioFormat();
    EXPECT_EQ(f.formatTag, 1);
    EXPECT_EQ(f.channels, std::min(c.channels, 2));
    EXPECT_EQ(f.samplesPerSec, c.rate);
    EXPECT_EQ(f.bitsPerSample, bytes == 1 ? 8 : 16);
    EXPECT_EQ(f.blockAlign, f.channels * f.bitsPerSample / 8);

    for (int round = 0; round < 40; ++round) {
      const auto first = static_cast<std::int32_t>(rng() % length);
      const auto count = static_cast<std::int32_t>(rng() % 5000);
      std::vector<std::uint8_t> got(static_cast<std::size_t>(count) * f.blockAlign + 1, 0xEE);
      ASSERT_TRUE(s->ReadAudio(got.data(), first, count)) << first << " " << count;
      // The stored bytes of those frames, turned into the delivered layout.
      const std::int32_t stored = static_cast<std::int32_t>(std::min<std::int64_t>(count, length - first));
      std::vector<std::uint8_t> raw;
      for (std::int32_t i = 0; i < stored; ++i)
        for (int ch = 0; ch < c.channels; ++ch) {
          const std::int32_t v = test::TestAviSampleValue(c.sample, first + i, ch);
          for (int b = 0; b < bytes; ++b)
            raw.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> (8 * b)));
        }
      std::vector<std::uint8_t> expected(static_cast<std::size_t>(count) * f.blockAlign + 1, 0);
      source.ToDelivered(raw.data(), stored, expected.data());
      // Frames past the end of the sound are silence; the byte after the request is untouched.
      if (bytes == 1)
        std::fill(expected.begin() + stored * f.blockAlign, expected.end() - 1, 0x80);
      expected.back() = 0xEE;
      ASSERT_EQ(got, expected) << "first " << first << " count " << count;
    }
    std::uint8_t one[8];
    EXPECT_FALSE(s->ReadAudio(one, static_cast<std::int32_t>(length), 1));
    EXPECT_FALSE(s->ReadAudio(one, -1, 1));
    EXPECT_FALSE(s->ReadAudio(one, 0, -1));
  }
}

TEST_F(AviStreamTest, CompressedAudioLeavesTheFileWithoutSound) {
  TestAviOptions o;
  o.codec = TestAviCodec::RawBgr24;
  o.frames = 5;
  o.audioRate = 8000;
  o.audioChannels = 1;
  o.audioSample = TestAviSample::Alaw;
  AviStream s = registry_.OpenStream(Write("alaw.avi", o), messages_);
  ASSERT_TRUE(s);
  EXPECT_TRUE(s->IsOpen());
  EXPECT_FALSE(s->HasAudio());
  EXPECT_EQ(s->AudioLength(), 0);
  std::uint8_t b[4];
  EXPECT_FALSE(s->ReadAudio(b, 0, 1));
}

TEST_F(AviStreamTest, FilesWithoutPicturesAreRefusedWithAMessage) {
  TestAviOptions o;
  o.codec = TestAviCodec::None;
  o.frames = 10;
  o.audioRate = 8000;
  EXPECT_FALSE(registry_.OpenStream(Write("sound.avi", o), messages_));
  EXPECT_NE(messages_.Get().find("sound.avi"), std::string::npos);
  messages_.Clear();
  EXPECT_FALSE(registry_.OpenStream(dir_ / "missing.avi", messages_));
  EXPECT_FALSE(messages_.Empty());
  EXPECT_EQ(registry_.StreamCount(), 0u);
}

TEST_F(AviStreamTest, OneStreamPerFileAndOneDecoderPerStreamAndSize) {
  TestAviOptions o;
  o.frames = 6;
  const auto file = Write("same.avi", o);
  const auto upper = Write("SAME.avi", o);
  std::filesystem::create_symlink(file, dir_ / "link.avi");
  AviStream a = registry_.OpenStream(file, messages_);
  AviStream b = registry_.OpenStream(dir_.Path() / "." / "same.avi", messages_);
  AviStream c = registry_.OpenStream(dir_ / "link.avi", messages_);
  AviStream d = registry_.OpenStream(upper, messages_);
  ASSERT_TRUE(a && b && c && d);
  EXPECT_EQ(a.Get(), b.Get());
  EXPECT_EQ(a.Get(), c.Get());
  EXPECT_NE(a.Get(), d.Get()) << "names differing in letter case are different files";
  EXPECT_EQ(registry_.StreamCount(), 2u);

  AviFrame fa = registry_.OpenDecoder(a, 0, 0);
  AviFrame fb = registry_.OpenDecoder(b, o.width, o.height);
  AviFrame small = registry_.OpenDecoder(a, 80, 60);
  ASSERT_TRUE(fa && fb && small);
  EXPECT_EQ(fa.Get(), fb.Get());
  EXPECT_NE(fa.Get(), small.Get());
  EXPECT_EQ(registry_.DecoderCount(), 2u);
  EXPECT_EQ(small->Width(), 80);
  EXPECT_EQ(small->Stride(), 240);
  EXPECT_EQ(test::ReadPictureNumber(small->GetFrame(4), 80, 60), 4);
  EXPECT_FALSE(registry_.OpenDecoder(AviStream(), 0, 0));

  small = AviFrame();
  fa = fb = AviFrame();
  EXPECT_EQ(registry_.DecoderCount(), 0u);
  a = b = c = AviStream();
  EXPECT_EQ(registry_.StreamCount(), 1u);
}

TEST_F(AviStreamTest, FrameRequestsAreClampedToTheFile) {
  TestAviOptions o;
  o.frames = 10;
  AviStream s = registry_.OpenStream(Write("c.avi", o), messages_);
  AviFrame d = registry_.OpenDecoder(s, 0, 0);
  ASSERT_TRUE(d);
  EXPECT_EQ(test::ReadPictureNumber(d->GetFrame(-5), o.width, o.height), 0);
  EXPECT_EQ(d->CachedFrame(), 0);
  EXPECT_EQ(test::ReadPictureNumber(d->GetFrame(1000), o.width, o.height), 9);
  EXPECT_EQ(d->CachedFrame(), 9);
  EXPECT_EQ(test::ReadPictureNumber(d->GetFrame(INT32_MIN), o.width, o.height), 0);
  const BitmapInfoHeader* h = d->Format();
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(h->biSize, 40u);
  EXPECT_EQ(h->biBitCount, 24);
  EXPECT_EQ(h->biCompression, 0u);
  EXPECT_EQ(h->biHeight, o.height);
  EXPECT_EQ(h->biSizeImage, static_cast<std::uint32_t>(((o.width * 3 + 3) & ~3) * o.height));
}

// Zero-size index entries: counted as frames, not new, showing the picture stored before.
TEST_F(AviStreamTest, EmptySamplesShowThePictureBeforeThem) {
  for (const bool stripped : {false, true}) {
    SCOPED_TRACE(stripped ? "without index" : "with index");
    TestAviOptions o;
    o.frames = 30;
    o.empty = {1, 2, 3, 11, 28};
    o.stripIndex = stripped;
    o.audioRate = 22050;
    AviRegistry registry;
    const auto file = Write(stripped ? "gaps-noindex.avi" : "gaps.avi", o);
    AviStream s = registry.OpenStream(file, messages_);
    ASSERT_TRUE(s) << messages_.Get();
    EXPECT_EQ(s->FrameCount(), 30);
    if (!stripped) {
      const auto index = test::ReadVideoIndex(file);
      ASSERT_EQ(index.size(), 30u);
      for (int n = 0; n < 30; ++n) {
        EXPECT_EQ(s->IsNewFrame(n), index[n].size > 0) << n;
        EXPECT_EQ(s->IsKeyFrame(n), index[n].key) << n;
      }
    }
    AviFrame d = registry.OpenDecoder(s, 0, 0);
    ASSERT_TRUE(d);
    for (int n = 29; n >= 0; --n) {
      EXPECT_EQ(s->IsNewFrame(n), test::ExpectedPictureNumber(o, n) == n) << n;
      EXPECT_EQ(test::ReadPictureNumber(d->GetFrame(n), o.width, o.height), test::ExpectedPictureNumber(o, n))
          << n;
    }
    std::vector<std::uint8_t> sample;
    EXPECT_TRUE(s->ReadVideoSample(2, sample));
    EXPECT_TRUE(sample.empty());
    EXPECT_TRUE(s->ReadVideoSample(4, sample));
    EXPECT_FALSE(sample.empty());
    EXPECT_FALSE(s->ReadVideoSample(30, sample));
    EXPECT_EQ(s->AudioLength(), test::TestAviAudioLength(o));
  }
}

// Without an index the file is read through once; pictures and sound stay exact.
TEST_F(AviStreamTest, FilesWithoutIndexAreReadThrough) {
  for (const TestAviCodec codec : {TestAviCodec::Mjpeg, TestAviCodec::Mpeg4, TestAviCodec::H264BFrames}) {
    SCOPED_TRACE(static_cast<int>(codec));
    TestAviOptions o;
    o.codec = codec;
    o.frames = 40;
    o.gop = 10;
    o.stripIndex = true;
    o.audioRate = 11025;
    o.audioChannels = 1;
    AviRegistry registry;
    AviStream s = registry.OpenStream(Write("noindex.avi", o), messages_);
    ASSERT_TRUE(s) << messages_.Get();
    EXPECT_EQ(s->FrameCount(), 40);
    EXPECT_TRUE(s->IsKeyFrame(0));
    AviFrame d = registry.OpenDecoder(s, 0, 0);
    ASSERT_TRUE(d);
    for (const int n : {39, 0, 17, 16, 25, 5, 38, 20})
      EXPECT_EQ(test::ReadPictureNumber(d->GetFrame(n), o.width, o.height), n) << n;
    std::vector<std::uint8_t> got(100 * 2);
    ASSERT_TRUE(s->ReadAudio(got.data(), 5000, 100));
    EXPECT_EQ(static_cast<std::int16_t>(got[0] | got[1] << 8),
              test::TestAviSampleValue(TestAviSample::S16, 5000, 0));
    EXPECT_EQ(static_cast<std::int16_t>(got[198] | got[199] << 8),
              test::TestAviSampleValue(TestAviSample::S16, 5099, 0));
  }
}

// H.264 whose parameter sets come only with the first picture: a key picture further on cannot
// be decoded alone until the decoder has seen them.
TEST_F(AviStreamTest, ParameterSetsOnlyAtTheStartAreFound) {
  TestAviOptions o;
  o.codec = TestAviCodec::H264BFrames;
  o.frames = 48;
  o.gop = 12;
  o.headersOnce = true;
  AviStream s = registry_.OpenStream(Write("headers.avi", o), messages_);
  ASSERT_TRUE(s);
  AviFrame d = registry_.OpenDecoder(s, 0, 0);
  ASSERT_TRUE(d);
  for (const int n : {40, 30, 47, 13, 0, 25})
    EXPECT_EQ(test::ReadPictureNumber(d->GetFrame(n), o.width, o.height), n) << n;
}

TEST_F(AviStreamTest, StoredSamplesAreHandedOutUnchanged) {
  TestAviOptions o;
  o.codec = TestAviCodec::Mpeg4;
  o.frames = 12;
  const auto file = Write("copy.avi", o);
  AviStream s = registry_.OpenStream(file, messages_);
  ASSERT_TRUE(s);
  const auto index = test::ReadVideoIndex(file);
  std::vector<std::uint8_t> sample;
  for (int n = 0; n < 12; ++n) {
    ASSERT_TRUE(s->ReadVideoSample(n, sample));
    EXPECT_EQ(sample.size(), index[n].size);
  }
  // The first sample is an MPEG-4 key frame: it starts with a start code.
  ASSERT_TRUE(s->ReadVideoSample(0, sample));
  ASSERT_GE(sample.size(), 4u);
  EXPECT_EQ(sample[0], 0);
  EXPECT_EQ(sample[1], 0);
  EXPECT_EQ(sample[2], 1);
}

class AviChangeTest : public AviStreamTest {
protected:
  void SetUp() override {
    AviStreamTest::SetUp();
    o_.frames = 20;
    file_ = Write("changing.avi", o_);
    stream_ = registry_.OpenStream(file_, messages_);
    decoder_ = registry_.OpenDecoder(stream_, 0, 0);
    ASSERT_TRUE(decoder_);
    ASSERT_EQ(test::ReadPictureNumber(decoder_->GetFrame(19), o_.width, o_.height), 19);
  }
  // Rewrites the file with fewer frames and a later write time.
  void Change(int frames) {
    o_.frames = frames;
    std::filesystem::remove(file_);
    Write("changing.avi", o_);
    std::filesystem::last_write_time(file_,
                                     std::filesystem::last_write_time(file_) + std::chrono::seconds(2));
  }

  TestAviOptions o_;
  std::filesystem::path file_;
  AviStream stream_;
  AviFrame decoder_;
  ScriptedPrompt prompt_;
};

TEST_F(AviChangeTest, UnchangedFilesAreNotQuestioned) {
  EXPECT_FALSE(registry_.CheckFiles(prompt_, messages_));
  EXPECT_TRUE(prompt_.texts.empty());
}

TEST_F(AviChangeTest, AcceptedReloadOpensTheNewContentInPlace) {
  Change(12);
  prompt_.answers = {UserPrompt::Answer::Ok};
  EXPECT_TRUE(registry_.CheckFiles(prompt_, messages_));
  ASSERT_EQ(prompt_.texts.size(), 1u);
  EXPECT_EQ(prompt_.texts[0],
            "ファイル'" + stream_->FileName().string() + "'に変更が加えられましたので読込なおします");
  EXPECT_EQ(prompt_.captions[0], "ムービー読込");
  EXPECT_TRUE(stream_->IsOpen());
  EXPECT_EQ(stream_->FrameCount(), 12);
  EXPECT_EQ(registry_.OpenStream(file_, messages_).Get(), stream_.Get());
  // The decoder was opened again: its cache is gone and it reads the new file.
  EXPECT_TRUE(decoder_->IsOpen());
  EXPECT_EQ(decoder_->CachedFrame(), -1);
  EXPECT_EQ(test::ReadPictureNumber(decoder_->GetFrame(19), o_.width, o_.height), 11);
  EXPECT_FALSE(registry_.CheckFiles(prompt_, messages_));
}

TEST_F(AviChangeTest, DeclinedReloadClosesAndAsksAgainNextTime) {
  Change(15);
  prompt_.answers = {UserPrompt::Answer::Cancel};
  EXPECT_TRUE(registry_.CheckFiles(prompt_, messages_));
  EXPECT_FALSE(stream_->IsOpen());
  EXPECT_EQ(stream_->FrameCount(), 0);
  EXPECT_FALSE(decoder_->IsOpen());
  EXPECT_EQ(decoder_->GetFrame(3), nullptr);
  EXPECT_FALSE(stream_->IsKeyFrame(0));
  // A closed stream asks again, and OK brings it back with its decoders.
  prompt_.answers = {UserPrompt::Answer::Ok};
  EXPECT_TRUE(registry_.CheckFiles(prompt_, messages_));
  EXPECT_EQ(prompt_.texts.size(), 2u);
  EXPECT_TRUE(stream_->IsOpen());
  EXPECT_EQ(stream_->FrameCount(), 15);
  EXPECT_EQ(test::ReadPictureNumber(decoder_->GetFrame(7), o_.width, o_.height), 7);
}

TEST_F(AviChangeTest, AFileThatVanishedIsClosedWithAMessage) {
  std::filesystem::remove(file_);
  prompt_.answers = {UserPrompt::Answer::Ok};
  EXPECT_TRUE(registry_.CheckFiles(prompt_, messages_));
  EXPECT_FALSE(stream_->IsOpen());
  EXPECT_FALSE(messages_.Empty());
  EXPECT_EQ(decoder_->GetFrame(0), nullptr);
}

} // namespace
} // namespace rw
