#include "media/AudioClipRecord.h"

#include "base/FileNameForm.h"
#include "base/MessageText.h"
#include "base/RecordBlock.h"
#include "base/RecordGrammar.h"
#include "base/RecordReader.h"
#include "base/RecordWriter.h"
#include "media/OfflineAudioClip.h"

#include <string>

namespace rw {
bool AudioClipRecord::Write(const pAudioClip& clip, RecordWriter& writer, int level) {
  // An offline clip writes back the record it was read from, with its present anchor and volume.
  if (const auto* offline = dynamic_cast<const OfflineAudioClip*>(&clip))
    return offline->Record().Write(writer, level);
  writer.Begin(level);
  const int inner = level + 1;
  bool written = true;
  if (!clip.fileName_.empty())
    written = writer.FileKey(inner, "FileName", clip.fileName_);
  writer.Key(inner, "StartSample", clip.GetBeginSample());
  writer.Key(inner, "TotalSample", clip.length_);
  writer.Key(inner, "PlayFrame", clip.playFrame_);
  writer.Key(inner, "OverClip", clip.overClip_ ? "ON" : "OFF");
  writer.Key(inner, "Volume", clip.volume_);
  written = clip.SaveExtra(writer, inner) && written;
  writer.End(level);
  return written;
}

bool AudioClipRecord::Read(pAudioClip& blank, RecordReader& reader, MessageText* messages) {
  return RecordBlock::Read(reader, messages, "音声クリップ", [&](const RecordLine& line) {
    if (blank.LoadExtra(line.key, line.value))
      return;
    if (SameWord(line.key, "FileName"))
      blank.fileName_ = FileNameForm::Read(line.value, reader.Folder());
    else if (SameWord(line.key, "StartSample"))
      blank.beginSample_ = ReadNumber(line.value);
    else if (SameWord(line.key, "TotalSample"))
      blank.length_ = ReadNumber(line.value);
    else if (SameWord(line.key, "PlayFrame"))
      blank.playFrame_ = ReadNumber(line.value);
    else if (SameWord(line.key, "Volume"))
      blank.volume_ = ReadNumber(line.value);
    else if (SameWord(line.key, "OverClip"))
      blank.overClip_ = SameWord(line.value.substr(0, 2), "ON");
  });
}

AudioClip AudioClipRecord::Load(AudioClip blank, RecordReader& reader, MessageText* messages) {
  if (!blank || !Read(*blank, reader, messages))
    return AudioClip();
  return blank->Rebuild();
}

} // namespace rw
