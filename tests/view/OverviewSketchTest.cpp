#include "view/OverviewSketch.h"
#include "view/OverviewScale.h"

#include "tests/view/DisplayTestProject.h"

#include <gtest/gtest.h>

namespace rw::view {
namespace {

using Path = Sketch::Path;

std::vector<Path> Paths(const Sketch& sketch) {
  std::vector<Path> paths;
  for (const auto& f : sketch.Figures()) {
    if (const auto* p = std::get_if<Path>(&f))
      paths.push_back(*p);
  }
  return paths;
}

TEST(OverviewScale, ColumnsAtKnownTotals) {
  // 737 pixels leave 729 columns between the margins.
  const OverviewScale one(737, 1);
  EXPECT_EQ(one.X(0), 4);
  EXPECT_EQ(one.X(1), 733);
  const OverviewScale exact(737, 729);
  for (std::int32_t f = 0; f <= 729; ++f) {
    EXPECT_EQ(exact.X(f), f + 4);
    EXPECT_EQ(exact.FrameAt(f + 4), f);
  }
  const OverviewScale many(737, 10000);
  EXPECT_EQ(many.X(5000), 369);
  EXPECT_EQ(many.X(10000), 733);
  EXPECT_EQ(OverviewScale(737, 0).X(123), 4);
  EXPECT_FALSE(OverviewScale(737, 0).FrameAt(100));
  // A click lands on a frame whose column is the clicked one, at every total.
  for (std::int32_t total : {1, 7, 300, 729, 730, 4567, 1 << 30}) {
    const OverviewScale s(737, total);
    for (std::int32_t x = 4; x <= 733; ++x) {
      const std::int32_t f = *s.FrameAt(x);
      EXPECT_LE(std::abs(s.X(f) - x), total < 729 ? 729 / total : 0) << total << " " << x;
    }
  }
}

TEST(OverviewSketch, MarkerIsATriangleWithASpanOrASmallTriangle) {
  EXPECT_EQ(Paths(OverviewSketch::Marker(737, 0, 0)).size(), 0u); // nothing without frames
  const auto wide = Paths(OverviewSketch::Marker(737, 10, 3));    // a frame spans 73 columns
  ASSERT_EQ(wide.size(), 2u);
  const std::int32_t g = OverviewScale(737, 10).X(3);
  EXPECT_EQ(wide[0].points, (std::vector<Point>{{g - 2, 0}, {g + 4, 0}, {g + 1, 4}}));
  EXPECT_TRUE(wide[0].closed);
  EXPECT_EQ(wide[1].points, (std::vector<Point>{{g, 5}, {OverviewScale(737, 10).X(4), 5}}));
  const auto narrow = Paths(OverviewSketch::Marker(737, 10000, 5000));
  ASSERT_EQ(narrow.size(), 1u);
  EXPECT_EQ(narrow[0].points, (std::vector<Point>{{366, 0}, {372, 0}, {369, 5}}));
}

TEST(OverviewSketch, BarMarksEveryBoundaryAndEachTransitionSpan) {
  test::DisplayTestProject p;
  p.Cut(1, 30);
  p.Cut(2, 40);
  p.Cut(3, 20);
  ASSERT_TRUE(p.Transition(1, 10));
  const pVideoClipList& list = p.project.List();
  ASSERT_EQ(list.TotalFrames(), 80);
  const Sketch bar = OverviewSketch::Bar(list, 737, 24);
  const OverviewScale s(737, 80);
  const std::int32_t mid = (24 + 7) / 2;
  const std::vector<Path> expected = {
      {{{s.X(0), 7}, {s.X(0), 24}}},      {{{s.X(20), 7}, {s.X(20), 24}}}, {{{s.X(30), 7}, {s.X(30), 24}}},
      {{{s.X(20), mid}, {s.X(30), mid}}}, {{{s.X(60), 7}, {s.X(60), 24}}}, {{{s.X(80), 7}, {s.X(80), 24}}},
  };
  EXPECT_EQ(Paths(bar), expected);
  // The white field with its black border inside the 4-pixel margins.
  EXPECT_EQ(std::get<Sketch::Box>(bar.Figures()[1]).rect, (Rect{3, 6, 730, 18}));
}

} // namespace
} // namespace rw::view
