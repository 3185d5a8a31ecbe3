#pragma once

#include "project/TimelineRenderer.h"

#include <chrono>
#include <cstdint>
#include <vector>

namespace rw {

class MessageText;
class PlaybackSink;

// Feeds the mixed sound of the timeline to a PlaybackSink during playback, one video frame of
// sound per block: Start pauses the sink, queues kLeadFrames frames and lets it play; each tick
// of the play loop then tops the queue up to kBusyFrames unfinished blocks. The sound runs
// between 30 and 60 frames ahead of the time that is shown.
//
// Frames from..end - 1 are played; nothing at or after `end` is ever queued. The feeder also
// paces the loop that drives it: WaitForTick sleeps until about 5 ms before the next frame is
// due, so that the loop's work lands close to the frame's time.
//
// Rendering and sending allocate nothing once the block buffer has grown to one frame's sound.
// Failures answer false and append a message to the MessageText given at construction.
class PlaybackFeeder {
public:
  using Clock = std::chrono::steady_clock;

  static constexpr int kLeadFrames = 60;
  static constexpr int kBusyFrames = 30;
  // How long before a frame is due the pacing wakes up.
  static constexpr std::chrono::milliseconds kWakeEarly{5};

  PlaybackFeeder(PlaybackSink& sink, MessageText& messages);
  PlaybackFeeder(const PlaybackFeeder&) = delete;
  PlaybackFeeder& operator=(const PlaybackFeeder&) = delete;

  // (Re)starts the sound at frame `from`: resets the sink (dropping whatever it still holds),
  // pauses it, queues up to kLeadFrames frames and restarts it; the pacing counts from now.
  // The frame rate of the pacing is the list's output frame rate (30 below 1). False when from
  // is negative, end is below from, or a frame cannot be rendered or written; the sink then
  // stays paused.
  bool Start(const pVideoClipList& list, std::int32_t from, std::int32_t end);
  // Queues frames until kBusyFrames blocks are unfinished or every frame before the end is
  // queued. False when a frame cannot be rendered or written.
  bool TopUp(const pVideoClipList& list);

  // The next frame whose sound is to be queued.
  std::int32_t Position() const { return position_; }
  std::int32_t End() const { return end_; }
  // Every frame up to the end has been queued.
  bool Finished() const { return position_ >= end_; }
  // The frame whose sound the sink is playing: the first one queued and not yet finished (End()
  // once all have finished).
  std::int32_t PlayingFrame();

  // Sleeps as SleepBefore says for the last tick and now, then makes now the last tick.
  void WaitForTick();
  // How long the loop sleeps before its next tick: with wait = 1000 / fps ms after the last
  // tick minus now, wait - 5 ms when wait is above 5 ms, else nothing.
  static Clock::duration SleepBefore(Clock::time_point lastTick, Clock::time_point now, int fps);

private:
  bool QueueFrame(const pVideoClipList& list);

  PlaybackSink& sink_;
  MessageText& messages_;
  TimelineRenderer renderer_;
  std::vector<std::uint8_t> block_;
  std::int32_t from_ = 0;
  std::int32_t position_ = 0;
  std::int32_t end_ = 0;
  int fps_ = 30;
  Clock::time_point lastTick_;
};

} // namespace rw
