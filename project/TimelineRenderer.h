#pragma once

#include "media/AudioClip.h"
#include "media/AudioMix.h"
#include "project/ClipPos.h"
#include "project/VideoClipList.h"
#include "render/DIB.h"

#include <cstdint>
#include <span>
#include <vector>

namespace rw {

class OutputInfo;

// Turns a clip list into picture and sound: the picture of the timeline at a position, composed
// through the transition where two cuts overlap, and the mixed sound of a stretch of frames in
// the list's output audio format (rates and format from the list's OutputInfo).
//
// Every user of a list keeps one renderer (the editor's preview, the movie compile, the
// command-line tool). The list is passed to each call, so that an edit that replaces the list
// needs no notice. The work buffers (scaled pictures, mix accumulators, conversion arrays) grow
// to the largest size asked for and are then reused: rendering frame after frame allocates
// nothing once they have grown. A renderer is used by one thread at a time.
//
// Sample positions are worked out in 64 bits, so that windows far into a long timeline (past
// about 25 minutes at 48000 samples per second, where rate × frame leaves 32 bits) mix the
// same sound as the first minutes; wherever the 32-bit forms do not overflow the results are
// the same to the sample.
class TimelineRenderer {
public:
  // Largest number of output samples one MixAudio, RenderAudio or RenderAudioMono window may
  // hold (over 11 minutes at 48000 samples per second); larger windows are refused.
  static constexpr std::int64_t kMaxWindowSamples = std::int64_t{1} << 25;

  TimelineRenderer() = default;
  TimelineRenderer(const TimelineRenderer&) = delete;
  TimelineRenderer& operator=(const TimelineRenderer&) = delete;
  TimelineRenderer(TimelineRenderer&&) noexcept = default;
  TimelineRenderer& operator=(TimelineRenderer&&) noexcept = default;

  // --- Pictures ------------------------------------------------------------------------------
  // Fill `out`, already created at the wanted size, with the timeline's picture at `pos`
  // (entry index and frame within its cut; the position's own entry supplies the cut and the
  // incoming transition, the list supplies the earlier cut).
  //
  // Inside a transition (frame f below the length T of the transition into the cut) step f
  // of the transition composes frame len - T + f of the earlier cut with frame f of the cut.
  // Elsewhere the cut's frame f is scaled into `out`. A position without a drawable frame
  // gives black; an offline cut gives its placeholder picture. The earlier cut's picture is copied before the
  // later cut's frame is asked for, so two cuts reading one decoder compose correctly.
  //
  // The quick picture, for the editor, takes the frames as the cuts deliver them (their
  // display copies) and scales them to the nearest pixel: the transition's preview variant. The
  // smooth picture, for the movie, takes both cuts' source frames and resamples them with
  // smoothing: the transition's quality variant. The variants differ only in that scaling, of
  // pictures whose size is not the output's; the renderer scales both pictures into its own
  // buffers first, so the transition composes two pictures of the output size.
  //
  // False only when `out` is empty (it is left so).
  bool QuickFrame(const pVideoClipList& list, DIB& out, const ClipPos& pos);
  bool SmoothFrame(const pVideoClipList& list, DIB& out, const ClipPos& pos);

  // --- Sound ---------------------------------------------------------------------------------
  // Output samples of frames a .. a + b - 1: rate × (a + b) / fps - rate × a / fps (truncating
  // divisions, rates from `output`). The counts of consecutive windows add up exactly. 0 when
  // a or b is negative or a rate is not positive.
  static std::int64_t SampleCount(const OutputInfo& output, std::int64_t a, std::int64_t b);
  // Bytes RenderAudio writes for that window: samples × channels × bytes per sample.
  static std::int64_t ByteCount(const OutputInfo& output, std::int64_t a, std::int64_t b);

  // Sets left[0 .. n - 1] and right[0 .. n - 1] (n = SampleCount) to the sum of every audio
  // clip that sounds in frames a .. a + b - 1: each cut's own sound and each member of each
  // audio set, mixed by AudioMix::MixInto (rate-converted to the output rate by sample and
  // hold, each sample scaled by its clip's volume / 256, sums saturating at the 32-bit range
  // instead of wrapping), anchored at the first sample of its entry. False (nothing
  // written) when a or b is negative, a rate is not positive, a span holds fewer than n values
  // or n exceeds kMaxWindowSamples.
  bool MixAudio(const pVideoClipList& list, std::span<std::int32_t> left, std::span<std::int32_t> right,
                std::int32_t a, std::int32_t b);

  // The window's sound in the output sample format: both sides limited to -32767 .. 32767, then
  // 8-bit mono (L + R + 65536) >> 9; 16-bit mono (L + R) / 2; 8-bit stereo (L + 32768) >> 8 and
  // (R + 32768) >> 8; 16-bit stereo L, R; 16-bit values little-endian. Writes ByteCount bytes
  // to the front of `buffer`; false (nothing written) when it is shorter or MixAudio refuses
  // the window.
  bool RenderAudio(const pVideoClipList& list, std::span<std::uint8_t> buffer, std::int32_t a,
                   std::int32_t b);
  // The same into `out`, which is resized to exactly ByteCount bytes (its storage is reused
  // when large enough); on failure `out` is empty.
  bool RenderAudio(const pVideoClipList& list, std::vector<std::uint8_t>& out, std::int32_t a,
                   std::int32_t b);
  // The window's sound without limiting, one value per sample: (L + R) / 2 truncated toward
  // zero. Writes SampleCount values; false as for MixAudio.
  bool RenderAudioMono(const pVideoClipList& list, std::span<std::int32_t> values, std::int32_t a,
                       std::int32_t b);

private:
  bool Frame(const pVideoClipList& list, DIB& out, const ClipPos& pos, bool quick);
  // Scales frame f of `clip` into `target` (created at the output size); clears it when the
  // cut has no such frame.
  static void ScaleFrame(pVideoClip* clip, std::int32_t f, DIB& target, bool quick);
  // Gives `buffer` the size of `like` unless it has it already.
  static bool Match(DIB& buffer, const DIB& like);
  // Grows the mix accumulators to hold n values each.
  void ReserveMix(std::int64_t n);

  // Pictures at the output size: the outgoing picture of a transition, the incoming one when
  // it must be scaled first, and the black stand-in for a missing picture.
  DIB outgoing_;
  DIB incoming_;
  DIB black_;
  // Mix accumulators of RenderAudio and RenderAudioMono.
  std::vector<std::int32_t> mixLeft_;
  std::vector<std::int32_t> mixRight_;
  // One clip's samples converted to 32 bits, and the raw bytes read.
  AudioMix::Scratch mixScratch_;
};

} // namespace rw
