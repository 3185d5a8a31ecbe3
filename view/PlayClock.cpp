#include "view/PlayClock.h"

#include "project/VideoProject.h"

#include <algorithm>

namespace rw::view {

PlayTimeline PlayTimeline::Of(const VideoProject& project) {
  PlayTimeline t;
  const pVideoClipList& list = project.List();
  t.total = list.TotalFrames();
  t.current = project.CurrentFrame();
  t.hasSound = list.AudioCount() >= 1;
  ClipPos a;
  ClipPos b;
  if (project.SelectionRange(a, b)) {
    const std::int32_t first = list.FrameOf(a);
    const std::int32_t last = list.FrameOf(b);
    if (first >= 0 && last >= first) {
      t.selectionFirst = first;
      t.selectionLast = last;
    }
  }
  return t;
}

PlayClock::Started PlayClock::Start(Mode mode, const PlayTimeline& t, int fps, Ms now) {
  Started s;
  if (mode == mode_ || mode == Mode::Stopped) {
    s.ignored = true;
    s.from = t.current;
    return s;
  }
  s.from = t.current;
  switch (mode) {
  case Mode::Play:
  case Mode::FastForward:
    if (t.current >= t.total)
      s.from = 0;
    break;
  case Mode::Playback:
    returnFrame_ = t.current;
    // The range is taken now, before the time moves: a selection whose end follows the current
    // time would otherwise shrink to the frame play starts at.
    if (t.selectionFirst) {
      rangeFirst_ = *t.selectionFirst;
      rangeLast_ = t.selectionLast;
    } else {
      rangeFirst_ = 0;
      rangeLast_ = t.total - 1;
    }
    s.from = rangeFirst_;
    break;
  case Mode::Rewind:
    if (t.current == 0 && t.total > 0)
      s.from = t.total - 1;
    break;
  case Mode::Stopped:
    break;
  }
  s.moved = s.from != t.current;
  s.sound = PlaysSound(mode) && t.hasSound;
  if (mode_ != Mode::Stopped) {
    s.switched = true;
    mode_ = mode;
    if (s.moved)
      drawn_ = -1;
    return s;
  }
  mode_ = mode;
  lastTick_ = now;
  accumulator_ = 0;
  adjust_ = 0;
  fps_ = FrameRate(fps);
  resync_ = false;
  // The frame play starts at counts as shown: the preview shows it already, or the first tick
  // draws it when the start moved the time.
  drawn_ = s.moved ? -1 : s.from;
  shown_ = !s.moved && t.total > 0 ? 1 : 0;
  return s;
}

PlayClock::Tick PlayClock::Steps(const PlayTimeline& t, std::int32_t& f) {
  Tick tick;
  tick.action = Tick::Action::Finish;
  const auto consume = [this](std::int32_t& frame, std::int32_t by) {
    while (accumulator_ > kStep) {
      accumulator_ -= kStep;
      frame += by;
    }
  };
  switch (mode_) {
  case Mode::Play:
    consume(f, 1);
    if (f >= t.total) {
      tick.frame = t.total;
      tick.endLine = true;
      return tick;
    }
    break;
  case Mode::Playback: {
    consume(f, 1);
    const std::int32_t last = std::min(rangeLast_, t.total - 1);
    if (f < rangeFirst_ || f > last) {
      tick.frame = std::clamp(returnFrame_, 0, t.total);
      return tick;
    }
    break;
  }
  case Mode::FastForward:
    consume(f, 3);
    if (f >= t.total) {
      tick.frame = t.total;
      return tick;
    }
    break;
  case Mode::Rewind:
    consume(f, -3);
    if (f < 0) {
      tick.frame = 0;
      return tick;
    }
    break;
  case Mode::Stopped:
    break;
  }
  tick.action = Tick::Action::None;
  return tick;
}

PlayClock::Tick PlayClock::Advance(const PlayTimeline& t, Ms now) {
  if (mode_ == Mode::Stopped)
    return {};
  if (t.total <= 0) {
    // Nothing to play; the clock still moves on, so that the loop keeps its pace instead of
    // ticking as fast as it can.
    lastTick_ = now;
    return {};
  }
  Ms elapsed = std::max<Ms>(now - lastTick_, 0);
  if (elapsed > kLongestGap) {
    elapsed = kLongestGap;
    resync_ = true;
  }
  accumulator_ += elapsed * fps_;
  lastTick_ = now;

  std::int32_t f = t.current;
  Tick tick = Steps(t, f);
  if (tick.action == Tick::Action::Finish)
    return tick;
  if (f == 0)
    resync_ = true;
  if (f == drawn_)
    return tick;
  tick.action = Tick::Action::Show;
  tick.frame = f;
  ++shown_;
  drawn_ = f;
  if (PlaysSound(mode_)) {
    tick.sound = t.hasSound;
    tick.resync = resync_;
    resync_ = false;
  }
  return tick;
}

void PlayClock::Restarted(Ms now) {
  lastTick_ = now;
  accumulator_ = 0;
}

PlayClock::Ms PlayClock::SleepBefore(Ms now) const {
  const Ms wait = 1000 / std::max(fps_, 1) + lastTick_ - now;
  return wait > kWakeEarly ? wait - kWakeEarly : 0;
}

std::optional<std::int32_t> PlayClock::NextFrame(const PlayTimeline& t, std::int32_t from) const {
  std::int64_t f = from;
  std::int64_t first = 0;
  std::int64_t last = std::int64_t{t.total} - 1;
  switch (mode_) {
  case Mode::Play:
    f += 1;
    break;
  case Mode::Playback:
    f += 1;
    first = rangeFirst_;
    last = std::min<std::int64_t>(rangeLast_, last);
    break;
  case Mode::FastForward:
    f += 3;
    break;
  case Mode::Rewind:
    f -= 3;
    break;
  case Mode::Stopped:
    return std::nullopt;
  }
  if (f < first || f > last)
    return std::nullopt;
  return static_cast<std::int32_t>(f);
}

std::string PlayClock::EndLine(std::int32_t total, std::int32_t shown, std::int32_t adjust) {
  return "Total = " + std::to_string(total) + ", DropFrame = " + std::to_string(total - shown) +
         ", AdjustFrame = " + std::to_string(adjust);
}

std::string PlayClock::NoSoundText(const std::string& reason) {
  return "サウンドを再生できません\n" + reason;
}

} // namespace rw::view
