#include "app/MessagePrompt.h"

#include <QMessageBox>

namespace rw::app {

UserPrompt::Answer MessagePrompt::Ask(const std::string& text, const std::string& caption, Buttons buttons) {
  QMessageBox box(owner_);
  box.setObjectName("MessageBox");
  box.setWindowTitle(QString::fromStdString(caption));
  box.setText(QString::fromStdString(text));
  switch (buttons) {
  case Buttons::Ok:
    box.setStandardButtons(QMessageBox::Ok);
    break;
  case Buttons::OkCancel:
    box.setIcon(QMessageBox::Question);
    box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
    break;
  case Buttons::YesNoCancel:
    box.setIcon(QMessageBox::Question);
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    break;
  }
  switch (box.exec()) {
  case QMessageBox::Yes:
    return Answer::Yes;
  case QMessageBox::No:
    return Answer::No;
  case QMessageBox::Ok:
    return Answer::Ok;
  default:
    return Answer::Cancel;
  }
}

} // namespace rw::app
