#pragma once

#include "audio/WaveOut.h"
#include "project/PlaybackSink.h"

namespace rw {

// A WaveOut as the sink of a PlaybackFeeder: the audio layer stands apart from the project
// layer, so the two meet here, in the one place that the editor and the command-line tool both
// link.
class WaveOutSink final : public PlaybackSink {
public:
  explicit WaveOutSink(WaveOut& out) : out_(out) {}

  void Pause() override { out_.Pause(); }
  void Restart() override { out_.Restart(); }
  void Reset() override { out_.Reset(); }
  bool Write(const void* data, int frames) override { return out_.Write(data, frames); }
  int BusyCount() override { return out_.BusyCount(); }

private:
  WaveOut& out_;
};

} // namespace rw
