#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rw::cli {

// Writes one JSON value with two-space indentation. Strings are taken as UTF-8; bytes that are
// not valid UTF-8 become U+FFFD, control characters are escaped.
class JsonWriter {
public:
  void BeginObject() { Open('{'); }
  void EndObject() { Close('}'); }
  void BeginArray() { Open('['); }
  void EndArray() { Close(']'); }
  // The key of the next member of the object being written.
  void Key(std::string_view key);
  void String(std::string_view text);
  void Number(std::int64_t value);
  void Bool(bool value);
  void Null();

  // The text written so far (complete once every object and array is closed), with a final
  // line end.
  std::string Text() const { return out_ + "\n"; }

  // `text` as a JSON string literal, quotes included.
  static std::string Quote(std::string_view text);

private:
  void Open(char bracket);
  void Close(char bracket);
  // Separator and indentation before a value or key.
  void Next();
  void NewLine();

  std::string out_;
  std::vector<bool> hasItems_; // per open object or array: whether it has a member yet
  bool afterKey_ = false;
};

} // namespace rw::cli
