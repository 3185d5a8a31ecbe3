// Opens arbitrary MP4, MOV, MKV and WebM files through the same path as the editor (libavformat
// reads them, the stream indexes every video packet and maps the pictures onto frames), then
// decodes frames in several orders from what was accepted. The first byte chooses the file
// (modulo 8): 0 takes the rest of the input as the file itself; 1 to 7 take a small generated
// movie and overwrite bytes of it, three input bytes per change (a position scaled to the file's
// size and the new value), a leftover byte cutting the file short.
#include "base/MessageText.h"
#include "base/UserPrompt.h"
#include "media/ContainerClip.h"
#include "media/MediaContext.h"
#include "tests/support/ContainerTestFiles.h"
#include "tests/support/FuzzInput.h"
#include "tests/support/TestAvi.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace {

const char* ExtensionOf(int kind) {
  static const std::array<const char*, 8> extensions = {".mkv", ".mp4", ".mkv", ".webm",
                                                        ".mov", ".mp4", ".mp4", ".mp4"};
  return extensions[static_cast<std::size_t>(kind)];
}

const std::vector<std::uint8_t>& Base(const rw::test::FuzzInput& input, int kind) {
  static std::array<std::vector<std::uint8_t>, 8> bases;
  std::vector<std::uint8_t>& base = bases[static_cast<std::size_t>(kind)];
  if (!base.empty())
    return base;
  using rw::test::TestMovieCodec;
  rw::test::TestMovieOptions o;
  o.width = 32;
  o.height = 32;
  o.pts = rw::test::ConstantRatePts(12, 30, 1, {1, 30});
  o.gop = 4;
  switch (kind) {
  case 1:
    o.bFrames = 2;
    o.sound = rw::test::TestMovieSound::Aac;
    o.soundRate = 8000;
    o.soundChannels = 1;
    break;
  case 2:
    o.bFrames = 3;
    break;
  case 3:
    o.codec = TestMovieCodec::Vp9;
    break;
  case 4:
    o.rotation = 90;
    o.pixelAspect = {4, 3};
    break;
  case 5:
    // libavcodec's own encoder: libx265 leaks a little of every encoder it opens.
    o.codec = TestMovieCodec::Mpeg4;
    o.bFrames = 2;
    break;
  case 6:
    o.timeBase = {1, 1000};
    o.pts = {0, 20, 90, 100, 400, 410, 1000, 1033};
    o.coverArt = true;
    break;
  default:
    o.tenBit = true;
    break;
  }
  const auto file = input.Folder() / (std::string("base") + std::to_string(kind) + ExtensionOf(kind));
  rw::test::WriteTestMovie(file, o);
  base = rw::test::ReadFileBytes(file);
  return base;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const rw::test::FuzzInput input("movie");
  static const int quiet = (rw::test::QuietMediaLibraries(), 0);
  (void)quiet;
  if (size == 0)
    return 0;
  int kind = 0;
  const std::vector<std::uint8_t> bytes = rw::test::FuzzInput::Choose(
      data, size, kind, [](int k) -> const auto& { return Base(input, k); });
  const std::filesystem::path file =
      input.Write(std::string("input") + ExtensionOf(kind), bytes.data(), bytes.size());

  rw::MessageText messages;
  rw::FixedPrompt prompt;
  rw::MediaContext context(messages, prompt);
  context.ContainerFiles().SetCacheLimit(0);
  rw::VideoClip clip = rw::ContainerClip::OpenFile(file, context);
  if (!clip)
    return 0;
  const int count = clip->GetSourceLength();
  for (const int i : {count - 1, 0, count / 2, 1, 2, count - 2})
    clip->GetFrame(i);
  clip->IsKeyFrame(count / 2);
  clip->IsNewFrame(count - 1);
  if (const rw::AudioClip& sound = clip->Audio(); sound && sound->IsValid()) {
    std::vector<std::uint8_t> samples(512 * 4);
    sound->ReadSamples(samples.data(), 0, 128);
  }
  clip.SetBeginFrame(count / 2);
  clip.SetLength(1);
  return 0;
}
