#pragma once

#include "base/MessageText.h"
#include "base/UserPrompt.h"
#include "media/MediaContext.h"
#include "project/VideoProject.h"

#include <cstdint>
#include <filesystem>
#include <string_view>

namespace rw::cli {

// The core as a command uses it: one MessageText, one media context (questions answered No)
// and one project, opened exactly as the editor opens a project file.
class CliProject {
public:
  // The display size the cuts get on opening: the editor's preview.
  static constexpr std::int32_t kViewWidth = 160;
  static constexpr std::int32_t kViewHeight = 120;

  CliProject() = default;
  CliProject(const CliProject&) = delete;
  CliProject& operator=(const CliProject&) = delete;

  // Opens the project. Entries whose files do not open stay in it offline; the one message naming
  // them (and the files that opened shorter than their records) is printed on standard error,
  // and the command carries on.
  bool Open(const std::filesystem::path& file);
  // The same without that message, for a command that reports those files itself.
  bool OpenQuietly(const std::filesystem::path& file);
  // Prints that message, when there is one.
  void Announce();

  VideoProject& Project() { return project_; }
  MediaContext& Context() { return context_; }
  MessageText& Messages() { return messages_; }

  // Prints the MessageText (or `fallback` when it is empty) to standard error and answers the
  // failure status.
  int Fail(std::string_view fallback);
  // Prints `text` to standard error and answers the failure status.
  static int Error(std::string_view text);

private:
  MessageText messages_;
  FixedPrompt prompt_{UserPrompt::Answer::No};
  MediaContext context_{messages_, prompt_};
  VideoProject project_{context_};
};

} // namespace rw::cli
