// Whole project files from arbitrary text, read as opening a project reads them. A text that
// opens must write out and read back to the same text.
#include "base/MessageText.h"
#include "base/RecordReader.h"
#include "base/UserPrompt.h"
#include "media/MediaContext.h"
#include "project/ProjectFileReader.h"
#include "project/ProjectFileWriter.h"
#include "project/VideoProject.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

void Check(bool ok) {
  if (!ok)
    __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  rw::MessageText messages;
  rw::FixedPrompt prompt(rw::UserPrompt::Answer::No);
  rw::MediaContext context(messages, prompt);
  const std::filesystem::path folder = "/nonexistent/reelwright-fuzz";

  rw::VideoProject project(context);
  rw::RecordReader reader(text, folder);
  if (!rw::ProjectFileReader::Read(reader, project, 4, 3))
    return 0;
  const rw::pVideoClipList& list = project.List();
  Check(project.CurrentFrame() >= 0 && project.CurrentFrame() <= list.TotalFrames());
  Check(messages.Get().size() <= rw::MessageText::kCapacity);

  std::string first;
  Check(rw::ProjectFileWriter::Compose(project.Current(), folder, first, messages));
  rw::VideoProject again(context);
  rw::RecordReader back(first, folder);
  Check(rw::ProjectFileReader::Read(back, again, 4, 3));
  std::string second;
  Check(rw::ProjectFileWriter::Compose(again.Current(), folder, second, messages));
  Check(first == second);
  return 0;
}
