#pragma once

#include <cstddef>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace rw {

// The files of a folder tree by name, for finding media files that moved. A name is looked up
// exactly first, then without regard to ASCII letter case; of several files of one name the
// one nearest to the folder wins, then the first in path order.
class OfflineSearch {
public:
  // Entries visited at most, so that a search started at the top of a huge tree ends.
  static constexpr std::size_t kMaxEntries = 500000;

  // Walks `folder` and its subfolders (symbolic links to folders are not followed; folders that
  // cannot be read are passed over).
  explicit OfflineSearch(const std::filesystem::path& folder);

  std::optional<std::filesystem::path> Find(const std::filesystem::path& name) const;

private:
  struct Place {
    std::size_t depth = 0;
    std::filesystem::path file;
  };
  static void Keep(std::map<std::string, Place>& names, const std::string& name, const Place& place);

  std::map<std::string, Place> exact_;
  std::map<std::string, Place> folded_;
};

} // namespace rw
