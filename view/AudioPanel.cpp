#include "view/AudioPanel.h"

#include "base/ScaleDiv.h"
#include "project/VideoClipList.h"
#include "view/TimeText.h"
#include "view/VolumeScale.h"

namespace rw::view {

namespace {

// Sample frames as timeline frames of a source of `rate` samples per second.
std::int32_t Frames(std::int32_t samples, std::int32_t rate) {
  return rate > 0 && samples > 0 ? ScaleDiv(samples, TimeText::kFps, rate) : 0;
}

} // namespace

bool AudioPanel::Refresh(const pVideoClipList& list, std::int32_t current, bool atEnd, bool full) {
  if (atEnd) {
    *this = AudioPanel();
    return true;
  }
  insertEnabled_ = true;
  std::vector<AudioRef> refs = list.AudioInWindow(current, 1);
  if (!full && refs == refs_)
    return false;
  const std::optional<AudioRef> before = SelectedRef();
  refs_ = std::move(refs);
  lines_.clear();
  for (const AudioRef& ref : refs_)
    lines_.push_back(LineText(list, ref));
  int line = refs_.empty() ? -1 : 0;
  for (int i = 0; before && i < static_cast<int>(refs_.size()); ++i) {
    if (refs_[static_cast<std::size_t>(i)] == *before)
      line = i;
  }
  Select(list, line);
  return true;
}

void AudioPanel::Select(const pVideoClipList& list, int line) {
  if (line < 0 || line >= static_cast<int>(refs_.size())) {
    selected_ = -1;
    fields_ = Fields();
    return;
  }
  selected_ = line;
  fields_ = FieldsOf(list, refs_[static_cast<std::size_t>(line)]);
}

std::optional<AudioRef> AudioPanel::SelectedRef() const {
  if (selected_ < 0 || selected_ >= static_cast<int>(refs_.size()))
    return std::nullopt;
  return refs_[static_cast<std::size_t>(selected_)];
}

std::string AudioPanel::LineText(const pVideoClipList& list, const AudioRef& ref) {
  if (ref.slot < 0)
    return "映像付属";
  const AudioClip clip = list.AudioAt(ref);
  return clip.IsNull() ? std::string() : clip->FileName().filename().string();
}

AudioPanel::Fields AudioPanel::FieldsOf(const pVideoClipList& list, const AudioRef& ref) {
  Fields fields;
  const AudioClip clip = list.AudioAt(ref);
  if (clip.IsNull() || !clip->IsValid())
    return fields;
  const std::int32_t rate = clip->GetRate();
  fields.enabled = true;
  fields.beginValue = list.AudioStartFrame(ref);
  fields.startValue = Frames(clip->GetBeginSample(), rate);
  fields.totalValue = Frames(clip->Length(), rate);
  fields.begin = TimeText::Short(fields.beginValue);
  fields.start = TimeText::Short(fields.startValue);
  fields.total = TimeText::Short(fields.totalValue);
  fields.beginMax = list.TotalFrames();
  fields.sourceMax = Frames(clip->GetSourceLength(), rate);
  const std::int32_t decibels = VolumeScale::Decibels(clip->Volume());
  fields.trackPosition = -decibels;
  fields.volumeLabel = VolumeScale::Label(decibels);
  return fields;
}

} // namespace rw::view
