// The picture of the timeline at a position: which frames of which cuts are drawn, in which
// copy (display or source), and how a transition composes them.

#include "base/MessageText.h"
#include "media/ColormatClip.h"
#include "project/TimelineRenderer.h"
#include "project/VideoClipList.h"
#include "render/TransitionKinds.h"
#include "tests/support/TimelineTestMedia.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace rw {
namespace {

using test::FrameColor;
using test::NumberedCut;

struct CutPlan {
  std::int32_t length;
  std::int32_t trans = 0; // length of the transition into this cut
};

// Entries of NumberedCuts with ids 1, 2, 3, … and transitions of kind `kind`.
VideoClipList NumberedList(const std::vector<CutPlan>& cuts, int kind = TransitionKinds::kWipeL2R,
                           std::int32_t sourceWidth = 40, std::int32_t sourceHeight = 30,
                           const std::shared_ptr<test::SharedFrames>& frames = nullptr) {
  MessageText messages;
  VideoClipList list = VideoClipList::New();
  for (std::size_t i = 0; i < cuts.size(); ++i) {
    VideoTransition trans;
    if (cuts[i].trans > 0) {
      trans = TransitionKinds::MakeByIndex(kind);
      trans.SetLength(cuts[i].trans);
    }
    VideoClip cut = VideoClip::Make<NumberedCut>(static_cast<std::int32_t>(i + 1), cuts[i].length, 16, 12,
                                                 sourceWidth, sourceHeight, frames);
    EXPECT_TRUE(list->AppendEntry(ClipInfo(cut, trans, AudioClipSet::New()), messages)) << messages.Get();
  }
  return list;
}

// Two cuts joined by a cross-fade of `length` frames.
VideoClipList CrossFade(const VideoClip& outgoing, const VideoClip& incoming, std::int32_t length) {
  MessageText messages;
  VideoClipList list = VideoClipList::New();
  VideoTransition fade = TransitionKinds::MakeByIndex(TransitionKinds::kOverlap);
  EXPECT_TRUE(fade.SetLength(length));
  EXPECT_TRUE(list->AppendEntry(ClipInfo(outgoing), messages));
  EXPECT_TRUE(list->AppendEntry(ClipInfo(incoming, fade, AudioClipSet::New()), messages));
  return list;
}

DIB Solid(std::int32_t w, std::int32_t h, FrameColor c) {
  DIB dib;
  dib.Create(w, h);
  dib.FillColor(c.red, c.green, c.blue);
  return dib;
}

DIB Blank(std::int32_t w, std::int32_t h) {
  DIB dib;
  dib.Create(w, h);
  dib.Clear();
  return dib;
}

// The transition's own rendering of two solid pictures: what the timeline must show.
DIB Composed(const VideoTransition& trans, std::int32_t w, std::int32_t h, const DIB& outgoing,
             const DIB& incoming, std::int32_t step) {
  DIB dib = Blank(w, h);
  EXPECT_TRUE(trans.Render(dib.Header(), dib.Bits(), outgoing.Bits(), incoming.Bits(), step));
  return dib;
}

bool HasPixel(const DIB& dib, FrameColor c) {
  for (std::int32_t y = 0; y < dib.Height(); ++y) {
    const std::uint8_t* row = dib.Bits() + static_cast<std::size_t>(y) * dib.Stride();
    for (std::int32_t x = 0; x < dib.Width(); ++x) {
      if (row[3 * x] == c.blue && row[3 * x + 1] == c.green && row[3 * x + 2] == c.red)
        return true;
    }
  }
  return false;
}

// A cut of `length` frames whose display copy and source frame are one patterned picture, so
// that the two variants differ only in how they scale it.
class PatternCut : public pVideoClip {
public:
  PatternCut(std::int32_t seed, std::int32_t w, std::int32_t h, std::int32_t length) {
    picture_.Create(w, h);
    for (std::int32_t y = 0; y < h; ++y) {
      std::uint8_t* row = picture_.Bits() + static_cast<std::size_t>(y) * picture_.Stride();
      for (std::int32_t x = 0; x < 3 * w; ++x)
        row[x] = static_cast<std::uint8_t>((x * 37 + y * 11 + seed * 50) ^ (x * y));
    }
    length_ = length;
    endFrame_ = length - 1;
  }
  pVideoClip* Clone() const override { return new PatternCut(*this); }
  const BitmapInfoHeader* GetFormat() override { return picture_.Header(); }
  const std::uint8_t* GetFrame(std::int32_t) override { return picture_.Bits(); }
  const BitmapInfoHeader* GetSourceFormat() override { return picture_.Header(); }
  const std::uint8_t* GetSourceFrame(std::int32_t) override { return picture_.Bits(); }
  std::int32_t GetBeginFrame() const override { return 0; }
  std::int32_t GetEndFrame() const override { return length_ - 1; }
  std::int32_t GetSourceLength() const override { return length_; }
  bool IsValid() const override { return true; }
  const DIB& Picture() const { return picture_; }

private:
  DIB picture_;
};

class TimelineRenderFrameTest : public ::testing::Test {
protected:
  bool Render(const VideoClipList& list, DIB& out, const ClipPos& pos, bool quick) {
    return quick ? renderer.QuickFrame(*list, out, pos) : renderer.SmoothFrame(*list, out, pos);
  }

  // Every timeline frame of `list` rendered at w × h against the picture worked out from the
  // cut lengths and transition lengths alone.
  void CheckEveryFrame(const VideoClipList& list, const std::vector<CutPlan>& cuts, bool quick,
                       std::int32_t w, std::int32_t h) {
    DIB out = Blank(w, h);
    std::int32_t start = 0;
    std::int32_t f = 0;
    for (std::size_t k = 0; k < cuts.size(); ++k) {
      const auto id = static_cast<std::int32_t>(k + 1);
      const std::int32_t next = k + 1 < cuts.size() ? cuts[k + 1].trans : 0;
      for (; f < start + cuts[k].length - next; ++f) {
        const std::int32_t frame = f - start;
        SCOPED_TRACE("timeline frame " + std::to_string(f) + (quick ? " quick" : " smooth"));
        const ClipPos pos = list->PosAt(f);
        ASSERT_EQ(pos.index, static_cast<std::int32_t>(k));
        ASSERT_EQ(pos.frame, frame);
        ASSERT_TRUE(Render(list, out, pos, quick));
        const DIB in = Solid(w, h, NumberedCut::Color(id, frame, !quick));
        if (k > 0 && frame < cuts[k].trans) {
          const std::int32_t earlier = cuts[k - 1].length - cuts[k].trans + frame;
          const DIB before = Solid(w, h, NumberedCut::Color(id - 1, earlier, !quick));
          EXPECT_TRUE(out.IsSame(Composed(pos.info.trans, w, h, before, in, frame)));
        } else {
          EXPECT_TRUE(out.IsSame(in));
        }
      }
      start += cuts[k].length - next;
    }
    EXPECT_EQ(f, list->TotalFrames());
  }

  TimelineRenderer renderer;
};

TEST_F(TimelineRenderFrameTest, EveryFrameOfEveryTransitionKindInBothVariants) {
  const std::vector<CutPlan> cuts = {{40}, {30, 10}, {25, 5}, {12, 12}, {6}};
  for (int kind = 0; kind < TransitionKinds::Count(); ++kind) {
    SCOPED_TRACE(std::string(TransitionKinds::Keyword(kind)));
    const VideoClipList list = NumberedList(cuts, kind);
    CheckEveryFrame(list, cuts, false, 32, 24);
    CheckEveryFrame(list, cuts, true, 32, 24);
  }
}

TEST_F(TimelineRenderFrameTest, StepsZeroAndLastOfATransitionOfTenFrames) {
  const VideoClipList list = NumberedList({{40}, {30, 10}});
  DIB out = Blank(32, 24);
  ASSERT_TRUE(renderer.SmoothFrame(*list, out, list->PosAt(30)));
  EXPECT_TRUE(HasPixel(out, NumberedCut::Color(1, 30, true)));
  EXPECT_TRUE(HasPixel(out, NumberedCut::Color(2, 0, true)));
  ASSERT_TRUE(renderer.SmoothFrame(*list, out, list->PosAt(39)));
  EXPECT_TRUE(HasPixel(out, NumberedCut::Color(1, 39, true)));
  EXPECT_TRUE(HasPixel(out, NumberedCut::Color(2, 9, true)));
}

// The movie takes the incoming picture from the source frame as it does the outgoing one; the
// display copy would show a lower-resolution picture until the transition ends.
TEST_F(TimelineRenderFrameTest, SmoothTransitionUsesSourceFramesOfBothCuts) {
  const VideoClipList list = NumberedList({{20}, {20, 8}});
  DIB out = Blank(32, 24);
  for (std::int32_t f = 12; f < 20; ++f) {
    ASSERT_TRUE(renderer.SmoothFrame(*list, out, list->PosAt(f)));
    EXPECT_TRUE(HasPixel(out, NumberedCut::Color(2, f - 12, true))) << f;
    EXPECT_FALSE(HasPixel(out, NumberedCut::Color(2, f - 12, false))) << f;
    EXPECT_FALSE(HasPixel(out, NumberedCut::Color(1, f, false))) << f;
  }
}

// Two cuts of one decoder: asking for the later cut's frame overwrites the earlier one's block,
// so the outgoing picture must have been copied by then. Output and source sizes agree, so
// nothing would be scaled (and copied) on the way.
TEST_F(TimelineRenderFrameTest, CutsSharingOneDecoderComposeBothPictures) {
  const auto frames = std::make_shared<test::SharedFrames>();
  const std::vector<CutPlan> cuts = {{20}, {20, 6}};
  const VideoClipList list = NumberedList(cuts, TransitionKinds::kOverlap, 32, 24, frames);
  CheckEveryFrame(list, cuts, false, 32, 24);
  CheckEveryFrame(list, cuts, true, 16, 12);
}

TEST_F(TimelineRenderFrameTest, ColourMatsCrossFade) {
  VideoClipList list =
      CrossFade(VideoClip::Make<ColormatClip>(200, 0, 0), VideoClip::Make<ColormatClip>(0, 40, 240), 10);
  const VideoTransition fade = list->EntryAt(1).trans;
  list->SetDisplaySize(16, 12);
  DIB out = Blank(20, 16);
  const DIB red = Solid(20, 16, {200, 0, 0});
  const DIB blue = Solid(20, 16, {0, 40, 240});
  for (const bool quick : {false, true}) {
    for (std::int32_t step = 0; step < 10; ++step) {
      ASSERT_TRUE(Render(list, out, list->PosAt(20 + step), quick));
      EXPECT_TRUE(out.IsSame(Composed(fade, 20, 16, red, blue, step))) << step;
    }
    ASSERT_TRUE(Render(list, out, list->PosAt(19), quick));
    EXPECT_TRUE(out.IsSame(red));
    ASSERT_TRUE(Render(list, out, list->PosAt(30), quick));
    EXPECT_TRUE(out.IsSame(blue));
  }
}

// Frames outside the cut, invalid cuts and invalid positions are black; the answer is still
// true. Only an empty output buffer is refused.
TEST_F(TimelineRenderFrameTest, UndrawablePositionsGiveBlack) {
  VideoClipList list = NumberedList({{10}, {10}});
  const DIB black = Blank(16, 12);
  for (const bool quick : {false, true}) {
    DIB out = Solid(16, 12, {9, 9, 9});
    EXPECT_TRUE(Render(list, out, ClipPos(), quick));
    EXPECT_TRUE(out.IsSame(black));

    ClipPos past = list->PosAt(5);
    past.frame = 10;
    out.FillColor(9, 9, 9);
    EXPECT_TRUE(Render(list, out, past, quick));
    EXPECT_TRUE(out.IsSame(black));

    ClipPos negative = list->PosAt(5);
    negative.frame = -1;
    out.FillColor(9, 9, 9);
    EXPECT_TRUE(Render(list, out, negative, quick));
    EXPECT_TRUE(out.IsSame(black));

    out.FillColor(9, 9, 9);
    EXPECT_TRUE(Render(list, out, list->EndPos(), quick));
    EXPECT_TRUE(out.IsSame(black));

    ClipPos invalid = list->PosAt(12);
    static_cast<NumberedCut*>(invalid.info.clip.Get())->SetValid(false);
    out.FillColor(9, 9, 9);
    EXPECT_TRUE(Render(list, out, invalid, quick));
    EXPECT_TRUE(out.IsSame(black));

    DIB empty;
    EXPECT_FALSE(Render(list, empty, list->PosAt(3), quick));
    EXPECT_FALSE(empty.IsPresent());
  }
}

// The transition stored with the first entry overlaps nothing: the first cut's frames are
// drawn as they are.
TEST_F(TimelineRenderFrameTest, TransitionIntoTheFirstCutIsNotComposed) {
  const VideoClipList list = NumberedList({{20, 8}, {10}});
  ASSERT_EQ(list->TransOf(0), 8);
  DIB out = Blank(32, 24);
  for (std::int32_t f = 0; f < 8; ++f) {
    ASSERT_TRUE(renderer.SmoothFrame(*list, out, list->PosAt(f)));
    EXPECT_TRUE(out.IsSame(Solid(32, 24, NumberedCut::Color(1, f, true)))) << f;
  }
}

// An earlier cut that has lost its file is black inside the transition, as it is elsewhere.
TEST_F(TimelineRenderFrameTest, InvalidEarlierCutIsBlackInsideTheTransition) {
  const VideoClipList list = NumberedList({{20}, {20, 8}}, TransitionKinds::kOverlap);
  static_cast<NumberedCut*>(list->EntryAt(0).clip.Get())->SetValid(false);
  DIB out = Blank(32, 24);
  for (const bool quick : {false, true}) {
    ASSERT_TRUE(Render(list, out, list->PosAt(15), quick));
    const DIB in = Solid(32, 24, NumberedCut::Color(2, 3, !quick));
    EXPECT_TRUE(out.IsSame(Composed(list->EntryAt(1).trans, 32, 24, Blank(32, 24), in, 3)));
  }
}

// The work buffers follow the caller's size from one call to the next.
TEST_F(TimelineRenderFrameTest, AlternatingOutputSizes) {
  const std::vector<CutPlan> cuts = {{16}, {16, 8}};
  const VideoClipList list = NumberedList(cuts, TransitionKinds::kWipeE2I);
  for (int round = 0; round < 2; ++round) {
    CheckEveryFrame(list, cuts, false, 32, 24);
    CheckEveryFrame(list, cuts, false, 16, 12);
    CheckEveryFrame(list, cuts, true, 40, 32);
    CheckEveryFrame(list, cuts, true, 16, 12);
  }
}

// Inside a transition between pictures of other sizes than the output's, the quick picture is
// the transition's preview variant and the smooth one its quality variant, and the two differ.
TEST_F(TimelineRenderFrameTest, VariantsAreTheTransitionsPreviewAndQualityVariants) {
  auto outgoing = Handle<PatternCut>::Make(1, 37, 23, 20);
  auto incoming = Handle<PatternCut>::Make(2, 53, 41, 20);
  const VideoClipList list = CrossFade(outgoing, incoming, 8);
  const VideoTransition fade = list->EntryAt(1).trans;
  DIB quick = Blank(32, 24), smooth = Blank(32, 24), expected = Blank(32, 24);
  for (std::int32_t step = 0; step < 8; ++step) {
    ASSERT_TRUE(renderer.QuickFrame(*list, quick, list->PosAt(12 + step)));
    ASSERT_TRUE(fade.RenderQuick(expected, outgoing->Picture(), incoming->Picture(), step));
    EXPECT_TRUE(quick.IsSame(expected)) << step;
    ASSERT_TRUE(renderer.SmoothFrame(*list, smooth, list->PosAt(12 + step)));
    ASSERT_TRUE(fade.RenderSmooth(expected, outgoing->Picture(), incoming->Picture(), step));
    EXPECT_TRUE(smooth.IsSame(expected)) << step;
    EXPECT_FALSE(quick.IsSame(smooth)) << step;
  }
}

} // namespace
} // namespace rw
