// Output settings records from arbitrary text. Whatever a block leaves in the settings must be
// within the setters' limits and must write and read back unchanged; any stored
// four-character code must survive its text form.
#include "base/MessageText.h"
#include "base/RecordReader.h"
#include "base/RecordWriter.h"
#include "output/settings/FourCharCode.h"
#include "output/settings/OutputInfo.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

void Check(bool ok) {
  if (!ok)
    __builtin_trap();
}

bool InLimits(const rw::OutputInfo& info) {
  const int rate = info.AudioRate();
  return info.VideoRate() == 30 && info.VideoWidth() >= 0 && info.VideoWidth() <= 4096 &&
         info.VideoHeight() >= 0 && info.VideoHeight() <= 4096 &&
         (info.AudioBits() == 8 || info.AudioBits() == 16) &&
         (info.AudioChannels() == 1 || info.AudioChannels() == 2) &&
         (rate == 11025 || rate == 22050 || rate == 32000 || rate == 44100 || rate == 48000);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  rw::MessageText messages;
  rw::RecordReader reader(text);
  rw::OutputInfo info;
  info.ReadBlock(reader, &messages);
  Check(InLimits(info));

  rw::RecordWriter writer;
  Check(info.WriteBlock(writer, 1));
  rw::RecordReader again(writer.Text());
  rw::OutputInfo back;
  Check(back.ReadBlock(again));
  Check(back == info);

  std::uint32_t code = 0;
  if (rw::FourCharCode::Decode(text, code)) {
    std::uint32_t twice = 0;
    Check(rw::FourCharCode::Decode(rw::FourCharCode::Encode(code), twice) && twice == code);
  }
  return 0;
}
