#include "media/VideoClipRecord.h"

#include "base/FileNameForm.h"
#include "base/MessageText.h"
#include "base/RecordBlock.h"
#include "base/RecordGrammar.h"
#include "base/RecordReader.h"
#include "base/RecordWriter.h"
#include "media/OfflineClip.h"

#include <string>

namespace rw {
bool VideoClipRecord::Write(const pVideoClip& clip, RecordWriter& writer, int level) {
  // An offline cut writes back the record it was read from.
  if (const auto* offline = dynamic_cast<const OfflineClip*>(&clip))
    return offline->Record().Write(writer, level);
  writer.Begin(level);
  const int inner = level + 1;
  bool ok = true;
  if (!clip.fileName_.empty())
    ok = writer.FileKey(inner, "FileName", clip.fileName_);
  if (clip.HasBeginEnd()) {
    writer.Key(inner, "StartFrame", clip.GetBeginFrame());
    writer.Key(inner, "EndFrame", clip.GetEndFrame());
  } else if (clip.RecordsLength()) {
    writer.Key(inner, "TotalFrame", clip.length_);
  } else {
    writer.Key(inner, "Frames", clip.length_);
  }
  if (clip.audio_ && clip.audio_->IsValid())
    writer.Key(inner, "Volume", clip.audio_->Volume());
  ok = clip.SaveExtra(writer, inner) && ok;
  writer.End(level);
  return ok;
}

bool VideoClipRecord::Read(pVideoClip& blank, RecordReader& reader, MessageText* messages) {
  return RecordBlock::Read(reader, messages, "クリップ", [&](const RecordLine& line) {
    if (blank.LoadExtra(line.key, line.value))
      return;
    if (SameWord(line.key, "FileName"))
      blank.fileName_ = FileNameForm::Read(line.value, reader.Folder());
    else if (SameWord(line.key, "StartFrame"))
      blank.beginFrame_ = ReadNumber(line.value);
    else if (SameWord(line.key, "EndFrame"))
      blank.endFrame_ = ReadNumber(line.value);
    else if (SameWord(line.key, "TotalFrame"))
      blank.length_ = ReadNumber(line.value);
    else if (SameWord(line.key, "Volume"))
      blank.loadedVolume_ = ReadNumber(line.value);
  });
}

VideoClip VideoClipRecord::Load(VideoClip blank, RecordReader& reader, MessageText* messages) {
  if (!blank || !Read(*blank, reader, messages))
    return VideoClip();
  return blank->Rebuild();
}

} // namespace rw
