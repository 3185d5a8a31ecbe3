#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace rw::test {

// Video codecs the test AVI generator can write (all through libavcodec's own encoders).
enum class TestAviCodec {
  None,             // audio only: no video stream
  Mjpeg,            // intra only, lossy
  Mpeg4,            // MPEG-4 part 2, P-frames only
  Mpeg4BFrames,     // MPEG-4 part 2 with two B-frames between references (open groups of pictures)
  H264BFrames,      // libx264 with B-frames and a B-pyramid
  Ffv1,             // lossless, inter-frame contexts
  Huffyuv,          // lossless, intra only
  RawBgr24,         // uncompressed 24-bit, stored top-down
  RawBgr24BottomUp, // uncompressed 24-bit, stored bottom-up (the classic DIB layout)
  RawPal8           // uncompressed 8-bit with a palette in the stream format
};

// How the PCM audio of a test file is stored.
enum class TestAviSample { U8, S16, S24, S32, F32, Alaw /* compressed: not PCM */ };

struct TestAviOptions {
  TestAviCodec codec = TestAviCodec::Mjpeg;
  int width = 160;
  int height = 120;
  int frames = 30; // index entries of the video stream, empty ones included
  int rate = 30;   // the stream header's rate and scale
  int scale = 1;
  int gop = 12;           // key-frame interval for the inter-frame codecs
  std::vector<int> empty; // entry numbers stored as zero-size samples (need a previous picture)
  int audioRate = 0;      // 0: no audio stream
  int audioChannels = 2;
  TestAviSample audioSample = TestAviSample::S16;
  bool stripIndex = false;  // turn the idx1 chunk into JUNK and clear the has-index flag
  bool texture = false;     // moving gradients and noise instead of the block code (benchmarks)
  bool headersOnce = false; // H.264: parameter sets only in the first picture, not at every key
};

// Writes an AVI file whose pictures carry their display number as a block code (readable after
// lossy compression) and whose audio samples are TestAviSampleValue of their index. False and
// a message in `error` when a codec is missing or a write fails.
bool WriteTestAvi(const std::filesystem::path& file, const TestAviOptions& options,
                  std::string* error = nullptr);

// The number drawn into picture `n` (display order) of a file without empty samples; with
// empty samples the picture of entry n is the number of the last non-empty entry at or before n.
int ExpectedPictureNumber(const TestAviOptions& options, int entry);

// Decodes the whole file front to back with libavformat and libavcodec alone (the way a player
// does) and answers the block code of every picture in the order they come out.
std::vector<int> PlayerOrderNumbers(const std::filesystem::path& file);

// Reads the block code from a 24-bit bottom-up picture (stride (w * 3 + 3) & ~3); -1 when the
// code is damaged, -2 without a picture.
int ReadPictureNumber(const std::uint8_t* bgr, int width, int height);

// The stored value of channel `channel` of sample frame `index`, in the file's sample format,
// as the low bytes of the result (U8 0..255, S16 as int16, S24 as 24-bit signed, S32 as int32,
// F32 as the bit pattern of the float).
std::int32_t TestAviSampleValue(TestAviSample sample, std::int64_t index, int channel);

// Sample frames written for a file with these options (frames / rate * audioRate, rounded down).
std::int64_t TestAviAudioLength(const TestAviOptions& options);

// One entry of the idx1 index of stream 00 (the video stream of files written here).
struct TestAviIndexEntry {
  bool key;
  std::uint32_t size;
};
// The idx1 entries of stream 00, in order; empty when the file has no idx1 chunk.
std::vector<TestAviIndexEntry> ReadVideoIndex(const std::filesystem::path& file);

// Silences libavformat and libavcodec (damaged test files make them talk).
void QuietMediaLibraries();

// The bytes of a whole file.
std::vector<std::uint8_t> ReadFileBytes(const std::filesystem::path& file);
void WriteFileBytes(const std::filesystem::path& file, const std::vector<std::uint8_t>& bytes);

} // namespace rw::test
