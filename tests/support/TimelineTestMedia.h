#pragma once

// Cuts and sounds for tests of the timeline's picture and sound: a cut whose every frame is a
// solid colour that names the cut, the frame and which copy (display or source) was asked for,
// and a sound whose samples come from a function of their position.

#include "media/AudioClip.h"
#include "media/VideoClip.h"
#include "render/DIB.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>

namespace rw::test {

struct FrameColor {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  friend bool operator==(const FrameColor&, const FrameColor&) = default;
};

// The frame blocks of one "decoder": every cut made over the same store paints its frames into
// these two buffers, so a frame pointer stays good only until the next request, as with two
// cuts of one movie file.
struct SharedFrames {
  DIB display;
  DIB source;
};

// A cut of `length` frames. Frame i is solid: blue = i & 255, green = i >> 8, red = 2 × id for
// the display copy (GetFrame, displayWidth × displayHeight) and 2 × id + 1 for the source
// frame (GetSourceFrame, sourceWidth × sourceHeight).
class NumberedCut : public pVideoClip {
public:
  NumberedCut(std::int32_t id, std::int32_t length, std::int32_t displayWidth = 16,
              std::int32_t displayHeight = 12, std::int32_t sourceWidth = 40, std::int32_t sourceHeight = 30,
              std::shared_ptr<SharedFrames> frames = nullptr)
      : id_(id), sourceWidth_(sourceWidth), sourceHeight_(sourceHeight),
        frames_(frames ? std::move(frames) : std::make_shared<SharedFrames>()) {
    width_ = displayWidth;
    height_ = displayHeight;
    beginFrame_ = 0;
    endFrame_ = length - 1;
    length_ = length;
  }
  NumberedCut(const NumberedCut&) = default;

  static FrameColor Color(std::int32_t id, std::int32_t frame, bool source) {
    return {static_cast<std::uint8_t>(2 * id + (source ? 1 : 0)),
            static_cast<std::uint8_t>(frame >> 8 & 0xFF), static_cast<std::uint8_t>(frame & 0xFF)};
  }

  pVideoClip* Clone() const override { return new NumberedCut(*this); }
  std::int32_t GetWidth() const override { return width_; }
  std::int32_t GetHeight() const override { return height_; }
  const BitmapInfoHeader* GetFormat() override { return Ready(frames_->display, width_, height_).Header(); }
  const std::uint8_t* GetFrame(std::int32_t i) override {
    return Paint(frames_->display, width_, height_, i, false);
  }
  const BitmapInfoHeader* GetSourceFormat() override {
    return Ready(frames_->source, sourceWidth_, sourceHeight_).Header();
  }
  const std::uint8_t* GetSourceFrame(std::int32_t i) override {
    return Paint(frames_->source, sourceWidth_, sourceHeight_, i, true);
  }
  std::int32_t GetBeginFrame() const override { return 0; }
  std::int32_t GetEndFrame() const override { return length_ - 1; }
  std::int32_t GetSourceLength() const override { return length_; }
  bool IsValid() const override { return valid_; }
  bool SetLength(std::int32_t n) override {
    if (n < 1)
      return false;
    length_ = n;
    endFrame_ = n - 1;
    return true;
  }
  std::string_view GetKindName() const override { return "Numbered"; }

  void SetValid(bool valid) { valid_ = valid; }
  void SetOwnAudio(AudioClip audio) { audio_ = std::move(audio); }

private:
  static DIB& Ready(DIB& dib, std::int32_t w, std::int32_t h) {
    if (dib.Width() != w || dib.Height() != h)
      dib.Create(w, h);
    return dib;
  }
  const std::uint8_t* Paint(DIB& dib, std::int32_t w, std::int32_t h, std::int32_t i, bool source) {
    if (i < 0 || i >= length_)
      return nullptr;
    const FrameColor c = Color(id_, i, source);
    Ready(dib, w, h).FillColor(c.red, c.green, c.blue);
    return dib.Bits();
  }

  std::int32_t id_;
  std::int32_t sourceWidth_;
  std::int32_t sourceHeight_;
  std::shared_ptr<SharedFrames> frames_;
  bool valid_ = true;
};

// A sound of `frames` sample frames whose stored values come from `sample`(frame, channel):
// signed 16-bit values, or unsigned bytes for 8 bits. Reads behave as a file's: cut at the end
// of the data, failing from outside it.
class ToneClip : public pAudioClip {
public:
  using Sample = std::function<std::int32_t(std::int32_t frame, std::int32_t channel)>;

  ToneClip(std::int32_t channels, std::int32_t bits, std::int32_t rate, std::int32_t frames, Sample sample)
      : frames_(frames), sample_(std::move(sample)) {
    channels_ = channels;
    bits_ = bits;
    rate_ = rate;
    beginSample_ = 0;
    endSample_ = frames - 1;
    length_ = frames;
  }
  ToneClip(const ToneClip&) = default;

  pAudioClip* Clone() const override { return new ToneClip(*this); }
  bool IsValid() const override { return valid_; }
  std::int32_t GetSourceLength() const override { return frames_; }
  std::int32_t GetBeginSample() const override { return beginSample_; }
  std::int32_t GetEndSample() const override { return endSample_; }
  bool SetBeginSample(std::int32_t n) override {
    if (n < 0 || n >= frames_ || n > endSample_)
      return false;
    beginSample_ = n;
    length_ = endSample_ - n + 1;
    return true;
  }
  bool SetEndSample(std::int32_t n) override {
    if (n < 0 || n >= frames_ || n < beginSample_)
      return false;
    endSample_ = n;
    length_ = n - beginSample_ + 1;
    return true;
  }
  bool SetLength(std::int32_t n) override {
    if (n < 0 || beginSample_ + n - 1 >= frames_)
      return false;
    endSample_ = beginSample_ + n - 1;
    length_ = n;
    return true;
  }
  bool ReadSamples(void* dest, std::int32_t first, std::int32_t count) override {
    const std::int64_t at = std::int64_t{beginSample_} + first;
    if (!valid_ || at < 0 || at >= frames_ || count < 0)
      return false;
    const auto end = static_cast<std::int32_t>(std::min<std::int64_t>(at + count, frames_));
    auto* out = static_cast<std::uint8_t*>(dest);
    for (auto f = static_cast<std::int32_t>(at); f < end; ++f) {
      for (std::int32_t ch = 0; ch < channels_; ++ch) {
        const std::int32_t v = sample_(f, ch);
        *out++ = static_cast<std::uint8_t>(v & 0xFF);
        if (bits_ != 8)
          *out++ = static_cast<std::uint8_t>(v >> 8 & 0xFF);
      }
    }
    return true;
  }

  // Source frame f (counted from the file's start), channel 0 or 1, in the signed 16-bit range
  // the mix works in (a mono sound gives both sides its one channel).
  std::int32_t Widened(std::int32_t f, std::int32_t channel) const {
    const std::int32_t ch = channels_ == 1 ? 0 : channel;
    const std::int32_t v = sample_(f, ch);
    return bits_ == 8 ? (v & 0xFF) * 257 - 32896 : static_cast<std::int16_t>(v & 0xFFFF);
  }
  std::int32_t Frames() const { return frames_; }
  void SetValid(bool valid) { valid_ = valid; }

private:
  std::int32_t frames_;
  Sample sample_;
  bool valid_ = true;
};

// A ToneClip of `frames` frames whose values are a fixed hash of position, channel and seed.
inline AudioClip HashTone(std::int32_t channels, std::int32_t bits, std::int32_t rate, std::int32_t frames,
                          std::uint32_t seed, std::int32_t playFrame = 0, std::int32_t volume = 256) {
  AudioClip clip =
      AudioClip::Make<ToneClip>(channels, bits, rate, frames, [seed](std::int32_t f, std::int32_t ch) {
        std::uint32_t x = static_cast<std::uint32_t>(f) * 2654435761u ^ (seed + 0x9E3779B9u * (ch + 1));
        x ^= x >> 15;
        x *= 2246822519u;
        x ^= x >> 13;
        return static_cast<std::int32_t>(x & 0xFFFF);
      });
  clip->SetPlayFrameMember(playFrame);
  clip->SetVolumeMember(volume);
  return clip;
}

// A ToneClip whose every sample is `left` on channel 0 and `right` on channel 1 (16-bit).
inline AudioClip ConstantTone(std::int32_t left, std::int32_t right, std::int32_t rate, std::int32_t frames,
                              std::int32_t playFrame = 0, std::int32_t volume = 256) {
  AudioClip clip = AudioClip::Make<ToneClip>(
      2, 16, rate, frames, [left, right](std::int32_t, std::int32_t ch) { return ch == 0 ? left : right; });
  clip->SetPlayFrameMember(playFrame);
  clip->SetVolumeMember(volume);
  return clip;
}

} // namespace rw::test
