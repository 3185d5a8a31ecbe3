#include "view/Navigation.h"

#include "project/VideoProject.h"

namespace rw::view {

std::optional<std::int32_t> Navigation::NeighbourCut(const VideoProject& project, bool forward) {
  const pVideoClipList& list = project.List();
  const ClipPos pos = forward ? list.NextCutPos(project.CurrentPos()) : list.PrevCutPos(project.CurrentPos());
  if (!list.IsValidPos(pos))
    return std::nullopt;
  return list.FrameOf(pos);
}

std::optional<std::int32_t> Navigation::First(const VideoProject& project) {
  if (project.List().TotalFrames() <= 0)
    return std::nullopt;
  return 0;
}

std::optional<std::int32_t> Navigation::Last(const VideoProject& project) {
  const std::int32_t total = project.List().TotalFrames();
  if (total <= 0)
    return std::nullopt;
  return total - 1;
}

} // namespace rw::view
