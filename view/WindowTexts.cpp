#include "view/WindowTexts.h"

namespace rw::view {

std::string WindowTexts::WindowCaption(const std::filesystem::path& projectFile) {
  std::string caption = "Reelwright(仮)";
  if (!projectFile.empty())
    caption += " - " + projectFile.stem().string();
  return caption;
}

std::string WindowTexts::SaveQuestion(const std::filesystem::path& projectFile) {
  if (projectFile.empty())
    return "プロジェクトを保存していません。\n保存しますか?";
  return "プロジェクト " + projectFile.filename().string() + " を保存していません。\n保存しますか?";
}

WindowTexts::CompileEnd WindowTexts::CompileEndOf(int outcome) {
  if (outcome == 1)
    return CompileEnd::Finished;
  if (outcome == 3)
    return CompileEnd::Stopped;
  return CompileEnd::Failed;
}

std::string WindowTexts::CompileReport(int outcome, std::string_view messages) {
  switch (CompileEndOf(outcome)) {
  case CompileEnd::Finished:
    return "ムービーの作成が終了しました";
  case CompileEnd::Stopped:
    return "ムービーの作成を中断しました";
  case CompileEnd::Failed:
    break;
  }
  if (messages.empty())
    return "ムービーの作成に失敗しました";
  return "ムービーの作成に失敗しました:\n" + std::string(messages);
}

std::string WindowTexts::MovieNotOpened(const std::filesystem::path& file) {
  return "ムービー " + file.string() + " を開けません";
}

std::string WindowTexts::SoundNotOpened(const std::filesystem::path& file) {
  return "サウンド " + file.string() + " を開けません";
}

} // namespace rw::view
