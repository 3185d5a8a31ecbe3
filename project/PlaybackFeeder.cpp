#include "project/PlaybackFeeder.h"

#include "base/MessageText.h"
#include "project/PlaybackSink.h"

#include <algorithm>
#include <string>
#include <thread>

namespace rw {

PlaybackFeeder::PlaybackFeeder(PlaybackSink& sink, MessageText& messages)
    : sink_(sink), messages_(messages), lastTick_(Clock::now()) {}

bool PlaybackFeeder::Start(const pVideoClipList& list, std::int32_t from, std::int32_t end) {
  sink_.Reset();
  sink_.Pause();
  if (from < 0 || end < from) {
    messages_.Append("The sound cannot be played from frame " + std::to_string(from) + " to frame " +
                     std::to_string(end) + ".\n");
    from_ = position_ = end_ = 0;
    return false;
  }
  from_ = position_ = from;
  end_ = end;
  const std::int32_t rate = list.Output().VideoRate();
  fps_ = rate < 1 ? 30 : rate;
  for (int i = 0; i < kLeadFrames && !Finished(); ++i)
    if (!QueueFrame(list))
      return false;
  sink_.Restart();
  lastTick_ = Clock::now();
  return true;
}

bool PlaybackFeeder::TopUp(const pVideoClipList& list) {
  while (!Finished() && sink_.BusyCount() < kBusyFrames)
    if (!QueueFrame(list))
      return false;
  return true;
}

bool PlaybackFeeder::QueueFrame(const pVideoClipList& list) {
  const std::int64_t samples = TimelineRenderer::SampleCount(list.Output(), position_, 1);
  if (!renderer_.RenderAudio(list, block_, position_, 1)) {
    messages_.Append("The sound of frame " + std::to_string(position_) + " cannot be rendered.\n");
    return false;
  }
  if (!sink_.Write(block_.data(), static_cast<int>(samples))) {
    messages_.Append("The sound device did not take the sound of frame " + std::to_string(position_) + ".\n");
    return false;
  }
  ++position_;
  return true;
}

std::int32_t PlaybackFeeder::PlayingFrame() {
  const std::int32_t busy = std::max(sink_.BusyCount(), 0);
  return std::max(position_ - busy, from_);
}

void PlaybackFeeder::WaitForTick() {
  const Clock::duration sleep = SleepBefore(lastTick_, Clock::now(), fps_);
  if (sleep > Clock::duration::zero())
    std::this_thread::sleep_for(sleep);
  lastTick_ = Clock::now();
}

PlaybackFeeder::Clock::duration PlaybackFeeder::SleepBefore(Clock::time_point lastTick, Clock::time_point now,
                                                            int fps) {
  const std::chrono::milliseconds period{1000 / std::max(fps, 1)};
  const Clock::duration wait = period + lastTick - now;
  return wait > kWakeEarly ? wait - kWakeEarly : Clock::duration::zero();
}

} // namespace rw
