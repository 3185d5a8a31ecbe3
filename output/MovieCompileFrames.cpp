#include "output/MovieCompileFrames.h"

#include "media/AviStream.h"
#include "media/VideoClip.h"
#include "output/MovieCompileCopy.h"
#include "output/SourcePicture.h"
#include "project/VideoClipList.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace rw {

namespace {

// Gives `to` the size of `from` when needed and copies its pixels.
void CopyPicture(const DIB& from, DIB& to) {
  if (to.Width() != from.Width() || to.Height() != from.Height())
    to.CreateLike(from);
  if (from.IsPresent() && to.IsPresent())
    std::memcpy(to.Bits(), from.Bits(), from.SizeImage());
}

} // namespace

MovieCompileFrames::MovieCompileFrames(const pVideoClipList& list, const OutputInfo& settings,
                                       const MovieCompileCopy* copy, AVPixelFormat passFormat)
    : list_(list), settings_(settings), copy_(copy), passFormat_(passFormat) {
  count_ = std::max(0, list.TotalFrames());
  current_.Create(settings.VideoWidth(), settings.VideoHeight());
  current_.Clear();
  previous_.CreateLike(current_);
  pos_ = list.PosAt(0);
}

bool MovieCompileFrames::Next(MovieCompileStep& step) {
  if (made_ >= count_)
    return false;
  const std::int32_t i = made_;
  step.position = i;
  step.video = MovieCompileStep::Video::None;
  step.key = false;
  step.frame.reset();

  const bool newCut = i == 0 || pos_.index != previousIndex_;
  previousIndex_ = pos_.index;
  const pVideoClip* clip = pos_.info.clip.Get();
  const std::int32_t f = pos_.frame;
  const std::int32_t t = pos_.info.TransLength();
  std::int32_t source = -1;
  if (clip) {
    const std::int64_t s = static_cast<std::int64_t>(clip->GetBeginFrame()) + f;
    source =
        static_cast<std::int32_t>(std::clamp<std::int64_t>(s, -1, std::numeric_limits<std::int32_t>::max()));
  }

  if (copy_ && clip) {
    if (newCut) {
      copying_ = false;
      copyAllowed_ = copy_->CanCopy(*clip);
    }
    if (copyAllowed_) {
      if (f < t)
        copying_ = false;
      else if ((*clip->GetStream())->IsKeyFrame(source))
        copying_ = true; // a run begins only at a source key frame
    }
  } else {
    copying_ = false;
  }

  if (!(copying_ && TakeSample(*clip, f, source, step)))
    Render(clip, f, t, step);

  pos_ = list_.NextPos(pos_);
  RenderSound(i, step);
  ++made_;
  return true;
}

bool MovieCompileFrames::TakeSample(const pVideoClip& clip, std::int32_t f, std::int32_t source,
                                    MovieCompileStep& step) {
  const AviStream& stream = *clip.GetStream();
  if (!stream->ReadVideoSample(source, step.sample) ||
      (!step.sample.empty() && !copy_->SampleFits(step.sample.size()))) {
    // The pictures after it may depend on this one: the run ends here, the frame is rendered,
    // and copying starts again at the next source key frame.
    copying_ = false;
    return false;
  }
  previousValid_ = false;
  previousFrame_.reset();
  if (step.sample.empty())
    return true; // an empty source entry: the copied picture before it goes on
  step.video = MovieCompileStep::Video::Sample;
  step.key = clip.IsKeyFrame(f);
  lastSent_ = made_;
  previousPos_ = pos_;
  afterSample_ = true;
  return true;
}

void MovieCompileFrames::Render(const pVideoClip* clip, std::int32_t f, std::int32_t t,
                                MovieCompileStep& step) {
  // The first frame after the transition (or of a cut without one) always gets its own picture:
  // the picture before it belongs to another cut or to the blend.
  const bool needed = f <= t || (clip && clip->IsNewFrame(f));
  if (!needed)
    return;
  const bool key = f == 0 || f == t - 1 || (f >= t && clip && clip->IsKeyFrame(f)) || afterSample_;
  if (PassThrough(step, key))
    return;
  // The picture is made in the step itself; it is sent only when it differs from the last one.
  DIB& picture = step.picture;
  if (picture.Width() != current_.Width() || picture.Height() != current_.Height())
    picture.CreateLike(current_);
  renderer_.SmoothFrame(list_, picture, pos_);
  if (previousValid_ && picture.IsSame(previous_))
    return;
  SendPicture(step, key);
  previousPos_ = pos_;
}

bool MovieCompileFrames::PassThrough(MovieCompileStep& step, bool key) {
  if (passFormat_ == AV_PIX_FMT_NONE)
    return false;
  // The same stored bytes as the picture sent last: that picture again, without decoding it.
  std::int32_t entry = -1;
  const pAviStream* stream = SourcePicture::IntraSource(pos_, entry);
  const bool read = stream && stream->ReadVideoSample(entry, sample_) && !sample_.empty();
  if (previousFrame_ && read && stream == previousStream_ && sample_ == previousSample_)
    return true;
  ff::FramePtr source = SourcePicture::Take(pos_, current_.Width(), current_.Height(), passFormat_);
  if (!source)
    return false;
  if (previousFrame_ && SourcePicture::Same(*source, *previousFrame_))
    return true; // the same picture again: the frame stays empty
  ff::FramePtr kept(av_frame_clone(source.get()));
  if (!kept)
    return false; // out of memory: rendered instead
  step.video = MovieCompileStep::Video::Frame;
  step.key = key;
  step.frame = std::move(source);
  previousFrame_ = std::move(kept);
  previousStream_ = read ? stream : nullptr;
  previousSample_.swap(sample_);
  previousValid_ = false;
  afterSample_ = false;
  lastSent_ = step.position;
  previousPos_ = pos_;
  return true;
}

void MovieCompileFrames::SendPicture(MovieCompileStep& step, bool key) {
  step.video = MovieCompileStep::Video::Picture;
  step.key = key;
  CopyPicture(step.picture, previous_);
  previousValid_ = true;
  previousFrame_.reset();
  afterSample_ = false;
  lastSent_ = step.position;
}

void MovieCompileFrames::RenderSound(std::int32_t i, MovieCompileStep& step) {
  if (!settings_.AudioOut()) {
    step.audio.clear();
    return;
  }
  if (renderer_.RenderAudio(list_, step.audio, i, 1))
    return;
  // Only an impossible window is refused; the movie still gets the frame's length of silence.
  const auto bytes =
      static_cast<std::size_t>(std::max<std::int64_t>(0, TimelineRenderer::ByteCount(settings_, i, 1)));
  step.audio.assign(bytes, settings_.AudioBits() == 8 ? 0x80 : 0);
}

void MovieCompileFrames::Closing(MovieCompileStep& step) {
  step.position = count_ - 1;
  step.video = MovieCompileStep::Video::None;
  step.key = false;
  step.frame.reset();
  step.audio.clear();
  if (count_ <= 0 || lastSent_ >= count_ - 1)
    return;
  if (previousFrame_) {
    step.video = MovieCompileStep::Video::Frame;
    step.key = true;
    step.frame.reset(av_frame_clone(previousFrame_.get()));
    if (step.frame) {
      lastSent_ = step.position;
      return;
    }
    step.video = MovieCompileStep::Video::None;
    step.key = false;
  }
  if (previousValid_)
    CopyPicture(previous_, current_);
  else
    renderer_.SmoothFrame(list_, current_, previousPos_);
  step.video = MovieCompileStep::Video::Picture;
  step.key = true;
  CopyPicture(current_, step.picture);
  lastSent_ = step.position;
}

} // namespace rw
