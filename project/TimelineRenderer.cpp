#include "project/TimelineRenderer.h"

#include "media/VideoClip.h"
#include "output/settings/OutputInfo.h"
#include "render/VideoTransition.h"

#include <algorithm>

namespace rw {
namespace {

// The audio rate and frame rate of `output` when both are positive.
bool Rates(const OutputInfo& output, std::int64_t& rate, std::int64_t& fps) {
  rate = output.AudioRate();
  fps = output.VideoRate();
  return rate > 0 && fps > 0;
}

// Whether `clip` has pictures to show: a valid cut, or the placeholder of an offline one.
bool Drawable(const pVideoClip* clip) {
  return clip && (clip->IsValid() || clip->IsOffline());
}

// Whether `header` describes a picture of the same size as `out`.
bool SameSize(const BitmapInfoHeader& header, const DIB& out) {
  return header.biWidth == out.Width() && header.biHeight == out.Height();
}

} // namespace

// --- Pictures ------------------------------------------------------------------------------------

bool TimelineRenderer::QuickFrame(const pVideoClipList& list, DIB& out, const ClipPos& pos) {
  return Frame(list, out, pos, true);
}

bool TimelineRenderer::SmoothFrame(const pVideoClipList& list, DIB& out, const ClipPos& pos) {
  return Frame(list, out, pos, false);
}

bool TimelineRenderer::Match(DIB& buffer, const DIB& like) {
  if (buffer.IsPresent() && buffer.Width() == like.Width() && buffer.Height() == like.Height())
    return true;
  return buffer.CreateLike(like);
}

void TimelineRenderer::ScaleFrame(pVideoClip* clip, std::int32_t f, DIB& target, bool quick) {
  bool drawn = false;
  if (clip) {
    drawn = quick ? target.QuickResizeFrom(clip->GetFormat(), clip->GetFrame(f))
                  : target.ResizeFrom(clip->GetSourceFormat(), clip->GetSourceFrame(f));
  }
  if (!drawn)
    target.Clear();
}

bool TimelineRenderer::Frame(const pVideoClipList& list, DIB& out, const ClipPos& pos, bool quick) {
  if (!out.IsPresent())
    return false;
  pVideoClip* cut = pos.info.clip.Get();
  const std::int32_t f = pos.frame;
  if (pos.index < 0 || f < 0 || !Drawable(cut) || f >= cut->Length()) {
    out.Clear();
    return true;
  }

  // The transition into the first entry overlaps nothing: its frames are the cut's own.
  const VideoTransition& trans = pos.info.trans;
  const std::int32_t t = pos.info.TransLength();
  if (pos.index == 0 || f >= t || !trans.IsPresent() || !Match(outgoing_, out)) {
    ScaleFrame(cut, f, out, quick);
    return true;
  }

  // The outgoing picture is copied first: the later cut may read the same decoder, whose frame
  // block the next request overwrites.
  const ClipInfo& before = list.EntryAt(pos.index - 1);
  pVideoClip* earlier = before.clip.Get();
  const std::int32_t g = f + before.Length() - t;
  if (Drawable(earlier) && g >= 0 && g < earlier->Length())
    ScaleFrame(earlier, g, outgoing_, quick);
  else
    outgoing_.Clear();

  const BitmapInfoHeader* header = quick ? cut->GetFormat() : cut->GetSourceFormat();
  const std::uint8_t* bits = quick ? cut->GetFrame(f) : cut->GetSourceFrame(f);
  if (!header || !bits || !DIB::IsReadable(*header)) {
    if (!Match(black_, out) || !black_.Clear()) {
      out.Clear();
      return true;
    }
    bits = black_.Bits();
  } else if (!SameSize(*header, out)) {
    // Scaled here into a kept buffer rather than in a temporary of the transition's.
    if (!Match(incoming_, out)) {
      out.Clear();
      return true;
    }
    if (!(quick ? incoming_.QuickResizeFrom(header, bits) : incoming_.ResizeFrom(header, bits)))
      incoming_.Clear();
    bits = incoming_.Bits();
  }
  // Both pictures have the output's size now: the variant's scaling is done.
  if (!trans.Render(out.Header(), out.Bits(), outgoing_.Bits(), bits, f))
    out.Clear();
  return true;
}

// --- Sound -------------------------------------------------------------------------------------

std::int64_t TimelineRenderer::SampleCount(const OutputInfo& output, std::int64_t a, std::int64_t b) {
  std::int64_t rate = 0;
  std::int64_t fps = 0;
  if (a < 0 || b < 0 || !Rates(output, rate, fps))
    return 0;
  return rate * (a + b) / fps - a * rate / fps;
}

std::int64_t TimelineRenderer::ByteCount(const OutputInfo& output, std::int64_t a, std::int64_t b) {
  const std::int64_t sampleBytes = output.AudioBits() == 8 ? 1 : 2;
  const std::int64_t channels = output.AudioChannels() == 1 ? 1 : 2;
  return SampleCount(output, a, b) * sampleBytes * channels;
}

void TimelineRenderer::ReserveMix(std::int64_t n) {
  // A few values more than the window needs, as the accumulators always had.
  const auto size = static_cast<std::size_t>(n + 32);
  if (mixLeft_.size() < size) {
    mixLeft_.resize(size);
    mixRight_.resize(size);
  }
}

bool TimelineRenderer::MixAudio(const pVideoClipList& list, std::span<std::int32_t> left,
                                std::span<std::int32_t> right, std::int32_t a, std::int32_t b) {
  std::int64_t rate = 0;
  std::int64_t fps = 0;
  if (a < 0 || b < 0 || !Rates(list.Output(), rate, fps))
    return false;
  const std::int64_t last = std::int64_t{a} + b;
  const std::int64_t e = std::int64_t{a} * rate / fps;
  const std::int64_t n = rate * last / fps - e;
  if (n > kMaxWindowSamples || left.size() < static_cast<std::size_t>(n) ||
      right.size() < static_cast<std::size_t>(n))
    return false;
  std::fill_n(left.begin(), n, 0);
  std::fill_n(right.begin(), n, 0);

  // Every entry is visited, also those that start after the window: a member anchored before
  // its cut (a negative anchor) sounds before the entry starts, and must do so whatever the
  // window's size.
  std::int64_t h = 0; // StartOf(i)
  for (std::int32_t i = 0; i < list.Count(); ++i) {
    const ClipInfo& entry = list.EntryAt(i);
    const std::int64_t offset = e - rate * h / fps;
    if (!entry.clip.IsNull())
      AudioMix::MixInto(entry.clip->Audio(), left.data(), right.data(), offset, n, fps, rate, mixScratch_);
    for (std::int32_t k = 0; k < entry.audio.Count(); ++k)
      AudioMix::MixInto(entry.audio.At(k), left.data(), right.data(), offset, n, fps, rate, mixScratch_);
    h += std::int64_t{list.LengthOf(i)} - list.TransOf(i + 1);
  }
  return true;
}

bool TimelineRenderer::RenderAudio(const pVideoClipList& list, std::vector<std::uint8_t>& out, std::int32_t a,
                                   std::int32_t b) {
  const std::int64_t bytes = ByteCount(list.Output(), a, b);
  if (a < 0 || b < 0 || SampleCount(list.Output(), a, b) > kMaxWindowSamples) {
    out.clear();
    return false;
  }
  out.resize(static_cast<std::size_t>(bytes));
  if (!RenderAudio(list, std::span<std::uint8_t>(out), a, b)) {
    out.clear();
    return false;
  }
  return true;
}

bool TimelineRenderer::RenderAudio(const pVideoClipList& list, std::span<std::uint8_t> buffer, std::int32_t a,
                                   std::int32_t b) {
  const OutputInfo& output = list.Output();
  const std::int64_t n = SampleCount(output, a, b);
  if (n > kMaxWindowSamples || buffer.size() < static_cast<std::size_t>(ByteCount(output, a, b)))
    return false;
  ReserveMix(n);
  if (!MixAudio(list, mixLeft_, mixRight_, a, b))
    return false;

  const bool mono = output.AudioChannels() == 1;
  const bool eight = output.AudioBits() == 8;
  std::uint8_t* p = buffer.data();
  const auto put16 = [&p](std::int32_t v) {
    const auto u = static_cast<std::uint16_t>(v);
    *p++ = static_cast<std::uint8_t>(u & 0xFF);
    *p++ = static_cast<std::uint8_t>(u >> 8);
  };
  for (std::int64_t i = 0; i < n; ++i) {
    const std::int32_t L = std::clamp(mixLeft_[static_cast<std::size_t>(i)], -32767, 32767);
    const std::int32_t R = std::clamp(mixRight_[static_cast<std::size_t>(i)], -32767, 32767);
    if (mono && eight) {
      *p++ = static_cast<std::uint8_t>((L + R + 65536) >> 9);
    } else if (mono) {
      put16((L + R) / 2);
    } else if (eight) {
      *p++ = static_cast<std::uint8_t>((L + 32768) >> 8);
      *p++ = static_cast<std::uint8_t>((R + 32768) >> 8);
    } else {
      put16(L);
      put16(R);
    }
  }
  return true;
}

bool TimelineRenderer::RenderAudioMono(const pVideoClipList& list, std::span<std::int32_t> values,
                                       std::int32_t a, std::int32_t b) {
  const std::int64_t n = SampleCount(list.Output(), a, b);
  if (n > kMaxWindowSamples || values.size() < static_cast<std::size_t>(n))
    return false;
  ReserveMix(n);
  if (!MixAudio(list, mixLeft_, mixRight_, a, b))
    return false;
  for (std::int64_t i = 0; i < n; ++i) {
    const auto at = static_cast<std::size_t>(i);
    // Summed in 64 bits: two saturated sides would overflow 32.
    values[at] = static_cast<std::int32_t>((std::int64_t{mixLeft_[at]} + mixRight_[at]) / 2);
  }
  return true;
}

} // namespace rw
