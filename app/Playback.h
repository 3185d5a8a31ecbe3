#pragma once

#include "audio/WaveOut.h"
#include "playback/WaveOutSink.h"
#include "project/PlaybackFeeder.h"
#include "project/TimelineRenderer.h"
#include "render/DIB.h"
#include "view/PlayClock.h"
#include "view/StepRepeat.h"

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>

namespace rw {
class VideoProject;
}

namespace rw::app {

struct MainFormWidgets;

// The transport of the main window: play with sound, playback of the selection (or of
// everything) with return to where it started, fast forward and rewind at three frames a step,
// frame steps that repeat while their button is held, and the jumps to cut boundaries. It owns
// the window's waveform output.
//
// Play runs as ticks of a precise single-shot timer, each armed to wake about 5 ms before the
// next frame is due, so the window handles its events between frames; view::PlayClock decides
// what every tick shows and drops. During play only the preview, the position marker and
// LabelTimeNow are drawn; the preview is the project's quick picture at the preview's size,
// rendered one frame ahead while there is time, so that a tick only has to show it. The
// sound runs 30 to 60 frames ahead of the picture through a PlaybackFeeder, from the start (for
// a project with sound) and again after any gap of over a second. While a modal dialog is up,
// no tick runs (the sound plays out what it has); the next tick sets picture and sound right.
//
// `refresh(frame, full)` is the window's display refresh (TMainForm::Refresh): frame -1 keeps
// the current time. Moves go through it (refresh(f, false)), and Stop ends with refresh(-1,
// true). The object is a child of the window's central widget (objectName "Playback").
class Playback : public QObject {
  Q_OBJECT
public:
  using Refresh = std::function<void(std::int32_t frame, bool full)>;
  using Mode = view::PlayClock::Mode;

  // Connects the ten transport buttons.
  Playback(MainFormWidgets& widgets, VideoProject& project, Refresh refresh);
  ~Playback() override;

  // Starts mode 1 (play), 2 (playback), 3 (fast forward) or 4 (rewind); nothing when that mode
  // runs already. Returns at once: the ticks run from the event loop.
  void Start(int mode);
  // Stops play and refreshes the display fully; answers whether play was running.
  bool Stop();
  bool Playing() const { return clock_.Playing(); }
  Mode CurrentMode() const { return clock_.CurrentMode(); }
  // One frame back or forward (the menu's and the arrow keys' steps); play goes on.
  void StepBack();
  void StepForward();
  // Stop, then the previous or next cut target when it is not negative.
  void PrevCut();
  void NextCut();

  const view::PlayClock& Clock() const { return clock_; }
  WaveOut& Sound() { return out_; }
  PlaybackFeeder& Feeder() { return feeder_; }
  // Ticks run since construction (not counting those a modal dialog held back).
  std::uint64_t Ticks() const { return ticks_; }
  // Whether the sound of the present run started (the device may still have refused to open).
  bool SoundStarted() const { return soundOn_; }
  // The frame the sound last started at and the clock then (-1 before any start).
  std::int32_t SoundFrom() const { return soundFrom_; }
  view::PlayClock::Ms SoundSince() const { return soundSince_; }
  // Called after every frame play shows, with that frame (measurements).
  void SetFrameShown(std::function<void(std::int32_t frame)> shown) { frameShown_ = std::move(shown); }

  // The millisecond clock of the pacing: the steady clock, unless tests set their own.
  static view::PlayClock::Ms SteadyNow();
  void SetClock(std::function<view::PlayClock::Ms()> clock) { now_ = std::move(clock); }

private:
  struct Repeater {
    Repeater(std::int32_t direction, const char* name);
    view::StepRepeat repeat;
    QTimer timer;
  };

  view::PlayClock::Ms Now() const { return now_ ? now_() : SteadyNow(); }
  void Tick();
  void Schedule();
  void ShowFrame(std::int32_t f);
  // Renders the frame the next tick will most likely show, while there is time before it is
  // due, so that the tick only has to show it.
  void RenderAhead(const view::PlayTimeline& timeline);
  // Restarts the sound at frame `from`: the device in the project's output format (kept when
  // it is open in that format), 60 frames queued, then playing. False when the sound could not
  // be queued (it is then closed).
  bool StartSound(std::int32_t from);
  void CloseSound();
  void TopUp();
  void Press(Repeater& r);
  void Release(Repeater& r);
  void RepeatStep(Repeater& r);
  void MoveTo(std::int32_t f);

  MainFormWidgets& w_;
  VideoProject& project_;
  Refresh refresh_;
  view::PlayClock clock_;
  QTimer playTimer_;
  Repeater prev_{-1, "TimerPrev"};
  Repeater next_{1, "TimerNext"};
  WaveOut out_;
  WaveOutSink sink_{out_};
  PlaybackFeeder feeder_;
  bool soundOn_ = false;
  TimelineRenderer renderer_;
  DIB frame_;
  // The frame rendered ahead, and the list it was rendered from (-1: none). An edit replaces the
  // list, so a picture of another list is never shown.
  DIB ahead_;
  std::int32_t aheadFrame_ = -1;
  const pVideoClipList* aheadList_ = nullptr;
  std::function<void(std::int32_t)> frameShown_;
  std::function<view::PlayClock::Ms()> now_;
  std::uint64_t ticks_ = 0;
  std::int32_t soundFrom_ = -1;
  view::PlayClock::Ms soundSince_ = 0;
};

} // namespace rw::app
