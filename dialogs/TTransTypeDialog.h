#pragma once

#include "view/TransitionCells.h"

#include <QDialog>
#include <QImage>

#include <array>

class QLabel;
class QPushButton;
class QScrollBar;
class QTimer;

namespace rw::dialogs {

class PickerPaintBox;

// "トランジション選択": the kinds of the transition registry as a grid of small previews
// (PaintBox1..12 with Label1..12), each playing its transition between two sample pictures
// while the dialog is active; a click selects a kind, framed by Shape1. Made once and reused; the
// selection stays between uses. After exec() answers Accepted the caller reads ItemIndex().
class TTransTypeDialog : public QDialog {
  Q_OBJECT

public:
  explicit TTransTypeDialog(QWidget* parent = nullptr);

  // The registry index of the chosen kind, -1 for none.
  int ItemIndex() const { return cells_.Selected(); }
  const view::TransitionCells& Cells() const { return cells_; }
  // The picture cell `slot` shows now.
  const QImage& CellImage(int slot) const { return images_[static_cast<std::size_t>(slot)]; }
  bool AnimationRunning() const;

  // A click on cell `slot` (0..11); one tick of the animation; a move of the scroll bar.
  void ClickCell(int slot);
  void AnimationTick();
  void ShowPage(int position);

protected:
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

private:
  void UpdateFrame();

  view::TransitionCells cells_;
  std::array<PickerPaintBox*, view::TransitionCells::kSlots> boxes_{};
  std::array<QLabel*, view::TransitionCells::kSlots> labels_{};
  std::array<QImage, view::TransitionCells::kSlots> images_;
  QWidget* frame_ = nullptr;
  QScrollBar* scrollBar_ = nullptr;
  QTimer* timer_ = nullptr;
};

} // namespace rw::dialogs
