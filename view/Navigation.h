#pragma once

#include <cstdint>
#include <optional>

namespace rw {
class VideoProject;
}

namespace rw::view {

// Where the navigation commands move the current time; none when they cannot move.
class Navigation {
public:
  // The same frame of the previous or next cut (its last frame when it is shorter).
  static std::optional<std::int32_t> NeighbourCut(const VideoProject& project, bool forward);
  // The first frame, or the last one (not the end position).
  static std::optional<std::int32_t> First(const VideoProject& project);
  static std::optional<std::int32_t> Last(const VideoProject& project);
};

} // namespace rw::view
