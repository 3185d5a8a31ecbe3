#include "view/OverviewSketch.h"

#include "project/VideoClipList.h"
#include "view/OverviewScale.h"

namespace rw::view {

Sketch OverviewSketch::Bar(const pVideoClipList& list, std::int32_t width, std::int32_t height) {
  Sketch sketch;
  sketch.AddFill({0, 0, width, height}, kSilver);
  sketch.AddBox({3, 6, width - 7, height - 6}, kBlack, kWhite);
  const std::int32_t total = list.TotalFrames();
  if (total <= 0)
    return sketch;
  const OverviewScale scale(width, total);
  const std::int32_t middle = (height + 7) / 2;
  for (std::int32_t i = 0; i <= list.Count(); ++i) {
    const std::int32_t start = list.StartOf(i);
    const std::int32_t x = scale.X(start);
    sketch.AddPath({{x, 7}, {x, height}});
    const std::int32_t trans = list.TransOf(i);
    if (i < list.Count() && trans > 0) {
      const std::int32_t end = scale.X(std::int64_t{start} + trans);
      sketch.AddPath({{end, 7}, {end, height}});
      sketch.AddPath({{x, middle}, {end, middle}});
    }
  }
  return sketch;
}

Sketch OverviewSketch::Marker(std::int32_t width, std::int32_t total, std::int32_t current) {
  Sketch sketch;
  sketch.AddFill({0, 0, width, 6}, kSilver);
  if (total <= 0)
    return sketch;
  const OverviewScale scale(width, total);
  const std::int32_t g = scale.X(current);
  const std::int32_t h = scale.X(std::int64_t{current} + 1);
  if (g + 2 < h - 1) {
    sketch.AddPath({{g - 2, 0}, {g + 4, 0}, {g + 1, 4}}, kBlack, true);
    sketch.AddPath({{g, 5}, {h, 5}});
  } else {
    sketch.AddPath({{g - 3, 0}, {g + 3, 0}, {g, 5}}, kBlack, true);
  }
  return sketch;
}

} // namespace rw::view
