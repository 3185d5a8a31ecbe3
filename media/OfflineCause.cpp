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
  const auto byte = [&](std::size_t i) { return i < head.size() ? static_cast<unsigned char>(head[i]) : 0u; };
  const bool riff = head.size() >= 12 && head.substr(0, 4) == "RIFF";
  const bool avi = riff && head.substr(8, 4) == "AVI ";
  const bool wav = riff && head.substr(8, 4) == "WAVE";
  // Targa files have no mark of their own: their name says what they are.
  const bool picture = head.substr(0, 2) == "BM" || SameWord(file.extension().string(), ".tga") ||
                       head.substr(0, 4) == "\x89PNG" ||
                       (byte(0) == 0xFF && byte(1) == 0xD8 && byte(2) == 0xFF);
  // MP4 and MOV begin with a box of one of these types; Matroska and WebM with the EBML mark.
  const std::string_view box = head.size() >= 8 ? head.substr(4, 4) : std::string_view();
  const bool movie = box == "ftyp" || box == "moov" || box == "mdat" || box == "wide" || box == "free" ||
                     (byte(0) == 0x1A && byte(1) == 0x45 && byte(2) == 0xDF && byte(3) == 0xA3);
  // Sound files: Ogg pages, FLAC, MP3 with a tag or starting on a frame header.
  const bool sound = movie || head.substr(0, 4) == "OggS" || head.substr(0, 4) == "fLaC" ||
                     head.substr(0, 3) == "ID3" || (byte(0) == 0xFF && (byte(1) & 0xE0) == 0xE0);
  if (SameWord(keyword, "AVI") || SameWord(keyword, "AVIAudio"))
    return avi;
  if (SameWord(keyword, "WAV"))
    return wav;
  if (SameWord(keyword, "PIC"))
    return picture;
  if (SameWord(keyword, "Movie"))
    return movie;
  if (SameWord(keyword, "Sound"))
    return sound;
  return avi || wav || picture || sound;
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
