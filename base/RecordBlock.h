#pragma once

#include "base/RecordGrammar.h"

#include <functional>
#include <string_view>

namespace rw {

class MessageText;
class RecordReader;

// Reading the "begin" … "end" block that follows the line introducing a record. Failures append
// "<what>の記録が読めません(<line>行目): <reason>" and a line break to `messages` (when given).
class RecordBlock {
public:
  // Reads up to the bare word "begin"; comments and other bare words are skipped. A key line
  // before it, or the end of the text, fails.
  static bool ReadToBegin(RecordReader& in, MessageText* messages, std::string_view what);

  // Reads a whole block: up to "begin", then hands every key line to `onKey` until the bare word
  // "end". Other bare words and comments inside are skipped; the end of the text fails.
  static bool Read(RecordReader& in, MessageText* messages, std::string_view what,
                   const std::function<void(const RecordLine&)>& onKey);

  static void Report(MessageText* messages, const RecordReader& in, std::string_view what,
                     std::string_view reason);
};

} // namespace rw
