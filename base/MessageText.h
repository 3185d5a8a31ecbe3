#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace rw {

// Collects the messages of one command for the user. A command clears it, runs one operation
// and shows the text when the operation answers false. The text never grows past 4095 bytes:
// a Set that does not fit empties the buffer, an Append that does not fit is taken back, and
// both answer false.
class MessageText {
public:
  static constexpr std::size_t kCapacity = 4095;

  bool Set(std::string_view text);
  bool Append(std::string_view text);
  void Clear() { text_.clear(); }
  const std::string& Get() const { return text_; }
  bool Empty() const { return text_.empty(); }

  // A file name as the messages show it: between single quotes.
  static std::string Quoted(const std::filesystem::path& file);

private:
  std::string text_;
};

} // namespace rw
