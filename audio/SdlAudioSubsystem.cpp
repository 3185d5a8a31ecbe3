#include "audio/SdlAudioSubsystem.h"

#include <SDL.h>

namespace rw {

std::unique_ptr<SdlAudioSubsystem> SdlAudioSubsystem::Acquire(std::string& error) {
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    error = std::string("SDL audio could not start: ") + SDL_GetError();
    return nullptr;
  }
  return std::unique_ptr<SdlAudioSubsystem>(new SdlAudioSubsystem());
}

SdlAudioSubsystem::~SdlAudioSubsystem() {
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

} // namespace rw
