#include "cli/CliProject.h"

#include "cli/CliStatus.h"
#include "project/OfflineMedia.h"
#include "project/ProjectFile.h"

#include <cstdio>
#include <string>

namespace rw::cli {

bool CliProject::Open(const std::filesystem::path& file) {
  if (!OpenQuietly(file))
    return false;
  Announce();
  return true;
}

void CliProject::Announce() {
  const pVideoClipList& list = project_.List();
  const std::string notice = OfflineMedia::Message(OfflineMedia::List(list), OfflineMedia::Damaged(list));
  if (!notice.empty())
    Error(notice);
}

bool CliProject::OpenQuietly(const std::filesystem::path& file) {
  return ProjectFile::Open(project_, file, kViewWidth, kViewHeight);
}

int CliProject::Fail(std::string_view fallback) {
  return Error(messages_.Empty() ? fallback : std::string_view(messages_.Get()));
}

int CliProject::Error(std::string_view text) {
  std::string line = "reelwright-cli: " + std::string(text);
  if (!line.ends_with('\n'))
    line += '\n';
  std::fwrite(line.data(), 1, line.size(), stderr);
  return kFailure;
}

} // namespace rw::cli
