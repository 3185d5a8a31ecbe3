#include "view/CommandLine.h"

#include "project/MediaFiles.h"

namespace rw::view {

CommandLine::Kind CommandLine::KindOf(const std::filesystem::path& file) {
  // Pictures are not taken from the command line or a drop: only movies and sound files.
  switch (MediaFiles::KindOf(file)) {
  case MediaFiles::Kind::Project:
    return Kind::Project;
  case MediaFiles::Kind::Movie:
    return Kind::Movie;
  case MediaFiles::Kind::Sound:
    return Kind::Sound;
  default:
    return Kind::Other;
  }
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
