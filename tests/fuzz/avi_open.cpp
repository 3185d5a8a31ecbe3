// Opens arbitrary AVI files through the same path as the editor (libavformat identifies and
// parses them, the stream reads index, pictures and sound), then decodes and reads from what
// was accepted. The first byte chooses the file (modulo 8): 0 takes the rest of the input as the
// file itself; 1 to 7 take a small generated movie and overwrite bytes of it, three input bytes
// per change (a position scaled to the file's size and the new value), a leftover byte cutting
// the file short. Movies 6 and 7 are OpenDML files in two RIFF parts, 7 with an index of indexes
// that claims 0x7fffffff entries.
#include "base/MessageText.h"
#include "base/UserPrompt.h"
#include "media/AviClip.h"
#include "media/MediaContext.h"
#include "tests/media/AviOdmlTestFile.h"
#include "tests/support/FuzzInput.h"
#include "tests/support/TestAvi.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace {

const std::vector<std::uint8_t>& Base(const rw::test::FuzzInput& input, int kind) {
  static std::array<std::vector<std::uint8_t>, 8> bases;
  std::vector<std::uint8_t>& base = bases[static_cast<std::size_t>(kind)];
  if (!base.empty())
    return base;
  if (kind >= 6) {
    rw::test::OdmlAviOptions odml;
    odml.legacyIndex = true;
    if (kind == 7)
      odml.superCount = 0x7fffffff;
    base = rw::test::MakeOdmlAvi(odml);
    return base;
  }
  using rw::test::TestAviCodec;
  rw::test::TestAviOptions o;
  o.width = 32;
  o.height = 32;
  o.frames = 10;
  o.gop = 4;
  o.audioRate = 8000;
  o.audioChannels = 1;
  switch (kind) {
  case 2:
    o.stripIndex = true;
    break;
  case 3:
    o.codec = TestAviCodec::Mpeg4BFrames;
    break;
  case 4:
    o.codec = TestAviCodec::H264BFrames;
    o.audioRate = 0;
    break;
  case 5:
    o.codec = TestAviCodec::RawBgr24;
    o.empty = {2, 5};
    o.audioSample = rw::test::TestAviSample::U8;
    break;
  default:
    break;
  }
  const auto file = input.Folder() / ("base" + std::to_string(kind) + ".avi");
  rw::test::WriteTestAvi(file, o);
  base = rw::test::ReadFileBytes(file);
  return base;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const rw::test::FuzzInput input("avi");
  static const int quiet = (rw::test::QuietMediaLibraries(), 0);
  (void)quiet;
  if (size == 0)
    return 0;
  int kind = 0;
  const std::vector<std::uint8_t> bytes = rw::test::FuzzInput::Choose(
      data, size, kind, [](int k) -> const auto& { return Base(input, k); });
  const std::filesystem::path file = input.Write("input.avi", bytes.data(), bytes.size());

  rw::MessageText messages;
  rw::FixedPrompt prompt;
  rw::MediaContext context(messages, prompt);
  context.AviFiles().SetCacheLimit(0);
  rw::VideoClip clip = rw::AviClip::OpenFile(file, context);
  if (!clip)
    return 0;
  const int count = clip->GetSourceLength();
  for (const int i : {count - 1, 0, count / 2, 1})
    clip->GetFrame(i);
  clip->IsKeyFrame(count / 2);
  clip->IsNewFrame(count - 1);
  if (const rw::AviStream* stream = clip->GetStream(); stream && *stream && (*stream)->HasAudio()) {
    std::vector<std::uint8_t> sound(512 * 4);
    (*stream)->ReadAudio(sound.data(), 0, 512);
    (*stream)->ReadAudio(sound.data(), (*stream)->AudioLength() - 100, 512);
    std::vector<std::uint8_t> sample;
    (*stream)->ReadVideoSample(count - 1, sample);
  }
  clip.SetBeginFrame(count / 2);
  clip.SetLength(1);
  return 0;
}
