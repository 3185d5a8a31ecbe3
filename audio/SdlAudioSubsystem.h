#pragma once

#include <memory>
#include <string>

namespace rw {

// One reference to SDL's audio subsystem. SDL counts the references itself: the first one starts
// the subsystem (reading SDL_AUDIODRIVER at that moment), the last one shuts it down, so users of
// the audio library never see a process-wide object. Only the thread that runs the WaveOut calls
// these.
class SdlAudioSubsystem {
public:
  // Null when the subsystem cannot start (no usable driver); `error` then holds SDL's reason.
  static std::unique_ptr<SdlAudioSubsystem> Acquire(std::string& error);

  ~SdlAudioSubsystem();
  SdlAudioSubsystem(const SdlAudioSubsystem&) = delete;
  SdlAudioSubsystem& operator=(const SdlAudioSubsystem&) = delete;

private:
  SdlAudioSubsystem() = default;
};

} // namespace rw
