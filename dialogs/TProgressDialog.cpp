#include "dialogs/TProgressDialog.h"

#include "dialogs/DialogScreen.h"
#include "dialogs/WindowFont.h"

#include <QCoreApplication>
#include <QHideEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>

namespace rw::dialogs {

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 92;
constexpr int kStartDelayMs = 200;

} // namespace

TProgressDialog::TProgressDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setObjectName("ProgressDialog");
  setWindowTitle(QStringLiteral("ムービー作成中"));
  setFont(WindowFont::Make());
  setFixedSize(kWidth, kHeight);

  progressBar1_ = new QProgressBar(this);
  progressBar1_->setObjectName("ProgressBar1");
  progressBar1_->setRange(0, 100);
  progressBar1_->setValue(0);
  progressBar1_->setGeometry(16, 16, kWidth - 32, 22);

  buttonAbort_ = new QPushButton(QStringLiteral("中止"), this);
  buttonAbort_->setObjectName("ButtonAbort");
  buttonAbort_->setGeometry((kWidth - 80) / 2, 52, 80, 26);
  buttonAbort_->setAutoDefault(false);
  connect(buttonAbort_, &QPushButton::clicked, this, [this] { run_.RequestStop(); });

  timer1_ = new QTimer(this);
  timer1_->setObjectName("Timer1");
  timer1_->setInterval(kStartDelayMs);
  timer1_->setSingleShot(true);
  connect(timer1_, &QTimer::timeout, this, &TProgressDialog::RunWork);
}

TProgressDialog::~TProgressDialog() = default;

void TProgressDialog::SetWork(std::function<bool()> work) {
  work_ = std::move(work);
}

void TProgressDialog::SetPosition(int percent) {
  progressBar1_->setValue(view::ProgressRun::BarPosition(percent));
}

bool TProgressDialog::Progress(int percent) {
  SetPosition(percent);
  QCoreApplication::processEvents();
  return !run_.StopRequested();
}

void TProgressDialog::reject() {
  run_.RequestStop();
}

void TProgressDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous() || run_.Running()) {
    return;
  }
  DialogScreen::MoveToCentre(*this);
  run_.Reset();
  timer1_->start();
}

void TProgressDialog::hideEvent(QHideEvent* event) {
  QDialog::hideEvent(event);
  // Hidden before its start, the work waits for the next showing instead of running unseen.
  if (!event->spontaneous() && !run_.Running()) {
    timer1_->stop();
  }
}

void TProgressDialog::RunWork() {
  timer1_->stop();
  if (run_.Running()) {
    return;
  }
  if (run_.Begin()) {
    bool succeeded = false;
    if (work_) {
      // Nothing may leave an event handler by exception: a work that throws has failed.
      try {
        succeeded = work_();
      } catch (...) {
        succeeded = false;
      }
    }
    run_.Finish(succeeded);
  }
  done(run_.Result());
}

} // namespace rw::dialogs
