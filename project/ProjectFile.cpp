#include "project/ProjectFile.h"

#include "base/FileNameForm.h"
#include "base/MessageText.h"
#include "base/RecordReader.h"
#include "project/ProjectFileReader.h"
#include "project/ProjectFileWriter.h"
#include "project/VideoProject.h"

#include <string>
#include <system_error>

namespace rw {
namespace {

// "<what>:\n<details>" when the steps left details, else "<what>". A text too long for the
// MessageText keeps only the first line.
void ReportFailure(MessageText& messages, const std::string& what) {
  const std::string details = messages.Get();
  if (details.empty() || !messages.Set(what + ":\n" + details))
    messages.Set(what);
}

std::filesystem::path AbsoluteName(const std::filesystem::path& file) {
  std::error_code ec;
  std::filesystem::path full = std::filesystem::absolute(file, ec);
  return ec ? file : full.lexically_normal();
}

} // namespace

bool ProjectFile::Save(VideoProject& project, const std::filesystem::path& file,
                       const ProjectFileStore::FaultHook& faults) {
  MessageText& messages = project.Messages();
  const std::filesystem::path name = file.empty() ? project.FileName() : file;
  messages.Clear();
  if (name.empty()) {
    messages.Set("プロジェクトのファイル名がありません");
    return false;
  }
  const std::filesystem::path full = AbsoluteName(name);
  std::string text;
  if (!ProjectFileWriter::Compose(project.Current(), FileNameForm::ProjectFolder(full), text, messages) ||
      !ProjectFileStore::Write(full, text, messages, faults)) {
    ReportFailure(messages, "プロジェクト " + name.string() + " の保存に失敗しました");
    return false;
  }
  project.MarkSaved(full);
  return true;
}

bool ProjectFile::Open(VideoProject& project, const std::filesystem::path& file, std::int32_t viewWidth,
                       std::int32_t viewHeight) {
  MessageText& messages = project.Messages();
  messages.Clear();
  const std::filesystem::path full = AbsoluteName(file);
  std::string text;
  bool ok = ProjectFileStore::Read(full, text, messages);
  if (ok) {
    VideoProject fresh(project.Context());
    RecordReader reader(text, FileNameForm::ProjectFolder(full));
    text = std::string();
    ok = ProjectFileReader::Read(reader, fresh, viewWidth, viewHeight);
    if (ok) {
      fresh.MarkSaved(full);
      project = fresh;
      return true;
    }
  }
  ReportFailure(messages, "プロジェクト " + file.string() + " の読込に失敗しました");
  return false;
}

} // namespace rw
