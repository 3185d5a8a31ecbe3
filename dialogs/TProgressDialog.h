#pragma once

#include "view/ProgressRun.h"

#include <QDialog>

#include <functional>

class QProgressBar;
class QPushButton;
class QTimer;

namespace rw::dialogs {

// "ムービー作成中": runs one long work (the movie compile) inside the modal dialog, on the
// user-interface thread, with a progress bar and a stop button. The work starts 200 ms after the
// dialog is shown and reports through Progress, which keeps the dialog responsive; when the work
// returns, the dialog closes and exec() answers the outcome (0 failed, 1 finished, 3 stopped).
//
// Closing the window (Escape, the window manager) while the work runs is a stop request like
// "中止": the dialog closes only after the work has returned, so nothing is left half-done.
class TProgressDialog : public QDialog {
  Q_OBJECT

public:
  explicit TProgressDialog(QWidget* parent = nullptr);
  ~TProgressDialog() override;

  // The work of the next showing: true when it succeeded (also when it stopped early on
  // request), false when it failed. An empty function counts as a failure.
  void SetWork(std::function<bool()> work);
  // Sets the bar to a percentage (kept within 0..100).
  void SetPosition(int percent);
  // For the work to call as it advances: sets the bar, lets pending events be processed (so that
  // "中止" can be clicked) and answers false once a stop was requested.
  bool Progress(int percent);
  // The outcome of the last showing, a ProgressRun::Outcome.
  int Outcome() const { return run_.Result(); }
  bool StopRequested() const { return run_.StopRequested(); }

  // Closing is a stop request; the dialog itself closes when the work is over.
  void reject() override;

protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

private:
  void RunWork();

  QProgressBar* progressBar1_ = nullptr;
  QPushButton* buttonAbort_ = nullptr;
  QTimer* timer1_ = nullptr;
  std::function<bool()> work_;
  view::ProgressRun run_;
};

} // namespace rw::dialogs
