#pragma once

#include "base/Handle.h"
#include "base/RefCounted.h"
#include "output/settings/OutputInfo.h"
#include "project/AudioRef.h"
#include "project/ClipInfo.h"
#include "project/ClipPos.h"
#include "project/EntrySequence.h"

#include <cstdint>
#include <span>
#include <vector>

namespace rw {

class MessageText;
class VideoClipList;

// The clip list: the timeline entries in order and the movie output settings. Shared through
// VideoClipList handles by edit states, the history and the clipboard; the structural
// operations may only be called on a list that the caller has detached.
//
// Notation: len(i) is entry i's cut length (-1 for an empty cut), T(i) the length of the
// transition into entry i (0 past the end). A transition overlaps the last T(i + 1) frames of
// cut i with the first frames of cut i + 1, so the timeline is the sum of len(i) - T(i + 1);
// frames inside a transition belong to the later cut. T(0) never counts.
//
// Every operation keeps len(i) - T(i + 1) >= 0 for every entry (no transition is longer than
// the cut before it); operations that would break this fail with a message.
class pVideoClipList : public RefCounted {
public:
  // The longest timeline the list accepts (frames).
  static constexpr std::int64_t kMaxTotalFrames = std::int64_t{1} << 30;

  pVideoClipList() = default;
  // Shares every entry and copies the output settings.
  pVideoClipList(const pVideoClipList& other) = default;
  pVideoClipList& operator=(const pVideoClipList&) = delete;

  std::int32_t Count() const { return entries_.Size(); }
  std::int32_t TotalFrames() const { return static_cast<std::int32_t>(entries_.Total()); }
  // Entry i, or the shared default entry outside 0..Count()-1.
  const ClipInfo& EntryAt(std::int32_t i) const;
  std::int32_t LengthOf(std::int32_t i) const { return EntryAt(i).Length(); }
  // T(i): 0 outside the list.
  std::int32_t TransOf(std::int32_t i) const;

  // --- Timeline arithmetic -------------------------------------------------------------------
  // First timeline frame of entry i (its incoming transition included); StartOf(Count()) is the
  // timeline length; -1 outside 0..Count().
  std::int32_t StartOf(std::int32_t i) const;
  // StartOf(i) + len(i) - 1; -1 outside 0..Count()-1 (also for the three below).
  std::int32_t LastFrameOf(std::int32_t i) const;
  // First frame after the incoming transition.
  std::int32_t OwnStartOf(std::int32_t i) const;
  // Last frame before the outgoing transition.
  std::int32_t OwnEndOf(std::int32_t i) const;
  // StartOf(pos.index) + pos.frame for a valid position, else -1.
  std::int32_t FrameOf(const ClipPos& pos) const;
  // The position of timeline frame f: inside a transition it lies in the later cut. f equal to
  // the timeline length gives the end position; anything else outside gives the invalid one.
  ClipPos PosAt(std::int32_t f) const;
  // The position of the first frame that is shown: entry 0, or the first entry not wholly
  // covered by the transition to the next one. Invalid for an empty list.
  ClipPos FirstPos() const;
  // The last frame of the last cut; invalid for an empty list.
  ClipPos LastPos() const;
  // { default entry, Count(), 0 }: just after the last frame; not a valid position.
  ClipPos EndPos() const;
  // One frame later / earlier without walking the list. Entries wholly covered by a transition
  // are stepped over, so that stepping always agrees with PosAt. Invalid when pos is invalid;
  // NextPos from the last frame answers the end position, PrevPos from the first the invalid one.
  ClipPos NextPos(const ClipPos& pos) const;
  ClipPos PrevPos(const ClipPos& pos) const;
  // The neighbouring entry at the same frame (limited to its last frame); invalid at the ends.
  ClipPos PrevCutPos(const ClipPos& pos) const;
  ClipPos NextCutPos(const ClipPos& pos) const;
  // First and last frame of pos's cut.
  ClipPos CutStartPos(const ClipPos& pos) const;
  ClipPos CutEndPos(const ClipPos& pos) const;
  // Cut frames from a to b inclusive (either order); transition overlaps are not subtracted. 0
  // unless both are valid.
  std::int32_t FrameCount(const ClipPos& a, const ClipPos& b) const;
  // pos names a frame of a cut that this list still holds at pos.index (the same object).
  bool IsValidPos(const ClipPos& pos) const;

  // --- Structural operations (the list must be detached; failures change nothing) -----------
  // Cuts the entry at pos in two and answers the second part's first frame. Frame 0 answers pos
  // unchanged. Refused inside the incoming transition or where the rest of the cut lies inside
  // the outgoing one ("映像効果中では切断できません").
  ClipPos Split(const ClipPos& pos, MessageText& messages);
  // Removes every frame from a to b inclusive.
  bool DeleteRange(ClipPos a, ClipPos b, MessageText& messages);
  // Inserts all entries of `other` before pos (the end position appends); each keeps its own
  // transition, the first one included.
  bool InsertList(const ClipPos& pos, const pVideoClipList* other, MessageText& messages);
  // Inserts one entry before pos; an empty list takes it whatever pos is.
  bool InsertEntry(const ClipPos& pos, const ClipInfo& entry, MessageText& messages);
  bool AppendEntry(const ClipInfo& entry, MessageText& messages);
  // Replaces every entry by `entries` in one step (reading a project file). Each entry must hold
  // a valid cut of length 0 or more and each transition must fit the cut before it.
  bool AssignEntries(std::span<const ClipInfo> entries, MessageText& messages);
  // Replaces entry i after checking that the transitions on both sides fit.
  bool ReplaceEntry(const ClipInfo& entry, std::int32_t i, MessageText& messages);
  // Replaces entry i by one with the same cut length and transition (audio or picture
  // changes); false otherwise.
  bool UpdateEntry(const ClipInfo& entry, std::int32_t i);
  // A new list of the frames a to b of `source` (either order): the cuts are shared, the first
  // and last trimmed to the range, every entry keeps its transition, the output settings are
  // copied. Null when a position is invalid, or when a starts inside the part of its cut that
  // the next cut's transition covers and the range goes on past that cut.
  static VideoClipList CopyRange(const pVideoClipList& source, ClipPos a, ClipPos b);
  // Gives every cut the display size.
  void SetDisplaySize(std::int32_t width, std::int32_t height);

  // --- Output settings -----------------------------------------------------------------------
  const OutputInfo& Output() const { return output_; }
  void SetOutput(const OutputInfo& output) { output_ = output; }
  // The settings as the format dialog starts from them: when the list has entries, a width or
  // height below 1 becomes the first cut's recorded frame size (movie cuts only).
  OutputInfo OutputForDialog() const;

  // --- Audio ---------------------------------------------------------------------------------
  // Every cut's valid own sound plus every member of every audio set.
  std::int32_t AudioCount() const;
  // The clips that sound in timeline frames a to a + b, in entry order, own sound first.
  std::vector<AudioRef> AudioInWindow(std::int32_t a, std::int32_t b) const;
  // The clip, or an empty handle for a bad ref.
  AudioClip AudioAt(const AudioRef& ref) const;
  // StartOf(entry) + the clip's anchor; -1 when the clip is not valid.
  std::int32_t AudioStartFrame(const AudioRef& ref) const;
  // The clip's volume; 0 when it is not valid.
  std::int32_t AudioVolume(const AudioRef& ref) const;
  // Moves a set member to timeline frame f (0 <= f < TotalFrames()): a new anchor in its entry,
  // or into the set of the entry that holds f. False when nothing would change.
  bool MoveAudio(const AudioRef& ref, std::int32_t f);

private:
  ClipPos MakePos(std::int32_t i, std::int32_t frame) const { return ClipPos(EntryAt(i), i, frame); }
  // len(i) - T(i + 1).
  std::int64_t OwnFrames(std::int32_t i) const { return entries_.OwnFrames(i); }
  // Checks that entries[at - 1] can hold the transition into `next` and `last` the one into
  // the entry now at `at`, for a run of entries about to be inserted at `at`.
  bool CheckJoins(std::int32_t at, const ClipInfo& first, const ClipInfo& last, MessageText& messages) const;
  // Runs `change` on the entries and keeps the result only when it succeeded and the timeline
  // stays within kMaxTotalFrames.
  template <class Change> bool Transact(MessageText& messages, Change change);

  EntrySequence entries_;
  OutputInfo output_;
};

// Handle to a shared clip list, with the convenience edits of the project's operations.
class VideoClipList : public Handle<pVideoClipList> {
public:
  using Handle::Handle;
  VideoClipList(Handle<pVideoClipList> h) : Handle(std::move(h)) {}

  static VideoClipList New() { return Make(); }

  // Detach, then insert / append a new entry of the cut with an empty transition and an empty
  // audio set.
  bool InsertClip(const ClipPos& pos, const VideoClip& clip, MessageText& messages);
  bool AppendClip(const VideoClip& clip, MessageText& messages);
  // Detach, then replace entry i by { clip, trans, audio }.
  bool ReplaceEntry(std::int32_t i, const VideoClip& clip, const VideoTransition& trans,
                    const AudioClipSet& audio, MessageText& messages);
};

} // namespace rw
