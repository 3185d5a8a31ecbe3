#include "view/CompressorChoice.h"

#include "output/CompressorCatalogue.h"
#include "output/settings/FourCharCode.h"

#include <algorithm>

namespace rw::view {

CompressorChoice::CompressorChoice(const std::vector<const CompressorInfo*>& entries) {
  for (const CompressorInfo* info : entries) {
    if (!info)
      continue;
    rows_.push_back({info->code, std::string(info->description) + " (" + CodeLabel(info->code) + ")",
                     info->quality, info->keyFrames, info->dataRate});
  }
  selected_ = rows_.empty() ? -1 : 0;
}

void CompressorChoice::Load(const CompressOptions& options) {
  selected_ = rows_.empty() ? -1 : 0;
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    if (CompressorCatalogue::SameCode(rows_[i].code, options.fccHandler)) {
      selected_ = static_cast<std::int32_t>(i);
      break;
    }
  }
  notice_.clear();
  if (options.fccHandler != 0 &&
      (selected_ < 0 || !CompressorCatalogue::SameCode(rows_[selected_].code, options.fccHandler)))
    notice_ = "圧縮方式'" + FourCharCode::Encode(options.fccHandler) +
              "'はこの環境では使えません。別の方式を選んで下さい";

  firstChoice_ = options.fccHandler == 0;
  Controls c;
  if (firstChoice_) {
    controls_ = c;
    loaded_ = c;
    return;
  }
  if (options.dwQuality <= 10000)
    c.quality = static_cast<std::int32_t>((options.dwQuality + 50) / 100);
  c.keyFramesOn = (options.dwFlags & kFlagKeyFrames) != 0;
  if (options.dwKeyFrameEvery >= 1 &&
      options.dwKeyFrameEvery <= static_cast<std::uint32_t>(kMaxKeyFrameEvery))
    c.keyFrameEvery = static_cast<std::int32_t>(options.dwKeyFrameEvery);
  c.dataRateOn = (options.dwFlags & kFlagDataRate) != 0;
  if (options.dwBytesPerSecond >= 1024 &&
      options.dwBytesPerSecond / 1024 <= static_cast<std::uint32_t>(kMaxKilobytesPerSecond))
    c.kilobytesPerSecond = static_cast<std::int32_t>(options.dwBytesPerSecond / 1024);
  controls_ = c;
  loaded_ = c;
}

std::string CompressorChoice::CodeLabel(std::uint32_t code) {
  std::string text;
  for (int i = 0; i < 4; ++i) {
    const auto c = static_cast<unsigned char>(code >> (8 * i));
    if (c < 32 || c > 126)
      return FourCharCode::Encode(code);
    text.push_back(static_cast<char>(c));
  }
  while (!text.empty() && text.back() == ' ')
    text.pop_back();
  return text.empty() ? FourCharCode::Encode(code) : text;
}

void CompressorChoice::Select(std::int32_t row) {
  if (row >= -1 && row < static_cast<std::int32_t>(rows_.size()))
    selected_ = row;
}

const CompressorChoice::Row* CompressorChoice::Current() const {
  return selected_ >= 0 ? &rows_[static_cast<std::size_t>(selected_)] : nullptr;
}

bool CompressorChoice::QualityEnabled() const {
  return Current() && Current()->quality;
}

bool CompressorChoice::KeyFramesEnabled() const {
  return Current() && Current()->keyFrames;
}

bool CompressorChoice::DataRateEnabled() const {
  return Current() && Current()->dataRate;
}

CompressOptions CompressorChoice::Apply(const CompressOptions& stored) const {
  CompressOptions options = stored;
  const Row* row = Current();
  if (!row)
    return options;
  options.fccType = kVideoType;
  options.fccHandler = row->code;
  options.dwFlags |= kFlagValid;
  if (row->quality && (firstChoice_ || controls_.quality != loaded_.quality))
    options.dwQuality = static_cast<std::uint32_t>(std::clamp(controls_.quality, 0, 100)) * 100;
  if (row->keyFrames) {
    options.dwFlags =
        controls_.keyFramesOn ? options.dwFlags | kFlagKeyFrames : options.dwFlags & ~kFlagKeyFrames;
    if (controls_.keyFramesOn)
      options.dwKeyFrameEvery =
          static_cast<std::uint32_t>(std::clamp(controls_.keyFrameEvery, 1, kMaxKeyFrameEvery));
  }
  if (row->dataRate) {
    options.dwFlags =
        controls_.dataRateOn ? options.dwFlags | kFlagDataRate : options.dwFlags & ~kFlagDataRate;
    if (controls_.dataRateOn && (firstChoice_ || controls_.kilobytesPerSecond != loaded_.kilobytesPerSecond ||
                                 options.dwBytesPerSecond == 0))
      options.dwBytesPerSecond =
          static_cast<std::uint32_t>(std::clamp(controls_.kilobytesPerSecond, 1, kMaxKilobytesPerSecond)) *
          1024;
  }
  return options;
}

} // namespace rw::view
