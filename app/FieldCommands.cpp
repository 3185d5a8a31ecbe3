#include "app/FieldCommands.h"

#include "app/MainFormWidgets.h"
#include "app/TMainForm.h"
#include "app/UpDown.h"
#include "base/MessageText.h"
#include "project/VideoProject.h"
#include "view/TimeText.h"
#include "view/VolumeScale.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

namespace rw::app {

namespace {

constexpr FieldCommands::Field kFields[] = {
    FieldCommands::Field::ClipBegin,    FieldCommands::Field::ClipEnd,    FieldCommands::Field::ClipTotal,
    FieldCommands::Field::OverlapTotal, FieldCommands::Field::AudioBegin, FieldCommands::Field::AudioStart,
    FieldCommands::Field::AudioTotal};

bool IsCutField(FieldCommands::Field f) {
  return f == FieldCommands::Field::ClipBegin || f == FieldCommands::Field::ClipEnd ||
         f == FieldCommands::Field::ClipTotal;
}

} // namespace

FieldCommands::FieldCommands(TMainForm& form, VideoProject& project, MainFormWidgets& widgets)
    : form_(form), project_(project), w_(widgets) {}

QLineEdit* FieldCommands::EditOf(Field field) const {
  switch (field) {
  case Field::ClipBegin:
    return w_.editClipBeginFrame;
  case Field::ClipEnd:
    return w_.editClipEndFrame;
  case Field::ClipTotal:
    return w_.editClipTotalFrame;
  case Field::OverlapTotal:
    return w_.editOverlapTotal;
  case Field::AudioBegin:
    return w_.editAudioBegin;
  case Field::AudioStart:
    return w_.editAudioStartPosition;
  case Field::AudioTotal:
    return w_.editAudioTotal;
  }
  return nullptr;
}

void FieldCommands::Bind() {
  UpDown* const upDowns[] = {w_.upDownClipBeginFrame, w_.upDownClipEndFrame, w_.upDownClipTotalFrame,
                             w_.upDownOverlapTotal,   w_.upDownAudioBegin,   w_.upDownAudioStartPosition,
                             w_.upDownAudioTotal};
  for (std::size_t i = 0; i < std::size(kFields); ++i) {
    const Field field = kFields[i];
    QLineEdit* edit = EditOf(field);
    edit->installEventFilter(this);
    // Enter leaves the field; leaving applies it (once).
    connect(edit, &QLineEdit::returnPressed, this, [this] { form_.FocusTimeline(); });
    connect(upDowns[i], &UpDown::Up, this, [this, field] { Step(field, 1); });
    connect(upDowns[i], &UpDown::Down, this, [this, field] { Step(field, -1); });
  }
  // A drag of the volume is one edit, made when the handle is let go.
  QSlider* volume = w_.trackBarAudioVolume;
  connect(volume, &QSlider::valueChanged, this, [this, volume](int position) {
    if (!volume->isSliderDown())
      ApplyVolume(position);
  });
  connect(volume, &QSlider::sliderReleased, this, [this, volume] { ApplyVolume(volume->value()); });
  connect(w_.buttonDeleteAudio, &QPushButton::clicked, this, [this] { DeleteSound(); });
}

bool FieldCommands::eventFilter(QObject* watched, QEvent* event) {
  auto* edit = qobject_cast<QLineEdit*>(watched);
  if (!edit)
    return false;
  if (event->type() == QEvent::ShortcutOverride) {
    // Enter belongs to the field, not to the menu item it is also the shortcut of.
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
      event->accept();
  } else if (event->type() == QEvent::FocusOut && edit->isEnabled() && !edit->isReadOnly()) {
    const auto reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
      for (const Field field : kFields) {
        if (EditOf(field) == edit)
          ApplyText(field);
      }
    }
  }
  return false;
}

bool FieldCommands::Report(bool ok) {
  if (!ok)
    form_.ShowMessages();
  return ok;
}

void FieldCommands::ApplyText(Field field) {
  Apply(field, view::TimeText::Parse(EditOf(field)->text().toStdString()));
}

void FieldCommands::Step(Field field, int d) {
  if (!IsCutField(field)) {
    Apply(field, view::TimeText::Parse(EditOf(field)->text().toStdString()) + d);
    return;
  }
  const ClipInfo& entry = project_.List().EntryAt(project_.CurrentEntryIndex());
  if (!entry.HasValidClip())
    return;
  const pVideoClip& clip = *entry.clip;
  const std::int32_t present = field == Field::ClipBegin ? clip.GetBeginFrame()
                               : field == Field::ClipEnd ? clip.GetEndFrame()
                                                         : clip.Length();
  Apply(field, present + d);
}

void FieldCommands::Apply(Field field, std::int32_t value) {
  project_.Messages().Clear();
  const std::int32_t entry = project_.CurrentEntryIndex();
  if (IsCutField(field)) {
    const bool ok = field == Field::ClipBegin ? project_.SetBeginFrame(value, entry)
                    : field == Field::ClipEnd ? project_.SetEndFrame(value, entry)
                                              : project_.SetLength(value, entry);
    if (Report(ok))
      form_.Refresh(-1, true);
    return;
  }
  if (field == Field::OverlapTotal) {
    const view::TransitionPage& page = form_.Display().Transition();
    if (!page.nowIsTransition)
      return;
    VideoTransition trans = project_.List().EntryAt(page.entry).trans;
    if (Report(trans.SetLength(value) && project_.SetTransition(trans, page.entry)))
      form_.Refresh(-1, true);
    return;
  }
  const std::optional<AudioRef> ref = form_.Display().Audio().SelectedRef();
  if (!ref)
    return;
  bool ok = false;
  if (field == Field::AudioBegin)
    ok = project_.MoveAudioClip(*ref, value);
  else if (field == Field::AudioStart)
    ok = project_.SetAudioStart(*ref, value);
  else if (value > 0)
    ok = project_.SetAudioLength(*ref, value);
  else
    return;
  if (Report(ok))
    form_.View().RefreshAudio();
}

void FieldCommands::ApplyVolume(int position) {
  const std::optional<AudioRef> ref = form_.Display().Audio().SelectedRef();
  if (!ref)
    return;
  const std::int32_t gain = view::VolumeScale::Gain(-position);
  if (gain == project_.List().AudioVolume(*ref))
    return;
  project_.Messages().Clear();
  if (Report(project_.SetAudioVolume(*ref, gain)))
    form_.View().RefreshAudio();
}

void FieldCommands::DeleteSound() {
  const std::optional<AudioRef> ref = form_.Display().Audio().SelectedRef();
  if (!ref)
    return;
  project_.Messages().Clear();
  if (Report(project_.SetAudioLength(*ref, 0)))
    form_.View().RefreshAudio();
}

} // namespace rw::app
