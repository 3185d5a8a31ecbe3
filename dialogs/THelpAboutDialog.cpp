#include "dialogs/THelpAboutDialog.h"

#include "dialogs/DialogScreen.h"
#include "dialogs/WindowFont.h"

#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

extern "C" {
#include <libavutil/avutil.h>
}

namespace rw::dialogs {

namespace {

constexpr int kWidth = 300;
constexpr int kHeight = 112;

} // namespace

THelpAboutDialog::THelpAboutDialog(QWidget* parent)
    : QDialog(parent,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
  setObjectName("HelpAboutDialog");
  setWindowTitle(QStringLiteral("Reelwrightについて"));
  setFont(WindowFont::Make());
  setFixedSize(kWidth, kHeight);

  label1_ = new QLabel(QStringLiteral("Reelwright(仮)  Version 0.9.0610"), this);
  label1_->setObjectName("Label1");
  label1_->setAlignment(Qt::AlignCenter);
  label1_->setGeometry(8, 14, kWidth - 16, 18);

  label2_ = new QLabel(LibraryLine(), this);
  label2_->setObjectName("Label2");
  label2_->setAlignment(Qt::AlignCenter);
  label2_->setGeometry(8, 38, kWidth - 16, 18);

  button1_ = new QPushButton(QStringLiteral("OK"), this);
  button1_->setObjectName("Button1");
  button1_->setGeometry((kWidth - 80) / 2, 72, 80, 26);
  button1_->setDefault(true);
  connect(button1_, &QPushButton::clicked, this, &QDialog::accept);
}

THelpAboutDialog::~THelpAboutDialog() = default;

QString THelpAboutDialog::LibraryLine() {
  // Distributions append their package revision ("5.1.9-0+deb12u1"); the release is enough here.
  const QString ffmpeg = QString::fromUtf8(av_version_info()).section(QLatin1Char('-'), 0, 0);
  return QStringLiteral("Qt %1 / FFmpeg %2").arg(QString::fromLatin1(qVersion()), ffmpeg);
}

void THelpAboutDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) {
    DialogScreen::MoveToCentre(*this);
  }
}

} // namespace rw::dialogs
