#include "base/FileNameForm.h"

#include "base/RecordGrammar.h"
#include "base/TextEncoding.h"

#include <algorithm>
#include <system_error>

namespace rw::FileNameForm {
namespace {

namespace fs = std::filesystem;

// Names a Windows version wrote: with a drive letter ("C:...", a colon as second character) or
// a "\\server" prefix. They are kept as they are.
bool IsWindowsAbsolute(std::string_view name) {
  return (name.size() >= 2 && name[1] == ':') || name.starts_with("\\\\");
}

// A relative stored form that the reader would not take literally.
bool NeedsDotPrefix(std::string_view name) {
  if (name.empty() || name.front() == '/')
    return false;
  if (name.front() == '\\' || (name.size() >= 2 && name[1] == ':'))
    return true;
  return name.find('\\') != std::string_view::npos && name.find('/') == std::string_view::npos;
}

bool NeedsQuotes(std::string_view name) {
  return name.starts_with('"') || std::any_of(name.begin(), name.end(), IsBlank);
}

// The name text of a stored value: quoted or unquoted, as described in the header.
std::string Extract(std::string_view stored) {
  std::size_t i = SkipBlank(stored, 0);
  std::string name;
  if (i < stored.size() && stored[i] == '"') {
    for (++i; i < stored.size(); ++i) {
      const char c = stored[i];
      if (c == '"')
        break; // a quote preceded by a backslash was taken below
      if (c == '\\' && i + 1 < stored.size() && stored[i + 1] == '"') {
        name.push_back('"');
        ++i;
        continue;
      }
      name.push_back(c);
    }
    return name;
  }
  while (i < stored.size() && !IsBlank(stored[i]))
    name.push_back(stored[i++]);
  return name;
}

fs::path Normalised(const fs::path& p) {
  fs::path n = p.lexically_normal();
  // "/a/b/" and "/a/b" name the same folder; keep the form without the trailing separator.
  if (n.has_relative_path() && !n.has_filename())
    n = n.parent_path();
  return n;
}

} // namespace

bool TryWrite(const fs::path& full, const fs::path& folder, std::string& stored) {
  stored.clear();
  if (full.empty())
    return true;
  const fs::path target = Normalised(full);
  std::string name;
  const fs::path relative = folder.empty() ? fs::path() : target.lexically_relative(Normalised(folder));
  if (!relative.empty() && target.is_absolute()) {
    name = relative.generic_string();
    if (NeedsDotPrefix(name))
      name.insert(0, "./");
  } else {
    name = target.generic_string();
    if (!target.is_absolute() && NeedsDotPrefix(name))
      name.insert(0, "./");
  }

  if (name.find_first_of(std::string_view("\n\0", 2)) != std::string::npos ||
      !TextEncoding::IsValidUtf8(name))
    return false;
  if (!NeedsQuotes(name)) {
    stored = std::move(name);
    return true;
  }
  if (name.ends_with('\\'))
    return false;
  stored.reserve(name.size() + 2);
  stored.push_back('"');
  for (char c : name) {
    if (c == '"')
      stored.push_back('\\');
    stored.push_back(c);
  }
  stored.push_back('"');
  return true;
}

std::string Write(const fs::path& full, const fs::path& folder) {
  std::string stored;
  TryWrite(full, folder, stored);
  return stored;
}

fs::path Read(std::string_view stored, const fs::path& folder) {
  std::string name = Extract(stored);
  if (name.empty())
    return {};
  if (name.front() == '/')
    return Normalised(fs::path(name));
  if (IsWindowsAbsolute(name)) {
    std::replace(name.begin(), name.end(), '\\', '/');
    return fs::path(name);
  }
  const bool windows = name.find('/') == std::string::npos && name.find('\\') != std::string::npos;
  if (windows) {
    if (name.front() == '\\')
      name.erase(0, 1);
    std::replace(name.begin(), name.end(), '\\', '/');
  }
  return Normalised(folder / fs::path(name));
}

fs::path ProjectFolder(const fs::path& projectFile) {
  std::error_code ec;
  fs::path full = fs::absolute(projectFile, ec);
  if (ec)
    full = projectFile;
  return Normalised(full.lexically_normal().parent_path());
}

} // namespace rw::FileNameForm
