#include "output/settings/OutputInfo.h"

#include "base/MessageText.h"
#include "base/RecordBlock.h"
#include "base/RecordGrammar.h"
#include "base/RecordReader.h"
#include "base/RecordWriter.h"
#include "output/settings/FourCharCode.h"

#include <string>

namespace rw {
namespace {

bool StartsWithOn(std::string_view value) {
  return value.size() >= 2 && SameWord(value.substr(0, 2), "ON");
}

// The four compressor values are kept as the 32-bit patterns the file stores as signed numbers.
std::int64_t Signed(std::uint32_t value) {
  return static_cast<std::int32_t>(value);
}
std::uint32_t Unsigned(std::string_view value) {
  return static_cast<std::uint32_t>(ReadNumber(value));
}

} // namespace

bool OutputInfo::SetVideoRate(std::int32_t rate) {
  if (rate != kVideoRate)
    return false;
  videoRate_ = rate;
  return true;
}

bool OutputInfo::SetVideoWidth(std::int32_t width) {
  if (width < 1 || width > kMaxFrameSize)
    return false;
  videoWidth_ = width;
  return true;
}

bool OutputInfo::SetVideoHeight(std::int32_t height) {
  if (height < 1 || height > kMaxFrameSize)
    return false;
  videoHeight_ = height;
  return true;
}

bool OutputInfo::SetAudioRate(std::int32_t rate) {
  switch (rate) {
  case 11025:
  case 22050:
  case 32000:
  case 44100:
  case 48000:
    audioRate_ = rate;
    return true;
  default:
    return false;
  }
}

bool OutputInfo::SetAudioBits(std::int32_t bits) {
  if (bits != 8 && bits != 16)
    return false;
  audioBits_ = bits;
  return true;
}

bool OutputInfo::SetAudioChannels(std::int32_t channels) {
  if (channels != 1 && channels != 2)
    return false;
  audioChannels_ = channels;
  return true;
}

bool OutputInfo::WriteBlock(RecordWriter& out, int level) const {
  const int inner = level + 1;
  out.Begin(level);
  out.Key(inner, "VideoX", videoWidth_);
  out.Key(inner, "VideoY", videoHeight_);
  out.Key(inner, "VideoRate", videoRate_);
  out.Key(inner, "AudioOut", audioOut_ ? "ON" : "OFF");
  out.Key(inner, "AudioRate", audioRate_);
  out.Key(inner, "AudioBits", audioBits_);
  out.Key(inner, "AudioChannel", audioChannels_);
  out.Key(inner, "CompressHandler", FourCharCode::Encode(compress_.fccHandler));
  out.Key(inner, "CompressKeyFrameEvery", Signed(compress_.dwKeyFrameEvery));
  out.Key(inner, "CompressQuality", Signed(compress_.dwQuality));
  out.Key(inner, "CompressBytesPerSecond", Signed(compress_.dwBytesPerSecond));
  out.Key(inner, "CompressFlags", Signed(compress_.dwFlags));
  out.End(level);
  return true;
}

bool OutputInfo::ReadBlock(RecordReader& in, MessageText* messages) {
  Reset();
  return RecordBlock::Read(in, messages, "出力設定", [&](const RecordLine& line) {
    const std::string_view key = line.key;
    const std::string_view value = line.value;
    if (SameWord(key, "VideoX"))
      SetVideoWidth(ReadNumber(value));
    else if (SameWord(key, "VideoY"))
      SetVideoHeight(ReadNumber(value));
    else if (SameWord(key, "VideoRate"))
      SetVideoRate(ReadNumber(value));
    else if (SameWord(key, "AudioOut"))
      audioOut_ = StartsWithOn(value);
    else if (SameWord(key, "AudioRate"))
      SetAudioRate(ReadNumber(value));
    else if (SameWord(key, "AudioBits"))
      SetAudioBits(ReadNumber(value));
    else if (SameWord(key, "AudioChannel"))
      SetAudioChannels(ReadNumber(value));
    else if (SameWord(key, "CompressHandler"))
      FourCharCode::Decode(value, compress_.fccHandler);
    else if (SameWord(key, "CompressKeyFrameEvery"))
      compress_.dwKeyFrameEvery = Unsigned(value);
    else if (SameWord(key, "CompressQuality"))
      compress_.dwQuality = Unsigned(value);
    else if (SameWord(key, "CompressBytesPerSecond"))
      compress_.dwBytesPerSecond = Unsigned(value);
    else if (SameWord(key, "CompressFlags"))
      compress_.dwFlags = Unsigned(value);
  });
}

} // namespace rw
