#pragma once

#include "base/MessageText.h"
#include "base/UserPrompt.h"
#include "media/AviRegistry.h"
#include "media/ContainerRegistry.h"
#include "media/ContainerSound.h"
#include "media/FrameCacheBudget.h"
#include "media/PictureData.h"
#include "media/WavStream.h"

#include <memory>

namespace rw {

// What the media kinds need from the program: where failures are reported, how the user is
// asked, and the registries that share one reader per file among all cuts and audio clips.
// The program owns exactly one for its whole run; tests make their own.
class MediaContext {
public:
  MediaContext(MessageText& messages, UserPrompt& prompt) : messages_(messages), prompt_(&prompt) {}
  MediaContext(const MediaContext&) = delete;
  MediaContext& operator=(const MediaContext&) = delete;

  MessageText& Messages() const { return messages_; }
  UserPrompt& Prompt() const { return *prompt_; }
  void SetPrompt(UserPrompt& prompt) { prompt_ = &prompt; }
  WavStreamRegistry& WavStreams() { return wavStreams_; }
  AviRegistry& AviFiles() { return aviFiles_; }
  // The movie files of the other containers (MP4, MOV, MKV, WebM) and their decoders.
  ContainerRegistry& ContainerFiles() { return containerFiles_; }
  // The one bound on the decoded pictures every decoder of this context keeps.
  FrameCacheBudget& FrameCaches() { return *frameCaches_; }
  PictureDataRegistry& Pictures() { return pictures_; }
  ContainerSoundRegistry& ContainerSounds() { return containerSounds_; }

private:
  MessageText& messages_;
  UserPrompt* prompt_;
  WavStreamRegistry wavStreams_;
  std::shared_ptr<FrameCacheBudget> frameCaches_ = std::make_shared<FrameCacheBudget>();
  AviRegistry aviFiles_{frameCaches_};
  ContainerRegistry containerFiles_{frameCaches_};
  PictureDataRegistry pictures_;
  ContainerSoundRegistry containerSounds_;
};

} // namespace rw
