// Saving project files: the ".$WE" backup, the ".$W$" hold during the write, and saves that
// fail or are cut short at any point.

#include "media/ColormatClip.h"
#include "project/ProjectFileStore.h"
#include "tests/project/ProjectFileFixture.h"

#include <chrono>
#include <csignal>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <thread>
#include <vector>

#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace rw::test {
namespace {

namespace fs = std::filesystem;

// The names in a folder.
std::set<std::string> Names(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder))
    names.insert(entry.path().filename().string());
  return names;
}

// What a folder holds: name to contents.
std::map<std::string, std::string> Snapshot(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::directory_iterator(folder))
    files[entry.path().filename().string()] = ReadText(entry.path());
  return files;
}

class ProjectFileSaveTest : public ProjectFileTest {
protected:
  void AddMat(std::uint32_t red) {
    ASSERT_TRUE(project.AppendClip(VideoClip::Make<ColormatClip>(red, 0u, 0u)));
  }

  fs::path file = dir / "proj.rwe";
  fs::path backup = dir / "proj.$WE";
  fs::path hold = dir / "proj.$W$";
};

TEST_F(ProjectFileSaveTest, BackupNames) {
  EXPECT_EQ(ProjectFileStore::BackupName("/a/proj.rwe"), fs::path("/a/proj.$WE"));
  EXPECT_EQ(ProjectFileStore::HoldName("/a/proj.rwe"), fs::path("/a/proj.$W$"));
  EXPECT_EQ(ProjectFileStore::BackupName("/a/proj"), fs::path("/a/proj.$WE"));
  EXPECT_EQ(ProjectFileStore::BackupName("/a/x.y.RWE"), fs::path("/a/x.y.$WE"));
}

TEST_F(ProjectFileSaveTest, ThreeSavesLeaveTheNewestAndTheOneBefore) {
  std::vector<std::string> texts;
  for (std::uint32_t red : {10u, 20u, 30u}) {
    AddMat(red);
    ASSERT_TRUE(ProjectFile::Save(project, file)) << messages.Get();
    EXPECT_FALSE(project.Modified());
    texts.push_back(ReadText(file));
  }
  EXPECT_EQ(Names(dir.Path()), (std::set<std::string>{"proj.rwe", "proj.$WE"}));
  EXPECT_EQ(ReadText(file), texts[2]);
  EXPECT_EQ(ReadText(backup), texts[1]);
  // Saved without a name, the project goes to its own file.
  AddMat(40);
  ASSERT_TRUE(ProjectFile::Save(project));
  EXPECT_EQ(ReadText(backup), texts[2]);
  EXPECT_EQ(Names(dir.Path()).size(), 2u);
}

TEST_F(ProjectFileSaveTest, EarlierBackupIsHeldDuringTheWriteAndDeletedAfter) {
  WriteText(file, "old");
  WriteText(backup, "older");
  bool checked = false;
  const auto observe = [&](std::string_view call) {
    // Just before the new file takes the name: the old file is the backup, the earlier backup
    // is held, nothing is lost.
    if (call == "rename" && ReadText(backup) == "old" && fs::exists(hold)) {
      EXPECT_EQ(ReadText(hold), "older");
      EXPECT_EQ(ReadText(file), "old");
      checked = true;
    }
    return false;
  };
  ASSERT_TRUE(ProjectFileStore::Write(file, "new", messages, observe)) << messages.Get();
  EXPECT_TRUE(checked);
  EXPECT_EQ(Snapshot(dir.Path()),
            (std::map<std::string, std::string>{{"proj.rwe", "new"}, {"proj.$WE", "old"}}));
}

TEST_F(ProjectFileSaveTest, LeftoverHoldIsDeletedBySuccessfulSave) {
  WriteText(hold, "stale");
  ASSERT_TRUE(ProjectFileStore::Write(file, "first", messages));
  EXPECT_EQ(Snapshot(dir.Path()), (std::map<std::string, std::string>{{"proj.rwe", "first"}}));
}

// A save that fails at its k-th file system call, for every k, leaves every file as it was; on a
// file system without hard links (the backups are copied) as well.
class ProjectFileFaultTest : public ProjectFileSaveTest, public ::testing::WithParamInterface<bool> {};

TEST_P(ProjectFileFaultTest, FailureAtAnyStepLeavesEveryFileAsItWas) {
  const bool noLinks = GetParam();
  struct Start {
    const char* name;
    std::map<std::string, std::string> files;
  };
  const std::string big(3 << 20, 'x'); // written in several pieces
  const Start starts[] = {
      {"no files", {}},
      {"file only", {{"proj.rwe", "old"}}},
      {"file and backup", {{"proj.rwe", "old"}, {"proj.$WE", "older"}}},
      {"backup only", {{"proj.$WE", "older"}}},
  };
  for (const Start& start : starts) {
    // Count the calls of a save that succeeds.
    for (const auto& entry : fs::directory_iterator(dir.Path()))
      fs::remove(entry.path());
    for (const auto& [name, text] : start.files)
      WriteText(dir / name, text);
    int calls = 0;
    ASSERT_TRUE(ProjectFileStore::Write(file, big, messages, [&](std::string_view what) {
      if (what == "link")
        return noLinks;
      ++calls;
      return false;
    }));
    if (noLinks && start.files.contains("proj.rwe")) {
      EXPECT_EQ(ReadText(backup), start.files.at("proj.rwe"));
      EXPECT_EQ(fs::hard_link_count(backup), 1u);
    }
    ASSERT_GT(calls, 3);
    for (int k = 0; k < calls; ++k) {
      for (const auto& entry : fs::directory_iterator(dir.Path()))
        fs::remove(entry.path());
      for (const auto& [name, text] : start.files)
        WriteText(dir / name, text);
      int call = 0;
      std::string failed;
      messages.Clear();
      const bool ok = ProjectFileStore::Write(file, big, messages, [&](std::string_view what) {
        if (what == "link")
          return noLinks;
        if (call++ != k)
          return false;
        failed = what;
        return true;
      });
      if (ok) {
        // Only a failed folder sync after the change where nothing could be restored may pass.
        ADD_FAILURE() << start.name << ": call " << k << " (" << failed << ") failed but the save succeeded";
        continue;
      }
      EXPECT_EQ(Snapshot(dir.Path()), start.files) << start.name << ": call " << k << " (" << failed << ")";
      EXPECT_FALSE(messages.Empty());
    }
  }
}

INSTANTIATE_TEST_SUITE_P(LinksOrCopies, ProjectFileFaultTest, ::testing::Bool());

TEST_F(ProjectFileSaveTest, FailedSaveKeepsTheProjectModifiedAndReportsTheFile) {
  AddMat(1);
  ASSERT_TRUE(ProjectFile::Save(project, file));
  AddMat(2);
  const std::string before = ReadText(file);
  const bool ok = ProjectFile::Save(project, file, [](std::string_view call) { return call == "write"; });
  EXPECT_FALSE(ok);
  EXPECT_TRUE(project.Modified());
  EXPECT_EQ(ReadText(file), before);
  EXPECT_TRUE(messages.Get().starts_with("プロジェクト " + file.string() + " の保存に失敗しました:\n"))
      << messages.Get();
  EXPECT_NE(messages.Get().find("No space left on device"), std::string::npos) << messages.Get();
}

TEST_F(ProjectFileSaveTest, NameThatCannotBeStoredFailsTheSaveWithoutTouchingFiles) {
  // A line break cannot be part of a stored name.
  const fs::path odd = dir / "a\nb.bmp";
  auto clip = Handle<ColormatClip>::Make(1u, 2u, 3u);
  struct Named : ColormatClip {
    explicit Named(const fs::path& name) : ColormatClip(1u, 2u, 3u) { fileName_ = name; }
    pVideoClip* Clone() const override { return new Named(*this); }
  };
  ASSERT_TRUE(project.AppendClip(VideoClip::Make<Named>(odd)));
  WriteText(file, "old");
  EXPECT_FALSE(ProjectFile::Save(project, file));
  EXPECT_EQ(Snapshot(dir.Path()), (std::map<std::string, std::string>{{"proj.rwe", "old"}}));
  EXPECT_NE(messages.Get().find("プロジェクトファイルに書き込めません"), std::string::npos) << messages.Get();
  EXPECT_TRUE(project.Modified());
}

TEST_F(ProjectFileSaveTest, WithoutAnyNameTheSaveFails) {
  AddMat(1);
  EXPECT_FALSE(ProjectFile::Save(project));
  EXPECT_FALSE(messages.Empty());
  EXPECT_TRUE(Names(dir.Path()).empty());
}

TEST_F(ProjectFileSaveTest, KeepsPermissionsAndWritesThroughSymbolicLinks) {
  const fs::path real = dir / "real" / "proj.rwe";
  fs::create_directories(real.parent_path());
  WriteText(real, "old");
  fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  fs::create_symlink(real, dir / "link.rwe");
  ASSERT_TRUE(ProjectFileStore::Write(dir / "link.rwe", "new", messages)) << messages.Get();
  EXPECT_TRUE(fs::is_symlink(dir / "link.rwe"));
  EXPECT_EQ(ReadText(real), "new");
  EXPECT_EQ(ReadText(dir / "real" / "proj.$WE"), "old");
  EXPECT_EQ(fs::status(real).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(ProjectFileSaveTest, SavingUnderTheBackupNameKeepsNoBackup) {
  WriteText(backup, "old");
  ASSERT_TRUE(ProjectFileStore::Write(backup, "new", messages));
  EXPECT_EQ(Snapshot(dir.Path()), (std::map<std::string, std::string>{{"proj.$WE", "new"}}));
  WriteText(hold, "held");
  ASSERT_TRUE(ProjectFileStore::Write(hold, "new2", messages));
  EXPECT_EQ(ReadText(hold), "new2");
}

TEST_F(ProjectFileSaveTest, FolderOrMissingFolderIsRefused) {
  fs::create_directories(dir / "sub.rwe");
  EXPECT_FALSE(ProjectFileStore::Write(dir / "sub.rwe", "x", messages));
  EXPECT_FALSE(ProjectFileStore::Write(dir / "nowhere" / "p.rwe", "x", messages));
  EXPECT_EQ(Names(dir.Path()), (std::set<std::string>{"sub.rwe"}));
}

// A disk that fills up in the middle of the write (a small memory file system).
TEST_F(ProjectFileSaveTest, FullDiskLeavesTheOldFiles) {
  const fs::path mount = dir / "small";
  fs::create_directories(mount);
  if (::mount("tmpfs", mount.c_str(), "tmpfs", 0, "size=256k") != 0)
    GTEST_SKIP() << "mounting a tmpfs is not permitted here";
  struct Unmount {
    fs::path path;
    ~Unmount() { ::umount2(path.c_str(), MNT_DETACH); }
  } unmount{mount};
  const fs::path small = mount / "proj.rwe";
  const std::string old(60 << 10, 'o');
  const std::string older(60 << 10, 'p');
  ASSERT_TRUE(ProjectFileStore::Write(small, older, messages));
  ASSERT_TRUE(ProjectFileStore::Write(small, old, messages));
  const auto before = Snapshot(mount);
  EXPECT_FALSE(ProjectFileStore::Write(small, std::string(200 << 10, 'n'), messages));
  EXPECT_NE(messages.Get().find("No space left on device"), std::string::npos) << messages.Get();
  EXPECT_EQ(Snapshot(mount), before);
  // What fits is still saved.
  EXPECT_TRUE(ProjectFileStore::Write(small, "small", messages)) << messages.Get();
  EXPECT_EQ(ReadText(small), "small");
  EXPECT_EQ(ReadText(mount / "proj.$WE"), old);
}

// A process killed at any moment of a save leaves the old or the new file complete, and a
// complete backup that is the version before the file's.
TEST_F(ProjectFileSaveTest, KilledSaveLeavesOldOrNewComplete) {
  const std::string older(1 << 20, 'p');
  const std::string old(3 << 20, 'o');
  const std::string fresh(5 << 20, 'n');
  const auto reset = [&] {
    for (const auto& entry : fs::directory_iterator(dir.Path()))
      fs::remove(entry.path());
    WriteText(backup, older);
    WriteText(file, old);
  };
  // How long one save takes here.
  reset();
  const auto t0 = std::chrono::steady_clock::now();
  ASSERT_TRUE(ProjectFileStore::Write(file, fresh, messages));
  const auto span =
      std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - t0);
  std::mt19937 random(7);
  int sawOld = 0, sawNew = 0;
  for (int round = 0; round < 24; ++round) {
    reset();
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      MessageText quiet;
      ProjectFileStore::Write(file, fresh, quiet);
      ::_exit(0);
    }
    const auto delay = std::uniform_int_distribution<long>(0, span.count() * 3 / 2)(random);
    std::this_thread::sleep_for(std::chrono::microseconds(delay));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    const std::string now = ReadText(file);
    const std::string before = ReadText(backup);
    ASSERT_TRUE(now == old || now == fresh) << "round " << round << ": file of " << now.size() << " bytes";
    if (now == fresh) {
      ++sawNew;
      EXPECT_EQ(before, old) << "round " << round;
    } else {
      ++sawOld;
      EXPECT_TRUE(before == older || before == old) << "round " << round << ": backup of " << before.size();
    }
  }
  EXPECT_EQ(sawOld + sawNew, 24);
}

} // namespace
} // namespace rw::test
