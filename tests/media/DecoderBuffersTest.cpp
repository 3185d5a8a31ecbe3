// Decoders that take their picture buffers from a DecoderBuffers: the same pictures as with
// libavcodec's own buffers, references that outlive the decoder, and released memory kept only
// up to the few spares.
#include "media/DecoderBuffers.h"
#include "media/AviFrameCache.h"
#include "media/FfmpegPtr.h"

extern "C" {
#include <libavutil/pixdesc.h>
}
#include "tests/support/ContainerTestFiles.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestAvi.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace rw {
namespace {

using test::TestMovieCodec;

struct Decoded {
  std::vector<ff::FramePtr> pictures;
  bool direct = false; // the decoder lets the caller provide its buffers
};

// Every picture of the movie's video stream, decoded with frame and slice threads; with the
// buffers of `buffers` when given.
Decoded DecodeAll(const std::filesystem::path& file, DecoderBuffers* buffers) {
  Decoded out;
  int error = 0;
  ff::InputPtr input = ff::OpenInput(file, nullptr, error);
  if (!input || avformat_find_stream_info(input.get(), nullptr) < 0)
    return out;
  const int stream = av_find_best_stream(input.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  if (stream < 0)
    return out;
  ff::CodecContextPtr codec = ff::OpenDecoder(
      *input->streams[stream]->codecpar,
      {.threadCount = 3, .threadType = FF_THREAD_FRAME | FF_THREAD_SLICE, .buffers = buffers});
  ff::PacketPtr packet = ff::MakePacket();
  if (!codec || !packet)
    return out;
  out.direct = codec->codec->capabilities & AV_CODEC_CAP_DR1;
  const auto receive = [&] {
    for (ff::FramePtr frame = ff::MakeFrame(); avcodec_receive_frame(codec.get(), frame.get()) == 0;
         frame = ff::MakeFrame())
      out.pictures.push_back(std::move(frame));
  };
  while (av_read_frame(input.get(), packet.get()) >= 0) {
    if (packet->stream_index == stream)
      avcodec_send_packet(codec.get(), packet.get());
    av_packet_unref(packet.get());
    receive();
  }
  avcodec_send_packet(codec.get(), nullptr);
  receive();
  return out;
}

bool SamePixels(const AVFrame& a, const AVFrame& b) {
  if (a.format != b.format || a.width != b.width || a.height != b.height)
    return false;
  const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(a.format));
  for (int plane = 0; plane < 3; ++plane) {
    const int rows = plane == 0 ? a.height : AV_CEIL_RSHIFT(a.height, desc->log2_chroma_h);
    const int bytes = plane == 0 ? a.width : AV_CEIL_RSHIFT(a.width, desc->log2_chroma_w);
    for (int y = 0; y < rows; ++y)
      if (std::memcmp(a.data[plane] + y * a.linesize[plane], b.data[plane] + y * b.linesize[plane], bytes))
        return false;
  }
  return true;
}

// Each codec's movie of 30 pictures, written in SetUp: 176 × 100 (not a multiple of every
// codec's alignment), B-pictures for H.264.
class DecoderBuffersTest : public ::testing::TestWithParam<TestMovieCodec> {
protected:
  void SetUp() override {
    test::QuietMediaLibraries();
    if (!test::HasMovieEncoder(GetParam()))
      GTEST_SKIP() << "no encoder for this codec";
    test::TestMovieOptions options;
    options.codec = GetParam();
    options.width = 176;
    options.height = 100;
    options.pts = test::ConstantRatePts(30, 30, 1, options.timeBase);
    options.bFrames = GetParam() == TestMovieCodec::H264 ? 2 : 0;
    options.texture = true;
    ASSERT_TRUE(test::WriteTestMovie(file_, options));
  }

  test::TempDir dir_;
  const std::filesystem::path file_ = dir_ / "movie.mkv";
};

TEST_P(DecoderBuffersTest, PicturesMatchLibavcodecsOwnAndOutliveTheDecoder) {
  const std::vector<ff::FramePtr> reference = DecodeAll(file_, nullptr).pictures;
  ASSERT_EQ(reference.size(), 30u);
  Decoded ours;
  {
    DecoderBuffers buffers;
    ours = DecodeAll(file_, &buffers);
    ASSERT_EQ(ours.pictures.size(), reference.size());
    for (const ff::FramePtr& frame : ours.pictures)
      EXPECT_EQ(buffers.Owns(*frame), ours.direct);
    EXPECT_FALSE(buffers.Owns(*reference.front())); // from libavcodec's pool
  }
  // The owner is gone; the pictures it handed out are whole (AddressSanitizer watches).
  for (std::size_t i = 0; i < reference.size(); ++i)
    EXPECT_TRUE(SamePixels(*ours.pictures[i], *reference[i])) << "picture " << i;
}

TEST_P(DecoderBuffersTest, ReleasedPicturesKeepOnlyTheSparesOfTheSharedStore) {
  DecoderBuffers buffers;
  Decoded decoded;
  {
    DecoderBuffers decoders = buffers; // another handle on the same store
    decoded = DecodeAll(file_, &decoders);
  }
  ASSERT_FALSE(decoded.pictures.empty());
  if (!decoded.direct) { // the decoder keeps buffers of its own: none come here
    decoded.pictures.clear();
    EXPECT_EQ(buffers.SpareBytes(), 0u);
    return;
  }
  const std::size_t largest = static_cast<std::size_t>(decoded.pictures.front()->buf[0]->size);
  decoded.pictures.clear();
  EXPECT_GT(buffers.SpareBytes(), 0u);
  EXPECT_LE(buffers.SpareBytes(), DecoderBuffers::kSpares * largest);
}

TEST_P(DecoderBuffersTest, CachesKeepReferencesToTheirBudgetsBuffersAndCopiesOfOthers) {
  auto budget = std::make_shared<FrameCacheBudget>();
  DecoderBuffers decoders = budget->Buffers();
  const Decoded ours = DecodeAll(file_, &decoders);
  const Decoded pooled = DecodeAll(file_, nullptr);
  ASSERT_FALSE(ours.pictures.empty());
  ASSERT_FALSE(pooled.pictures.empty());
  AviFrameCache cache(budget);
  ASSERT_TRUE(cache.Insert(0, *ours.pictures.front()));
  ASSERT_TRUE(cache.Insert(1, *pooled.pictures.front()));
  EXPECT_EQ(cache.Find(0)->data[0] == ours.pictures.front()->data[0], ours.direct);
  EXPECT_NE(cache.Find(1)->data[0], pooled.pictures.front()->data[0]);
  EXPECT_TRUE(SamePixels(*cache.Find(1), *pooled.pictures.front()));
}

std::string CodecName(const ::testing::TestParamInfo<TestMovieCodec>& info) {
  static const char* const names[] = {"H264", "Hevc", "Vp8", "Vp9", "Av1", "Mpeg4"};
  return names[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(Codecs, DecoderBuffersTest,
                         ::testing::Values(TestMovieCodec::H264, TestMovieCodec::Mpeg4, TestMovieCodec::Vp9,
                                           TestMovieCodec::Av1),
                         CodecName);

} // namespace
} // namespace rw
