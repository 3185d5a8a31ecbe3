#pragma once

#include "media/FfmpegPtr.h"
#include "output/settings/OutputInfo.h"
#include "project/ClipPos.h"
#include "project/TimelineRenderer.h"
#include "render/DIB.h"

#include <cstdint>
#include <vector>

namespace rw {

class MovieCompileCopy;
class pAviStream;
class pVideoClipList;

// What the movie receives for one timeline frame.
struct MovieCompileStep {
  enum class Video : std::uint8_t {
    None,    // nothing: the position stays empty (the picture before it goes on)
    Picture, // `picture`, to be compressed
    Frame,   // `frame`, a decoded picture in the compressor's input format, compressed as it is
    Sample   // `sample`, a source's compressed sample stored as it is
  };

  std::int32_t position = 0;
  Video video = Video::None;
  bool key = false; // the sample is a key frame; a picture is compressed as one
  DIB picture;
  ff::FramePtr frame;
  std::vector<std::uint8_t> sample;
  std::vector<std::uint8_t> audio; // the frame's sound in the output format; empty without audio
};

// Walks the timeline frame by frame and says what the movie gets for each frame: a copied
// source sample, a rendered picture, or nothing when the frame repeats the picture before it.
//
// Frame i lies at frame f of its cut, whose incoming transition has length T:
//  - Copying (recompress off, the cut's samples valid in the movie): a copy run starts at a
//    source key frame outside the transition and goes on to the end of the cut; an empty source
//    entry leaves its frame empty. A sample that cannot be read (or has not the size the
//    movie's samples must have) ends the run: that frame is rendered, and copying starts again
//    at the next source key frame.
//  - Otherwise the frame needs a picture inside the transition, at its first frame after the
//    transition (f = T, also f = 0 without one) and wherever the cut says its frame is new. A
//    picture equal to the last one sent is not sent again.
//  - Pass-through: given the compressor's input format, a frame that shows a movie cut's frame
//    unchanged (see SourcePicture) is sent as the decoder's picture instead of a rendered one.
//    A passed picture equal to the last one sent is left out like a rendered one; for codecs that
//    store every picture on its own, equal stored samples already tell so, without decoding.
//  - Key frames: f = 0, f = T - 1, and after the transition the cut's own key frames. The first
//    picture after a copied sample is always a key frame, because the encoder never saw the
//    copied pictures.
// After the last frame, Closing gives the picture that fills the movie to its full length when
// the last frames sent nothing.
//
// The list and its cuts are read from whichever thread calls Next; only one thread may.
class MovieCompileFrames {
public:
  // `copy` null: every frame is rendered. `passFormat` AV_PIX_FMT_NONE: no decoded picture
  // passes through.
  MovieCompileFrames(const pVideoClipList& list, const OutputInfo& settings, const MovieCompileCopy* copy,
                     AVPixelFormat passFormat = AV_PIX_FMT_NONE);

  std::int32_t Count() const { return count_; }
  // Timeline frames made so far.
  std::int32_t Made() const { return made_; }

  // Fills `step` for the next frame; false when every frame has been made.
  bool Next(MovieCompileStep& step);
  // After the last frame: a key picture at the last position when the last frames sent nothing
  // (video None otherwise).
  void Closing(MovieCompileStep& step);

private:
  bool TakeSample(const pVideoClip& clip, std::int32_t f, std::int32_t source, MovieCompileStep& step);
  void Render(const pVideoClip* clip, std::int32_t f, std::int32_t t, MovieCompileStep& step);
  bool PassThrough(MovieCompileStep& step, bool key);
  void SendPicture(MovieCompileStep& step, bool key);
  void RenderSound(std::int32_t i, MovieCompileStep& step);

  const pVideoClipList& list_;
  OutputInfo settings_;
  const MovieCompileCopy* copy_;
  AVPixelFormat passFormat_;
  TimelineRenderer renderer_;
  std::int32_t count_ = 0;
  std::int32_t made_ = 0;

  DIB current_;  // the picture being made
  DIB previous_; // the last picture sent
  bool previousValid_ = false;
  ff::FramePtr previousFrame_; // the last picture sent when it passed through
  // The stored sample of that picture when its codec keeps every picture on its own.
  const pAviStream* previousStream_ = nullptr;
  std::vector<std::uint8_t> previousSample_;
  std::vector<std::uint8_t> sample_;
  ClipPos pos_;         // position of the frame being made
  ClipPos previousPos_; // position of the last frame sent
  std::int32_t lastSent_ = -1;
  bool copyAllowed_ = false;
  bool copying_ = false;
  bool afterSample_ = false;        // the last thing sent was a copied sample
  std::int32_t previousIndex_ = -1; // entry of the frame before
};

} // namespace rw
