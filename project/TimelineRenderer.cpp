#include "project/TimelineRenderer.h"

#include "media/AudioMix.h"
#include "media/VideoClip.h"
#include "output/settings/OutputInfo.h"
#include "render/VideoTransition.h"

#include <algorithm>
#include <limits>

namespace rw {
namespace {

constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kInt32Min = std::numeric_limits<std::int32_t>::min();

// a × b / c truncated toward zero, for b, c > 0: the value ScaleDiv gives, without its 32-bit
// limits (callers keep a × b within 64 bits).
constexpr std::int64_t ScaleDivWide(std::int64_t a, std::int64_t b, std::int64_t c) {
  return a * b / c;
}

std::int32_t Saturate(std::int64_t v) {
  return static_cast<std::int32_t>(std::clamp(v, kInt32Min, kInt32Max));
}

// The audio rate and frame rate of `output` when both are positive.
bool Rates(const OutputInfo& output, std::int64_t& rate, std::int64_t& fps) {
  rate = output.AudioRate();
  fps = output.VideoRate();
  return rate > 0 && fps > 0;
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
  if (pos.index < 0 || f < 0 || !cut || !cut->IsValid() || f >= cut->Length()) {
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
  if (earlier && earlier->IsValid() && g >= 0 && g < earlier->Length())
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
    header = black_.Header();
    bits = black_.Bits();
  } else if (!SameSize(*header, out)) {
    // Scaled here into a kept buffer rather than in a temporary of the transition's.
    if (!Match(incoming_, out)) {
      out.Clear();
      return true;
    }
    if (!(quick ? incoming_.QuickResizeFrom(header, bits) : incoming_.ResizeFrom(header, bits)))
      incoming_.Clear();
    header = incoming_.Header();
    bits = incoming_.Bits();
  }
  const bool rendered = quick
                            ? trans.RenderQuick(out, outgoing_.Header(), outgoing_.Bits(), header, bits, f)
                            : trans.RenderSmooth(out, outgoing_.Header(), outgoing_.Bits(), header, bits, f);
  if (!rendered)
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
      MixClip(entry.clip->Audio(), left.data(), right.data(), offset, n, fps, rate);
    for (std::int32_t k = 0; k < entry.audio.Count(); ++k)
      MixClip(entry.audio.At(k), left.data(), right.data(), offset, n, fps, rate);
    h += std::int64_t{list.LengthOf(i)} - list.TransOf(i + 1);
  }
  return true;
}

void TimelineRenderer::MixClip(const AudioClip& clip, std::int32_t* left, std::int32_t* right,
                               std::int64_t offset, std::int64_t n, std::int64_t fps, std::int64_t output) {
  if (clip.IsNull() || !clip->IsValid())
    return;
  const std::int64_t r = clip->GetRate();
  if (r <= 0)
    return;

  // Where the clip starts and how long it sounds, in output samples relative to the window.
  std::int64_t start = ScaleDivWide(clip->PlayFrame(), output, fps) - offset;
  std::int64_t length = ScaleDivWide(clip->Length(), output, r);
  if (start + length < 0 || start > n)
    return;
  std::int64_t source = 0;
  if (start < 0) {
    source = ScaleDivWide(-start, r, output);
    length += start;
    start = 0;
  }
  if (start + length > n)
    length = n - start;
  if (length <= 0)
    return;

  const std::int64_t k = ScaleDivWide(length + 1, r, output) + 1;
  if (source > kInt32Max || k > kInt32Max)
    return;
  const auto size = static_cast<std::size_t>(std::max(k, n + 10));
  if (readLeft_.size() < size) {
    readLeft_.resize(size);
    readRight_.resize(size);
  }
  std::int32_t* L = readLeft_.data();
  std::int32_t* R = readRight_.data();
  if (!AudioMix::ConvertSamples(*clip, L, R, static_cast<std::int32_t>(source), static_cast<std::int32_t>(k),
                                readBytes_))
    return;

  // Sample and hold through the source by the rate ratio, with an error term started at half
  // a step.
  const std::int64_t step = r / output;
  const std::int64_t remainder = r % output;
  std::int64_t error = remainder / 2;
  std::int64_t j = 0;
  std::int32_t cl = L[0] / 256;
  std::int32_t cr = R[0] / 256;
  for (std::int64_t i = start; i < start + length; ++i) {
    left[i] = Saturate(std::int64_t{left[i]} + cl);
    right[i] = Saturate(std::int64_t{right[i]} + cr);
    error += remainder;
    j += step;
    bool advanced = step > 0;
    if (error >= output) {
      ++j;
      error -= output;
      advanced = true;
    }
    if (advanced) {
      j = std::min(j, k - 1); // stays within the k frames read in any case
      cl = L[j] / 256;
      cr = R[j] / 256;
    }
  }
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
