#pragma once

#include "view/TimelineDisplay.h"

#include <QObject>
#include <functional>

class QMouseEvent;

namespace rw::app {

class PictureBox;
struct MainFormWidgets;

// The window's side of the timeline display: draws what a refresh of the TimelineDisplay
// changed into the components, and turns clicks and drags on the overview bar, the strip and
// the frame images into moves of the current time or a selection.
class TimelineView : public QObject {
  Q_OBJECT
public:
  TimelineView(MainFormWidgets& widgets, view::TimelineDisplay& display);

  // The display's refresh, then the components it changed.
  void Refresh(std::int32_t frame, bool full);
  void MoveTo(std::int32_t f);
  void JumpRelative(std::int32_t d);
  void RefreshAudio();
  void RefreshSelection();

  // Where a press on a thumbnail started a drag; -1 when none.
  std::int32_t DragAnchor() const { return dragAnchor_; }
  void ClearDragAnchor() { dragAnchor_ = -1; }

  // Called before the current time moves by a click (playback stops then).
  void SetBeforeMove(std::function<void()> beforeMove) { beforeMove_ = std::move(beforeMove); }

  void Apply(const view::TimelineDisplay::Changes& changes);

private:
  struct ImageHit {
    int slot = 0;
    bool end = false;
  };

  void ApplySlot(int slot);
  void ApplyCutPage();
  void ApplyTransitionPage();
  void ApplyAudioLines();
  void ApplyAudioFields();
  void ApplySelection();

  void OverviewMouse(QMouseEvent* event, bool move);
  void ThumbnailPressed(PictureBox* box, QMouseEvent* event);
  void ThumbnailMoved(PictureBox* box, QMouseEvent* event);
  void ThumbnailReleased(PictureBox* box, QMouseEvent* event);
  // The shown begin or end image under a point of the window's client area.
  std::optional<ImageHit> ImageAt(const QPoint& client) const;
  std::optional<ImageHit> HitOf(const PictureBox* box) const;
  std::int32_t FrameOf(const ImageHit& hit) const;
  void ShowMouseEvent(const char* what, const ImageHit& hit);

  MainFormWidgets& w_;
  view::TimelineDisplay& display_;
  std::function<void()> beforeMove_;
  std::int32_t dragAnchor_ = -1;
};

} // namespace rw::app
