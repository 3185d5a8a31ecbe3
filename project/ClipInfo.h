#pragma once

#include "media/VideoClip.h"
#include "project/AudioClipSet.h"
#include "render/VideoTransition.h"

#include <cstdint>

namespace rw {

// One timeline entry: the cut, the transition INTO it from the previous entry (never empty; an
// empty transition of length 0 means the two cuts simply follow each other) and the audio
// clips anchored to it (never empty). Audio anchors are frame offsets from the cut's first frame.
//
// The setters change the entry's own handles only (detaching the cut first), so an entry copied
// out of a list can be changed and stored back without touching what the list shares.
struct ClipInfo {
  VideoClip clip;
  VideoTransition trans;
  AudioClipSet audio;

  // An empty cut with a new empty transition and a new empty set.
  ClipInfo();
  ClipInfo(VideoClip clip, VideoTransition trans, AudioClipSet audio);
  // The cut with a new empty transition and a new empty set.
  explicit ClipInfo(VideoClip clip);

  // The entry that lookups outside a list answer: empty cut, empty transition of length 0, empty
  // set. It is a constant made on first use; everything it holds is shared and, like every
  // shared object, never changed in place (every change detaches first).
  static const ClipInfo& Default();

  // The cut's length in frames; -1 for an empty cut.
  std::int32_t Length() const { return clip.IsNull() ? -1 : clip->Length(); }
  // The incoming transition's length; 0 for an empty handle.
  std::int32_t TransLength() const { return trans.IsNull() ? 0 : trans->Length(); }
  // The entry holds a cut that stands on the timeline: a valid one, or an offline one kept in
  // place of a file that does not open (it has its length and its picture, but no source).
  bool HasValidClip() const { return !clip.IsNull() && (clip->IsValid() || clip->IsOffline()); }

  // Sets the cut's source begin frame. When the cut changed, the audio set becomes a new set of
  // the members whose anchor, moved by the change of the begin frame, still lies inside the cut.
  // Answers the cut handle's answer (false when the cut is empty or b is its begin frame).
  bool SetBegin(std::int32_t b);
  // Sets the source end frame or the length; members anchored at or past the new length leave
  // the set. Answers the cut handle's answer.
  bool SetEnd(std::int32_t e);
  bool SetTotal(std::int32_t n);
  // Removes the first k frames of the cut, whatever its kind: movie cuts move their begin frame,
  // stills get shorter. Audio members keep their place on the timeline (anchors move by the
  // frames removed); those that would start before the cut or past its end leave the set.
  bool DropFront(std::int32_t k);
  // Gives the cut the display size unless it already has it.
  bool SetSize(std::int32_t width, std::int32_t height);

private:
  // Replaces the set by one of the members whose anchor minus `shift` lies in 0..length-1 (or,
  // with `keepBefore`, anywhere below length), anchors moved by -shift.
  void RebuildAudio(std::int32_t shift, bool keepBefore);
};

} // namespace rw
