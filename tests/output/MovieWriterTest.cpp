#include "output/MovieWriter.h"
#include "base/MessageText.h"
#include "output/CompressorCatalogue.h"
#include "output/MovieReader.h"
#include "tests/output/MovieWriterTestSupport.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sys/mount.h>

namespace rw {
namespace {

using test::IndexEntry;

const CompressorInfo& Compressor(const char* code) {
  const CompressorInfo* info = CompressorCatalogue::FindKnown(*CompressorCatalogue::ParseCode(code));
  EXPECT_NE(info, nullptr) << code;
  return *info;
}

MovieFormat Format(int width, int height) {
  MovieFormat f;
  f.width = width;
  f.height = height;
  return f;
}

struct Movie {
  std::vector<MovieReader::VideoSample> samples;
  std::vector<std::uint8_t> audio;
  std::vector<IndexEntry> index;
  std::int64_t frames = 0;
  const AVCodecParameters* video = nullptr;
  MovieReader reader;
};

void ReadMovie(std::span<const std::uint8_t> bytes, Movie& movie) {
  std::string error;
  ASSERT_TRUE(movie.reader.Open(bytes, error)) << error;
  ASSERT_TRUE(movie.reader.ReadAll(movie.samples, movie.audio, error)) << error;
  movie.index = test::ReadIndex(bytes);
  movie.frames = movie.reader.VideoFrames();
  movie.video = movie.reader.Video();
}

TEST(MovieWriterPositions, UnwrittenPositionsAreEmptyFramesShowingThePreviousPicture) {
  MessageText messages;
  MemoryMovieSink sink;
  MovieWriter writer(messages);
  ASSERT_EQ(writer.Open(sink, Format(64, 48), VideoSource{&Compressor("FFV1"), {}, nullptr}),
            MovieWriter::OpenResult::Opened);
  const DIB a = test::MovingPicture(64, 48, 1);
  const DIB b = test::MovingPicture(64, 48, 2);
  const DIB c = test::MovingPicture(64, 48, 3);
  // A still of ten frames: first and last written, the rest skipped; then two more pictures.
  ASSERT_TRUE(writer.WritePicture(0, a, true));
  ASSERT_TRUE(writer.WritePicture(9, a, true));
  ASSERT_TRUE(writer.WritePicture(10, b, false));
  ASSERT_TRUE(writer.WritePicture(14, c, false));
  ASSERT_TRUE(writer.Finish(17)) << messages.Get();
  EXPECT_EQ(writer.VideoFrames(), 17);

  Movie movie;
  ReadMovie(sink.Bytes(), movie);
  EXPECT_EQ(movie.frames, 17);
  const std::vector<IndexEntry> video = test::StreamEntries(movie.index, 0);
  ASSERT_EQ(video.size(), 17u);
  for (int i = 0; i < 17; ++i) {
    const bool written = i == 0 || i == 9 || i == 10 || i == 14;
    EXPECT_EQ(video[i].size > 0, written) << i;
    if (!written) {
      EXPECT_FALSE(video[i].Key()) << i;
    }
  }
  EXPECT_TRUE(video[0].Key());
  EXPECT_TRUE(video[9].Key());
  std::uint32_t length = 0;
  std::uint32_t handler = 0;
  ASSERT_TRUE(test::ReadStreamHeader(sink.Bytes(), 0, length, handler));
  EXPECT_EQ(length, 17u);

  std::vector<DIB> pictures;
  std::string error;
  ASSERT_TRUE(movie.reader.Decode(movie.samples, 17, pictures, error)) << error;
  for (int i = 0; i < 17; ++i) {
    const DIB& expected = i < 10 ? a : i < 14 ? b : c;
    EXPECT_TRUE(test::SamePixels(pictures[i], expected)) << i;
  }
}

TEST(MovieWriterPositions, IntraOnlyEmptySamplesLoseTheKeyFlagAlsoInFiles) {
  test::TempDir dir;
  MessageText messages;
  MovieWriter writer(messages);
  const auto file = dir / "still.avi";
  ASSERT_EQ(writer.Open(file, Format(32, 24), VideoSource{&Compressor("MJPG"), {}, nullptr}),
            MovieWriter::OpenResult::Opened);
  const DIB a = test::MovingPicture(32, 24, 0);
  ASSERT_TRUE(writer.WritePicture(2, a, true)); // positions 0 and 1 stay empty
  ASSERT_TRUE(writer.WritePicture(5, a, true));
  ASSERT_TRUE(writer.Finish()) << messages.Get();

  const std::vector<std::uint8_t> bytes = test::ReadFileBytes(file);
  const std::vector<IndexEntry> video = test::StreamEntries(test::ReadIndex(bytes), 0);
  ASSERT_EQ(video.size(), 6u); // Finish without a count ends after the last written position
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(video[i].Key(), i == 2 || i == 5) << i;
    EXPECT_EQ(video[i].size > 0, i == 2 || i == 5) << i;
  }
}

TEST(MovieWriterPositions, PositionsMustIncrease) {
  MessageText messages;
  MemoryMovieSink sink;
  MovieWriter writer(messages);
  ASSERT_EQ(writer.Open(sink, Format(32, 24), VideoSource{&Compressor("DIB"), {}, nullptr}),
            MovieWriter::OpenResult::Opened);
  const DIB a = test::MovingPicture(32, 24, 0);
  ASSERT_TRUE(writer.WritePicture(3, a, false));
  EXPECT_FALSE(writer.WritePicture(3, a, false));
  EXPECT_FALSE(writer.WriteSample(1, std::span<const std::uint8_t>(a.Bits(), a.SizeImage()), true));
  EXPECT_FALSE(messages.Empty());
  // A refused position does not spoil the movie.
  EXPECT_TRUE(writer.WritePicture(4, a, false));
  EXPECT_TRUE(writer.Finish());
}

TEST(MovieWriterPositions, StoredPicturesAreTheBottomUpPixelBlock) {
  MessageText messages;
  MemoryMovieSink sink;
  MovieWriter writer(messages);
  ASSERT_EQ(writer.Open(sink, Format(33, 5), VideoSource{&Compressor("DIB"), {}, nullptr}),
            MovieWriter::OpenResult::Opened);
  const DIB a = test::MovingPicture(33, 5, 4);
  ASSERT_TRUE(writer.WritePicture(0, a, false));
  ASSERT_TRUE(writer.Finish());
  Movie movie;
  ReadMovie(sink.Bytes(), movie);
  ASSERT_EQ(movie.samples.size(), 1u);
  EXPECT_EQ(movie.samples[0].bytes, std::vector<std::uint8_t>(a.Bits(), a.Bits() + a.SizeImage()));
  EXPECT_EQ(movie.video->codec_id, AV_CODEC_ID_RAWVIDEO);
}

struct AudioCase {
  int rate;
  int bits;
  int channels;
};

class MovieWriterAudio : public testing::TestWithParam<AudioCase> {};

TEST_P(MovieWriterAudio, HoldsExactlyTheSamplesWrittenInterleavedByFrame) {
  const AudioCase c = GetParam();
  MessageText messages;
  MemoryMovieSink sink;
  MovieWriter writer(messages);
  MovieFormat format = Format(32, 24);
  format.audio = true;
  format.audioRate = c.rate;
  format.audioBits = c.bits;
  format.audioChannels = c.channels;
  ASSERT_EQ(writer.Open(sink, format, VideoSource{&Compressor("MJPG"), {}, nullptr}),
            MovieWriter::OpenResult::Opened);
  const DIB a = test::MovingPicture(32, 24, 0);
  const int block = format.BlockAlign();
  std::vector<std::uint8_t> all;
  constexpr int kFrames = 45;
  for (int i = 0; i < kFrames; ++i) {
    if (i % 10 == 0) {
      ASSERT_TRUE(writer.WritePicture(i, a, true)) << messages.Get();
    }
    const std::int64_t n = std::int64_t{c.rate} * (i + 1) / 30 - std::int64_t{c.rate} * i / 30;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(n * block));
    for (std::size_t k = 0; k < bytes.size(); ++k)
      bytes[k] = static_cast<std::uint8_t>((all.size() + k) * 7 + i);
    ASSERT_TRUE(writer.WriteAudio(bytes)) << messages.Get();
    all.insert(all.end(), bytes.begin(), bytes.end());
  }
  ASSERT_TRUE(writer.Finish(kFrames)) << messages.Get();
  EXPECT_EQ(writer.AudioSamples(), std::int64_t{c.rate} * kFrames / 30);

  Movie movie;
  ReadMovie(sink.Bytes(), movie);
  EXPECT_EQ(movie.audio, all);
  ASSERT_NE(movie.reader.Audio(), nullptr);
  EXPECT_EQ(movie.reader.Audio()->sample_rate, c.rate);
  EXPECT_EQ(movie.reader.Audio()->ch_layout.nb_channels, c.channels);
  EXPECT_EQ(movie.reader.Audio()->codec_id, c.bits == 8 ? AV_CODEC_ID_PCM_U8 : AV_CODEC_ID_PCM_S16LE);
  EXPECT_EQ(movie.frames, kFrames);

  // Interleaved frame by frame: each frame's video chunk beside that frame's audio chunk (in
  // time order: audio that starts a fraction of a sample before the frame comes first).
  ASSERT_EQ(movie.index.size(), 2u * kFrames);
  for (int i = 0; i < kFrames; ++i) {
    const std::string a = movie.index[2 * i].chunk.substr(0, 2);
    const std::string b = movie.index[2 * i + 1].chunk.substr(0, 2);
    EXPECT_TRUE((a == "00" && b == "01") || (a == "01" && b == "00")) << i;
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, MovieWriterAudio,
                         testing::Values(AudioCase{11025, 8, 1}, AudioCase{22050, 16, 2},
                                         AudioCase{32000, 8, 2}, AudioCase{44100, 16, 2},
                                         AudioCase{48000, 16, 1}));

TEST(MovieWriterAudioRules, AudioDeclaresEarlierPositionsComplete) {
  MessageText messages;
  MemoryMovieSink sink;
  MovieWriter writer(messages);
  MovieFormat format = Format(32, 24);
  format.audio = true;
  ASSERT_EQ(writer.Open(sink, format, VideoSource{&Compressor("MJPG"), {}, nullptr}),
            MovieWriter::OpenResult::Opened);
  const DIB a = test::MovingPicture(32, 24, 0);
  const std::vector<std::uint8_t> frame(1470 * 4);
  ASSERT_TRUE(writer.WritePicture(0, a, true));
  for (int i = 0; i < 4; ++i)
    ASSERT_TRUE(writer.WriteAudio(frame));
  // Audio of frame 3 has been written: positions 0..2 are complete, 3 is still open.
  EXPECT_EQ(writer.NextPosition(), 3);
  EXPECT_FALSE(writer.WritePicture(2, a, false));
  EXPECT_TRUE(writer.WritePicture(3, a, false));
  EXPECT_FALSE(writer.WriteAudio(std::vector<std::uint8_t>(6))); // not whole sample frames
  ASSERT_TRUE(writer.Finish(4)) << messages.Get();
}

TEST(MovieWriterCopy, CopiedSamplesComeBackByteIdenticalBesideEncodedPictures) {
  // A source movie in the compressor's own format.
  MessageText messages;
  MemoryMovieSink source;
  {
    MovieWriter writer(messages);
    EncoderSettings settings;
    settings.keyFrameEvery = 3;
    ASSERT_EQ(writer.Open(source, Format(48, 32), VideoSource{&Compressor("FMP4"), settings, nullptr}),
              MovieWriter::OpenResult::Opened);
    for (int i = 0; i < 9; ++i)
      ASSERT_TRUE(writer.WritePicture(i, test::MovingPicture(48, 32, i), false));
    ASSERT_TRUE(writer.Finish());
  }
  Movie src;
  ReadMovie(source.Bytes(), src);
  ASSERT_EQ(src.samples.size(), 9u);

  // Copy source samples 3..8 into positions 4..9 of a movie whose stream takes the source's
  // parameters; positions 0..3 are rendered by the same compressor.
  MemoryMovieSink sink;
  MovieWriter writer(messages);
  ASSERT_EQ(writer.Open(sink, Format(48, 32), VideoSource{&Compressor("FMP4"), {}, src.video}),
            MovieWriter::OpenResult::Opened)
      << writer.FailureDetail();
  std::vector<DIB> expected;
  for (int i = 0; i < 4; ++i) {
    expected.push_back(test::MovingPicture(48, 32, 20 + i));
    ASSERT_TRUE(writer.WritePicture(i, expected.back(), i == 0));
  }
  for (int i = 4; i < 10; ++i) {
    const MovieReader::VideoSample& s = src.samples[static_cast<std::size_t>(i - 1)];
    ASSERT_TRUE(writer.WriteSample(i, s.bytes, s.key));
  }
  ASSERT_TRUE(writer.Finish()) << messages.Get();
  EXPECT_EQ(writer.EncodedPictures(), 4);
  EXPECT_EQ(writer.CopiedSamples(), 6);

  Movie out;
  ReadMovie(sink.Bytes(), out);
  ASSERT_EQ(out.samples.size(), 10u);
  for (int i = 4; i < 10; ++i) {
    EXPECT_EQ(out.samples[i].bytes, src.samples[static_cast<std::size_t>(i - 1)].bytes) << i;
    EXPECT_EQ(out.samples[i].key, src.samples[static_cast<std::size_t>(i - 1)].key) << i;
  }
  // Every copied frame decodes to the source's picture, the rendered ones to theirs.
  std::vector<DIB> srcPictures;
  std::vector<DIB> outPictures;
  std::string error;
  ASSERT_TRUE(src.reader.Decode(src.samples, 9, srcPictures, error)) << error;
  ASSERT_TRUE(out.reader.Decode(out.samples, 10, outPictures, error)) << error;
  for (int i = 4; i < 10; ++i)
    EXPECT_TRUE(test::SamePixels(outPictures[i], srcPictures[static_cast<std::size_t>(i - 1)])) << i;
  for (int i = 0; i < 4; ++i)
    EXPECT_LE(test::MeanDifference(outPictures[i], expected[i]), Compressor("FMP4").trialTolerance * 2.0)
        << i;
}

TEST(MovieWriterCopy, StreamWithoutCompressorTakesOnlySamples) {
  MessageText messages;
  MemoryMovieSink source;
  {
    MovieWriter writer(messages);
    ASSERT_EQ(writer.Open(source, Format(40, 30), VideoSource{&Compressor("MJPG"), {}, nullptr}),
              MovieWriter::OpenResult::Opened);
    for (int i = 0; i < 3; ++i)
      ASSERT_TRUE(writer.WritePicture(i, test::MovingPicture(40, 30, i), false));
    ASSERT_TRUE(writer.Finish());
  }
  Movie src;
  ReadMovie(source.Bytes(), src);
  MemoryMovieSink sink;
  MovieWriter writer(messages);
  ASSERT_EQ(writer.Open(sink, Format(40, 30), VideoSource{nullptr, {}, src.video}),
            MovieWriter::OpenResult::Opened);
  EXPECT_EQ(writer.VideoParameters()->codec_tag, src.video->codec_tag);
  ASSERT_TRUE(writer.WriteSample(0, src.samples[2].bytes, true));
  ASSERT_TRUE(writer.WriteSample(2, src.samples[0].bytes, true));
  EXPECT_FALSE(writer.WritePicture(3, test::MovingPicture(40, 30, 0), false));
  EXPECT_NE(messages.Get().find("映像の圧縮に失敗しました"), std::string::npos);
  EXPECT_FALSE(writer.Finish());
}

TEST(MovieWriterCopy, MismatchedSourcesAreRefusedAtOpen) {
  MessageText messages;
  MemoryMovieSink source;
  {
    MovieWriter writer(messages);
    ASSERT_EQ(writer.Open(source, Format(40, 30), VideoSource{&Compressor("MJPG"), {}, nullptr}),
              MovieWriter::OpenResult::Opened);
    ASSERT_TRUE(writer.WritePicture(0, test::MovingPicture(40, 30, 0), false));
    ASSERT_TRUE(writer.Finish());
  }
  Movie src;
  ReadMovie(source.Bytes(), src);
  MemoryMovieSink sink;
  MovieWriter writer(messages);
  // Another compressor cannot fill a stream of MJPEG samples.
  EXPECT_EQ(writer.Open(sink, Format(40, 30), VideoSource{&Compressor("FMP4"), {}, src.video}),
            MovieWriter::OpenResult::EncoderFailed);
  EXPECT_FALSE(writer.FailureDetail().empty());
  // A source of another size cannot be copied into this movie.
  EXPECT_EQ(writer.Open(sink, Format(80, 60), VideoSource{nullptr, {}, src.video}),
            MovieWriter::OpenResult::VideoStreamFailed);
  EXPECT_FALSE(writer.IsOpen());
  EXPECT_TRUE(messages.Empty());
}

TEST(MovieWriterOpen, EachPreparationFailureHasItsOwnResult) {
  test::TempDir dir;
  MessageText messages;
  MovieWriter writer(messages);
  const VideoSource mjpg{&Compressor("MJPG"), {}, nullptr};
  EXPECT_EQ(writer.Open(dir / "missing" / "out.avi", Format(32, 24), mjpg),
            MovieWriter::OpenResult::FileNotWritable);
  EXPECT_NE(writer.FailureDetail().find("out.avi"), std::string::npos) << writer.FailureDetail();
  EXPECT_EQ(writer.Open(dir / "a.avi", Format(0, 24), mjpg), MovieWriter::OpenResult::VideoStreamFailed);
  EXPECT_EQ(writer.Open(dir / "a.avi", Format(32, 24), VideoSource{}),
            MovieWriter::OpenResult::VideoStreamFailed);
  // Microsoft Video 1 works on blocks of 4 x 4 pixels.
  EXPECT_EQ(writer.Open(dir / "a.avi", Format(33, 17), VideoSource{&Compressor("MSVC"), {}, nullptr}),
            MovieWriter::OpenResult::EncoderFailed);
  EXPECT_FALSE(writer.FailureDetail().empty());
  MovieFormat badAudio = Format(32, 24);
  badAudio.audio = true;
  badAudio.audioRate = 12345;
  EXPECT_EQ(writer.Open(dir / "a.avi", badAudio, mjpg), MovieWriter::OpenResult::AudioStreamFailed);
  badAudio.audioRate = 44100;
  badAudio.audioBits = 24;
  EXPECT_EQ(writer.Open(dir / "a.avi", badAudio, mjpg), MovieWriter::OpenResult::AudioStreamFailed);
  EXPECT_FALSE(writer.IsOpen());
  EXPECT_TRUE(messages.Empty()); // the caller words preparation failures
}

TEST(MovieWriterOpen, MisuseIsAnsweredWithMessages) {
  MessageText messages;
  MemoryMovieSink sink;
  MovieWriter writer(messages);
  EXPECT_FALSE(writer.WritePicture(0, test::MovingPicture(8, 8, 0), false));
  EXPECT_FALSE(writer.Finish());
  EXPECT_FALSE(messages.Empty());
  messages.Clear();
  ASSERT_EQ(writer.Open(sink, Format(32, 24), VideoSource{&Compressor("MJPG"), {}, nullptr}),
            MovieWriter::OpenResult::Opened);
  EXPECT_FALSE(writer.WriteAudio(std::vector<std::uint8_t>(4)));               // no audio stream
  EXPECT_FALSE(writer.WritePicture(0, test::MovingPicture(33, 24, 0), false)); // wrong size
  EXPECT_FALSE(messages.Empty());
  EXPECT_FALSE(writer.Finish());
}

// Writes a movie with sound into a sink that fails after `limit` bytes; true only when every
// call reported success.
bool WriteThrough(MovieSink& sink, MessageText& messages, bool& opened) {
  MovieWriter writer(messages);
  MovieFormat format = Format(64, 48);
  format.audio = true;
  opened = writer.Open(sink, format, VideoSource{&Compressor("DIB"), {}, nullptr}) ==
           MovieWriter::OpenResult::Opened;
  if (!opened)
    return false;
  const DIB a = test::MovingPicture(64, 48, 0);
  const std::vector<std::uint8_t> frame(1470 * 4, 1);
  bool ok = true;
  for (int i = 0; i < 20 && ok; ++i)
    ok = writer.WritePicture(i, a, false) && writer.WriteAudio(frame);
  return writer.Finish(20) && ok;
}

TEST(MovieWriterErrors, AWriteFailureIsNeverReportedAsSuccess) {
  MemoryMovieSink whole;
  MessageText messages;
  bool opened = false;
  ASSERT_TRUE(WriteThrough(whole, messages, opened));
  const std::size_t size = whole.Bytes().size();
  for (std::size_t limit :
       {std::size_t{0}, std::size_t{100}, std::size_t{70000}, size / 2, size - 16, size - 1}) {
    test::FailingSink sink(limit);
    messages.Clear();
    EXPECT_FALSE(WriteThrough(sink, messages, opened)) << "limit " << limit;
    EXPECT_GT(sink.Failures(), 0u) << "limit " << limit;
    if (opened) {
      EXPECT_NE(messages.Get().find("injected failure"), std::string::npos) << messages.Get();
    }
  }
}

TEST(MovieWriterErrors, FullDeviceIsReported) {
  if (!std::filesystem::exists("/dev/full"))
    GTEST_SKIP() << "no /dev/full";
  MessageText messages;
  MovieWriter writer(messages);
  const MovieWriter::OpenResult opened =
      writer.Open("/dev/full", Format(64, 48), VideoSource{&Compressor("DIB"), {}, nullptr});
  if (opened != MovieWriter::OpenResult::Opened) {
    EXPECT_EQ(opened, MovieWriter::OpenResult::FileNotWritable);
    return;
  }
  bool ok = true;
  for (int i = 0; i < 10 && ok; ++i)
    ok = writer.WritePicture(i, test::MovingPicture(64, 48, i), false);
  EXPECT_FALSE(writer.Finish() && ok);
  EXPECT_NE(messages.Get().find("/dev/full"), std::string::npos) << messages.Get();
}

// A tiny file system of its own, mounted for one test when the process may mount (root).
class TinyFileSystem {
public:
  explicit TinyFileSystem(const std::filesystem::path& at) : at_(at) {
    std::filesystem::create_directories(at);
    mounted_ = ::mount("tmpfs", at.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, "size=64k") == 0;
  }
  ~TinyFileSystem() {
    if (mounted_)
      ::umount2(at_.c_str(), MNT_DETACH);
  }
  bool Mounted() const { return mounted_; }

private:
  std::filesystem::path at_;
  bool mounted_ = false;
};

TEST(MovieWriterErrors, FullFileSystemEndsTheMovieWithAMessage) {
  test::TempDir dir;
  TinyFileSystem tiny(dir / "tiny");
  if (!tiny.Mounted())
    GTEST_SKIP() << "cannot mount a file system here";
  MessageText messages;
  MovieWriter writer(messages);
  const auto file = dir / "tiny" / "full.avi";
  ASSERT_EQ(writer.Open(file, Format(64, 48), VideoSource{&Compressor("DIB"), {}, nullptr}),
            MovieWriter::OpenResult::Opened);
  bool ok = true;
  int written = 0;
  for (; written < 20 && ok; ++written) // 20 x 9 KB does not fit into 64 KB
    ok = writer.WritePicture(written, test::MovingPicture(64, 48, written), false);
  EXPECT_FALSE(ok);
  EXPECT_LT(written, 20);
  EXPECT_FALSE(writer.WritePicture(30, test::MovingPicture(64, 48, 0), false));
  EXPECT_FALSE(writer.Finish());
  EXPECT_NE(messages.Get().find("full.avi"), std::string::npos) << messages.Get();
  EXPECT_NE(messages.Get().find(std::strerror(ENOSPC)), std::string::npos) << messages.Get();
}

TEST(MovieWriterErrors, AbandonedMovieLeavesNoOpenFile) {
  test::TempDir dir;
  MessageText messages;
  {
    MovieWriter writer(messages);
    ASSERT_EQ(writer.Open(dir / "stop.avi", Format(32, 24), VideoSource{&Compressor("MJPG"), {}, nullptr}),
              MovieWriter::OpenResult::Opened);
    ASSERT_TRUE(writer.WritePicture(0, test::MovingPicture(32, 24, 0), true));
  } // destroyed without Finish
  EXPECT_TRUE(std::filesystem::exists(dir / "stop.avi"));
  // The same name can be written again at once.
  MovieWriter writer(messages);
  ASSERT_EQ(writer.Open(dir / "stop.avi", Format(32, 24), VideoSource{&Compressor("MJPG"), {}, nullptr}),
            MovieWriter::OpenResult::Opened);
  ASSERT_TRUE(writer.WritePicture(0, test::MovingPicture(32, 24, 0), true));
  ASSERT_TRUE(writer.Finish());
  Movie movie;
  const std::vector<std::uint8_t> bytes = test::ReadFileBytes(dir / "stop.avi");
  ReadMovie(bytes, movie);
  EXPECT_EQ(movie.frames, 1);
}

} // namespace
} // namespace rw
