#pragma once

#include "media/FfmpegPtr.h"
#include "project/ClipPos.h"

#include <string_view>

namespace rw {

class pAviStream;
class pVideoClipList;

// The decoder's own picture of a timeline frame that shows a movie cut's frame unchanged: outside
// a transition, at the movie's size, in the pixel format the encoder takes and with colours that
// the 24-bit round trip (decoder → BGR → encoder, BT.601) would map back onto themselves. Such a
// frame can be compressed from the decoded planes as they are, without the two conversions; its
// pixels differ from the round trip's by the conversions' rounding only.
class SourcePicture {
public:
  // A reference to the planes of the picture at `pos` (no properties of the decoded frame go
  // with it), or null when the frame must be rendered: a transition step, another size or
  // format, another kind of cut, or a picture that cannot be decoded. Reads the cut's decoder,
  // like rendering the frame would.
  static ff::FramePtr Take(const ClipPos& pos, int width, int height, AVPixelFormat format);
  // Whether a decoded picture may stand for the round trip into `format` at all.
  static bool Fits(const AVFrame& frame, int width, int height, AVPixelFormat format);
  // The pixel format of the decoded pictures that pass through most timeline frames of `list`
  // when the encoder `encoder`, whose own input format is `own`, takes it instead with the same
  // range and chroma no finer than its own (so that the pictures it renders lose nothing the
  // movie would otherwise keep); AV_PIX_FMT_NONE when the own format is as good. Decodes the
  // first picture of every movie cut of the movie's size.
  static AVPixelFormat Survey(const pVideoClipList& list, int width, int height, std::string_view encoder,
                              AVPixelFormat own);
  // The stream and entry of the frame at `pos` when its cut reads a movie whose codec stores every
  // picture on its own, lossily (JPEG and the like): there, equal stored bytes decode to equal
  // pictures, so a frame whose sample equals the one sent before it is that picture again and
  // needs no decoding. Null otherwise.
  static const pAviStream* IntraSource(const ClipPos& pos, std::int32_t& entry);
  // Whether two pictures have the same format, size and visible pixels.
  static bool Same(const AVFrame& a, const AVFrame& b);
};

} // namespace rw
