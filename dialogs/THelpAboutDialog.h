#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace rw::dialogs {

// "Reelwrightについて": the program's name and version, and the versions of the libraries it
// runs on.
class THelpAboutDialog : public QDialog {
  Q_OBJECT

public:
  explicit THelpAboutDialog(QWidget* parent = nullptr);
  ~THelpAboutDialog() override;

  // The second line: the Qt and FFmpeg versions this process runs on.
  static QString LibraryLine();

protected:
  void showEvent(QShowEvent* event) override;

private:
  QLabel* label1_ = nullptr;
  QLabel* label2_ = nullptr;
  QPushButton* button1_ = nullptr;
};

} // namespace rw::dialogs
