#pragma once

#include "media/ContainerSoundIndex.h"
#include "media/FfmpegPtr.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace rw {

// The FFmpeg side of a file's sound: its input, the first audio stream's decoder and the
// conversion to 16-bit interleaved PCM (mono stays mono, more channels are mixed to stereo) at
// the stream's own rate. Places are samples on the file's own time axis (see
// ContainerSoundIndex); the caller measures them from the time origin.
class ContainerSoundDecoder {
public:
  // Decoded samples: `frames` sample frames from `start`.
  struct Block {
    std::int64_t start = 0;
    std::int32_t frames = 0;
    std::vector<std::int16_t> samples;
  };
  enum class Step { Block, End, Failed };

  ContainerSoundDecoder() = default;
  ContainerSoundDecoder(const ContainerSoundDecoder&) = delete;
  ContainerSoundDecoder& operator=(const ContainerSoundDecoder&) = delete;
  ~ContainerSoundDecoder() { av_channel_layout_uninit(&swrLayout_); }

  // Opens `file` and the decoder of its first audio stream; false with the reason in `why`.
  bool Open(const std::filesystem::path& file, std::string& why);
  // Demuxes the whole file without decoding: the audio packets into `index`, and the place of
  // the place of the first picture of the first video stream (not a cover picture) into
  // `origin`, when there is one (`hasPictures`). Leaves the input at its end; false with the
  // reason in `why`.
  bool BuildIndex(ContainerSoundIndex& index, std::int64_t& origin, bool& hasPictures, std::string& why);

  std::int32_t Rate() const { return rate_; }
  std::int32_t Channels() const { return channels_; }
  // Samples decoded before a wanted one after a jump, for the decoder to settle.
  std::int64_t Preroll() const { return preroll_; }

  // Makes packet `k` of `index` the next one decoded (every packet before it is passed over).
  bool Seek(const ContainerSoundIndex& index, std::size_t k);
  // Decodes on to the next block of presented samples.
  Step Next(const ContainerSoundIndex& index, Block& out);

private:
  bool OpenInput(std::string& why);
  bool ReadAudioPacket();
  bool Convert(Block& out);
  bool SetUpConverter();

  std::filesystem::path file_;
  ff::InputPtr input_;
  ff::CodecContextPtr codec_;
  ff::SwrPtr swr_;
  ff::PacketPtr packet_;
  ff::FramePtr frame_;
  int audio_ = -1;
  int video_ = -1;
  AVRational timeBase_{1, 1};
  double tick_ = 1;
  std::int32_t rate_ = 0;
  std::int32_t channels_ = 0;
  std::int64_t preroll_ = 0;
  // The converter's input as last set up.
  int swrFormat_ = -1;
  int swrRate_ = 0;
  AVChannelLayout swrLayout_{};
  // Packets stamped before this are passed over (after a jump).
  std::int64_t minPts_ = INT64_MIN;
  bool pending_ = false;  // packet_ holds an audio packet not yet sent
  bool draining_ = false; // the end of the input was reached, the decoder is being emptied
  // Where the next packet's samples start when the decoding goes on without a jump.
  std::optional<std::int64_t> follows_;
  // The place of the packet sent last, for the first frame that comes out after it.
  std::optional<std::int64_t> sentStart_;
  std::vector<std::int16_t> converted_;
};

} // namespace rw
