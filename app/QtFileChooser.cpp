#include "app/QtFileChooser.h"

#include <QFileDialog>

namespace rw::app {

namespace {

constexpr const char* kProjectFilter = "KOBALT Reelwright(*.RWE)|*.RWE";

QFileDialog* MakeDialog(QWidget* owner, const char* name, const QString& title, QFileDialog::AcceptMode mode,
                        QFileDialog::FileMode files, const char* filter, const char* suffix) {
  auto* dialog = new QFileDialog(owner, title);
  dialog->setObjectName(name);
  dialog->setAcceptMode(mode);
  dialog->setFileMode(files);
  if (filter)
    dialog->setNameFilters(QtFileChooser::NameFilters(filter));
  dialog->setDefaultSuffix(suffix);
  return dialog;
}

QString Both(const QString& pattern) {
  const QString lower = pattern.toLower();
  const QString upper = pattern.toUpper();
  return lower == upper ? pattern : lower + " " + upper;
}

} // namespace

QFileDialog* QtFileChooser::Dialog(Which which) {
  QFileDialog*& dialog = dialogs_[which];
  if (dialog)
    return dialog;
  switch (which) {
  case kSaveProject:
    dialog = MakeDialog(owner_, "SaveProjectDialog", "ビデオ編集プロジェクトの保存", QFileDialog::AcceptSave,
                        QFileDialog::AnyFile, kProjectFilter, "rwe");
    break;
  case kOpenProject:
    dialog = MakeDialog(owner_, "OpenProjectDialog", "ビデオ編集プロジェクトの読込", QFileDialog::AcceptOpen,
                        QFileDialog::ExistingFile, kProjectFilter, "rwe");
    break;
  case kSaveMovie:
    dialog = MakeDialog(owner_, "SaveMovieDialog", QString(), QFileDialog::AcceptSave, QFileDialog::AnyFile,
                        "Video for Windows(*.AVI)|*.AVI", "avi");
    break;
  case kOpenClip:
    dialog = MakeDialog(owner_, "OpenClipDialog", QString(), QFileDialog::AcceptOpen,
                        QFileDialog::ExistingFiles, nullptr, "avi");
    break;
  }
  return dialog;
}

QStringList QtFileChooser::NameFilters(const std::string& filter) {
  const QStringList parts = QString::fromStdString(filter).split('|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QStringList patterns;
    for (const QString& p : parts[i + 1].split(';', Qt::SkipEmptyParts))
      patterns << Both(p.trimmed());
    filters << parts[i] + " (" + patterns.join(' ') + ")";
  }
  return filters;
}

std::filesystem::path QtFileChooser::Run(Which which, const std::filesystem::path& preset) {
  QFileDialog* dialog = Dialog(which);
  if (!preset.empty()) {
    const QString name = QString::fromStdString(preset.string());
    if (preset.has_filename())
      dialog->selectFile(name);
    else
      dialog->setDirectory(name);
  }
  if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
    return {};
  return dialog->selectedFiles().front().toStdString();
}

std::filesystem::path QtFileChooser::OpenProject(const std::filesystem::path& preset) {
  return Run(kOpenProject, preset);
}

std::filesystem::path QtFileChooser::SaveProject(const std::filesystem::path& preset) {
  return Run(kSaveProject, preset);
}

std::filesystem::path QtFileChooser::SaveMovie(const std::filesystem::path& preset) {
  return Run(kSaveMovie, preset);
}

std::vector<std::filesystem::path> QtFileChooser::OpenClips(const std::string& filter) {
  QFileDialog* dialog = Dialog(kOpenClip);
  dialog->setNameFilters(NameFilters(filter));
  std::vector<std::filesystem::path> files;
  if (dialog->exec() != QDialog::Accepted)
    return files;
  for (const QString& f : dialog->selectedFiles())
    files.emplace_back(f.toStdString());
  return files;
}

std::filesystem::path QtFileChooser::ChooseFolder(const std::filesystem::path& preset) {
  const QString folder = QFileDialog::getExistingDirectory(owner_, "見つからないファイルを探すフォルダ",
                                                           QString::fromStdString(preset.string()));
  return folder.toStdString();
}

} // namespace rw::app
