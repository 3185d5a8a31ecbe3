#pragma once

#include "media/FfmpegPtr.h"
#include "output/CompressorCatalogue.h"
#include "output/PictureConverter.h"

#include <cstdint>
#include <string>
#include <vector>

namespace rw {

class DIB;

// One compressor of the catalogue at work: turns 24-bit pictures into samples of a video
// stream. Samples come out in picture order (no picture is ever reordered), possibly some
// pictures later than their picture went in; each carries its picture's position as pts and dts.
class VideoEncoder {
public:
  // `format` AV_PIX_FMT_NONE takes the compressor's own input format. False with a reason in
  // `detail` when the encoder is missing or refuses the settings.
  bool Open(const CompressorInfo& compressor, const EncoderSettings& settings, int width, int height,
            int frameRate, AVPixelFormat format, std::string& detail);
  bool IsOpen() const { return open_; }
  const CompressorInfo& Compressor() const { return compressor_; }

  // The stream parameters its samples need: codec, the compressor's code as tag, size, pixel
  // format and codec private data.
  bool FillParameters(AVCodecParameters& parameters) const;

  // Compresses one picture of the open size. With `forceKey` the picture becomes a key frame.
  // Samples that are ready are appended to `out`.
  bool Encode(const DIB& picture, std::int64_t position, bool forceKey, std::vector<ff::PacketPtr>& out,
              std::string& detail);
  // The same for a picture already in the input format at the open size (see InputFormat): its
  // planes are compressed as they are, without a conversion. The encoder keeps a reference to
  // them for as long as it needs them.
  bool EncodeFrame(const AVFrame& picture, std::int64_t position, bool forceKey,
                   std::vector<ff::PacketPtr>& out, std::string& detail);
  // The pixel format the compressor takes; AV_PIX_FMT_NONE before Open.
  AVPixelFormat InputFormat() const { return format_; }
  // Hands out every sample still inside the encoder; the encoder is closed then.
  bool Drain(std::vector<ff::PacketPtr>& out, std::string& detail);
  // Drops the encoder and whatever it still holds.
  void Close();

private:
  bool OpenContext(std::string& detail);
  bool Receive(std::vector<ff::PacketPtr>& out, bool draining, std::string& detail);
  bool Send(ff::FramePtr frame, std::int64_t position, bool forceKey, std::vector<ff::PacketPtr>& out,
            std::string& detail);
  bool EncodeStored(const DIB& picture, std::int64_t position, std::vector<ff::PacketPtr>& out,
                    std::string& detail);

  CompressorInfo compressor_;
  EncoderSettings settings_;
  int width_ = 0;
  int height_ = 0;
  int frameRate_ = 30;
  AVPixelFormat format_ = AV_PIX_FMT_NONE;
  const AVCodec* codec_ = nullptr;
  ff::CodecContextPtr context_;
  std::vector<std::uint8_t> extradata_; // of the first opening; every later one must match
  PictureConverter converter_;
  int sinceKey_ = 0; // pictures since the encoder was (re)opened
  bool open_ = false;
};

} // namespace rw
