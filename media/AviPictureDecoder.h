#pragma once

#include "media/AviPictureParser.h"
#include "media/FfmpegPtr.h"

#include <cstdint>
#include <deque>
#include <map>
#include <optional>

namespace rw {

class pAviStream;

// Decodes the stored pictures of one AVI video stream by their number in display order.
//
// Pictures are fed to libavcodec in file order, each tagged with its number in that order; the
// number of a picture that comes out is counted, never taken from the file's time stamps.
// Codecs without reordering give every picture out under its own tag. For codecs that reorder
// (B-frames), a run that starts at key picture k first gives out the pictures that depend on
// the group before k (dropped or damaged: ignored), then k itself, which is display picture
// t - 1 where t is the first picture after k in file order that is not a B-picture (read from
// the headers); everything after it comes out in display order. Pictures in front of k in
// display order are therefore decoded from the key picture before k.
class AviPictureDecoder {
public:
  // Receives the pictures of a Decode call, in display order.
  class Sink {
  public:
    virtual ~Sink() = default;
    virtual bool Wants(std::int32_t picture) const = 0;
    virtual void Put(std::int32_t picture, const AVFrame& frame) = 0;
  };

  // Opens a decoder of `stream` taking its picture buffers from `buffers`.
  bool Open(const pAviStream& stream, const DecoderBuffers& buffers);
  void Close();
  bool IsOpen() const { return codec_ != nullptr; }

  // Decodes until display picture `target` (0 … pictures - 1) has been put into `sink`, putting
  // the pictures before it that the sink wants on the way. A picture that cannot be decoded is
  // put as the last good picture before it. False when nothing could be decoded for it.
  bool Decode(std::int32_t target, Sink& sink);

private:
  struct Run {
    bool active = false; // fed since the last flush
    bool drained = false;
    bool ended = false; // the decoder reported the end of its output
    std::int32_t start = 0;
    std::int32_t fed = 0;  // next picture to feed, in file order
    bool anchored = false; // the display number of the next output is known
    std::int32_t nextShown = 0;
    std::int32_t skipped = 0; // outputs before the key picture
  };

  std::int32_t StartFor(std::int32_t target);
  std::int32_t FirstTrailing(std::int32_t key);
  bool CanContinue(std::int32_t target, std::int32_t start) const;
  void Restart(std::int32_t start);
  void Feed();
  void Receive(Sink& sink);
  void Handle(AVFrame* frame, Sink& sink);
  void Emit(std::int32_t shown, const AVFrame& frame, Sink& sink);
  bool RunTo(std::int32_t target, std::int32_t start, Sink& sink);

  const pAviStream* stream_ = nullptr;
  DecoderBuffers buffers_; // before the codec, which must go first
  ff::CodecContextPtr codec_;
  std::optional<AviPictureParser> parser_;
  bool reorder_ = false;
  std::map<std::int32_t, std::int32_t> trailing_; // key picture -> first picture after its leading ones
  Run run_;
  ff::FramePtr frame_;
  ff::PacketPtr packet_;
  ff::FramePtr lastGood_;
  std::int32_t lastGoodShown_ = -1;
  std::int32_t target_ = 0;
  bool delivered_ = false;
  std::deque<ff::FramePtr> held_; // outputs before picture 0 of the file, kept for numbering
};

} // namespace rw
