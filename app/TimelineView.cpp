#include "app/TimelineView.h"

#include "app/MainFormWidgets.h"
#include "app/PictureBox.h"
#include "app/SketchBox.h"
#include "app/UpDown.h"
#include "project/VideoProject.h"
#include "view/OverviewScale.h"
#include "view/WindowLayout.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>

namespace rw::app {

namespace {

using view::WindowLayout;

QString Text(const std::string& s) {
  return QString::fromStdString(s);
}

void SetBar(QFrame* bar, const view::SelectionDisplay::Bar& b, std::int32_t top) {
  if (!b.shown) {
    bar->hide();
    return;
  }
  const QRect r(b.left, top, b.right - b.left, WindowLayout::kBarHeight);
  if (bar->geometry() != r)
    bar->setGeometry(r);
  bar->show();
}

} // namespace

TimelineView::TimelineView(MainFormWidgets& widgets, view::TimelineDisplay& display)
    : w_(widgets), display_(display) {
  connect(w_.imageProject, &SketchBox::Pressed, this, [this](QMouseEvent* e) { OverviewMouse(e, false); });
  connect(w_.imageProject, &SketchBox::Moved, this, [this](QMouseEvent* e) { OverviewMouse(e, true); });
  for (int slot = -4; slot <= 4; ++slot) {
    for (PictureBox* box : {w_.Slot(slot).begin, w_.Slot(slot).end}) {
      connect(box, &PictureBox::Pressed, this, [this, box](QMouseEvent* e) { ThumbnailPressed(box, e); });
      connect(box, &PictureBox::Moved, this, [this, box](QMouseEvent* e) { ThumbnailMoved(box, e); });
      connect(box, &PictureBox::Released, this, [this, box](QMouseEvent* e) { ThumbnailReleased(box, e); });
    }
    if (slot != 0 && slot >= -3 && slot <= 3) {
      connect(w_.FrameImage(slot), &PictureBox::Released, this, [this, slot](QMouseEvent* e) {
        if (w_.FrameImage(slot)->rect().contains(e->position().toPoint()))
          JumpRelative(slot);
      });
    }
  }
  connect(w_.comboBoxAudioName, &QComboBox::currentIndexChanged, this, [this](int line) {
    display_.SelectAudioLine(line);
    ApplyAudioFields();
  });
}

void TimelineView::Refresh(std::int32_t frame, bool full) {
  Apply(display_.Refresh(frame, full));
}

void TimelineView::MoveTo(std::int32_t f) {
  Apply(display_.MoveTo(f));
}

void TimelineView::JumpRelative(std::int32_t d) {
  if (beforeMove_)
    beforeMove_();
  Apply(display_.JumpRelative(d));
}

void TimelineView::RefreshAudio() {
  Apply(display_.RefreshAudio());
}

void TimelineView::RefreshSelection() {
  Apply(display_.RefreshSelection());
}

void TimelineView::Apply(const view::TimelineDisplay::Changes& c) {
  if (c.overview) {
    w_.imageProject->SetLayer(0, display_.OverviewBar());
    w_.labelTimeTotal->setText(Text(display_.TimeTotal()));
  }
  if (c.marker) {
    w_.imageProject->SetLayer(1, display_.Marker());
    w_.labelTimeNow->setText(Text(display_.TimeNow()));
    w_.labelClipRelativeTime->setText(Text(display_.ClipRelativeTime()));
  }
  const view::TimelineImages& images = display_.Images();
  for (int slot = -4; slot <= 4; ++slot) {
    const std::uint32_t bit = 1u << (slot + 4);
    if ((c.frameImages & bit) && WindowLayout::FrameImageShown(slot))
      w_.FrameImage(slot)->SetPicture(images.FrameImage(slot));
    if ((c.audioImages & bit) && WindowLayout::FrameImageShown(slot))
      w_.AudioImage(slot)->SetPicture(images.AudioImage(slot));
    if (c.slotBits & bit)
      ApplySlot(slot);
  }
  if (c.frameImages & view::TimelineImages::kPreviewChanged)
    w_.paintNow->SetPicture(images.Preview());
  if (c.audioImages & view::TimelineImages::kLargeAudioChanged)
    w_.imageAudioNowLarge->SetPicture(images.LargeAudio());
  if (c.connector)
    w_.imageLine->SetLayer(0, display_.Connector());
  if (c.cutPage)
    ApplyCutPage();
  if (c.transitionPage)
    ApplyTransitionPage();
  if (c.audioLines)
    ApplyAudioLines();
  if (c.audioFields)
    ApplyAudioFields();
  if (c.selection)
    ApplySelection();
}

void TimelineView::ApplySlot(int slot) {
  const view::StripSlot& s = display_.Strip().Slot(slot);
  SlotWidgets& sw = w_.Slot(slot);
  for (QWidget* part :
       {static_cast<QWidget*>(sw.bevel), static_cast<QWidget*>(sw.beginBevel),
        static_cast<QWidget*>(sw.begin), static_cast<QWidget*>(sw.length), static_cast<QWidget*>(sw.name)})
    part->setVisible(s.shown);
  for (QWidget* part : {static_cast<QWidget*>(sw.endBevel), static_cast<QWidget*>(sw.end)})
    part->setVisible(s.shown && s.endShown);
  for (QLabel* label : {sw.beginLabel, sw.endLabel})
    label->setVisible(s.shown && s.labelsShown);
  if (!s.shown)
    return;
  sw.begin->SetPicture(s.beginImage);
  if (s.endShown)
    sw.end->SetPicture(s.endImage);
  sw.beginLabel->setText(Text(s.beginLabel));
  sw.endLabel->setText(Text(s.endLabel));
  sw.length->setText(Text(s.lengthLabel));
  sw.name->setText(Text(s.nameLabel));
  sw.name->setToolTip(Text(s.nameLabel));
}

void TimelineView::ApplyCutPage() {
  const view::CutPage& page = display_.Cut();
  w_.editClipBeginFrame->setText(Text(page.begin));
  w_.editClipEndFrame->setText(Text(page.end));
  w_.editClipTotalFrame->setText(Text(page.total));
  const std::int32_t values[] = {page.beginValue, page.endValue, page.totalValue};
  UpDown* upDowns[] = {w_.upDownClipBeginFrame, w_.upDownClipEndFrame, w_.upDownClipTotalFrame};
  for (int i = 0; i < 3; ++i) {
    upDowns[i]->SetRange(0, page.upDownMax);
    upDowns[i]->SetPosition(values[i]);
  }
  for (QWidget* field :
       {static_cast<QWidget*>(w_.editClipBeginFrame), static_cast<QWidget*>(w_.upDownClipBeginFrame),
        static_cast<QWidget*>(w_.editClipEndFrame), static_cast<QWidget*>(w_.upDownClipEndFrame)})
    field->setEnabled(page.rangeEnabled);
  w_.editClipTotalFrame->setEnabled(page.lengthEnabled);
  w_.upDownClipTotalFrame->setEnabled(page.lengthEnabled);
  w_.buttonConfigVideo->setEnabled(page.configEnabled);
}

void TimelineView::ApplyTransitionPage() {
  const view::TransitionPage& page = display_.Transition();
  w_.editOverlapTotal->setText(Text(page.length));
  w_.editOverlapName->setText(Text(page.name));
  w_.upDownOverlapTotal->SetPosition(page.lengthValue);
  for (QWidget* field :
       {static_cast<QWidget*>(w_.editOverlapTotal), static_cast<QWidget*>(w_.upDownOverlapTotal),
        static_cast<QWidget*>(w_.buttonOLDelete)})
    field->setEnabled(page.nowIsTransition);
  w_.buttonOLPrev->setEnabled(page.addBeforeEnabled);
  w_.buttonOLNext->setEnabled(page.addAfterEnabled);
}

void TimelineView::ApplyAudioLines() {
  const view::AudioPanel& panel = display_.Audio();
  const QSignalBlocker block(w_.comboBoxAudioName);
  w_.comboBoxAudioName->clear();
  for (const std::string& line : panel.Lines())
    w_.comboBoxAudioName->addItem(Text(line));
  w_.comboBoxAudioName->setCurrentIndex(panel.SelectedLine());
  w_.buttonInsertAudio->setEnabled(panel.InsertEnabled());
}

void TimelineView::ApplyAudioFields() {
  const view::AudioPanel::Fields& f = display_.Audio().Current();
  w_.editAudioBegin->setText(Text(f.begin));
  w_.editAudioStartPosition->setText(Text(f.start));
  w_.editAudioTotal->setText(Text(f.total));
  w_.upDownAudioBegin->SetRange(0, f.beginMax);
  w_.upDownAudioBegin->SetPosition(f.beginValue);
  w_.upDownAudioStartPosition->SetRange(0, f.sourceMax);
  w_.upDownAudioStartPosition->SetPosition(f.startValue);
  w_.upDownAudioTotal->SetRange(0, f.sourceMax);
  w_.upDownAudioTotal->SetPosition(f.totalValue);
  {
    const QSignalBlocker block(w_.trackBarAudioVolume);
    w_.trackBarAudioVolume->setValue(f.trackPosition);
  }
  w_.labelAudioVolume->setText(Text(f.volumeLabel));
  for (QWidget* field :
       {static_cast<QWidget*>(w_.editAudioBegin), static_cast<QWidget*>(w_.editAudioStartPosition),
        static_cast<QWidget*>(w_.editAudioTotal), static_cast<QWidget*>(w_.upDownAudioBegin),
        static_cast<QWidget*>(w_.upDownAudioStartPosition), static_cast<QWidget*>(w_.upDownAudioTotal),
        static_cast<QWidget*>(w_.trackBarAudioVolume), static_cast<QWidget*>(w_.buttonDeleteAudio)})
    field->setEnabled(f.enabled);
}

void TimelineView::ApplySelection() {
  const view::SelectionDisplay& s = display_.Selection();
  SetBar(w_.shapeSelectClip, s.cutBar, WindowLayout::kCutBarTop);
  SetBar(w_.shapeSelectFrame, s.frameBar, WindowLayout::kFrameBarTop);
  view::Sketch line;
  if (s.lineShown)
    line.AddPath({{s.lineFrom, 1}, {s.lineTo, 1}});
  w_.imageLine->SetLayer(1, line);
}

void TimelineView::OverviewMouse(QMouseEvent* event, bool move) {
  if (move && !(event->buttons() & Qt::LeftButton))
    return;
  const VideoProject& project = display_.Project();
  const view::OverviewScale scale(w_.imageProject->width(), project.List().TotalFrames());
  const auto frame = scale.FrameAt(event->position().toPoint().x());
  if (!frame || *frame < 0 || *frame > scale.Total() || *frame == project.CurrentFrame())
    return;
  if (beforeMove_)
    beforeMove_();
  MoveTo(*frame);
}

std::optional<TimelineView::ImageHit> TimelineView::HitOf(const PictureBox* box) const {
  for (int slot = -4; slot <= 4; ++slot) {
    if (box == w_.Slot(slot).begin)
      return ImageHit{slot, false};
    if (box == w_.Slot(slot).end)
      return ImageHit{slot, true};
  }
  return std::nullopt;
}

std::optional<TimelineView::ImageHit> TimelineView::ImageAt(const QPoint& client) const {
  for (int slot = -4; slot <= 4; ++slot) {
    const SlotWidgets& sw = w_.strip[static_cast<std::size_t>(slot + 4)];
    if (sw.begin->isVisible() && sw.begin->geometry().contains(client))
      return ImageHit{slot, false};
    if (sw.end->isVisible() && sw.end->geometry().contains(client))
      return ImageHit{slot, true};
  }
  return std::nullopt;
}

std::int32_t TimelineView::FrameOf(const ImageHit& hit) const {
  const view::StripSlot& s = display_.Strip().Slot(hit.slot);
  return hit.end ? s.endFrame : s.beginFrame;
}

void TimelineView::ShowMouseEvent(const char* what, const ImageHit& hit) {
  w_.label17->setText(QString("%1%2:%3").arg(what).arg(hit.slot).arg(hit.end ? 1 : 0));
}

void TimelineView::ThumbnailPressed(PictureBox* box, QMouseEvent*) {
  const auto hit = HitOf(box);
  if (!hit)
    return;
  dragAnchor_ = FrameOf(*hit);
  ShowMouseEvent("Down:", *hit);
}

void TimelineView::ThumbnailMoved(PictureBox* box, QMouseEvent* event) {
  if (!(event->buttons() & Qt::LeftButton))
    return;
  const auto hit = ImageAt(box->mapTo(w_.central, event->position().toPoint()));
  if (!hit)
    return;
  ShowMouseEvent("Move:", *hit);
  const std::int32_t a = FrameOf(*hit);
  if (dragAnchor_ != -1 && a == dragAnchor_)
    return;
  VideoProject& project = display_.Project();
  if (dragAnchor_ != -1) {
    project.StartSelection(SelMode::Frames, dragAnchor_);
    dragAnchor_ = -1;
  }
  if (project.SetSelectionEnd(a))
    RefreshSelection();
}

void TimelineView::ThumbnailReleased(PictureBox* box, QMouseEvent* event) {
  const QPoint client = box->mapTo(w_.central, event->position().toPoint());
  if (const auto hit = ImageAt(client))
    ShowMouseEvent("Up:", *hit);
  // A click: press and release on the same picture.
  const auto own = HitOf(box);
  if (!own || !box->rect().contains(event->position().toPoint()))
    return;
  const std::int32_t frame = FrameOf(*own);
  if (frame < 0 || frame == display_.Project().CurrentFrame())
    return;
  if (beforeMove_)
    beforeMove_();
  MoveTo(frame);
}

} // namespace rw::app
