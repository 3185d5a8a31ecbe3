#include "base/RecordBlock.h"

#include "base/MessageText.h"
#include "base/RecordReader.h"

#include <string>

namespace rw {

void RecordBlock::Report(MessageText* messages, const RecordReader& in, std::string_view what,
                         std::string_view reason) {
  if (!messages)
    return;
  std::string text(what);
  text += "の記録が読めません(";
  text += std::to_string(in.LineNumber());
  text += "行目): ";
  text += reason;
  text += "\n";
  messages->Append(text);
}

bool RecordBlock::ReadToBegin(RecordReader& in, MessageText* messages, std::string_view what) {
  std::string text;
  while (in.ReadLine(text)) {
    const RecordLine line = ParseRecordLine(text);
    if (line.isKey) {
      Report(messages, in, what, "begin の前に " + line.key + " があります");
      return false;
    }
    if (SameWord(line.key, "begin"))
      return true;
  }
  Report(messages, in, what, "begin がありません");
  return false;
}

bool RecordBlock::Read(RecordReader& in, MessageText* messages, std::string_view what,
                       const std::function<void(const RecordLine&)>& onKey) {
  if (!ReadToBegin(in, messages, what))
    return false;
  std::string text;
  while (in.ReadLine(text)) {
    const RecordLine line = ParseRecordLine(text);
    if (line.isKey)
      onKey(line);
    else if (SameWord(line.key, "end"))
      return true;
  }
  Report(messages, in, what, "end がありません");
  return false;
}

} // namespace rw
