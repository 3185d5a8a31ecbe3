#pragma once

// Cuts, sounds and helpers for the tests of the project model.

#include "base/MessageText.h"
#include "base/UserPrompt.h"
#include "media/AudioClip.h"
#include "media/ColormatClip.h"
#include "media/MediaContext.h"
#include "media/VideoClip.h"
#include "project/VideoClipList.h"
#include "render/TransitionKinds.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace rw::test {

struct CloneCounter {
  int clones = 0;
};

// A cut with the trimming rules of a movie file: source frames begin..end of a source of fixed
// length. `source` tells the cuts of different "files" apart.
class MovieCut : public pVideoClip {
public:
  MovieCut(std::int32_t sourceLength, std::int32_t source = 0, CloneCounter* counter = nullptr)
      : sourceLength_(sourceLength), source_(source), counter_(counter) {
    width_ = 64;
    height_ = 48;
    beginFrame_ = 0;
    endFrame_ = sourceLength - 1;
    length_ = sourceLength;
  }
  MovieCut(const MovieCut&) = default;

  pVideoClip* Clone() const override {
    if (counter_)
      ++counter_->clones;
    return new MovieCut(*this);
  }
  std::int32_t GetWidth() const override { return width_; }
  std::int32_t GetHeight() const override { return height_; }
  std::int32_t GetBeginFrame() const override { return beginFrame_; }
  std::int32_t GetEndFrame() const override { return endFrame_; }
  bool HasBeginEnd() const override { return true; }
  std::int32_t GetSourceLength() const override { return sourceLength_; }
  bool IsValid() const override { return true; }
  bool IsMovieFile() const override { return true; }
  bool SetBeginFrame(std::int32_t n) override {
    if (n < 0 || n >= sourceLength_ || n > endFrame_)
      return false;
    beginFrame_ = n;
    length_ = endFrame_ - n + 1;
    return true;
  }
  bool SetEndFrame(std::int32_t n) override {
    if (n < 0 || n >= sourceLength_ || n < beginFrame_)
      return false;
    endFrame_ = n;
    length_ = n - beginFrame_ + 1;
    return true;
  }
  bool SetLength(std::int32_t n) override {
    if (n < 0 || beginFrame_ + n - 1 >= sourceLength_)
      return false;
    endFrame_ = beginFrame_ + n - 1;
    length_ = n;
    return true;
  }
  std::string_view GetKindName() const override { return "TestMovie"; }

  std::int32_t Source() const { return source_; }
  void SetOwnAudio(AudioClip audio) { audio_ = std::move(audio); }

private:
  std::int32_t sourceLength_;
  std::int32_t source_;
  CloneCounter* counter_;
};

// A colour mat that counts its copies.
class CountedMat : public ColormatClip {
public:
  CountedMat(std::uint32_t red, CloneCounter* counter) : ColormatClip(red, 0, 0), counter_(counter) {}
  CountedMat(const CountedMat&) = default;
  pVideoClip* Clone() const override {
    if (counter_)
      ++counter_->clones;
    return new CountedMat(*this);
  }

private:
  CloneCounter* counter_;
};

// A sound of `length` samples at `rate` with checked trimming.
class TestSound : public pAudioClip {
public:
  explicit TestSound(std::int32_t length = 44100, std::int32_t rate = 44100, CloneCounter* counter = nullptr)
      : sourceLength_(length), counter_(counter) {
    rate_ = rate;
    beginSample_ = 0;
    endSample_ = length - 1;
    length_ = length;
  }
  TestSound(const TestSound&) = default;
  pAudioClip* Clone() const override {
    if (counter_)
      ++counter_->clones;
    return new TestSound(*this);
  }
  bool IsValid() const override { return true; }
  std::int32_t GetSourceLength() const override { return sourceLength_; }
  std::int32_t GetBeginSample() const override { return beginSample_; }
  std::int32_t GetEndSample() const override { return endSample_; }
  bool SetBeginSample(std::int32_t n) override {
    if (n < 0 || n >= sourceLength_ || n > endSample_)
      return false;
    beginSample_ = n;
    length_ = endSample_ - n + 1;
    return true;
  }
  bool SetEndSample(std::int32_t n) override {
    if (n < 0 || n >= sourceLength_ || n < beginSample_)
      return false;
    endSample_ = n;
    length_ = n - beginSample_ + 1;
    return true;
  }
  bool SetLength(std::int32_t n) override {
    if (n < 0 || beginSample_ + n - 1 >= sourceLength_)
      return false;
    endSample_ = beginSample_ + n - 1;
    length_ = n;
    return true;
  }

private:
  std::int32_t sourceLength_;
  CloneCounter* counter_;
};

inline VideoClip Mat(std::int32_t length, std::uint32_t red = 255) {
  auto* mat = new ColormatClip(red, 0, 0);
  mat->SetLength(length);
  return VideoClip::Adopt(mat);
}

inline VideoClip Movie(std::int32_t length, std::int32_t source = 0, CloneCounter* counter = nullptr) {
  return VideoClip::Make<MovieCut>(length, source, counter);
}

inline AudioClip Sound(std::int32_t anchor, std::int32_t length = 44100, std::int32_t rate = 44100) {
  AudioClip clip = AudioClip::Make<TestSound>(length, rate);
  clip->SetPlayFrameMember(anchor);
  return clip;
}

inline VideoTransition Wipe(std::int32_t length, int kind = TransitionKinds::kWipeL2R) {
  VideoTransition trans = TransitionKinds::MakeByIndex(kind);
  trans.SetLength(length);
  return trans;
}

// A list of cuts of these lengths (colour mats, or movie cuts with `movies`) with the given
// transition lengths into each entry (missing ones are 0).
inline VideoClipList BuildList(const std::vector<std::int32_t>& lengths,
                               const std::vector<std::int32_t>& trans = {}, bool movies = false) {
  MessageText messages;
  VideoClipList list = VideoClipList::New();
  for (std::size_t i = 0; i < lengths.size(); ++i) {
    const std::int32_t t = i < trans.size() ? trans[i] : 0;
    ClipInfo entry(movies ? Movie(lengths[i], static_cast<std::int32_t>(i)) : Mat(lengths[i]),
                   t > 0 ? Wipe(t) : VideoTransition(), AudioClipSet::New());
    EXPECT_TRUE(list->AppendEntry(entry, messages)) << messages.Get();
  }
  return list;
}

// Every test of the model gets its own context.
class ModelTest : public ::testing::Test {
protected:
  MessageText messages;
  FixedPrompt prompt;
  MediaContext context{messages, prompt};
};

} // namespace rw::test
