#pragma once

#include <QIcon>

namespace rw::app {

// The pictures on the transport buttons, drawn in code: rewind, step back, stop, step forward,
// fast forward, play, play back, previous cut, next cut and the enlarged view.
class TransportIcons {
public:
  enum class Kind {
    Rewind,
    StepBack,
    Stop,
    StepForward,
    FastForward,
    Play,
    Playback,
    PrevCut,
    NextCut,
    Show
  };
  static QIcon Make(Kind kind);
};

} // namespace rw::app
