#pragma once

#include "media/FfmpegPtr.h"
#include "output/CompressorCatalogue.h"
#include "output/VideoEncoder.h"

#include <cstdint>
#include <deque>
#include <filesystem>
#include <memory>
#include <span>
#include <string>

namespace rw {

class DIB;
class FileMovieSink;
class MessageText;
class MovieSink;
class OutputInfo;

// Size and rates of a movie to write.
struct MovieFormat {
  int width = 0;
  int height = 0;
  int frameRate = 30;
  bool audio = false;
  int audioRate = 44100; // 11025, 22050, 32000, 44100 or 48000
  int audioBits = 16;    // 8 (unsigned) or 16 (signed, little-endian)
  int audioChannels = 2; // 1 or 2

  static MovieFormat From(const OutputInfo& settings);
  int BlockAlign() const { return audioChannels * (audioBits / 8); }
};

// What the video stream carries. With `copyFrom` the stream takes its parameters (codec, code,
// size, pixel format, codec private data) from a source stream, so that that stream's samples
// can be copied into it; `compressor` may then be null, and when given it must produce samples
// of exactly that kind.
struct VideoSource {
  const CompressorInfo* compressor = nullptr;
  EncoderSettings settings;
  const AVCodecParameters* copyFrom = nullptr;
  // The compressor's input format when not its own (AV_PIX_FMT_NONE); `copyFrom` decides first.
  AVPixelFormat pixelFormat = AV_PIX_FMT_NONE;
};

// Writes one AVI movie through libavformat's AVI muxer: one video stream of numbered positions
// (0, 1, 2, … at the frame rate) and optionally one PCM audio stream, interleaved by time.
// Positions are written in increasing order; a position left out still counts as a frame of
// the video stream (an empty sample: players keep showing the picture before it), so a movie
// whose last written position is N - 1 has exactly N frames. Failures after Open append one
// message to the MessageText and make every later call answer false; Finish must be called to
// complete the file, otherwise it is left incomplete.
class MovieWriter {
public:
  enum class OpenResult {
    Opened,
    FileNotWritable,   // the file (or sink) cannot be created or written
    VideoStreamFailed, // the video stream cannot be made with these parameters
    EncoderFailed,     // the compressor cannot be opened for this size and settings
    AudioStreamFailed  // the audio stream cannot be made in this format
  };

  explicit MovieWriter(MessageText& messages);
  ~MovieWriter();
  MovieWriter(const MovieWriter&) = delete;
  MovieWriter& operator=(const MovieWriter&) = delete;

  // Creates (or truncates) the file and writes the movie's header. Nothing is appended to the
  // messages here: the caller words the failure; FailureDetail() says what went wrong.
  OpenResult Open(const std::filesystem::path& file, const MovieFormat& format, const VideoSource& video);
  // The same into a sink the caller keeps alive until Finish or Abandon.
  OpenResult Open(MovieSink& sink, const MovieFormat& format, const VideoSource& video);
  const std::string& FailureDetail() const { return detail_; }

  bool IsOpen() const { return output_ != nullptr; }
  // The video stream's parameters: a copied sample is valid only for a source stream with the
  // same codec, code, size, pixel format and codec private data.
  const AVCodecParameters* VideoParameters() const;
  // The lowest position that can still be written.
  std::int64_t NextPosition() const { return nextPosition_; }

  // Compresses a picture of the movie's size into position `position`; with `forceKey` it
  // becomes a key frame.
  bool WritePicture(std::int64_t position, const DIB& picture, bool forceKey);
  // The same for a picture already in the compressor's input format (PictureFormat), compressed
  // from its planes as they are.
  bool WriteFrame(std::int64_t position, const AVFrame& picture, bool forceKey);
  // The pixel format WriteFrame takes; AV_PIX_FMT_NONE when the movie has no compressor.
  AVPixelFormat PictureFormat() const { return hasEncoder_ ? encoder_.InputFormat() : AV_PIX_FMT_NONE; }
  // Stores an already compressed sample at `position`, flagged as key frame when `key`.
  // An empty sample leaves the position empty.
  bool WriteSample(std::int64_t position, std::span<const std::uint8_t> bytes, bool key);
  // Appends whole sample frames to the audio stream. Audio that starts at the time of position
  // i declares the positions before i complete: they can no longer be written.
  bool WriteAudio(std::span<const std::uint8_t> bytes);

  // Flushes the encoder, writes the samples still held, leaves positions up to `positions` - 1
  // empty when they were not written, writes the index and closes the file. True only when
  // every byte reached the file.
  bool Finish(std::int64_t positions = 0);
  // Closes without completing the file.
  void Abandon();

  std::int64_t AudioSamples() const { return audioSamples_; }
  std::int64_t EncodedPictures() const { return encodedPictures_; }
  std::int64_t CopiedSamples() const { return copiedSamples_; }
  // Positions handed to the muxer so far, empty ones included.
  std::int64_t VideoFrames() const { return videoWritten_; }

private:
  struct Slot {
    std::int64_t position;
    ff::PacketPtr packet; // null while the encoder still holds the picture
  };

  OpenResult OpenOutput(const MovieFormat& format, const VideoSource& video);
  OpenResult AddVideo(const VideoSource& video, ff::Dictionary& muxerOptions);
  bool AddAudio();
  bool Usable(const char* what);
  bool TakeEncoded(std::vector<ff::PacketPtr>& packets);
  // What WritePicture and WriteFrame share around the encoder's call.
  template <typename Encode> bool Compress(const char* what, std::int64_t position, Encode encode);
  // Hands the muxer what may go now; `last`: everything (the end of the movie).
  bool FlushReady(bool last = false);
  bool WriteEmptyUntil(std::int64_t position);
  bool Mux(ff::PacketPtr packet, AVStream* stream, AVRational timeBase);
  bool Fail(const std::string& what);
  bool WriteFailed(int code);
  bool UnflagEmptySamples();
  // Lets go of the output, the encoder and the sink (the file stays as it is).
  void Close();
  void Reset();

  static int WriteCallback(void* opaque, const std::uint8_t* data, int size);
  static std::int64_t SeekCallback(void* opaque, std::int64_t offset, int whence);

  MessageText& messages_;
  std::string detail_;
  std::unique_ptr<FileMovieSink> fileSink_;
  MovieSink* sink_ = nullptr;
  bool sinkFailed_ = false;
  ff::OutputPtr output_;
  AVStream* videoStream_ = nullptr;
  AVStream* audioStream_ = nullptr;
  MovieFormat format_;
  VideoEncoder encoder_;
  bool hasEncoder_ = false;
  bool failed_ = false;
  std::deque<Slot> slots_;
  struct Sound {
    std::int64_t position; // the first position its samples reach
    ff::PacketPtr packet;
  };
  std::deque<Sound> sounds_;     // sound waiting for the video before it
  std::int64_t soundStart_ = -1; // first position of the latest sound
  std::int64_t nextPosition_ = 0;
  std::int64_t gapLimit_ = 0;
  std::int64_t videoWritten_ = 0;
  std::int64_t emptyWritten_ = 0;
  std::int64_t audioSamples_ = 0;
  std::int64_t encodedPictures_ = 0;
  std::int64_t copiedSamples_ = 0;
};

} // namespace rw
