#include "project/ProjectFileWriter.h"

#include "base/MessageText.h"
#include "base/RecordWriter.h"
#include "media/AudioClipRecord.h"
#include "media/VideoClipRecord.h"
#include "project/EditInfo.h"

#include <string>

namespace rw {

bool ProjectFileWriter::Compose(const EditInfo& state, const std::filesystem::path& folder, std::string& text,
                                MessageText& messages) {
  text.clear();
  RecordWriter writer(folder);
  writer.Line(0, "// Reelwright Ver.0.2006");
  writer.Line(0, "// Reelwright project file: cuts, transitions, sound and output settings");
  writer.Key(0, "CurrentFrame", state.currentFrame);
  if (state.selMode != SelMode::None) {
    const char* word = state.selMode == SelMode::Frames ? "Frame" : "Clip";
    writer.Key(0, "Select",
               std::string(word) + " " + std::to_string(state.selStart) + " " + std::to_string(state.selEnd));
  }
  writer.Key(0, "ClipInfo", "");

  bool ok = true;
  const pVideoClipList& list = *state.list;
  writer.Begin(0);
  writer.Line(1, "Output:");
  ok = list.Output().WriteBlock(writer, 1) && ok;
  writer.Key(1, "ClipNum", list.Count());
  for (std::int32_t i = 0; i < list.Count(); ++i) {
    const ClipInfo& entry = list.EntryAt(i);
    if (entry.trans.IsPresent()) {
      writer.Key(1, "Trans", entry.trans.Keyword());
      ok = entry.trans.WriteBlock(writer, 1) && ok;
    }
    for (std::int32_t k = 0; k < entry.audio.Count(); ++k) {
      const AudioClip clip = entry.audio.At(k);
      if (!clip)
        continue;
      writer.Key(1, "Audio", clip->GetKindName());
      ok = AudioClipRecord::Write(*clip, writer, 1) && ok;
    }
    if (!entry.clip)
      continue;
    writer.Key(1, "Clip", entry.clip->GetKindName());
    ok = VideoClipRecord::Write(*entry.clip, writer, 1) && ok;
  }
  writer.End(0);

  if (writer.Failed())
    messages.Append(writer.FailureText());
  if (!ok || writer.Failed())
    return false;
  text = writer.Take();
  return true;
}

} // namespace rw
