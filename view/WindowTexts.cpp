#include "view/WindowTexts.h"

#include "project/OfflineMedia.h"

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

std::string WindowTexts::RelinkReport(const std::filesystem::path& folder,
                                      const std::vector<std::filesystem::path>& found,
                                      const std::vector<OfflineFile>& missing) {
  std::string text;
  if (found.empty()) {
    text = "フォルダ " + folder.string() + " には見つかりませんでした。\n";
  } else {
    text = "次のファイルが見つかり、つなぎ直しました:\n";
    for (const std::filesystem::path& file : found)
      text += "  " + file.string() + "\n";
  }
  if (!missing.empty()) {
    text += found.empty() ? "見つからないファイル:\n" : "\nまだ見つからないファイル:\n";
    for (const OfflineFile& f : missing)
      text += "  " + f.file.string() + (f.reason.empty() ? "" : ": " + f.reason) + "\n";
  }
  if (!text.empty() && text.back() == '\n')
    text.pop_back();
  return text;
}

std::string WindowTexts::Shortened(const std::string& text, std::size_t lines) {
  std::size_t at = 0;
  for (std::size_t kept = 0; kept < lines; ++kept) {
    at = text.find('\n', at);
    if (at == std::string::npos)
      return text;
    ++at;
  }
  if (at >= text.size())
    return text;
  std::size_t rest = 0;
  for (std::size_t i = at; i < text.size(); ++i)
    rest += text[i] == '\n' ? 1 : 0;
  if (text.back() != '\n')
    ++rest;
  // A count in place of a single line would save nothing.
  if (rest < 2)
    return text;
  return text.substr(0, at) + "  …ほか" + std::to_string(rest) + "件";
}

} // namespace rw::view
