// One memory bound for the decoded pictures of many decoders: least recently used pictures of
// any decoder go first, the picture being decoded and what a decoder handed out stay, and the
// total stays within the bound.
#include "base/MessageText.h"
#include "base/UserPrompt.h"
#include "media/AviFrameCache.h"
#include "media/MediaContext.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestAvi.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace rw {
namespace {

// A 64 × 64 grey picture with buffers of its own.
ff::FramePtr Picture() {
  ff::FramePtr frame = ff::MakeFrame();
  frame->format = AV_PIX_FMT_GRAY8;
  frame->width = 64;
  frame->height = 64;
  EXPECT_EQ(av_frame_get_buffer(frame.get(), 0), 0);
  return frame;
}

TEST(FrameCacheBudgetTest, LeastRecentlyUsedPicturesOfAnyCacheGoFirst) {
  const ff::FramePtr picture = Picture();
  const std::size_t bytes = FrameCacheBudget::BytesOf(*picture);
  auto budget = std::make_shared<FrameCacheBudget>(4 * bytes);
  AviFrameCache a(budget), b(budget);
  ASSERT_TRUE(a.Insert(0, *picture));
  ASSERT_TRUE(a.Insert(1, *picture));
  ASSERT_TRUE(b.Insert(0, *picture));
  ASSERT_TRUE(b.Insert(1, *picture));
  EXPECT_EQ(a.Capacity(), 4u);
  ASSERT_NE(a.Find(0), nullptr); // a's picture 1 is now the least recently used
  ASSERT_TRUE(b.Insert(2, *picture));
  EXPECT_EQ(a.Find(1), nullptr);
  EXPECT_NE(a.Find(0), nullptr);
  ASSERT_TRUE(b.Insert(3, *picture)); // then b's picture 0
  EXPECT_EQ(b.Find(0), nullptr);
  EXPECT_EQ(budget->Total(), 4 * bytes);
  EXPECT_EQ(budget->Peak(), 4 * bytes);

  // A smaller limit evicts at once; a cache that goes gives its bytes back.
  budget->SetLimit(2 * bytes);
  EXPECT_EQ(budget->Pictures(), 2u);
  {
    AviFrameCache c(budget);
    ASSERT_TRUE(c.Insert(7, *picture));
    EXPECT_EQ(budget->Total(), 2 * bytes);
  }
  EXPECT_EQ(budget->Total(), bytes);
}

TEST(FrameCacheBudgetTest, ThePictureBeingDecodedStays) {
  const ff::FramePtr picture = Picture();
  const std::size_t bytes = FrameCacheBudget::BytesOf(*picture);
  auto budget = std::make_shared<FrameCacheBudget>(3 * bytes);
  AviFrameCache a(budget), b(budget);
  a.Protect(5);
  ASSERT_TRUE(a.Insert(5, *picture));
  for (int n = 0; n < 10; ++n) {
    ASSERT_TRUE(b.Insert(n, *picture));
    ASSERT_LE(budget->Total(), budget->Limit());
  }
  EXPECT_NE(a.Find(5), nullptr);
  EXPECT_EQ(b.Size(), 2u);

  // Larger than the whole budget: only the protected picture is kept, beside nothing else.
  budget->SetLimit(bytes / 2);
  EXPECT_EQ(budget->Pictures(), 1u);
  EXPECT_FALSE(b.Insert(20, *picture));
  a.Protect(6);
  EXPECT_TRUE(a.Insert(6, *picture));
  EXPECT_EQ(a.Find(5), nullptr);
  EXPECT_EQ(budget->Total(), bytes);
  a.Protect(-1);
  budget->SetLimit(bytes / 2);
  EXPECT_EQ(budget->Total(), 0u);
}

// Decoders of several files under one context share its budget: reading them all through keeps
// the total within it, every picture delivered is the right one, and what one decoder handed out
// stays intact while the others evict its cached pictures.
TEST(FrameCacheBudgetTest, DecodersOfOneContextShareTheBudget) {
  test::QuietMediaLibraries();
  test::TempDir dir;
  MessageText messages;
  FixedPrompt prompt;
  MediaContext context(messages, prompt);
  test::TestAviOptions o;
  o.frames = 12;
  std::vector<AviFrame> decoders;
  for (int i = 0; i < 3; ++i) {
    const auto file = dir / ("movie" + std::to_string(i) + ".avi");
    ASSERT_TRUE(test::WriteTestAvi(file, o));
    decoders.push_back(context.AviFiles().OpenDecoder(context.AviFiles().OpenStream(file, messages), 0, 0));
    ASSERT_TRUE(decoders.back()) << messages.Get();
    EXPECT_EQ(&decoders.back()->Cache().Budget(), &context.FrameCaches());
  }
  ASSERT_NE(decoders[0]->GetFrame(0), nullptr);
  context.FrameCaches().SetLimit(5 * context.FrameCaches().Total());
  context.FrameCaches().ResetPeak();

  const std::uint8_t* held = decoders[0]->GetFrame(3);
  ASSERT_NE(held, nullptr);
  for (int pass = 0; pass < 2; ++pass)
    for (std::size_t d = 1; d < decoders.size(); ++d)
      for (int n = o.frames - 1; n >= 0; --n) {
        const std::uint8_t* p = decoders[d]->GetFrame(n);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(test::ReadPictureNumber(p, o.width, o.height), n);
      }
  EXPECT_EQ(test::ReadPictureNumber(held, o.width, o.height), 3);
  EXPECT_EQ(decoders[0]->Cache().Size(), 0u);
  EXPECT_LE(context.FrameCaches().Peak(), context.FrameCaches().Limit());
  EXPECT_EQ(context.FrameCaches().Pictures(), 5u);
  EXPECT_EQ(test::ReadPictureNumber(decoders[0]->GetFrame(3), o.width, o.height), 3);
}

} // namespace
} // namespace rw
