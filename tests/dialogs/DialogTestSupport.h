#pragma once

// What the dialog tests share.

#include <QDialog>

namespace rw::dialogs::test {

// Closes a modal dialog that a failed check inside its run left open, so that exec() returns.
struct CloseWhenDone {
  QDialog& dialog;
  ~CloseWhenDone() {
    if (dialog.isVisible())
      dialog.reject();
  }
};

// A component of a dialog by its name; a missing one ends the test program.
template <class T> T* Find(QWidget& dialog, const char* name) {
  T* widget = dialog.findChild<T*>(name);
  if (!widget)
    qFatal("no %s", name);
  return widget;
}

} // namespace rw::dialogs::test
