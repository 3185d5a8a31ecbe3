#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace rw {

class MessageText;

// Reads and writes the bytes of a project file. Writing keeps the previous version under the
// same name with the extension ".$WE" and never leaves the file half written:
//
//  1. The new text goes to a temporary file in the same folder, which is flushed to the disk.
//  2. When the file exists, a ".$WE" copy already there is kept under ".$W$" while the old file
//     takes its place as ".$WE" (a second name of the same file, or a copy where the file system
//     has no hard links).
//  3. The temporary file is renamed over the file, and ".$W$" is deleted.
//
// Every name changes by an atomic rename, so whenever the process or the machine stops, the
// file holds the old or the new text complete and ".$WE" a complete earlier version. A save
// that fails undoes what it did: every file is left as it was. A save that succeeds removes the
// scratch files that killed saves of the same project left behind.
class ProjectFileStore {
public:
  // Consulted before each file system call of a save with the call's name ("create", "write",
  // "fsync", "link", "rename", "unlink", "sync-folder"); answering true makes that call fail as
  // a full or broken disk would ("link" as on a file system without hard links, which makes the
  // save copy instead). For tests.
  using FaultHook = std::function<bool(std::string_view call)>;

  // The file's name with its extension replaced by ".$WE" and by ".$W$".
  static std::filesystem::path BackupName(const std::filesystem::path& file);
  static std::filesystem::path HoldName(const std::filesystem::path& file);

  // Replaces the contents of `file` by `text` as described above. False with a message appended
  // to `messages` when something fails.
  static bool Write(const std::filesystem::path& file, std::string_view text, MessageText& messages,
                    const FaultHook& faults = {});

  // Removes the scratch files of `file` in its folder that no save is writing: the hidden
  // ".<name>.<8 hex digits>.tmp" of its own name and of its ".$WE" and ".$W$" names, which a save
  // holds locked (flock) from their creation to their rename. Answers how many went.
  static int RemoveLeftovers(const std::filesystem::path& file);

  // The whole contents of `file`, which must be a regular file of at most kMaxReadSize bytes.
  static constexpr std::uintmax_t kMaxReadSize = std::uintmax_t{1} << 30;
  static bool Read(const std::filesystem::path& file, std::string& text, MessageText& messages);
};

} // namespace rw
