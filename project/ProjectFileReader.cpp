#include "project/ProjectFileReader.h"

#include "base/MessageText.h"
#include "base/RecordGrammar.h"
#include "base/RecordReader.h"
#include "media/MediaContext.h"
#include "media/OfflineAudioClip.h"
#include "media/OfflineClip.h"
#include "project/VideoProject.h"
#include "render/TransitionKinds.h"

#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace rw {
namespace {

// One number of the "Select" value at `i`: white space, an optional sign and at least one digit.
bool TakeNumber(std::string_view text, std::size_t& i, std::int32_t& number) {
  i = SkipBlank(text, i);
  const std::size_t start = i;
  if (i < text.size() && (text[i] == '-' || text[i] == '+'))
    ++i;
  const std::size_t digits = i;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9')
    ++i;
  if (i == digits)
    return false;
  number = ReadNumber(text.substr(start, i - start));
  return true;
}

void Report(MessageText& messages, const RecordReader& reader, std::string_view what) {
  messages.Append("プロジェクトの記録が読めません(" + std::to_string(reader.LineNumber()) +
                  "行目): " + std::string(what) + "\n");
}

// Reads lines up to the bare word "begin"; other bare words and comments are skipped. False when
// a key line comes first or the text ends.
bool ReadToBegin(RecordReader& reader, MessageText& messages) {
  std::string text;
  while (reader.ReadLine(text)) {
    const RecordLine line = ParseRecordLine(text);
    if (line.isKey) {
      Report(messages, reader, "begin の前に " + line.key + " があります");
      return false;
    }
    if (SameWord(line.key, "begin"))
      return true;
  }
  Report(messages, reader, "begin がありません");
  return false;
}

// Passes over the block of a record whose kind is unknown, up to the "end" that closes its
// "begin" (blocks inside it included), so that its lines are not taken for the list's own.
bool SkipBlock(RecordReader& reader, MessageText& messages) {
  if (!ReadToBegin(reader, messages))
    return false;
  std::string text;
  std::size_t depth = 1;
  while (reader.ReadLine(text)) {
    const RecordLine line = ParseRecordLine(text);
    if (line.isKey)
      continue;
    if (SameWord(line.key, "begin"))
      ++depth;
    else if (SameWord(line.key, "end") && --depth == 0)
      return true;
  }
  Report(messages, reader, "end がありません");
  return false;
}

// The entries of a clip list block as they are read, with the checks the list makes of them.
class EntryCollector {
public:
  explicit EntryCollector(MessageText& messages) : messages_(messages) {}

  void Add(const VideoClip& clip, VideoTransition trans, const AudioClipSet& audio) {
    const std::int32_t length = clip->Length();
    const std::int32_t number = static_cast<std::int32_t>(entries_.size()) + 1;
    if (length < 0) {
      messages_.Append("クリップ" + std::to_string(number) + "は長さがないため読み込めません\n");
      return;
    }
    // A transition longer than the cut before it cannot be laid; the cut is kept without it.
    if (!entries_.empty() && trans.Length() > entries_.back().Length()) {
      messages_.Append("クリップ" + std::to_string(number) +
                       "の前の映像効果は前のクリップより長いため外しました\n");
      trans = TransitionKinds::MakeEmpty();
    }
    // The first entry's transition does not take frames from the timeline.
    const std::int64_t total = total_ + length - (entries_.empty() ? 0 : trans.Length());
    if (total > pVideoClipList::kMaxTotalFrames ||
        entries_.size() >= static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
      messages_.Append("タイムラインが長すぎるため、クリップ" + std::to_string(number) +
                       "を読み込めません\n");
      return;
    }
    total_ = total;
    entries_.emplace_back(clip, std::move(trans), audio);
  }

  bool Store(pVideoClipList& list) { return list.AssignEntries(entries_, messages_); }

private:
  MessageText& messages_;
  std::vector<ClipInfo> entries_;
  std::int64_t total_ = 0;
};

// The clip list block after the "ClipInfo" line, read into `list` (detached by the caller).
bool ReadClipList(RecordReader& reader, pVideoClipList& list, MediaContext& context) {
  MessageText& messages = context.Messages();
  if (!ReadToBegin(reader, messages))
    return false;
  OutputInfo output = list.Output();
  EntryCollector entries(messages);
  VideoTransition pendingTrans = TransitionKinds::MakeEmpty();
  AudioClipSet pendingAudio = AudioClipSet::New();
  bool ended = false;
  std::string text;
  while (!ended && reader.ReadLine(text)) {
    const RecordLine line = ParseRecordLine(text);
    if (!line.isKey) {
      ended = SameWord(line.key, "end");
      continue;
    }
    if (SameWord(line.key, "Output")) {
      // A broken settings block leaves what it read; the list goes on.
      output.ReadBlock(reader, &messages);
    } else if (SameWord(line.key, "Trans")) {
      pendingTrans = TransitionKinds::Load(line.value, reader, &messages);
      if (TransitionKinds::IndexOf(line.value) < 0)
        SkipBlock(reader, messages);
    } else if (SameWord(line.key, "Audio")) {
      if (const AudioClip clip = OfflineAudioClip::Read(line.value, reader, context))
        pendingAudio->Append(clip);
    } else if (SameWord(line.key, "Clip")) {
      if (const VideoClip clip = OfflineClip::Read(line.value, reader, context))
        entries.Add(clip, pendingTrans, pendingAudio);
      pendingTrans = TransitionKinds::MakeEmpty();
      pendingAudio = AudioClipSet::New();
    }
    // "ClipNum" and every other key: ignored.
  }
  if (!ended)
    Report(messages, reader, "クリップ一覧の end がありません");
  list.SetOutput(output);
  entries.Store(list);
  return ended;
}

} // namespace

std::optional<ProjectFileReader::Selection> ProjectFileReader::ParseSelect(std::string_view value) {
  std::size_t i = SkipBlank(value, 0);
  const std::size_t wordStart = i;
  while (i < value.size() && !IsBlank(value[i]))
    ++i;
  const std::string_view word = value.substr(wordStart, i - wordStart);
  Selection selection;
  if (!TakeNumber(value, i, selection.anchor) || !TakeNumber(value, i, selection.end))
    return std::nullopt;
  if (SameWord(word, "Frame"))
    selection.mode = 1;
  else if (SameWord(word, "Clip"))
    selection.mode = 2;
  else
    return std::nullopt;
  return selection;
}

bool ProjectFileReader::Read(RecordReader& reader, VideoProject& fresh, std::int32_t viewWidth,
                             std::int32_t viewHeight) {
  std::int32_t currentFrame = 0;
  std::optional<Selection> selection;
  std::string text;
  while (reader.ReadLine(text)) {
    const RecordLine line = ParseRecordLine(text);
    if (!line.isKey)
      continue;
    if (SameWord(line.key, "CurrentFrame")) {
      currentFrame = ReadNumber(line.value);
    } else if (SameWord(line.key, "Select")) {
      if (const auto read = ParseSelect(line.value))
        selection = read;
    } else if (SameWord(line.key, "ClipInfo")) {
      VideoClipList& list = fresh.State().list;
      list.Detach();
      if (!ReadClipList(reader, *list, fresh.Context()))
        return false;
    }
  }

  fresh.SetViewSize(viewWidth, viewHeight);
  if (viewWidth > 0 && viewHeight > 0) {
    VideoClipList& list = fresh.State().list;
    list.Detach();
    list->SetDisplaySize(viewWidth, viewHeight);
  }
  if (selection) {
    fresh.StartSelection(static_cast<SelMode>(selection->mode), selection->anchor);
    if (selection->end >= 0)
      fresh.SetSelectionEnd(selection->end);
  }
  const std::int32_t total = fresh.List().TotalFrames();
  fresh.SetCurrentFrame(std::clamp(currentFrame, 0, total), true);
  return true;
}

} // namespace rw
