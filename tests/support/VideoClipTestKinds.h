#pragma once

// Clip kinds for tests of the cut interface: they keep whatever they are given and count how
// often they are copied and destroyed.

#include "media/AudioClip.h"
#include "media/VideoClip.h"

#include <cstdint>
#include <filesystem>
#include <string_view>

namespace rw::test {

struct KindCounters {
  int clones = 0;
  int destroyed = 0;
};

class TestAudioClip : public pAudioClip {
public:
  explicit TestAudioClip(KindCounters* counters = nullptr, bool valid = true)
      : counters_(counters), valid_(valid) {
    beginSample_ = 0;
    endSample_ = 999;
    length_ = 1000;
  }
  TestAudioClip(const TestAudioClip&) = default;
  ~TestAudioClip() override {
    if (counters_)
      ++counters_->destroyed;
  }

  pAudioClip* Clone() const override {
    if (counters_)
      ++counters_->clones;
    return new TestAudioClip(*this);
  }
  bool IsValid() const override { return valid_; }
  std::int32_t GetSourceLength() const override { return 1000; }
  std::int32_t GetBeginSample() const override { return beginSample_; }
  std::int32_t GetEndSample() const override { return endSample_; }
  bool SetBeginSample(std::int32_t n) override {
    beginSample_ = n;
    length_ = endSample_ - n + 1;
    return true;
  }
  bool SetEndSample(std::int32_t n) override {
    endSample_ = n;
    length_ = n - beginSample_ + 1;
    return true;
  }
  bool SetLength(std::int32_t n) override {
    length_ = n;
    endSample_ = beginSample_ + n - 1;
    return true;
  }

private:
  KindCounters* counters_;
  bool valid_;
};

// A movie-like cut: begin and end frames, a size, a file name and optionally its own sound.
class TestVideoClip : public pVideoClip {
public:
  explicit TestVideoClip(KindCounters* counters = nullptr, bool hasBeginEnd = true)
      : counters_(counters), hasBeginEnd_(hasBeginEnd) {
    width_ = 64;
    height_ = 48;
    beginFrame_ = 0;
    endFrame_ = 99;
    length_ = 100;
  }
  TestVideoClip(const TestVideoClip&) = default;
  ~TestVideoClip() override {
    if (counters_)
      ++counters_->destroyed;
  }

  pVideoClip* Clone() const override {
    if (counters_)
      ++counters_->clones;
    return new TestVideoClip(*this);
  }
  std::int32_t GetWidth() const override { return width_; }
  std::int32_t GetHeight() const override { return height_; }
  std::int32_t GetBeginFrame() const override { return beginFrame_; }
  std::int32_t GetEndFrame() const override { return endFrame_; }
  bool HasBeginEnd() const override { return hasBeginEnd_; }
  bool IsValid() const override { return valid_; }
  bool SetSize(std::int32_t w, std::int32_t h) override {
    width_ = w;
    height_ = h;
    return true;
  }
  bool SetBeginFrame(std::int32_t n) override {
    if (n < 0 || n > endFrame_)
      return false;
    beginFrame_ = n;
    return true;
  }
  bool SetEndFrame(std::int32_t n) override {
    endFrame_ = n;
    return true;
  }
  bool SetLength(std::int32_t n) override {
    length_ = n;
    return true;
  }
  std::string_view GetKindName() const override { return "Test"; }

  void SetValid(bool valid) { valid_ = valid; }
  void SetFileName(const std::filesystem::path& name) { fileName_ = name; }
  void SetAudio(AudioClip audio) { audio_ = std::move(audio); }
  void SetLoadedVolume(std::int32_t v) { loadedVolume_ = v; }

private:
  KindCounters* counters_;
  bool hasBeginEnd_;
  bool valid_ = true;
};

} // namespace rw::test
