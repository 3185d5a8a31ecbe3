// Feeds arbitrary bytes to the reader of movie and sound files as a file, then reads and mixes
// what it accepted, forwards, backwards and from the middle.
#include "base/MessageText.h"
#include "base/UserPrompt.h"
#include "media/AudioMix.h"
#include "media/ContainerAudioClip.h"
#include "media/MediaContext.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace {

// The file the inputs are written to, removed when the process ends.
struct InputFile {
  std::filesystem::path path =
      std::filesystem::temp_directory_path() / ("reelwright-fuzz-" + std::to_string(::getpid()) + ".mka");
  ~InputFile() {
    std::error_code ec;
    std::filesystem::remove(path, ec);
  }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const InputFile input;
  const std::filesystem::path& file = input.path;
  // A new file each time: rewriting one in place makes the file system flush it on close.
  std::error_code ec;
  std::filesystem::remove(file, ec);
  if (std::FILE* f = std::fopen(file.c_str(), "wb")) {
    std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  rw::MessageText messages;
  rw::FixedPrompt prompt;
  rw::MediaContext context(messages, prompt);
  rw::AudioClip clip = rw::AudioClip::Make<rw::ContainerAudioClip>(context, file);
  if (clip->IsValid()) {
    std::vector<std::int16_t> pcm(2 * 4096);
    const std::int32_t length = clip->GetSourceLength();
    clip->ReadSamples(pcm.data(), length / 2, 4096);
    clip->ReadSamples(pcm.data(), 0, 4096);
    std::vector<std::int32_t> left(2000), right(2000);
    rw::AudioMix::MixInto(clip, left.data(), right.data(), 0, 2000, 30, 48000);
    rw::AudioMix::MixInto(clip, left.data(), right.data(), 0, 2000, 30, 11025);
    clip.SetBeginSample(clip->GetSourceLength() - 1);
    rw::AudioMix::MixInto(clip, left.data(), right.data(), 0, 2000, 30, 22050);
  }
  return 0;
}
