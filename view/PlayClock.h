#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace rw {
class VideoProject;
}

namespace rw::view {

// What play needs to know of the project at one moment.
struct PlayTimeline {
  std::int32_t total = 0;
  std::int32_t current = 0;
  // The first and last frame of the selection, when one is active.
  std::optional<std::int32_t> selectionFirst;
  std::int32_t selectionLast = 0;
  // The clip list has at least one audio clip.
  bool hasSound = false;

  static PlayTimeline Of(const VideoProject& project);
};

// The play modes of the preview and their pacing, worked out against a millisecond clock that
// the caller reads: where a start begins, which frame each tick shows, which frames are
// dropped to keep time, when play ends and where it leaves the time, when the sound must be
// started again, and the counts of the end-of-play line.
//
// Pacing: each tick adds the milliseconds since the last one, times the frame rate, to an
// accumulator; every 1000 in it (strictly more than 1000 must be there) is one step of the
// mode: one frame forward (play, playback), three forward (fast forward) or three back
// (rewind). Frames passed over by several steps in one tick, or by a step of three, are not
// shown. A gap of more than a second between ticks counts as one second and asks for the
// sound to start again at the frame shown, so that picture and sound meet again.
class PlayClock {
public:
  enum class Mode { Stopped = 0, Play = 1, Playback = 2, FastForward = 3, Rewind = 4 };
  using Ms = std::int64_t;

  static constexpr Ms kWakeEarly = 5;
  static constexpr Ms kLongestGap = 1000;
  static constexpr std::int32_t kStep = 1000;

  struct Started {
    // The mode was running already: nothing changed.
    bool ignored = false;
    // Play was running in another mode and goes on in this one without starting again.
    bool switched = false;
    // Where play starts: the current time, or the frame it moves to first (without drawing).
    std::int32_t from = 0;
    bool moved = false;
    // The sound starts at `from` (play and playback of a project with sound).
    bool sound = false;
  };

  struct Tick {
    enum class Action { None, Show, Finish };
    Action action = Action::None;
    // Show: the frame to show (it becomes the current time). Finish: where play leaves the
    // current time before stopping.
    std::int32_t frame = 0;
    // Show: the clock was set back after a gap or at frame 0; the sound is to start again at
    // `frame` (when `sound`), and Restarted is to be called with the clock after that.
    bool resync = false;
    // The mode plays sound: its queue is to be topped up after the frame is shown.
    bool sound = false;
    // Finish: play reached the end of the timeline; the end-of-play line is shown.
    bool endLine = false;
  };

  // The output frame rate the pacing uses: 30 when it is below 1.
  static int FrameRate(int outputRate) { return outputRate < 1 ? 30 : outputRate; }

  // Starts `mode` (Play .. Rewind) at clock `now`. Play and fast forward at the end position
  // start from frame 0; playback remembers the current time to return to and starts at the
  // first frame of the selection (frame 0 without one); rewind at frame 0 starts from the last
  // frame. While play runs in another mode, the mode changes and the pacing goes on.
  Started Start(Mode mode, const PlayTimeline& timeline, int fps, Ms now);
  // One tick of the loop at clock `now`, for the timeline as it is now.
  Tick Advance(const PlayTimeline& timeline, Ms now);
  // After a resync: the pacing counts afresh from `now`.
  void Restarted(Ms now);
  void Stop() { mode_ = Mode::Stopped; }

  // How long the loop waits before its next tick: the next frame is due 1000 / fps ms after
  // the last tick; wake kWakeEarly ms before that, or at once when that is past.
  Ms SleepBefore(Ms now) const;
  // The frame one step of the mode after `from` shows, when play would go on to it (within the
  // timeline, and for playback within its range): what a tick will most likely show next.
  std::optional<std::int32_t> NextFrame(const PlayTimeline& timeline, std::int32_t from) const;

  Mode CurrentMode() const { return mode_; }
  bool Playing() const { return mode_ != Mode::Stopped; }
  // Frames shown since play started, the frame it started at included.
  std::int32_t ShownCount() const { return shown_; }
  // Times a preview that plays by itself was set right again (always 0 with own drawing).
  std::int32_t AdjustCount() const { return adjust_; }
  std::int32_t ReturnFrame() const { return returnFrame_; }
  // The clock at the last tick (or start, or restart).
  Ms LastTick() const { return lastTick_; }
  std::int32_t Fps() const { return fps_; }
  std::int64_t Accumulator() const { return accumulator_; }
  bool ResyncMarked() const { return resync_; }

  // "Total = <total>, DropFrame = <total - shown>, AdjustFrame = <adjust>".
  static std::string EndLine(std::int32_t total, std::int32_t shown, std::int32_t adjust);
  // What the window says, once, when the sound device cannot be opened for play.
  static std::string NoSoundText(const std::string& reason);

private:
  static bool PlaysSound(Mode mode) { return mode == Mode::Play || mode == Mode::Playback; }
  // The frame the mode reaches after the steps in the accumulator; Finish when it leaves the
  // timeline or the playback range.
  Tick Steps(const PlayTimeline& timeline, std::int32_t& f);

  Mode mode_ = Mode::Stopped;
  Ms lastTick_ = 0;
  std::int64_t accumulator_ = 0;
  std::int32_t shown_ = 0;
  std::int32_t adjust_ = 0;
  std::int32_t fps_ = 30;
  std::int32_t returnFrame_ = 0;
  // The playback range, fixed when playback starts.
  std::int32_t rangeFirst_ = 0;
  std::int32_t rangeLast_ = -1;
  // The frame the preview shows; -1 when play moved the time without drawing.
  std::int32_t drawn_ = -1;
  bool resync_ = false;
};

} // namespace rw::view
