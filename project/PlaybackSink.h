#pragma once

namespace rw {

// Where playback sends its sound: a waveform output that plays blocks of PCM sample frames in
// the order they were written and counts the blocks it has not finished yet. The project layer
// knows only this interface; the program and the command-line tool adapt their output device
// to it.
class PlaybackSink {
public:
  virtual ~PlaybackSink() = default;

  // Stops consumption where it is; Restart continues from there.
  virtual void Pause() = 0;
  virtual void Restart() = 0;
  // Drops every block not yet played; they count as finished at once.
  virtual void Reset() = 0;
  // Queues one block of `frames` sample frames in the output format; false when it could not
  // be taken.
  virtual bool Write(const void* data, int frames) = 0;
  // Blocks written and not yet finished.
  virtual int BusyCount() = 0;
};

} // namespace rw
