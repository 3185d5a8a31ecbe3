#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace rw::test {

// Video codecs of the test movie writer (each through the libavcodec encoder named beside it).
enum class TestMovieCodec {
  H264,  // libx264
  Hevc,  // libx265
  Vp8,   // libvpx
  Vp9,   // libvpx-vp9
  Av1,   // libaom-av1
  Mpeg4, // mpeg4 (libavcodec's own)
};

// Sound codecs of the test movie writer.
enum class TestMovieSound { None, Aac, Opus, Mp3, Flac };

// An exact fraction (a time base, a pixel aspect).
struct TestRational {
  std::int64_t num = 1;
  std::int64_t den = 1;
};

struct TestMovieOptions {
  TestMovieCodec codec = TestMovieCodec::H264;
  int width = 160;
  int height = 120;
  // Presentation times of the pictures in display order, in units of `timeBase`; picture i
  // carries the number i. Empty: no video stream.
  std::vector<std::int64_t> pts;
  TestRational timeBase{1, 30};
  std::int64_t lastDuration = 0; // of the last picture, in `timeBase`; 0: the interval before it
  int gop = 12;                  // key-picture interval
  int bFrames = 0;               // consecutive B-pictures at most
  bool tenBit = false;           // 4:2:0 at 10 bits (H.264 High 10, HEVC Main 10, VP9 profile 2)
  TestRational pixelAspect{1, 1};
  // The display matrix: the player turns the stored picture by `rotation` degrees clockwise
  // (0 writes no matrix unless `hflip`), then mirrors it left to right when `hflip`.
  int rotation = 0;
  bool hflip = false;
  bool coverArt = false; // an attached picture stream written before the video (MP4, MOV)
  bool texture = false;  // moving noise instead of the number (benchmarks)
  std::string x264Preset = "veryfast";
  int crf = 20; // quality of libx264 and libx265 (lower: better, larger)

  TestMovieSound sound = TestMovieSound::None;
  int soundRate = 48000;
  int soundChannels = 2;
  // Time of the first sound sample, in units of 1/soundRate on the pictures' clock (pts *
  // timeBase): 0 starts the sound with presentation time zero.
  std::int64_t soundStart = 0;
  std::int64_t soundLength = 0; // sample frames; 0: up to the end of the last picture
  // Sample frame (counted from the first sound sample) carrying a full-scale click on every
  // channel; the rest is silence. -1: no click.
  std::int64_t click = -1;
};

// `count` presentation times of a constant rate rateNum/rateDen pictures per second, in
// `timeBase`, rounded to the nearest unit, starting at `first`.
std::vector<std::int64_t> ConstantRatePts(int count, std::int64_t rateNum, std::int64_t rateDen,
                                          TestRational timeBase, std::int64_t first = 0);

// Writes a movie whose container follows the extension (.mp4, .m4v, .mov, .mkv, .webm) and whose
// pictures carry their number as the block code ReadMoviePictureNumber reads back after lossy
// compression. False with a message in `error` when an encoder or muxer is missing or a write
// fails.
bool WriteTestMovie(const std::filesystem::path& file, const TestMovieOptions& options,
                    std::string* error = nullptr);

// Whether this libavcodec has the encoder of `codec` (of `sound`).
bool HasMovieEncoder(TestMovieCodec codec);
bool HasSoundEncoder(TestMovieSound sound);

// Reads the number of a 24-bit bottom-up picture (stride (w * 3 + 3) & ~3) written with
// `rotation` and `hflip` and shown the way its display matrix says (so `width` and `height` are
// the displayed size); -1 when the code is damaged, -2 without a picture.
int ReadMoviePictureNumber(const std::uint8_t* bgr, int width, int height, int rotation = 0,
                           bool hflip = false);

// The picture a 30 fps cut frame shows: the last picture (display order) whose presentation time,
// measured from the smallest one and rounded to the nearest 1/30 s with halves up, is at most
// frame/30 s. Worked out with exact integer arithmetic, picture by picture.
int ExpectedMoviePicture(const TestMovieOptions& options, std::int64_t cutFrame);
// The number of 30 fps cut frames of the movie: the end of its last picture (its time plus its
// duration) by the same rounding.
std::int64_t ExpectedMovieFrames(const TestMovieOptions& options);

// The sample frame of the largest magnitude of interleaved 16-bit sound (the click), -1 when all
// is silence.
std::int64_t FindClick(const std::int16_t* samples, std::int64_t frames, int channels);

} // namespace rw::test
