// Feeds arbitrary bytes to the reader of movie and sound files as a file, then reads and mixes
// what it accepted, forwards, backwards and from the middle.
#include "base/MessageText.h"
#include "base/UserPrompt.h"
#include "media/AudioMix.h"
#include "media/ContainerAudioClip.h"
#include "media/MediaContext.h"
#include "tests/support/FuzzInput.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const rw::test::FuzzInput input("sound");
  const std::filesystem::path file = input.Write("input.mka", data, size);
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
