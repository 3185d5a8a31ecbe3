#include "view/CommandLine.h"

#include <algorithm>
#include <cctype>

namespace rw::view {

CommandLine::Kind CommandLine::KindOf(const std::filesystem::path& file) {
  std::string ext = file.extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::toupper(c); });
  if (ext == ".RWE")
    return Kind::Project;
  if (ext == ".AVI")
    return Kind::Movie;
  if (ext == ".WAV")
    return Kind::Sound;
  return Kind::Other;
}

CommandLine CommandLine::Parse(const std::vector<std::string>& args) {
  CommandLine line;
  for (const std::string& arg : args) {
    const Kind kind = KindOf(arg);
    if (kind == Kind::Project)
      line.project_ = arg;
    else if (kind != Kind::Other)
      line.media_.push_back({kind, arg});
  }
  if (line.project_)
    line.media_.clear();
  return line;
}

} // namespace rw::view
