#include "project/VideoProject.h"

#include "media/MediaContext.h"

#include <algorithm>

namespace rw {

VideoProject::VideoProject(MediaContext& context) : context_(&context) {
  SetCurrentFrame(0, true);
}

VideoProject& VideoProject::operator=(const VideoProject& other) {
  if (this == &other)
    return *this;
  context_ = other.context_;
  current_ = other.current_;
  clipboard_ = other.clipboard_;
  undo_ = other.undo_;
  redo_ = other.redo_;
  SetCurrentFrame(other.current_.currentFrame, true);
  viewWidth_ = other.viewWidth_;
  viewHeight_ = other.viewHeight_;
  return *this;
}

MessageText& VideoProject::Messages() const {
  return context_->Messages();
}

void VideoProject::MarkSaved(const std::filesystem::path& fileName) {
  current_.modified = false;
  current_.fileName = fileName;
}

void VideoProject::SetViewSize(std::int32_t width, std::int32_t height) {
  viewWidth_ = width;
  viewHeight_ = height;
}

bool VideoProject::Undo() {
  if (undo_.empty())
    return false;
  redo_.push_back(std::move(current_));
  current_ = std::move(undo_.back());
  undo_.pop_back();
  SetCurrentFrame(current_.currentFrame, true);
  return true;
}

bool VideoProject::Redo() {
  if (redo_.empty())
    return false;
  undo_.push_back(std::move(current_));
  current_ = std::move(redo_.back());
  redo_.pop_back();
  SetCurrentFrame(current_.currentFrame, true);
  return true;
}

const EditInfo& VideoProject::HistoryRecord(std::int32_t k) const {
  static const EditInfo kNone;
  if (k < 0 || k >= RedoLimit())
    return kNone;
  const auto index = static_cast<std::size_t>(k);
  if (index < undo_.size())
    return undo_[index];
  return redo_[redo_.size() - 1 - (index - undo_.size())];
}

EditInfo VideoProject::Draft() const {
  EditInfo next = current_;
  next.list.Detach();
  return next;
}

bool VideoProject::Commit(EditInfo next, std::int64_t frameAfter) {
  if (undo_.size() == static_cast<std::size_t>(kHistorySize))
    undo_.pop_front();
  undo_.push_back(std::move(current_));
  redo_.clear();
  current_ = std::move(next);
  current_.modified = true;
  const std::int64_t frame = std::clamp<std::int64_t>(frameAfter, 0, List().TotalFrames());
  return SetCurrentFrame(static_cast<std::int32_t>(frame), true);
}

bool VideoProject::SetCurrentFrame(std::int32_t f, bool force) {
  const pVideoClipList& list = List();
  if (f < 0 || f > list.TotalFrames())
    return false;
  const ClipPos& pos = current_.currentPos;
  if (force || !list.IsValidPos(pos))
    current_.currentPos = list.PosAt(f);
  else if (f == current_.currentFrame + 1)
    current_.currentPos = list.NextPos(pos);
  else if (f == current_.currentFrame - 1)
    current_.currentPos = list.PrevPos(pos);
  else
    current_.currentPos = list.PosAt(f);
  current_.currentFrame = f;
  return true;
}

std::int32_t VideoProject::CurrentEntryIndex() const {
  if (current_.currentFrame < List().TotalFrames())
    return current_.currentPos.index;
  return List().Count();
}

std::int32_t VideoProject::NextCutTarget() const {
  const pVideoClipList& list = List();
  const std::int64_t i = current_.currentPos.index;
  const std::int64_t p = current_.currentPos.frame;
  const std::int64_t c = current_.currentFrame;
  const std::int64_t length = list.LengthOf(static_cast<std::int32_t>(i));
  const std::int64_t in = list.TransOf(static_cast<std::int32_t>(i));
  const std::int64_t out = list.TransOf(static_cast<std::int32_t>(i + 1));
  std::int64_t target;
  if (in > 0 && p < in - 1)
    target = c - p + in - 1; // the last frame of the incoming transition
  else if (p < length - out - 1)
    target = c - p + length - out - 1; // the last frame before the outgoing transition
  else
    target = c - p + length;
  if (target >= list.TotalFrames())
    target = 0;
  return static_cast<std::int32_t>(target);
}

std::int32_t VideoProject::PrevCutTarget() const {
  const pVideoClipList& list = List();
  const std::int32_t i = current_.currentPos.index;
  const std::int64_t p = current_.currentPos.frame;
  const std::int64_t c = current_.currentFrame;
  std::int64_t trans = list.TransOf(i);
  std::int64_t q = p;
  if (trans > 0 && p == 0 && i > 0) {
    trans = list.TransOf(i - 1);
    q = std::int64_t{list.LengthOf(i - 1)} - list.TransOf(i - 1);
  }
  std::int64_t target;
  if (trans < 1 || q < trans)
    target = q >= 1 ? c - q : c - 1;
  else
    target = trans + c - q - 1;
  if (target < 0)
    target = list.TotalFrames() - 1;
  return static_cast<std::int32_t>(target);
}

std::int32_t VideoProject::FrameOrEnd(const ClipPos& pos) const {
  if (pos.index == List().Count())
    return List().TotalFrames();
  return List().FrameOf(pos);
}

} // namespace rw
