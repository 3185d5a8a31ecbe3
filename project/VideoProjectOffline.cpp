// Offline entries of the project: bringing them back when their files open again, and pointing
// them at files found in a folder.

#include "media/MediaContext.h"
#include "media/OfflineAudioClip.h"
#include "media/OfflineClip.h"
#include "project/OfflineSearch.h"
#include "project/VideoProject.h"

#include <algorithm>
#include <utility>

namespace rw {
namespace {

struct EntryChange {
  std::int32_t index;
  ClipInfo entry;
};

// The entries of `list` in which `cut` or `audio` answered a replacement for an offline cut or
// audio clip (a null answer leaves that one as it is).
template <class CutFn, class AudioFn>
std::vector<EntryChange> Replacements(const pVideoClipList& list, CutFn cut, AudioFn audio) {
  std::vector<EntryChange> changes;
  for (std::int32_t i = 0; i < list.Count(); ++i) {
    ClipInfo entry = list.EntryAt(i);
    bool changed = false;
    if (const auto* offline = dynamic_cast<const OfflineClip*>(entry.clip.Get())) {
      if (VideoClip replacement = cut(*offline)) {
        entry.clip = std::move(replacement);
        changed = true;
      }
    }
    for (std::int32_t k = 0; k < entry.audio.Count(); ++k) {
      const AudioClip member = entry.audio.At(k);
      const auto* offline = dynamic_cast<const OfflineAudioClip*>(member.Get());
      if (!offline)
        continue;
      if (AudioClip replacement = audio(*offline)) {
        entry.audio.Detach();
        entry.audio->Set(k, std::move(replacement));
        changed = true;
      }
    }
    if (changed)
      changes.push_back({i, std::move(entry)});
  }
  return changes;
}

// Stores the changed entries in `list` (detached); an entry whose cut changed length is stored
// only where the transitions on both sides still fit. The number stored.
std::size_t Store(pVideoClipList& list, const std::vector<EntryChange>& changes, MessageText& messages) {
  std::size_t stored = 0;
  for (const EntryChange& change : changes) {
    if (list.UpdateEntry(change.entry, change.index) ||
        list.ReplaceEntry(change.entry, change.index, messages))
      ++stored;
  }
  return stored;
}

// A cut that came alive gets the display size, as every cut does after reading.
VideoClip SizedToView(VideoClip clip, std::int32_t width, std::int32_t height) {
  if (clip && width > 0 && height > 0)
    clip.SetSize(width, height);
  return clip;
}

} // namespace

bool VideoProject::ReviveOffline() {
  if (current_.list.IsNull())
    return false;
  const auto sized = [this](VideoClip clip) { return SizedToView(std::move(clip), viewWidth_, viewHeight_); };
  const std::vector<EntryChange> changes = Replacements(
      List(), [&](const OfflineClip& clip) { return sized(clip.Revive(*context_)); },
      [&](const OfflineAudioClip& clip) { return clip.Revive(*context_); });
  if (changes.empty())
    return false;
  // Not an edit: the earlier states keep their offline entries, the current one takes the live
  // ones, and the messages of a cut that no longer fits are not the user's business here.
  MessageText refused;
  current_.list.Detach();
  if (Store(*current_.list, changes, refused) == 0)
    return false;
  const std::int32_t frame = std::clamp(current_.currentFrame, 0, List().TotalFrames());
  SetCurrentFrame(frame, true);
  return true;
}

bool VideoProject::Relink(const std::filesystem::path& folder, RelinkResult& result) {
  result = RelinkResult{};
  const OfflineSearch search(folder);
  std::vector<std::filesystem::path> found;
  const auto look = [&](const std::filesystem::path& file) {
    std::optional<std::filesystem::path> at = search.Find(file);
    if (at && std::find(found.begin(), found.end(), *at) == found.end())
      found.push_back(*at);
    return at;
  };
  const auto sized = [this](VideoClip clip) { return SizedToView(std::move(clip), viewWidth_, viewHeight_); };
  const std::vector<EntryChange> changes = Replacements(
      List(),
      [&](const OfflineClip& clip) {
        const auto at = look(clip.FileName());
        return at ? sized(clip.Relink(*at, *context_)) : VideoClip();
      },
      [&](const OfflineAudioClip& clip) {
        const auto at = look(clip.FileName());
        return at ? clip.Relink(*at, *context_) : AudioClip();
      });
  bool relinked = false;
  if (!changes.empty()) {
    EditInfo next = Draft();
    if (Store(*next.list, changes, Messages()) > 0)
      relinked = Commit(std::move(next), CurrentFrame());
  }
  if (relinked)
    result.found = std::move(found);
  result.missing = OfflineMedia::List(List());
  return relinked;
}

} // namespace rw
