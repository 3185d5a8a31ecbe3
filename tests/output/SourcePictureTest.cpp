#include "output/SourcePicture.h"

#include "media/AviClip.h"
#include "media/FrameCacheBudget.h"
#include "output/CompressorCatalogue.h"
#include "output/MovieWriter.h"
#include "output/PictureConverter.h"
#include "tests/output/MovieCompileTestSupport.h"
#include "tests/support/TestAvi.h"

#include <gtest/gtest.h>

extern "C" {
#include <libavutil/pixdesc.h>
}

#include <algorithm>
#include <cstdlib>

namespace rw {
namespace {

using test::CompiledMovie;
using test::CompileProject;
using test::TestAviCodec;

constexpr int kWidth = 96;
constexpr int kHeight = 64;

std::filesystem::path Source(CompileProject& p, const char* name, TestAviCodec codec, int frames,
                             bool texture = true) {
  test::TestAviOptions options;
  options.codec = codec;
  options.width = kWidth;
  options.height = kHeight;
  options.frames = frames;
  options.texture = texture;
  const auto file = p / name;
  std::string error;
  EXPECT_TRUE(test::WriteTestAvi(file, options, &error)) << error;
  return file;
}

// How far two pictures of one planar YUV format are apart, luma and chroma apart: the largest
// difference of one sample and the mean over all samples.
struct PlaneDifference {
  int lumaLargest = 0;
  double lumaMean = 0;
  int chromaLargest = 0;
  double chromaMean = 0;
};

PlaneDifference Compare(const AVFrame& a, const AVFrame& b) {
  const auto* desc = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(a.format));
  PlaneDifference d;
  std::int64_t sum[2] = {};
  std::int64_t count[2] = {};
  for (int p = 0; p < 3; ++p) {
    const int w = p == 0 ? a.width : AV_CEIL_RSHIFT(a.width, desc->log2_chroma_w);
    const int h = p == 0 ? a.height : AV_CEIL_RSHIFT(a.height, desc->log2_chroma_h);
    int& largest = p == 0 ? d.lumaLargest : d.chromaLargest;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const int v = std::abs(a.data[p][y * a.linesize[p] + x] - b.data[p][y * b.linesize[p] + x]);
        largest = std::max(largest, v);
        sum[p > 0] += v;
        ++count[p > 0];
      }
  }
  d.lumaMean = static_cast<double>(sum[0]) / static_cast<double>(count[0]);
  d.chromaMean = static_cast<double>(sum[1]) / static_cast<double>(count[1]);
  return d;
}

// The round trip the pass-through replaces: the cut's 24-bit picture converted into `format`.
ff::FramePtr RoundTrip(pVideoClip& clip, std::int32_t f, AVPixelFormat format) {
  DIB picture;
  picture.Create(kWidth, kHeight);
  if (!picture.ResizeFrom(clip.GetSourceFormat(), clip.GetSourceFrame(f)))
    return nullptr;
  PictureConverter converter;
  std::string detail;
  ff::FramePtr frame = ff::MakeFrame();
  frame->format = format;
  frame->width = kWidth;
  frame->height = kHeight;
  if (!converter.Setup(format, kWidth, kHeight, detail) || av_frame_get_buffer(frame.get(), 0) < 0 ||
      !converter.Convert(picture, *frame))
    return nullptr;
  return frame;
}

// A movie of `frames` moving pictures (smooth gradients, a block, a thin diagonal) made from
// 24-bit pictures, as a camera's or another program's would be.
std::filesystem::path RgbSource(CompileProject& p, const char* name, const char* code, int frames) {
  const auto file = p / name;
  MessageText messages;
  MovieWriter writer(messages);
  MovieFormat format;
  format.width = kWidth;
  format.height = kHeight;
  VideoSource video;
  video.compressor = CompressorCatalogue::FindKnown(*CompressorCatalogue::ParseCode(code));
  video.settings.quality = 9500;
  EXPECT_EQ(writer.Open(file, format, video), MovieWriter::OpenResult::Opened) << writer.FailureDetail();
  for (int n = 0; n < frames; ++n)
    EXPECT_TRUE(writer.WritePicture(n, test::MovingPicture(kWidth, kHeight, n), false)) << messages.Get();
  EXPECT_TRUE(writer.Finish()) << messages.Get();
  return file;
}

// The decoded picture of every frame of a cut, taken in place of the 24-bit round trip, differs
// from it by the conversions' rounding and chroma filtering only. The bound: luma samples by at
// most 4 levels and 1.5 on average, chroma samples by 1 level on average and at most 24 (the
// round trip blurs the chroma of sharp edges); the next frame of these sources is 6.8 luma levels
// away on average or more. Full-range JPEG 4:2:2 pictures, limited-range MPEG-4 pictures, and
// H.264 with B-frames, whose pictures must come out in display order.
TEST(SourcePicture, DecodedPicturesDifferFromTheRoundTripByRoundingOnly) {
  struct Case {
    const char* what;
    AVPixelFormat format;
  };
  for (const Case c : {Case{"MJPG", AV_PIX_FMT_YUVJ422P}, Case{"FMP4", AV_PIX_FMT_YUV420P},
                       Case{"H264BFrames", AV_PIX_FMT_YUV420P}}) {
    CompileProject p;
    p.Output(kWidth, kHeight, "MJPG");
    const std::string what = c.what;
    const auto file = what == "H264BFrames" ? Source(p, "a.avi", TestAviCodec::H264BFrames, 30, false)
                                            : RgbSource(p, "a.avi", c.what, 30);
    ASSERT_TRUE(p.AddAvi(file, 4, 27));
    const pVideoClipList& list = p.List();
    for (std::int32_t i = 0; i < list.TotalFrames(); ++i) {
      const ClipPos pos = list.PosAt(i);
      const ff::FramePtr passed = SourcePicture::Take(pos, kWidth, kHeight, c.format);
      ASSERT_TRUE(passed) << c.what << " frame " << i;
      const ff::FramePtr trip = RoundTrip(*pos.info.clip, pos.frame, c.format);
      ASSERT_TRUE(trip) << i;
      const PlaneDifference d = Compare(*passed, *trip);
      EXPECT_LE(d.lumaLargest, 4) << c.what << " frame " << i;
      EXPECT_LE(d.lumaMean, 1.5) << c.what << " frame " << i;
      EXPECT_LE(d.chromaLargest, 24) << c.what << " frame " << i;
      EXPECT_LE(d.chromaMean, 1.0) << c.what << " frame " << i;
      // The neighbouring frame is far outside the bound: it would catch a wrong picture.
      if (i + 1 < list.TotalFrames()) {
        const ff::FramePtr next = RoundTrip(*pos.info.clip, pos.frame + 1, c.format);
        ASSERT_TRUE(next);
        EXPECT_GT(Compare(*passed, *next).lumaMean, 1.5) << c.what << " frame " << i;
      }
    }
  }
}

// Only frames that show a cut's picture unchanged pass through: not the steps of a transition,
// not another size, format, range or colour matrix, not stills.
TEST(SourcePicture, OnlyUnchangedFramesOfTheMoviesFormatPassThrough) {
  CompileProject p;
  p.Output(kWidth, kHeight, "MJPG");
  const auto a = Source(p, "a.avi", TestAviCodec::Mjpeg, 20);
  ASSERT_TRUE(p.AddAvi(a, 0, 19));
  ASSERT_TRUE(p.AddAvi(a, 0, 19));
  ASSERT_TRUE(p.AddMat(10, 20, 30, 5));
  ASSERT_TRUE(p.SetTransition(1, "WipeL2R", 6));
  const pVideoClipList& list = p.List();
  for (std::int32_t i = 0; i < list.TotalFrames(); ++i) {
    const ClipPos pos = list.PosAt(i);
    const bool expected = pos.index < 2 && !(pos.index == 1 && pos.frame < 6);
    EXPECT_EQ(SourcePicture::Take(pos, kWidth, kHeight, AV_PIX_FMT_YUVJ420P) != nullptr, expected) << i;
  }
  const ClipPos first = list.PosAt(0);
  EXPECT_FALSE(SourcePicture::Take(first, kWidth, kHeight, AV_PIX_FMT_YUVJ422P));
  EXPECT_FALSE(SourcePicture::Take(first, kWidth * 2, kHeight * 2, AV_PIX_FMT_YUVJ420P));

  ff::FramePtr picture = SourcePicture::Take(first, kWidth, kHeight, AV_PIX_FMT_YUVJ420P);
  ASSERT_TRUE(picture);
  EXPECT_TRUE(SourcePicture::Fits(*picture, kWidth, kHeight, AV_PIX_FMT_YUVJ420P));
  picture->colorspace = AVCOL_SPC_BT709;
  EXPECT_FALSE(SourcePicture::Fits(*picture, kWidth, kHeight, AV_PIX_FMT_YUVJ420P));
  picture->colorspace = AVCOL_SPC_SMPTE170M;
  picture->format = AV_PIX_FMT_YUV420P;
  picture->color_range = AVCOL_RANGE_JPEG; // full range in a limited layout
  EXPECT_FALSE(SourcePicture::Fits(*picture, kWidth, kHeight, AV_PIX_FMT_YUV420P));
  picture->color_range = AVCOL_RANGE_MPEG;
  EXPECT_TRUE(SourcePicture::Fits(*picture, kWidth, kHeight, AV_PIX_FMT_YUV420P));
}

// The movie takes the sources' pixel format when their pictures make up most of it and the
// compressor takes it at its own range with chroma no finer; otherwise it keeps its own.
TEST(SourcePicture, MovieFormatFollowsTheSourcesThatPassThroughMostFrames) {
  struct Case {
    const char* code;
    int stillFrames;
    AVPixelFormat expected;
  };
  for (const Case c : {Case{"MJPG", 5, AV_PIX_FMT_YUVJ420P}, Case{"MJPG", 40, AV_PIX_FMT_YUVJ422P},
                       Case{"FMP4", 5, AV_PIX_FMT_YUV420P}, Case{"HFYU", 5, AV_PIX_FMT_RGB24}}) {
    CompileProject p;
    p.Output(kWidth, kHeight, c.code, false, 44100, 16, 2, /*recompress=*/true);
    ASSERT_TRUE(p.AddAvi(Source(p, "a.avi", TestAviCodec::Mjpeg, 30), 0, 29));
    ASSERT_TRUE(p.AddMat(200, 40, 90, c.stillFrames));
    const auto out = p / "movie.avi";
    ASSERT_TRUE(p.Compile(out)) << p.Messages().Get();
    CompiledMovie movie;
    std::string error;
    ASSERT_TRUE(movie.Load(out, error)) << error;
    if (c.expected == AV_PIX_FMT_RGB24) // the lossless compressors keep their RGB layouts
      EXPECT_TRUE(av_pix_fmt_desc_get(static_cast<AVPixelFormat>(movie.parameters->format))->flags &
                  AV_PIX_FMT_FLAG_RGB);
    else
      EXPECT_EQ(movie.parameters->format, c.expected) << c.code << " " << c.stillFrames;
  }
}

// Compiled with and without the pass-through, the movies decode to the same pictures within the
// compressor's loss, and a repeated source picture is still left out.
TEST(SourcePicture, PassThroughMovieDecodesToTheRoundTripsPictures) {
  for (const char* code : {"MJPG", "H264"}) {
    if (!CompressorCatalogue().Find(*CompressorCatalogue::ParseCode(code)))
      continue;
    CompileProject p;
    p.Output(kWidth, kHeight, code, false, 44100, 16, 2, /*recompress=*/true);
    const auto a = RgbSource(p, "a.avi", "MJPG", 30);
    const auto b = Source(p, "b.avi", TestAviCodec::H264BFrames, 30, false);
    ASSERT_TRUE(p.AddAvi(a, 2, 25));
    ASSERT_TRUE(p.AddAvi(b, 3, 28));
    ASSERT_TRUE(p.AddAvi(a, 7, 7)); // one picture: the next cut shows it again
    ASSERT_TRUE(p.AddAvi(a, 7, 9));
    ASSERT_TRUE(p.SetTransition(1, "WipeE2I", 5));
    const auto passed = p / "passed.avi";
    const auto rendered = p / "rendered.avi";
    // The caches are held to the compile's size while it runs, and given their limit back.
    FrameCacheBudget& caches = p.Context().FrameCaches();
    const std::size_t limit = caches.Limit();
    std::size_t during = 0;
    ASSERT_TRUE(p.Compile(passed, 2, [&](int) {
      during = caches.Limit();
      return true;
    })) << p.Messages().Get();
    EXPECT_EQ(during, std::size_t{16} << 20);
    EXPECT_EQ(caches.Limit(), limit);
    const std::int64_t encoded = p.Compiler().Result().encodedPictures;
    EXPECT_GT(p.Compiler().Result().passedPictures, 20) << code;
    p.Compiler().SetPassThrough(false);
    ASSERT_TRUE(p.Compile(rendered)) << p.Messages().Get();
    EXPECT_EQ(encoded, p.Compiler().Result().encodedPictures) << code;
    EXPECT_EQ(p.Compiler().Result().passedPictures, 0) << code;

    CompiledMovie one;
    CompiledMovie two;
    std::string error;
    ASSERT_TRUE(one.Load(passed, error)) << error;
    ASSERT_TRUE(two.Load(rendered, error)) << error;
    ASSERT_EQ(one.frames, two.frames);
    EXPECT_EQ(one.Written(), two.Written()) << code;
    std::vector<DIB> first;
    std::vector<DIB> second;
    ASSERT_TRUE(one.Pictures(first, error)) << error;
    ASSERT_TRUE(two.Pictures(second, error)) << error;
    const std::vector<DIB> expected = p.ExpectedPictures();
    for (std::size_t i = 0; i < first.size(); ++i) {
      EXPECT_LE(test::MeanDifference(first[i], second[i]), 3.0) << code << " frame " << i;
      EXPECT_EQ(test::Closest(first[i], expected), test::Closest(second[i], expected))
          << code << " frame " << i;
    }
  }
}

} // namespace
} // namespace rw
