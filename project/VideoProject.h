#pragma once

#include "project/AudioRef.h"
#include "project/ClipPos.h"
#include "project/EditInfo.h"
#include "project/OfflineMedia.h"
#include "project/VideoClipList.h"

#include <cstdint>
#include <deque>
#include <filesystem>
#include <vector>

namespace rw {

class ColorChooser;
class EditDialogs;
class MediaContext;
class MessageText;

// The project: the current edit state, up to 64 earlier states for undo, the states undone for
// redo, and the clipboard. Every change of the project is an edit: it builds a new state from
// the current one on a detached copy of the list and, only when that succeeds, records the old
// state and makes the new one current. Moving the current frame and changing the selection are
// not edits. Failures answer false and leave the project as it was; the messages of the list
// operations go to the context's MessageText.
class VideoProject {
public:
  static constexpr std::int32_t kHistorySize = 64;

  explicit VideoProject(MediaContext& context);
  VideoProject(const VideoProject&) = delete;
  // Used by New and Open: copies the current state and every history record, shares the
  // clipboard, copies the view size and looks the current position up again.
  VideoProject& operator=(const VideoProject& other);

  MediaContext& Context() const { return *context_; }
  MessageText& Messages() const;

  // --- State ---------------------------------------------------------------------------------
  const EditInfo& Current() const { return current_; }
  // The current state for direct, unrecorded changes: only for building a fresh project (reading
  // a project file). Everything else goes through the edits below.
  EditInfo& State() { return current_; }
  const pVideoClipList& List() const { return *current_.list; }
  std::int32_t CurrentFrame() const { return current_.currentFrame; }
  const ClipPos& CurrentPos() const { return current_.currentPos; }
  bool Modified() const { return current_.modified; }
  const std::filesystem::path& FileName() const { return current_.fileName; }
  // After a save: the current state (only) is no longer modified and has this file name.
  void MarkSaved(const std::filesystem::path& fileName);
  const VideoClipList& Clipboard() const { return clipboard_; }
  std::int32_t ViewWidth() const { return viewWidth_; }
  std::int32_t ViewHeight() const { return viewHeight_; }
  void SetViewSize(std::int32_t width, std::int32_t height);

  // --- History -------------------------------------------------------------------------------
  bool CanUndo() const { return !undo_.empty(); }
  bool CanRedo() const { return !redo_.empty(); }
  bool Undo();
  bool Redo();
  // States older than the current one.
  std::int32_t UndoCount() const { return static_cast<std::int32_t>(undo_.size()); }
  // UndoCount() plus the states that can be redone.
  std::int32_t RedoLimit() const { return static_cast<std::int32_t>(undo_.size() + redo_.size()); }
  // Record k of the history: 0..UndoCount()-1 the earlier states, oldest first; then the undone
  // states, the next to redo first.
  const EditInfo& HistoryRecord(std::int32_t k) const;

  // --- Current frame and navigation ----------------------------------------------------------
  // f in 0..TotalFrames (the end position). With force, or when the current position is not
  // valid, the position is looked up; otherwise a step of one frame moves the position without
  // walking the list. Not an edit.
  bool SetCurrentFrame(std::int32_t f, bool force = false);
  // The current entry, or the entry count at the end position.
  std::int32_t CurrentEntryIndex() const;
  // The frames the next-cut and previous-cut commands jump to.
  std::int32_t NextCutTarget() const;
  std::int32_t PrevCutTarget() const;

  // --- Edits ---------------------------------------------------------------------------------
  bool InsertClip(const ClipPos& pos, const VideoClip& clip);
  bool AppendClip(const VideoClip& clip);
  bool DeleteClip(const ClipPos& pos);
  bool DeleteFrames(ClipPos a, ClipPos b);
  bool Split(const ClipPos& pos);
  // Inserts the clipboard at pos (the end position appends).
  bool Paste(const ClipPos& pos);
  // Inserts every entry of another list at pos (the end position appends), sharing its cuts,
  // transitions and sound; its output settings are not taken. Fails for a list without frames.
  bool InsertList(const ClipPos& pos, const pVideoClipList& other);
  // The transition into entry i, 0 < i < entry count.
  bool SetTransition(const VideoTransition& trans, std::int32_t i);
  // A transition of the given kind ending at the current frame (into the current cut) or
  // starting at it (into the next cut), and removing the one the current frame lies in.
  bool TransitionEndingHere(VideoTransition trans);
  bool TransitionStartingHere(VideoTransition trans);
  bool RemoveTransitionHere();
  // Trim cut i. Fail without a record when the cut refuses the value.
  bool SetBeginFrame(std::int32_t b, std::int32_t i);
  bool SetEndFrame(std::int32_t e, std::int32_t i);
  bool SetLength(std::int32_t n, std::int32_t i);
  bool ConfigureClip(ColorChooser& chooser, std::int32_t i);
  bool ChooseCompressor(EditDialogs& dialogs);
  bool SetOutputFormat(EditDialogs& dialogs);
  // Asks the cut kinds and then the audio clip kinds to check their open files for outside
  // changes; true when either reloaded something. Not an edit.
  bool CheckMediaFiles();
  // Every offline cut and audio clip whose file opens again comes alive in place, in the
  // current state only. Not an edit and nothing is marked modified: the record that will be
  // saved is the same. True when any came alive.
  bool ReviveOffline();
  // What Relink did: the files it found, and the offline files still missing.
  struct RelinkResult {
    std::vector<std::filesystem::path> found;
    std::vector<OfflineFile> missing;
  };
  // Looks for the file of every offline entry by its name in `folder` and its subfolders (the
  // exact name first, then the name in any letter case) and points the entry at the file found,
  // opening it. All entries relinked change in one edit. True when anything was relinked.
  bool Relink(const std::filesystem::path& folder, RelinkResult& result);
  bool AddAudioClip(const AudioClip& clip, const ClipPos& pos);
  bool MoveAudioClip(const AudioRef& ref, std::int32_t f);
  // Audio edits of a set member (volume also of a cut's own sound); each fails without a record
  // when it would change nothing.
  bool SetAudioStart(const AudioRef& ref, std::int32_t f);
  bool SetAudioLength(const AudioRef& ref, std::int32_t n);
  bool SetAudioVolume(const AudioRef& ref, std::int32_t v);

  // --- Selection and clipboard (not edits, except Cut) --------------------------------------
  bool StartSelection(SelMode mode, std::int32_t f);
  // Answers false when f (clamped) is already the end.
  bool SetSelectionEnd(std::int32_t f);
  // The selected range, earlier position first; false without a selection.
  bool SelectionRange(ClipPos& a, ClipPos& b) const;
  bool Copy();
  bool Cut();

private:
  // A copy of the current state with its list detached, ready to be changed.
  EditInfo Draft() const;
  // Records the current state, makes `next` current (modified) and moves to `frameAfter`,
  // limited to the new timeline.
  bool Commit(EditInfo next, std::int64_t frameAfter);
  // Trims cut i through `trim` and records it; the frame after follows from the old and new
  // values that `value` reads.
  template <class Trim, class Value, class FrameAfter>
  bool TrimEdit(std::int32_t i, Trim trim, Value value, FrameAfter frameAfter);
  // Applies `change` to a copy of entry ref.entry and records it.
  template <class Change> bool AudioEdit(const AudioRef& ref, Change change);
  std::int32_t FrameOrEnd(const ClipPos& pos) const;

  MediaContext* context_;
  VideoClipList clipboard_ = VideoClipList::New();
  EditInfo current_;
  std::deque<EditInfo> undo_;  // oldest first
  std::vector<EditInfo> redo_; // the next to redo last
  std::int32_t viewWidth_ = 0;
  std::int32_t viewHeight_ = 0;
};

} // namespace rw
