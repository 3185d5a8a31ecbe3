#include "project/OfflineSearch.h"

#include <system_error>

namespace rw {
namespace {

std::string Folded(std::string name) {
  for (char& c : name) {
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
  }
  return name;
}

} // namespace

OfflineSearch::OfflineSearch(const std::filesystem::path& folder) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
  std::size_t visited = 0;
  for (; !ec && it != fs::recursive_directory_iterator() && visited < kMaxEntries; it.increment(ec)) {
    ++visited;
    std::error_code kind;
    if (!it->is_regular_file(kind))
      continue;
    const Place place{static_cast<std::size_t>(it.depth()), it->path()};
    const std::string name = it->path().filename().string();
    Keep(exact_, name, place);
    Keep(folded_, Folded(name), place);
  }
}

void OfflineSearch::Keep(std::map<std::string, Place>& names, const std::string& name, const Place& place) {
  const auto [at, added] = names.try_emplace(name, place);
  if (added)
    return;
  const Place& known = at->second;
  if (place.depth < known.depth || (place.depth == known.depth && place.file < known.file))
    at->second = place;
}

std::optional<std::filesystem::path> OfflineSearch::Find(const std::filesystem::path& name) const {
  const std::string text = name.filename().string();
  if (text.empty())
    return std::nullopt;
  if (const auto at = exact_.find(text); at != exact_.end())
    return at->second.file;
  if (const auto at = folded_.find(Folded(text)); at != folded_.end())
    return at->second.file;
  return std::nullopt;
}

} // namespace rw
