// Feeds arbitrary bytes to the WAV reader as a file, then reads and mixes what it accepted.
#include "base/MessageText.h"
#include "base/UserPrompt.h"
#include "media/AudioMix.h"
#include "media/MediaContext.h"
#include "media/WavClip.h"

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
      std::filesystem::temp_directory_path() / ("reelwright-fuzz-" + std::to_string(::getpid()) + ".wav");
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
  rw::AudioClip clip = rw::WavClip::OpenFile(file, context);
  if (clip) {
    std::vector<std::int32_t> left(2000), right(2000);
    rw::AudioMix::MixInto(clip, left.data(), right.data(), 0, 2000, 30, 48000);
    rw::AudioMix::MixInto(clip, left.data(), right.data(), 0, 2000, 30, 11025);
    clip.SetBeginSample(clip->GetSourceLength() - 1);
    rw::AudioMix::MixInto(clip, left.data(), right.data(), 0, 2000, 30, 22050);
  }
  return 0;
}
