#pragma once

#include "media/FfmpegPtr.h"

#include <cstdint>
#include <vector>

namespace rw {

class OutputInfo;
class pAviStream;
class pVideoClip;
class pVideoClipList;

// Decides whose compressed samples a movie may take over unchanged. A sample of a source stream
// is valid in the movie's video stream only when both streams carry the same kind of samples:
// codec, four-character code, frame size, pixel format and codec private data. Sources whose
// pictures are reordered (B-frames) are never copied: a copy run cut out of them would not
// decode to the source's pictures.
//
// Survey looks at every movie cut of a clip list once; its answers are kept until the next
// Survey. The pixel format is learnt by decoding the source's first picture.
class MovieCompileCopy {
public:
  MovieCompileCopy() = default;
  MovieCompileCopy(const MovieCompileCopy&) = delete;
  MovieCompileCopy& operator=(const MovieCompileCopy&) = delete;

  // Examines the movie cuts of `list` that have the output size and the compressor's code.
  void Survey(const pVideoClipList& list, const OutputInfo& settings);

  // The parameters of the copyable source format that covers the most timeline frames (the first
  // such format on the timeline among equals): the movie's video stream may take them, so that
  // those cuts can be copied. Null when no cut can be copied.
  const AVCodecParameters* Preferred() const;

  // The parameters of the movie's video stream as it was opened (null: no copying at all).
  void SetOutput(const AVCodecParameters* output) { output_ = output; }

  // The samples of `clip`'s stream can be stored in the movie's video stream as they are.
  bool CanCopy(const pVideoClip& clip) const;
  // A sample read from a copyable source has the size such samples must have (stored pictures
  // of uncompressed streams).
  bool SampleFits(std::size_t bytes) const;

  // Two sets of stream parameters describe the same kind of samples.
  static bool SameFormat(const AVCodecParameters& source, const AVCodecParameters& output);

private:
  struct Source {
    const pAviStream* stream = nullptr;
    ff::ParametersPtr parameters; // with the decoded pixel format filled in; null: not copyable
    std::int64_t frames = 0;      // timeline frames of the cuts reading this stream
  };

  const Source* Find(const pAviStream* stream) const;
  // The source's parameters when its samples could be copied into a movie of `settings`.
  static ff::ParametersPtr Examine(const pAviStream& stream, const OutputInfo& settings);

  std::vector<Source> sources_;
  const AVCodecParameters* output_ = nullptr;
};

} // namespace rw
