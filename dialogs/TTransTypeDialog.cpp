#include "dialogs/TTransTypeDialog.h"

#include "dialogs/DialogScreen.h"
#include "dialogs/PickerPaintBox.h"
#include "dialogs/WindowFont.h"

#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

namespace rw::dialogs {
namespace {

using Cells = view::TransitionCells;

// Layout: the caption line, the grid of cells (a picture with its label under it), the scroll
// bar at its right, the buttons under it. The selection frame surrounds picture and label.
constexpr int kMargin = 12;
constexpr int kGridTop = 34;
constexpr int kPitchX = Cells::kCellWidth + 10;
constexpr int kPitchY = Cells::kCellHeight + 26;
constexpr int kLabelHeight = 15;
constexpr int kFrameWidth = 84;
constexpr int kFrameHeight = 81;
constexpr int kScrollLeft = kMargin + Cells::kColumns * kPitchX - 4;
constexpr int kScrollWidth = 17;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 25;
constexpr int kButtonTop = kGridTop + Cells::kVisibleRows * kPitchY + 6;
constexpr int kWidth = kScrollLeft + kScrollWidth + kMargin;
constexpr int kHeight = kButtonTop + kButtonHeight + kMargin;

QPoint CellPosition(int slot) {
  return {kMargin + (slot % Cells::kColumns) * kPitchX, kGridTop + (slot / Cells::kColumns) * kPitchY};
}

} // namespace

TTransTypeDialog::TTransTypeDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("TransTypeDialog");
  setWindowTitle("トランジション選択");
  setFont(WindowFont::Make());
  setFixedSize(kWidth, kHeight);

  auto* caption = new QLabel("ワイプパターンを選択して下さい", this);
  caption->setObjectName("Caption");
  caption->setAlignment(Qt::AlignCenter);
  caption->setGeometry(0, 10, kWidth, 16);

  for (int s = 0; s < Cells::kSlots; ++s) {
    const QPoint at = CellPosition(s);
    auto* box =
        new PickerPaintBox(QString("PaintBox%1").arg(s + 1), Cells::kCellWidth, Cells::kCellHeight, this);
    box->move(at);
    box->SetDrawing([this, s](QPainter& p) { p.drawImage(0, 0, images_[static_cast<std::size_t>(s)]); });
    connect(box, &PickerPaintBox::leftPressed, this, [this, s] { ClickCell(s); });
    boxes_[static_cast<std::size_t>(s)] = box;
    auto* label = new QLabel(this);
    label->setObjectName(QString("Label%1").arg(s + 1));
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setGeometry(at.x(), at.y() + Cells::kCellHeight + 2, Cells::kCellWidth, kLabelHeight);
    labels_[static_cast<std::size_t>(s)] = label;
  }

  auto* frame = new PickerPaintBox("Shape1", kFrameWidth, kFrameHeight, this);
  frame->setAttribute(Qt::WA_OpaquePaintEvent, false);
  frame->setAttribute(Qt::WA_TransparentForMouseEvents);
  frame->SetDrawing([](QPainter& p) {
    p.setPen(QPen(QColor(0, 0, 255), 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(1, 1, kFrameWidth - 2, kFrameHeight - 2));
  });
  frame_ = frame;

  scrollBar_ = new QScrollBar(Qt::Vertical, this);
  scrollBar_->setObjectName("ScrollBar1");
  scrollBar_->setGeometry(kScrollLeft, kGridTop - 2, kScrollWidth, Cells::kVisibleRows * kPitchY - 4);
  scrollBar_->setPageStep(1);
  scrollBar_->setRange(0, cells_.ScrollMaximum());
  scrollBar_->setVisible(cells_.ScrollBarShown());
  connect(scrollBar_, &QScrollBar::valueChanged, this, &TTransTypeDialog::ShowPage);

  auto* ok = new QPushButton("設定", this);
  ok->setObjectName("ButtonOK");
  ok->setDefault(true);
  ok->setGeometry(kWidth - kMargin - 2 * kButtonWidth - 8, kButtonTop, kButtonWidth, kButtonHeight);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  auto* cancel = new QPushButton("キャンセル", this);
  cancel->setObjectName("ButtonCancel");
  cancel->setGeometry(kWidth - kMargin - kButtonWidth, kButtonTop, kButtonWidth, kButtonHeight);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  timer_ = new QTimer(this);
  timer_->setObjectName("Timer1");
  timer_->setInterval(Cells::kTickMilliseconds);
  connect(timer_, &QTimer::timeout, this, &TTransTypeDialog::AnimationTick);

  // Until the first tick every cell shows the outgoing picture.
  const QImage outgoing = PickerPaintBox::ImageOf(cells_.Outgoing());
  images_.fill(outgoing);
  ShowPage(0);
}

bool TTransTypeDialog::AnimationRunning() const {
  return timer_->isActive();
}

void TTransTypeDialog::ShowPage(int position) {
  cells_.ShowPage(position);
  if (scrollBar_->value() != cells_.ScrollPosition())
    scrollBar_->setValue(cells_.ScrollPosition());
  for (int s = 0; s < Cells::kSlots; ++s) {
    const bool shown = cells_.CellShown(s);
    QLabel* label = labels_[static_cast<std::size_t>(s)];
    label->setText(QString::fromUtf8(cells_.Label(s).data(), static_cast<qsizetype>(cells_.Label(s).size())));
    label->setVisible(shown);
    boxes_[static_cast<std::size_t>(s)]->setVisible(shown);
  }
  UpdateFrame();
}

void TTransTypeDialog::ClickCell(int slot) {
  cells_.Click(slot);
  UpdateFrame();
}

void TTransTypeDialog::UpdateFrame() {
  const int slot = cells_.FrameSlot();
  if (slot < 0) {
    frame_->hide();
    return;
  }
  frame_->move(CellPosition(slot) - QPoint(2, 2));
  frame_->raise();
  frame_->show();
}

void TTransTypeDialog::AnimationTick() {
  for (int s = 0; s < Cells::kSlots; ++s) {
    if (!cells_.CellShown(s))
      continue;
    images_[static_cast<std::size_t>(s)] = PickerPaintBox::ImageOf(cells_.Picture(s));
    boxes_[static_cast<std::size_t>(s)]->update();
  }
  cells_.Advance();
}

void TTransTypeDialog::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  if (event->type() != QEvent::ActivationChange)
    return;
  if (isActiveWindow()) {
    UpdateFrame();
    timer_->start();
  } else {
    timer_->stop();
  }
}

void TTransTypeDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  DialogScreen::MoveToCentre(*this);
}

void TTransTypeDialog::hideEvent(QHideEvent* event) {
  timer_->stop();
  QDialog::hideEvent(event);
}

} // namespace rw::dialogs
