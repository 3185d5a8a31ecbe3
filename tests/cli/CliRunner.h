#pragma once

// Runs the built reelwright-cli and collects what it printed and its exit status.

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace rw::test {

struct CliResult {
  int status = -1; // exit status; -1 when the program did not exit normally
  std::string out;
  std::string err;
};

inline std::string FileText(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline CliResult RunCli(const std::vector<std::string>& args) {
  TempDir capture;
  const std::string outFile = (capture / "out").string();
  const std::string errFile = (capture / "err").string();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  std::vector<std::string> words{RW_CLI_PATH};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& word : words)
    argv.push_back(word.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  CliResult result;
  const int spawned = posix_spawn(&pid, RW_CLI_PATH, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  EXPECT_EQ(spawned, 0);
  if (spawned != 0)
    return result;
  int status = 0;
  waitpid(pid, &status, 0);
  if (WIFEXITED(status))
    result.status = WEXITSTATUS(status);
  result.out = FileText(outFile);
  result.err = FileText(errFile);
  return result;
}

} // namespace rw::test
