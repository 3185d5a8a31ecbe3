#pragma once

// Shared set-up of the project file tests: a temporary folder, a media context and helpers to
// write, save and open project files.

#include "base/MessageText.h"
#include "base/UserPrompt.h"
#include "media/MediaContext.h"
#include "output/settings/OutputInfo.h"
#include "project/EditDialogs.h"
#include "project/ProjectFile.h"
#include "project/VideoProject.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestAvi.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace rw::test {

// Answers the format dialog and the compressor choice with fixed settings.
class FixedDialogs : public EditDialogs {
public:
  explicit FixedDialogs(const OutputInfo& settings) : settings_(settings) {}
  bool EditOutputFormat(OutputInfo& settings) override {
    settings = settings_;
    return true;
  }
  bool ChooseCompressor(OutputInfo& settings) override {
    settings.SetCompress(settings_.Compress());
    return true;
  }

private:
  OutputInfo settings_;
};

inline std::string ReadText(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteText(const std::filesystem::path& file, std::string_view text) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

// Everything after the second line (the maker's notice is free text).
inline std::string AfterHeader(const std::string& text) {
  const std::size_t first = text.find('\n');
  const std::size_t second = first == std::string::npos ? first : text.find('\n', first + 1);
  return second == std::string::npos ? std::string() : text.substr(second + 1);
}

class ProjectFileTest : public ::testing::Test {
protected:
  ProjectFileTest() { QuietMediaLibraries(); }

  // Writes `text` as dir/name and opens it into `project` with the display size 160 x 120.
  bool OpenText(std::string_view text, const std::string& name = "p.rwe") {
    WriteText(dir / name, text);
    return ProjectFile::Open(project, dir / name, 160, 120);
  }
  // Saves `project` as dir/name and answers the text written ("" when the save failed).
  std::string SaveText(VideoProject& which, const std::string& name = "out.rwe") {
    if (!ProjectFile::Save(which, dir / name))
      return "";
    return ReadText(dir / name);
  }
  std::string SaveText(const std::string& name = "out.rwe") { return SaveText(project, name); }

  TempDir dir;
  MessageText messages;
  FixedPrompt prompt{UserPrompt::Answer::No};
  MediaContext context{messages, prompt};
  VideoProject project{context};
};

} // namespace rw::test
