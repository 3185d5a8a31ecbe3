#include "project/ProjectFileStore.h"

#include "base/MessageText.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <random>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rw {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kWritePiece = std::size_t{1} << 20;

// Owns a file descriptor.
class FileDescriptor {
public:
  explicit FileDescriptor(int fd = -1) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() {
    if (fd_ >= 0)
      ::close(fd_);
  }
  void Reset(int fd) {
    if (fd_ >= 0)
      ::close(fd_);
    fd_ = fd;
  }
  int Get() const { return fd_; }
  bool Valid() const { return fd_ >= 0; }
  // Closes now and answers whether the system reported success.
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return fd < 0 || ::close(fd) == 0;
  }

private:
  int fd_;
};

std::string ErrorText(int error) {
  return std::error_code(error, std::generic_category()).message();
}

bool Exists(const fs::path& file) {
  struct stat st {};
  return ::lstat(file.c_str(), &st) == 0;
}

// A name in `folder` that no file has yet (checked when it is created): the file's own name,
// hidden, with a random part.
fs::path ScratchName(const fs::path& folder, const fs::path& base) {
  static std::atomic<std::uint64_t> counter{0};
  static const std::uint64_t seed = std::random_device{}();
  const std::uint64_t n = (seed ^ (counter.fetch_add(1) * 0x9E3779B97F4A7C15ULL)) * 0xBF58476D1CE4E5B9ULL;
  char suffix[24];
  std::snprintf(suffix, sizeof suffix, ".%08llx.tmp", static_cast<unsigned long long>(n >> 32));
  std::string name = ".";
  name += base.filename().string();
  name += suffix;
  return folder / name;
}

// Whether `name` is the form ScratchName gives for `base`: "." + base + "." + eight lowercase hex
// digits + ".tmp".
bool IsScratchNameOf(const std::string& name, const std::string& base) {
  const std::size_t digits = base.size() + 2;
  if (name.size() != digits + 8 + 4 || name[0] != '.' || name.compare(1, base.size(), base) != 0 ||
      name[digits - 1] != '.' || name.compare(digits + 8, 4, ".tmp") != 0)
    return false;
  return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(digits),
                     name.begin() + static_cast<std::ptrdiff_t>(digits + 8),
                     [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

// The descriptor and the name still reach the same file.
bool SameFile(int fd, const fs::path& name) {
  struct stat held {};
  struct stat named {};
  return ::fstat(fd, &held) == 0 && ::lstat(name.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
         held.st_ino == named.st_ino;
}

// Locks a scratch file just created as `fd` for the whole save, so that the leftover sweep of
// another save (which takes only files nobody holds locked) never removes it. False when a sweep
// removed the name between its creation and the lock: the save then takes another name. Where
// the file system has no locks, a sweep cannot lock either and leaves every file alone.
bool ClaimScratch(int fd, const fs::path& name) {
  if (::flock(fd, LOCK_EX) != 0)
    return true;
  return SameFile(fd, name);
}

// The steps of one save. The calls that move the save forward consult the fault hook; the
// calls that undo a failed save do not.
class Saver {
public:
  Saver(MessageText& messages, const ProjectFileStore::FaultHook& faults)
      : messages_(messages), faults_(faults) {}

  // Writes `text` to a new scratch file in `folder`, flushed to the disk, with the permissions
  // `mode` when given (else those of a new file). `lock` keeps the file locked until it is
  // closed, which the caller does once the scratch file has its final name.
  bool WriteScratch(const fs::path& folder, const fs::path& base, std::string_view text, const mode_t* mode,
                    fs::path& scratch, FileDescriptor& lock) {
    FileDescriptor fd;
    for (int attempt = 0;; ++attempt) {
      scratch = ScratchName(folder, base);
      if (Fault("create", EIO))
        return Report("一時ファイル " + scratch.string() + " を作れません");
      fd.Reset(::open(scratch.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
      if (fd.Valid() && ClaimScratch(fd.Get(), scratch))
        break;
      if (fd.Valid()) {
        fd.Reset(-1);
        errno = EEXIST;
      }
      if (errno != EEXIST || attempt >= 100)
        return Report("一時ファイル " + scratch.string() + " を作れません");
    }
    // A second descriptor of the same open file keeps the lock after the checked close below.
    lock.Reset(::fcntl(fd.Get(), F_DUPFD_CLOEXEC, 0));
    if (mode)
      ::fchmod(fd.Get(), *mode);
    bool ok = true;
    for (std::size_t done = 0; ok && done < text.size();) {
      const std::size_t piece = std::min(kWritePiece, text.size() - done);
      if (Fault("write", ENOSPC)) {
        ok = false;
        break;
      }
      const ssize_t n = ::write(fd.Get(), text.data() + done, piece);
      if (n < 0 && errno == EINTR)
        continue;
      if (n <= 0) {
        if (n == 0)
          errno = EIO;
        ok = false;
        break;
      }
      done += static_cast<std::size_t>(n);
    }
    if (ok && (Fault("fsync", EIO) || ::fsync(fd.Get()) != 0))
      ok = false;
    const int error = errno;
    if (!fd.Close() && ok)
      ok = false;
    else
      errno = error;
    if (!ok) {
      Report("ファイル " + scratch.string() + " に書き込めません");
      ::unlink(scratch.c_str());
      return false;
    }
    return true;
  }

  // Makes `dest` a complete copy of `source`, replacing it at once: a second name of the same
  // file where the file system allows it, else a copied file.
  bool Duplicate(const fs::path& source, const fs::path& dest) {
    // The scratch name is a second name of `source`: a shared lock on it keeps a sweep away
    // until the name has been renamed (never waited for: a lock held elsewhere only loses that).
    FileDescriptor guard(::open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (guard.Valid())
      ::flock(guard.Get(), LOCK_SH | LOCK_NB);
    fs::path scratch;
    for (int attempt = 0;; ++attempt) {
      scratch = ScratchName(dest.parent_path(), dest);
      // An injected fault stands for a file system without hard links.
      if (!Fault("link", EPERM) && ::link(source.c_str(), scratch.c_str()) == 0)
        break;
      if (errno == EEXIST && attempt < 100)
        continue;
      if (errno == EPERM || errno == EXDEV || errno == ENOTSUP || errno == EOPNOTSUPP || errno == EMLINK ||
          errno == ENOSYS)
        return Copy(source, dest);
      return Report("ファイル " + dest.string() + " を作れません");
    }
    const bool renamed = Rename(scratch, dest);
    // Renaming onto a second name of the same file leaves both names: the scratch one goes.
    ::unlink(scratch.c_str());
    return renamed;
  }

  bool Rename(const fs::path& from, const fs::path& to) {
    if (Fault("rename", EIO) || ::rename(from.c_str(), to.c_str()) != 0)
      return Report("ファイル " + to.string() + " を置き換えられません");
    return true;
  }

  bool Unlink(const fs::path& file) {
    if (Fault("unlink", EIO) || (::unlink(file.c_str()) != 0 && errno != ENOENT))
      return Report("ファイル " + file.string() + " を削除できません");
    return true;
  }

  // Flushes the folder's entries (the names just changed) to the disk. File systems that
  // cannot sync a folder answer EINVAL; that is not a failure.
  bool SyncFolder(const fs::path& folder) {
    if (Fault("sync-folder", EIO))
      return Report("フォルダ " + folder.string() + " を書き込めません");
    FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd.Valid())
      return Report("フォルダ " + folder.string() + " を開けません");
    if (::fsync(fd.Get()) != 0 && errno != EINVAL && errno != ENOTSUP)
      return Report("フォルダ " + folder.string() + " を書き込めません");
    return true;
  }

  bool Report(const std::string& what) {
    messages_.Append(what + "(" + ErrorText(errno) + ")\n");
    return false;
  }

private:
  bool Fault(std::string_view call, int error) {
    if (faults_ && faults_(call)) {
      errno = error;
      return true;
    }
    return false;
  }

  bool Copy(const fs::path& source, const fs::path& dest) {
    std::string bytes;
    MessageText quiet;
    if (!ProjectFileStore::Read(source, bytes, quiet)) {
      errno = EIO;
      return Report("ファイル " + source.string() + " を読み込めません");
    }
    struct stat st {};
    const bool known = ::stat(source.c_str(), &st) == 0;
    const mode_t mode = st.st_mode & 07777;
    fs::path scratch;
    FileDescriptor lock;
    if (!WriteScratch(dest.parent_path(), dest, bytes, known ? &mode : nullptr, scratch, lock))
      return false;
    if (!Rename(scratch, dest)) {
      ::unlink(scratch.c_str());
      return false;
    }
    return true;
  }

  MessageText& messages_;
  const ProjectFileStore::FaultHook& faults_;
};

} // namespace

fs::path ProjectFileStore::BackupName(const fs::path& file) {
  fs::path name = file;
  return name.replace_extension(".$WE");
}

fs::path ProjectFileStore::HoldName(const fs::path& file) {
  fs::path name = file;
  return name.replace_extension(".$W$");
}

bool ProjectFileStore::Write(const fs::path& file, std::string_view text, MessageText& messages,
                             const FaultHook& faults) {
  Saver saver(messages, faults);
  std::error_code ec;
  fs::path target = fs::absolute(file, ec);
  if (ec || target.filename().empty()) {
    messages.Append("ファイル名 " + file.string() + " は使えません\n");
    return false;
  }
  // A symbolic link keeps pointing at the project: the file it names is the one replaced.
  if (fs::is_symlink(target, ec)) {
    const fs::path real = fs::canonical(target, ec);
    if (!ec)
      target = real;
  }
  struct stat st {};
  const bool existed = ::stat(target.c_str(), &st) == 0;
  if (existed && !S_ISREG(st.st_mode)) {
    messages.Append(target.string() + " はファイルではありません\n");
    return false;
  }
  const mode_t mode = st.st_mode & 07777;
  const fs::path folder = target.parent_path();
  const fs::path backup = BackupName(target);
  const fs::path hold = HoldName(target);
  // A project saved under a backup name itself keeps no backups.
  const bool rotate = existed && backup != target && hold != target;

  fs::path scratch;
  FileDescriptor scratchLock;
  if (!saver.WriteScratch(folder, target, text, existed ? &mode : nullptr, scratch, scratchLock))
    return false;

  bool held = false;           // hold is the earlier backup
  bool backupReplaced = false; // backup is the old file
  bool committed = false;      // target is the new file
  auto undo = [&] {
    if (committed) {
      if (rotate) {
        ::rename(backup.c_str(), target.c_str()); // the old file back; no backup left
        backupReplaced = false;
        if (held) {
          ::rename(hold.c_str(), backup.c_str());
          ::unlink(hold.c_str());
        }
        held = false;
      } else if (!existed) {
        ::unlink(target.c_str());
      }
    } else {
      ::unlink(scratch.c_str());
    }
    if (backupReplaced && held) {
      ::rename(hold.c_str(), backup.c_str());
      ::unlink(hold.c_str()); // still there when both named the same file
    } else if (backupReplaced)
      ::unlink(backup.c_str());
    else if (held)
      ::unlink(hold.c_str()); // a second name of the untouched backup
    return false;
  };

  if (rotate) {
    if (Exists(backup)) {
      if (!saver.Duplicate(backup, hold))
        return undo();
      held = true;
    }
    if (!saver.Duplicate(target, backup))
      return undo();
    backupReplaced = true;
    if (!saver.SyncFolder(folder))
      return undo();
  }
  if (!saver.Rename(scratch, target))
    return undo();
  committed = true;
  if (!saver.SyncFolder(folder) && (rotate || !existed))
    return undo();
  // Done: the earlier backup (or one left by an interrupted save) is no longer needed.
  if (hold != target)
    ::unlink(hold.c_str());
  scratchLock.Close();
  RemoveLeftovers(target);
  return true;
}

int ProjectFileStore::RemoveLeftovers(const fs::path& file) {
  std::error_code ec;
  const fs::path target = fs::absolute(file, ec);
  if (ec || target.filename().empty())
    return 0;
  const std::string bases[] = {target.filename().string(), BackupName(target).filename().string(),
                               HoldName(target).filename().string()};
  std::vector<fs::path> found;
  for (fs::directory_iterator it(target.parent_path(), ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (std::any_of(std::begin(bases), std::end(bases),
                    [&](const std::string& base) { return IsScratchNameOf(name, base); }))
      found.push_back(it->path());
  }
  int removed = 0;
  for (const fs::path& leftover : found) {
    // Not followed through links, not blocking on pipes; write-only files are opened for writing.
    FileDescriptor fd(::open(leftover.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    if (!fd.Valid() && errno == EACCES)
      fd.Reset(::open(leftover.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    struct stat st {};
    if (!fd.Valid() || ::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode))
      continue;
    // A file that a save is still writing is held locked; where the file system has no locks,
    // none can be taken. Either way the file stays.
    if (::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0 || !SameFile(fd.Get(), leftover))
      continue;
    if (::unlink(leftover.c_str()) == 0)
      ++removed;
  }
  return removed;
}

bool ProjectFileStore::Read(const fs::path& file, std::string& text, MessageText& messages) {
  text.clear();
  // Not blocking: a name that turns out to be a pipe must not hang the open.
  FileDescriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (!fd.Valid()) {
    messages.Append("ファイル " + file.string() + " を開けません(" + ErrorText(errno) + ")\n");
    return false;
  }
  struct stat st {};
  if (::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) {
    messages.Append(file.string() + " はファイルではありません\n");
    return false;
  }
  if (static_cast<std::uintmax_t>(st.st_size) > kMaxReadSize) {
    messages.Append("ファイル " + file.string() + " は大きすぎます\n");
    return false;
  }
  text.reserve(static_cast<std::size_t>(st.st_size));
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd.Get(), buffer, sizeof buffer);
    if (n < 0 && errno == EINTR)
      continue;
    if (n < 0) {
      messages.Append("ファイル " + file.string() + " を読み込めません(" + ErrorText(errno) + ")\n");
      text.clear();
      return false;
    }
    if (n == 0)
      return true;
    if (text.size() + static_cast<std::size_t>(n) > kMaxReadSize) {
      messages.Append("ファイル " + file.string() + " は大きすぎます\n");
      text.clear();
      return false;
    }
    text.append(buffer, static_cast<std::size_t>(n));
  }
}

} // namespace rw
