#pragma once

#include <cstdint>
#include <vector>

namespace rw {

// Where the pictures of a movie fall on the 30 fps timeline of the cuts. Cut frame n shows the
// last picture (display order) whose presentation time, measured from the first picture's and
// rounded to the nearest 1/30 s with halves up, is at most n/30 s; the cut has as many frames as
// the end of the last picture (its time plus its duration) rounds to by the same rule. So a
// 30 fps movie maps one to one whatever its time base, 60 fps takes every other picture, 29.97
// fps holds one picture for two frames about every 33 s, and a variable rate keeps its timing.
// All of it in whole numbers: time stamps are exact fractions of a second.
class ContainerFrameMap {
public:
  // One picture, in display order: its presentation time and duration in the time base, and
  // whether it is a key picture.
  struct Picture {
    std::int64_t pts = 0;
    std::int64_t duration = 0;
    bool key = false;
  };

  // The longest cut a movie may make (frames): anything longer is refused as damaged.
  static constexpr std::int64_t kMaxFrames = 0x7FFFFFF0;

  // Builds the map of `pictures`, which must be in display order (presentation times rising),
  // in a time base of num/den seconds. A picture without a duration (0 or less) lasts as long
  // as the one before it, or 1/30 s when it is alone. False, with the map empty, when there is
  // no picture, the time base is not positive, the times do not rise or the cut would be longer
  // than kMaxFrames.
  bool Build(const std::vector<Picture>& pictures, std::int64_t num, std::int64_t den);
  void Clear();

  // Cut frames of the whole movie.
  std::int32_t FrameCount() const { return frames_; }
  std::int32_t PictureCount() const { return static_cast<std::int32_t>(frameOf_.size()); }
  // The picture (display number) cut frame n shows, n clamped to the cut; -1 when empty.
  std::int32_t PictureAt(std::int32_t n) const;
  // The first cut frame picture p is shown at; -1 when it is never shown (or out of range).
  std::int32_t FirstFrameOf(std::int32_t picture) const;
  // Frame n shows another picture than frame n - 1 (frame 0 always does).
  bool IsNewFrame(std::int32_t n) const;
  // The picture frame n shows is a key picture.
  bool IsKeyFrame(std::int32_t n) const;
  // Presentation time of the first picture: time zero of the movie.
  std::int64_t Origin() const { return origin_; }

  // Ticks of num/den seconds as whole 1/30 s, rounded to the nearest with halves up.
  static std::int64_t RoundToFrames(std::int64_t ticks, std::int64_t num, std::int64_t den);

private:
  std::vector<std::int64_t> frameOf_; // the rounded frame of each picture, rising
  std::vector<bool> key_;
  std::int32_t frames_ = 0;
  std::int64_t origin_ = 0;
};

} // namespace rw
