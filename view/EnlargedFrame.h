#pragma once

namespace rw {
class DIB;
class TimelineRenderer;
class pVideoClipList;
struct ClipPos;
} // namespace rw

namespace rw::view {

// The picture of the enlarged view: the frame at a position at the movie's output size (or,
// while no output size is chosen, the source frame's own size), composed through the transition
// inside one. False, leaving `out` empty, where the position holds no valid cut.
class EnlargedFrame {
public:
  static bool Make(const pVideoClipList& list, const ClipPos& pos, TimelineRenderer& renderer, DIB& out);
};

} // namespace rw::view
