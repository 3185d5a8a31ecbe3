// Feeds arbitrary bytes to the WAV reader as a file, then reads and mixes what it accepted.
#include "base/MessageText.h"
#include "base/UserPrompt.h"
#include "media/AudioMix.h"
#include "media/MediaContext.h"
#include "media/WavClip.h"
#include "tests/support/FuzzInput.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const rw::test::FuzzInput input("wav");
  const std::filesystem::path file = input.Write("input.wav", data, size);
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
