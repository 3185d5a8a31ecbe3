// Frame-exact access to movies in MP4, MOV, MKV and WebM: every cut frame, asked for in any
// order, shows the picture the 30 fps mapping says, whatever the codec, rate and turn.
#include "base/MessageText.h"
#include "media/BgrRowConverter.h"
#include "media/ContainerRegistry.h"
#include "tests/support/ContainerTestFiles.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestAvi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace rw {
namespace {

using test::TestMovieCodec;
using test::TestMovieOptions;

struct MovieCase {
  const char* name;
  const char* extension;
  TestMovieOptions options;
};

// Names the case in test names and messages (the default prints the bytes, pointers included).
void PrintTo(const MovieCase& c, std::ostream* out) {
  *out << c.name;
}

TestMovieOptions Rate(int count, std::int64_t num, std::int64_t den, test::TestRational tb, int bFrames = 0,
                      TestMovieCodec codec = TestMovieCodec::H264) {
  TestMovieOptions o;
  o.codec = codec;
  o.pts = test::ConstantRatePts(count, num, den, tb);
  o.timeBase = tb;
  o.bFrames = bFrames;
  return o;
}

std::vector<MovieCase> Cases() {
  std::vector<MovieCase> cases;
  cases.push_back({"Mp4At30WithBFrames", ".mp4", Rate(60, 30, 1, {1, 30}, 2)});
  // Long enough for the first held picture (at frame 500).
  cases.push_back({"Mp4At2997", ".mp4", Rate(520, 30000, 1001, {1, 30000})});
  cases.push_back({"Mp4At25", ".mp4", Rate(50, 25, 1, {1, 25}, 2)});
  cases.push_back({"Mp4At60", ".mp4", Rate(90, 60, 1, {1, 60})});
  TestMovieOptions vfr;
  vfr.timeBase = {1, 1000};
  for (std::int64_t t : {0, 33, 50, 120, 130, 400, 433, 466, 1500, 1510, 1520, 2000})
    vfr.pts.push_back(t + 2000); // the first picture late: time zero is its time
  vfr.lastDuration = 40;
  vfr.gop = 4;
  cases.push_back({"Mp4VariableRate", ".mp4", vfr});
  cases.push_back({"MkvVariableRate", ".mkv", vfr});
  cases.push_back({"MkvAt30InMilliseconds", ".mkv", Rate(60, 30, 1, {1, 30}, 3)});
  cases.push_back({"Mp4TenBit", ".mp4", Rate(30, 30, 1, {1, 30}, 2)});
  cases.back().options.tenBit = true;
  TestMovieOptions wide = Rate(20, 30, 1, {1, 30});
  wide.pixelAspect = {2, 1};
  cases.push_back({"Mp4WidePixels", ".mp4", wide});
  for (const auto& [name, rotation, flip] : {std::tuple{"MovTurned90", 90, false},
                                             {"MovTurned180", 180, false},
                                             {"MovTurned270Mirrored", 270, true}}) {
    TestMovieOptions turned = Rate(24, 30, 1, {1, 30}, 1);
    turned.width = 160;
    turned.height = 96;
    turned.rotation = rotation;
    turned.hflip = flip;
    cases.push_back({name, ".mov", turned});
  }
  if (test::HasMovieEncoder(TestMovieCodec::Vp9)) {
    cases.push_back({"WebmVp9", ".webm", Rate(45, 30, 1, {1, 30}, 0, TestMovieCodec::Vp9)});
    cases.push_back({"WebmVp9OddSize", ".webm", Rate(12, 30, 1, {1, 30}, 0, TestMovieCodec::Vp9)});
    cases.back().options.width = 161;
    cases.back().options.height = 99;
  } else if (test::HasMovieEncoder(TestMovieCodec::Vp8))
    cases.push_back({"WebmVp8", ".webm", Rate(45, 30, 1, {1, 30}, 0, TestMovieCodec::Vp8)});
  if (test::HasMovieEncoder(TestMovieCodec::Av1))
    cases.push_back({"WebmAv1", ".webm", Rate(20, 30, 1, {1, 30}, 0, TestMovieCodec::Av1)});
  if (test::HasMovieEncoder(TestMovieCodec::Hevc))
    cases.push_back({"Mp4Hevc", ".mp4", Rate(40, 30, 1, {1, 30}, 2, TestMovieCodec::Hevc)});
  TestMovieOptions cover = Rate(20, 30, 1, {1, 30});
  cover.coverArt = true;
  cases.push_back({"Mp4WithCoverArt", ".mp4", cover});
  return cases;
}

class ContainerFrameTest : public ::testing::TestWithParam<MovieCase> {
protected:
  void SetUp() override {
    test::QuietMediaLibraries();
    options_ = GetParam().options;
    file_ = dir_ / (std::string("movie") + GetParam().extension);
    std::string error;
    ASSERT_TRUE(test::WriteTestMovie(file_, options_, &error)) << error;
    stream_ = registry_.OpenStream(file_, messages_);
    ASSERT_TRUE(stream_) << messages_.Get();
    decoder_ = registry_.OpenDecoder(stream_, 0, 0);
    ASSERT_TRUE(decoder_);
  }

  int Read(std::int32_t n) {
    const std::uint8_t* p = decoder_->GetFrame(n);
    return test::ReadMoviePictureNumber(p, decoder_->Width(), decoder_->Height(), options_.rotation,
                                        options_.hflip);
  }

  test::TempDir dir_;
  std::filesystem::path file_;
  TestMovieOptions options_;
  MessageText messages_;
  ContainerRegistry registry_;
  ContainerStream stream_;
  ContainerFrame decoder_;
};

TEST_P(ContainerFrameTest, LengthSizeAndNewFramesFollowTheMapping) {
  EXPECT_EQ(stream_->FrameCount(), test::ExpectedMovieFrames(options_));
  const bool across = options_.rotation % 180 != 0;
  const std::int64_t shownWidth = options_.width * options_.pixelAspect.num / options_.pixelAspect.den;
  EXPECT_EQ(stream_->FrameWidth(), across ? options_.height : shownWidth);
  EXPECT_EQ(stream_->FrameHeight(), across ? shownWidth : options_.height);
  for (std::int32_t n = 1; n < stream_->FrameCount(); ++n)
    EXPECT_EQ(stream_->IsNewFrame(n),
              test::ExpectedMoviePicture(options_, n) != test::ExpectedMoviePicture(options_, n - 1))
        << n;
  EXPECT_TRUE(stream_->IsKeyFrame(0));
}

TEST_P(ContainerFrameTest, SequentialBackwardAndRandomReadsShowTheMappedPicture) {
  const std::int32_t frames = stream_->FrameCount();
  for (std::int32_t n = 0; n < frames; ++n)
    ASSERT_EQ(Read(n), test::ExpectedMoviePicture(options_, n)) << "forwards " << n;
  // Backwards on a fresh decoder (no cache to lean on).
  decoder_ = ContainerFrame();
  registry_.SetCacheLimit(1);
  decoder_ = registry_.OpenDecoder(stream_, 0, 0);
  for (std::int32_t n = frames - 1; n >= 0; --n)
    ASSERT_EQ(Read(n), test::ExpectedMoviePicture(options_, n)) << "backwards " << n;
  std::mt19937 random(7);
  for (int i = 0; i < 60; ++i) {
    const std::int32_t n = static_cast<std::int32_t>(random() % static_cast<unsigned>(frames));
    ASSERT_EQ(Read(n), test::ExpectedMoviePicture(options_, n)) << "random " << n;
  }
}

// The picture delivered is the decoded one converted row by row and stood bottom-up, whichever
// way the decoder converts it, with zero row padding.
TEST_P(ContainerFrameTest, DeliveredPixelsAreTheDecodedPictureConvertedRowByRow) {
  if (options_.rotation != 0 || options_.hflip)
    GTEST_SKIP() << "turned pictures are checked by their picture numbers";
  const std::int32_t w = decoder_->Width(), h = decoder_->Height();
  const std::size_t stride = static_cast<std::size_t>(decoder_->Stride());
  BgrRowConverter reference;
  std::vector<std::uint8_t> rows;
  const std::int32_t frames = std::min(stream_->FrameCount(), 40);
  for (std::int32_t n = 0; n < frames; ++n) {
    const std::uint8_t* p = decoder_->GetFrame(n);
    ASSERT_NE(p, nullptr) << n;
    const std::vector<std::uint8_t> delivered(p, p + stride * static_cast<std::size_t>(h));
    const AVFrame* picture = decoder_->GetPicture(n);
    ASSERT_NE(picture, nullptr) << n;
    std::size_t rowStride = 0;
    const std::uint8_t* top = reference.Convert(*picture, w, h, rows, rowStride);
    ASSERT_NE(top, nullptr) << n;
    std::vector<std::uint8_t> expected(delivered.size(), 0);
    for (std::int32_t y = 0; y < h; ++y)
      std::copy_n(top + static_cast<std::size_t>(y) * rowStride, static_cast<std::size_t>(w) * 3,
                  expected.begin() +
                      static_cast<std::ptrdiff_t>(static_cast<std::size_t>(h - 1 - y) * stride));
    ASSERT_TRUE(delivered == expected) << "frame " << n;
  }
}

INSTANTIATE_TEST_SUITE_P(Movies, ContainerFrameTest, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<MovieCase>& info) { return info.param.name; });

} // namespace
} // namespace rw
