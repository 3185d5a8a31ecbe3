#include "view/TimelineDisplay.h"

#include "view/AudioImage.h"
#include "view/OverviewScale.h"
#include "view/WindowLayout.h"

#include "tests/view/DisplayTestProject.h"

#include <gtest/gtest.h>

namespace rw::view {
namespace {

using rw::test::FrameColor;
using rw::test::NumberedCut;
using test::ColorOf;

// Cuts 1 (30 frames), 2 (40, with a 10-frame overlap from cut 1) and 3 (20): 80 frames; the
// overlap is timeline frames 20 to 29.
class TimelineDisplayTest : public ::testing::Test {
protected:
  void SetUp() override {
    p.Cut(1, 30);
    p.Cut(2, 40);
    p.Cut(3, 20);
    ASSERT_TRUE(p.Transition(1, 10));
    display.Refresh(-1, true);
  }

  test::DisplayTestProject p;
  TimelineDisplay display{p.project};
};

TEST(TimelineDisplayEmpty, PlaceholdersHiddenSlotsNoMarker) {
  test::DisplayTestProject p;
  TimelineDisplay display(p.project);
  display.Refresh(-1, true);
  for (int slot = -4; slot <= 4; ++slot)
    EXPECT_FALSE(display.Strip().Slot(slot).shown) << slot;
  EXPECT_TRUE(display.Images().Preview().IsSame(display.Placeholders().Large()));
  EXPECT_TRUE(display.Images().FrameImage(-3).IsSame(display.Placeholders().Small()));
  EXPECT_EQ(display.TimeTotal(), "00:00:00");
  EXPECT_EQ(display.TimeNow(), "00:00:00");
  EXPECT_EQ(display.Marker().Figures().size(), 1u); // the cleared band only
  EXPECT_FALSE(display.Audio().InsertEnabled());
}

TEST_F(TimelineDisplayTest, SlotsShowTheirCutsAndTransitionFrames) {
  display.Refresh(22, false); // inside the overlap
  const StripSlot& now = display.Strip().Slot(0);
  ASSERT_TRUE(now.shown);
  EXPECT_TRUE(now.isTransition);
  EXPECT_EQ(now.beginFrame, 20);
  EXPECT_EQ(now.endFrame, 29);
  EXPECT_EQ(ColorOf(now.beginImage), NumberedCut::Color(1, 20, false)); // cut 1's frame 30 - 10
  EXPECT_EQ(ColorOf(now.endImage), NumberedCut::Color(2, 9, false));    // cut 2's frame 10 - 1
  EXPECT_EQ(now.lengthLabel, "00:10");
  const StripSlot& cut = display.Strip().Slot(1);
  EXPECT_FALSE(cut.isTransition);
  EXPECT_EQ(cut.beginFrame, 30);
  EXPECT_EQ(cut.endFrame, 59);
  EXPECT_FALSE(cut.endShown); // a cut without a source range shows its first frame only
  EXPECT_FALSE(cut.labelsShown);
  EXPECT_EQ(cut.lengthLabel, "01:10");

  EXPECT_EQ(display.Strip().Slot(-1).entry, 0);
  EXPECT_TRUE(display.Transition().nowIsTransition);
  EXPECT_EQ(display.Transition().length, "00:10");
  EXPECT_FALSE(display.Transition().addBeforeEnabled);
  EXPECT_FALSE(display.Transition().addAfterEnabled);

  display.Refresh(35, false); // past the overlap: it stands left of "Now"
  EXPECT_TRUE(display.Strip().Slot(-1).isTransition);
  EXPECT_FALSE(display.Transition().nowIsTransition);
  EXPECT_EQ(display.Transition().length, "--:--");
  EXPECT_FALSE(display.Transition().addBeforeEnabled);
  EXPECT_TRUE(display.Transition().addAfterEnabled);
  EXPECT_EQ(display.ClipRelativeTime(), "00:00:15");
}

TEST_F(TimelineDisplayTest, EndPositionEmptiesNowAndThePages) {
  display.Refresh(80, false);
  EXPECT_FALSE(display.Strip().Slot(0).shown);
  EXPECT_EQ(display.Strip().Slot(-1).entry, 2);
  EXPECT_EQ(display.Cut(), CutPage{});
  EXPECT_FALSE(display.Cut().rangeEnabled);
  EXPECT_FALSE(display.Audio().InsertEnabled());
  EXPECT_EQ(display.ClipRelativeTime(), "--:--:--");
  EXPECT_TRUE(display.Images().Preview().IsSame(display.Placeholders().Large()));
  EXPECT_EQ(ColorOf(display.Images().FrameImage(-1)), NumberedCut::Color(3, 19, false));
}

TEST_F(TimelineDisplayTest, SteppingDrawsOnlyWhatComesIntoView) {
  display.Refresh(40, false);
  const std::int64_t thumbnails = display.Strip().ThumbnailsMade();
  std::int64_t rendered = display.Images().FramesRendered();
  const auto step = [&](std::int32_t to) {
    display.Refresh(to, false);
    const std::int64_t now = display.Images().FramesRendered();
    const std::int64_t drawn = now - rendered;
    rendered = now;
    return drawn;
  };
  EXPECT_EQ(step(41), 2); // the preview and the image at +3
  EXPECT_EQ(step(40), 2);
  EXPECT_EQ(step(48), 8); // 8 frames on: every image is new
  EXPECT_EQ(step(48), 0);
  EXPECT_EQ(display.Strip().ThumbnailsMade(), thumbnails); // still in cut 2
  // Every image shows its own frame, moved or drawn.
  for (int slot : {-3, -2, -1, 1, 2, 3})
    EXPECT_EQ(ColorOf(display.Images().FrameImage(slot)), NumberedCut::Color(2, 48 + slot - 20, false))
        << slot;
  // Into cut 3: every slot it needs was in view already.
  display.Refresh(65, false);
  EXPECT_EQ(display.Strip().Slot(0).entry, 2);
  EXPECT_EQ(display.Strip().ThumbnailsMade(), thumbnails);
  // A full refresh draws everything again.
  display.Refresh(-1, true);
  EXPECT_GT(display.Strip().ThumbnailsMade(), thumbnails);
}

TEST_F(TimelineDisplayTest, SelectionBars) {
  display.Refresh(40, false);
  EXPECT_FALSE(display.Selection().cutBar.shown);
  p.project.StartSelection(SelMode::Frames, 38);
  p.project.SetSelectionEnd(42);
  display.RefreshSelection();
  const SelectionDisplay& s = display.Selection();
  EXPECT_EQ(s.frameBar.left, WindowLayout::FrameImage(-2).x);
  EXPECT_EQ(s.frameBar.right, WindowLayout::FrameImage(2).Right());
  // Inside cut 2, so a quarter slot in from both of its edges.
  EXPECT_EQ(s.cutBar.left, WindowLayout::SlotFrame(0).x + WindowLayout::kSlotWidth / 4);
  EXPECT_EQ(s.cutBar.right, WindowLayout::SlotFrame(0).Right() - WindowLayout::kSlotWidth / 4);
  const OverviewScale scale(WindowLayout::kImageProject.w, 80);
  EXPECT_EQ(s.lineFrom, scale.X(38) + 32);
  EXPECT_EQ(s.lineTo, scale.X(43) + 32);

  // Whole cuts 1 to 3, seen from cut 2: from cut 1's slot (behind the overlap's) to cut 3's.
  p.project.StartSelection(SelMode::Cuts, 5);
  p.project.SetSelectionEnd(75);
  display.RefreshSelection();
  EXPECT_EQ(display.Selection().cutBar.left, WindowLayout::SlotFrame(-2).x);
  EXPECT_EQ(display.Selection().cutBar.right, WindowLayout::SlotFrame(1).Right());
  EXPECT_EQ(display.Selection().frameBar.left, WindowLayout::FrameImage(-4).x - 20);
  EXPECT_EQ(display.Selection().frameBar.right, WindowLayout::FrameImage(4).Right() + 20);
}

TEST_F(TimelineDisplayTest, AudioPanelListsWhatSoundsAndKeepsTheSelection) {
  // Two sounds on cut 2 (starting at its frames 0 and 12), one of them at half volume.
  ASSERT_TRUE(p.project.AddAudioClip(rw::test::HashTone(2, 16, 44100, 44100, 1), p.project.List().PosAt(30)));
  ASSERT_TRUE(
      p.project.AddAudioClip(rw::test::HashTone(2, 16, 22050, 22050, 2, 0, 128), p.project.List().PosAt(32)));
  display.Refresh(33, true);
  ASSERT_EQ(display.Audio().Lines().size(), 2u);
  display.SelectAudioLine(1);
  const AudioPanel::Fields& f = display.Audio().Current();
  EXPECT_TRUE(f.enabled);
  EXPECT_EQ(f.begin, "01:02");
  EXPECT_EQ(f.total, "01:00");
  EXPECT_EQ(f.trackPosition, 6);
  EXPECT_EQ(f.volumeLabel, "-6dB");
  EXPECT_EQ(f.beginMax, 80);
  display.Refresh(34, false); // the same sounds: the selection stays
  EXPECT_EQ(display.Audio().SelectedLine(), 1);
  display.Refresh(5, false); // nothing sounds in cut 1
  EXPECT_TRUE(display.Audio().Lines().empty());
  EXPECT_FALSE(display.Audio().Current().enabled);
  EXPECT_EQ(display.Audio().Current().volumeLabel, "-");
}

TEST(AudioImage, ColumnsFromHighToLowRedWhereTheMixClips) {
  DIB image;
  ASSERT_TRUE(image.Create(80, 22));
  std::vector<std::int32_t> samples(1470, 0);
  samples[100] = 16384;   // column 5: up to a quarter of the height above the middle
  samples[1000] = -40000; // column 54: beyond full scale
  AudioImage::Draw(image, samples);
  const auto pixel = [&](int x, int y) {
    const std::uint8_t* p = image.Bits() + (21 - y) * image.Stride() + x * 3;
    return FrameColor{p[2], p[1], p[0]};
  };
  const FrameColor grey{128, 128, 128};
  const FrameColor black{0, 0, 0};
  EXPECT_EQ(pixel(5, 11 - 5), black); // 11 - 16384 * 22 / 65536
  EXPECT_EQ(pixel(5, 11 - 6), grey);
  EXPECT_EQ(pixel(54, 21), (FrameColor{255, 0, 0}));
  EXPECT_EQ(pixel(54, 0), grey);
  EXPECT_EQ(pixel(20, 11), black); // silence: one pixel on the middle line
  EXPECT_EQ(pixel(20, 10), grey);
}

} // namespace
} // namespace rw::view
