#include "media/OfflineCause.h"

#include "base/MessageText.h"
#include "base/RecordGrammar.h"

#include <array>
#include <fstream>
#include <system_error>

namespace rw {
namespace {

// The first bytes of `file` (fewer when it is shorter); false when it cannot be read.
bool Head(const std::filesystem::path& file, std::array<char, 12>& head, std::size_t& size) {
  std::ifstream in(file, std::ios::binary);
  if (!in)
    return false;
  in.read(head.data(), static_cast<std::streamsize>(head.size()));
  if (in.bad())
    return false;
  size = static_cast<std::size_t>(in.gcount());
  return true;
}

// Whether a file beginning with `head` looks like one of the files of kind `keyword` (any kind
// when the keyword is none of the program's).
bool LooksLikeKind(std::string_view head, const std::filesystem::path& file, std::string_view keyword) {
  const bool riff = head.size() >= 12 && head.substr(0, 4) == "RIFF";
  const bool avi = riff && head.substr(8, 4) == "AVI ";
  const bool wav = riff && head.substr(8, 4) == "WAVE";
  // Targa files have no mark of their own: their name says what they are.
  const bool picture = head.substr(0, 2) == "BM" || SameWord(file.extension().string(), ".tga");
  if (SameWord(keyword, "AVI") || SameWord(keyword, "AVIAudio"))
    return avi;
  if (SameWord(keyword, "WAV"))
    return wav;
  if (SameWord(keyword, "PIC"))
    return picture;
  return avi || wav || picture;
}

} // namespace

std::string OfflineCause::Of(const std::filesystem::path& file, std::string_view keyword,
                             std::string_view said) {
  if (file.empty())
    return std::string(kNoFileName);
  std::error_code ec;
  const std::filesystem::file_status status = std::filesystem::status(file, ec);
  if (!std::filesystem::exists(status))
    return std::string(kMissing);
  std::array<char, 12> head{};
  std::size_t size = 0;
  if (!std::filesystem::is_regular_file(status) || !Head(file, head, size))
    return std::string(kUnreadable);
  if (size == 0)
    return std::string(kDamaged) + std::string(kEmpty);
  if (!LooksLikeKind(std::string_view(head.data(), size), file, keyword))
    return std::string(kUnsupported);
  const std::string what = Said(file, said);
  return std::string(kDamaged) + (what.empty() ? std::string(kUnreadable) : what);
}

bool OfflineCause::WasRead(std::string_view reason) {
  return reason == kUnsupported || reason.starts_with(kDamaged);
}

std::string OfflineCause::Shortfall(std::string_view unit, std::int64_t first, std::int64_t last,
                                    std::int64_t available) {
  if (first < 0 || last < first || last < available)
    return {};
  return std::string(kDamaged) + "記録では" + std::string(unit) + std::to_string(first) + "〜" +
         std::to_string(last) + "ですが、ファイルには" + std::to_string(available) + std::string(unit) +
         "しかありません";
}

std::string OfflineCause::Said(const std::filesystem::path& file, std::string_view said) {
  const std::string full = MessageText::Quoted(file);
  const std::string shortName = MessageText::Quoted(file.filename());
  std::string text;
  std::size_t start = 0;
  while (start < said.size()) {
    std::size_t end = said.find('\n', start);
    if (end == std::string_view::npos)
      end = said.size();
    std::string line(said.substr(start, end - start));
    start = end + 1;
    if (line.empty())
      continue;
    for (std::size_t at = line.find(full); at != std::string::npos;
         at = line.find(full, at + shortName.size()))
      line.replace(at, full.size(), shortName);
    if (!text.empty())
      text += " / ";
    text += line;
  }
  return text;
}

} // namespace rw
