// Scratch files left behind by saves that were killed before renaming them: the next save of
// the same project removes them, and nothing else (other projects' files, other names, files a
// save is still writing).

#include "project/ProjectFileStore.h"
#include "tests/project/ProjectFileFixture.h"

#include <chrono>
#include <csignal>
#include <random>
#include <set>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

namespace rw::test {
namespace {

namespace fs = std::filesystem;

// The hidden ".tmp" names in a folder.
std::set<std::string> ScratchNames(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with(".") && name.ends_with(".tmp"))
      names.insert(name);
  }
  return names;
}

// Opens `file` and tries to lock it as a sweep would; true when the lock was free.
bool LockIsFree(const fs::path& file) {
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0)
    return false;
  const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
  ::close(fd);
  return free;
}

class ProjectFileLeftoverTest : public ProjectFileTest {
protected:
  void Leave(const std::string& name) { WriteText(dir / name, "left by a killed save"); }

  fs::path file = dir / "proj.rwe";
};

TEST_F(ProjectFileLeftoverTest, NextSaveRemovesTheProjectsOwnLeftovers) {
  ASSERT_TRUE(ProjectFileStore::Write(file, "first", messages));
  const std::set<std::string> own = {".proj.rwe.0123abcd.tmp", ".proj.$WE.89abcdef.tmp",
                                     ".proj.$W$.00000000.tmp"};
  for (const std::string& name : own)
    Leave(name);
  // A save that fails removes nothing.
  EXPECT_FALSE(
      ProjectFileStore::Write(file, "failed", messages, [](std::string_view c) { return c == "rename"; }));
  EXPECT_EQ(ScratchNames(dir.Path()), own);

  ASSERT_TRUE(ProjectFileStore::Write(file, "second", messages)) << messages.Get();
  EXPECT_TRUE(ScratchNames(dir.Path()).empty());
  EXPECT_EQ(ReadText(file), "second");
  EXPECT_EQ(ReadText(dir / "proj.$WE"), "first");
}

TEST_F(ProjectFileLeftoverTest, OtherNamesAndOtherFoldersStay) {
  const std::set<std::string> others = {
      ".other.rwe.0123abcd.tmp", // another project
      ".proj.rwe2.0123abcd.tmp", // a project whose name only begins the same
      ".proj.rwe.0123ABCD.tmp",  // digits of another form
      ".proj.rwe.0123abc.tmp",   ".proj.rwe.0123abcde.tmp",    ".proj.rwe.0123abcg.tmp",
      ".proj.rwe.0123abcd.temp", ".proj.rwe.0123abcd.tmp.tmp",
  };
  for (const std::string& name : others)
    Leave(name);
  Leave("proj.rwe.0123abcd.tmp"); // not hidden
  fs::create_directory(dir / ".proj.rwe.11111111.tmp");
  fs::create_symlink(dir / "proj.rwe", dir / ".proj.rwe.22222222.tmp");
  fs::create_directory(dir / "sub");
  WriteText(dir / "sub" / ".proj.rwe.33333333.tmp", "x");

  ASSERT_TRUE(ProjectFileStore::Write(file, "text", messages)) << messages.Get();
  for (const std::string& name : others)
    EXPECT_TRUE(fs::exists(dir / name)) << name;
  EXPECT_TRUE(fs::exists(dir / "proj.rwe.0123abcd.tmp"));
  EXPECT_TRUE(fs::is_directory(dir / ".proj.rwe.11111111.tmp"));
  EXPECT_TRUE(fs::is_symlink(dir / ".proj.rwe.22222222.tmp"));
  EXPECT_TRUE(fs::exists(dir / "sub" / ".proj.rwe.33333333.tmp"));
  EXPECT_EQ(ProjectFileStore::RemoveLeftovers(file), 0);
}

TEST_F(ProjectFileLeftoverTest, ScratchFileHeldLockedStaysUntilReleased) {
  const fs::path busy = dir / ".proj.rwe.44444444.tmp";
  Leave(busy.filename().string());
  const int fd = ::open(busy.c_str(), O_WRONLY | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::flock(fd, LOCK_EX), 0);
  ASSERT_TRUE(ProjectFileStore::Write(file, "one", messages));
  EXPECT_TRUE(fs::exists(busy));
  ::close(fd);
  ASSERT_TRUE(ProjectFileStore::Write(file, "two", messages));
  EXPECT_FALSE(fs::exists(busy));
}

// A sweep running at any step of a save (as another program's save of the same project would)
// finds every scratch file of that save locked and leaves it; the save completes. With hard
// links and with copies, where the backup is written through scratch files of its own.
class ProjectFileSweepDuringSaveTest : public ProjectFileLeftoverTest,
                                       public ::testing::WithParamInterface<bool> {};

TEST_P(ProjectFileSweepDuringSaveTest, SaveInProgressIsNeverSwept) {
  const bool copies = GetParam();
  ASSERT_TRUE(ProjectFileStore::Write(file, "older", messages));
  ASSERT_TRUE(ProjectFileStore::Write(file, "old", messages));
  int sweeps = 0, scratchesSeen = 0;
  const auto sweep = [&](std::string_view call) {
    if (call == "link")
      return copies;
    if (call == "write" || call == "fsync" || call == "rename" || call == "sync-folder") {
      for (const std::string& name : ScratchNames(dir.Path())) {
        ++scratchesSeen;
        EXPECT_FALSE(LockIsFree(dir / name)) << name << " at " << call;
      }
      EXPECT_EQ(ProjectFileStore::RemoveLeftovers(file), 0) << call;
      ++sweeps;
    }
    return false;
  };
  ASSERT_TRUE(ProjectFileStore::Write(file, std::string(3 << 20, 'n'), messages, sweep)) << messages.Get();
  EXPECT_GT(sweeps, 4);
  EXPECT_GT(scratchesSeen, 2);
  EXPECT_EQ(ReadText(file), std::string(3 << 20, 'n'));
  EXPECT_EQ(ReadText(dir / "proj.$WE"), "old");
  EXPECT_TRUE(ScratchNames(dir.Path()).empty());
}

INSTANTIATE_TEST_SUITE_P(LinksOrCopies, ProjectFileSweepDuringSaveTest, ::testing::Bool());

// Saves killed at random moments leave scratch files; one whole save afterwards leaves none.
TEST_F(ProjectFileLeftoverTest, SaveAfterKilledSavesLeavesNoScratchFile) {
  const std::string fresh(4 << 20, 'n');
  ASSERT_TRUE(ProjectFileStore::Write(file, "old", messages));
  const auto t0 = std::chrono::steady_clock::now();
  ASSERT_TRUE(ProjectFileStore::Write(file, fresh, messages));
  const auto span =
      std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - t0);
  std::mt19937 random(11);
  for (int round = 0; round < 12; ++round) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      MessageText quiet;
      ProjectFileStore::Write(file, fresh, quiet);
      ::_exit(0);
    }
    std::this_thread::sleep_for(
        std::chrono::microseconds(std::uniform_int_distribution<long>(0, span.count())(random)));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
  }
  for (int i = 0; i < 3; ++i)
    WriteText(dir / (".proj.rwe.5555555" + std::to_string(i) + ".tmp"), "surely left");
  ASSERT_TRUE(ProjectFileStore::Write(file, "last", messages)) << messages.Get();
  EXPECT_TRUE(ScratchNames(dir.Path()).empty());
  EXPECT_EQ(ReadText(file), "last");
}

} // namespace
} // namespace rw::test
