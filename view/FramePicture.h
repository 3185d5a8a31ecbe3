#pragma once

namespace rw {
class DIB;
class TimelineRenderer;
class pVideoClipList;
struct ClipPos;
} // namespace rw

namespace rw::view {

// A frame of the timeline at full size, for the enlarged view and for the system clipboard.
// Inside a transition the composed frame is rendered at the movie's output size (the source
// frame's own size while no output size is chosen). Elsewhere the cut's source frame is taken:
// the enlarged view scales it to the output size, the clipboard keeps its own size. False,
// leaving `out` empty, where the position holds no valid cut.
class FramePicture {
public:
  static bool Enlarged(const pVideoClipList& list, const ClipPos& pos, TimelineRenderer& renderer, DIB& out);
  static bool ForClipboard(const pVideoClipList& list, const ClipPos& pos, TimelineRenderer& renderer,
                           DIB& out);

private:
  static bool Make(const pVideoClipList& list, const ClipPos& pos, TimelineRenderer& renderer,
                   bool outputSize, DIB& out);
};

} // namespace rw::view
