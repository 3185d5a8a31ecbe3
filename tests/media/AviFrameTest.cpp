// Exact frame access: every picture, asked for in any order, is the picture a player shows at
// that index entry, for intra, inter, reordering and lossless codecs.
#include "base/MessageText.h"
#include "media/AviRegistry.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestAvi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

namespace rw {
namespace {

using test::TestAviCodec;
using test::TestAviOptions;

std::uint64_t Hash(const std::uint8_t* p, std::size_t n) {
  std::uint64_t h = 1469598103934665603ull;
  for (std::size_t i = 0; i < n; ++i)
    h = (h ^ p[i]) * 1099511628211ull;
  return h;
}

struct CodecCase {
  const char* name;
  TestAviCodec codec;
  int frames;
  int gop;
};

class AviFrameExactTest : public ::testing::TestWithParam<CodecCase> {
protected:
  void SetUp() override {
    test::QuietMediaLibraries();
    options_.codec = GetParam().codec;
    options_.frames = GetParam().frames;
    options_.gop = GetParam().gop;
    file_ = dir_ / "movie.avi";
    std::string error;
    ASSERT_TRUE(test::WriteTestAvi(file_, options_, &error)) << error;
    stream_ = registry_.OpenStream(file_, messages_);
    ASSERT_TRUE(stream_) << messages_.Get();
  }

  // Picture number and content hash of every entry, decoded front to back on a fresh decoder.
  void SequentialReference(std::vector<std::uint64_t>& hashes) {
    AviRegistry registry;
    AviStream stream = registry.OpenStream(file_, messages_);
    AviFrame decoder = registry.OpenDecoder(stream, 0, 0);
    ASSERT_TRUE(decoder);
    for (int n = 0; n < options_.frames; ++n) {
      const std::uint8_t* p = decoder->GetFrame(n);
      ASSERT_NE(p, nullptr) << n;
      EXPECT_EQ(test::ReadPictureNumber(p, options_.width, options_.height), n) << "sequential " << n;
      hashes.push_back(Hash(p, decoder->Format()->biSizeImage));
    }
  }

  void ExpectFrame(pAviFrame& decoder, int n, const std::vector<std::uint64_t>& reference,
                   const char* order) {
    const std::uint8_t* p = decoder.GetFrame(n);
    ASSERT_NE(p, nullptr) << order << " " << n;
    EXPECT_EQ(test::ReadPictureNumber(p, options_.width, options_.height), n) << order << " " << n;
    EXPECT_EQ(Hash(p, decoder.Format()->biSizeImage), reference[n]) << order << " " << n;
  }

  test::TempDir dir_;
  std::filesystem::path file_;
  TestAviOptions options_;
  MessageText messages_;
  AviRegistry registry_;
  AviStream stream_;
};

TEST_P(AviFrameExactTest, SequentialBackwardAndRandomOrdersAgree) {
  std::vector<std::uint64_t> reference;
  SequentialReference(reference);
  ASSERT_EQ(reference.size(), static_cast<std::size_t>(options_.frames));

  // Small caches make every order decode for real instead of hitting stored pictures.
  registry_.SetCacheLimit(0);
  AviFrame backward = registry_.OpenDecoder(stream_, 0, 0);
  ASSERT_TRUE(backward);
  for (int n = options_.frames - 1; n >= 0; --n)
    ExpectFrame(*backward, n, reference, "backward");

  AviRegistry other;
  other.SetCacheLimit(0);
  AviStream stream = other.OpenStream(file_, messages_);
  AviFrame random = other.OpenDecoder(stream, 0, 0);
  std::mt19937 rng(7);
  for (int i = 0; i < 3 * options_.frames; ++i)
    ExpectFrame(*random, static_cast<int>(rng() % options_.frames), reference, "random");

  // Jumps back and forth across key frames, and steps of two.
  for (int n = 0; n < options_.frames; n += 2)
    ExpectFrame(*random, n, reference, "every other");
  for (int n = options_.frames - 1; n >= 0; n -= 3)
    ExpectFrame(*random, n, reference, "back by three");
}

// The truth the other tests hold the decoder to: a player decoding the file front to back with
// FFmpeg alone shows the pictures in the order of their numbers.
TEST_P(AviFrameExactTest, APlayerShowsThePicturesInTheirOrder) {
  const std::vector<int> shown = test::PlayerOrderNumbers(file_);
  ASSERT_EQ(shown.size(), static_cast<std::size_t>(options_.frames));
  for (int n = 0; n < options_.frames; ++n)
    EXPECT_EQ(shown[n], n);
}

TEST_P(AviFrameExactTest, KeyFramesAgreeWithTheFileIndex) {
  const std::vector<test::TestAviIndexEntry> index = test::ReadVideoIndex(file_);
  ASSERT_EQ(index.size(), static_cast<std::size_t>(options_.frames));
  ASSERT_EQ(stream_->FrameCount(), options_.frames);
  for (int n = 0; n < options_.frames; ++n) {
    EXPECT_EQ(stream_->IsKeyFrame(n), index[n].key) << n;
    EXPECT_EQ(stream_->IsNewFrame(n), index[n].size > 0) << n;
  }
  EXPECT_TRUE(stream_->IsKeyFrame(0));
  EXPECT_FALSE(stream_->IsKeyFrame(-1));
  EXPECT_FALSE(stream_->IsNewFrame(options_.frames));
}

INSTANTIATE_TEST_SUITE_P(Codecs, AviFrameExactTest,
                         ::testing::Values(CodecCase{"Mjpeg", TestAviCodec::Mjpeg, 40, 12},
                                           CodecCase{"Mpeg4", TestAviCodec::Mpeg4, 60, 12},
                                           CodecCase{"Mpeg4BFrames", TestAviCodec::Mpeg4BFrames, 75, 12},
                                           CodecCase{"H264BFrames", TestAviCodec::H264BFrames, 75, 16},
                                           CodecCase{"Ffv1", TestAviCodec::Ffv1, 40, 10},
                                           CodecCase{"Huffyuv", TestAviCodec::Huffyuv, 30, 1},
                                           CodecCase{"RawBgr24", TestAviCodec::RawBgr24, 30, 1},
                                           CodecCase{"RawBgr24BottomUp", TestAviCodec::RawBgr24BottomUp, 30,
                                                     1},
                                           CodecCase{"RawPal8", TestAviCodec::RawPal8, 20, 1}),
                         [](const ::testing::TestParamInfo<CodecCase>& info) { return info.param.name; });

} // namespace
} // namespace rw
