#include "app/Playback.h"

#include "app/MainFormWidgets.h"
#include "app/PictureBox.h"
#include "app/SketchBox.h"
#include "base/UserPrompt.h"
#include "media/MediaContext.h"
#include "output/settings/OutputInfo.h"
#include "project/VideoProject.h"
#include "view/OverviewSketch.h"
#include "view/TimeText.h"
#include "view/WindowLayout.h"
#include "view/WindowTexts.h"

#include <QApplication>
#include <QLabel>
#include <QToolButton>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <utility>

namespace rw::app {

namespace {

using view::PlayClock;

// While a modal dialog is up the ticks wait; how often they look whether it has gone.
constexpr int kModalPollMs = 16;

WaveFormat OutputFormat(const OutputInfo& output) {
  return WaveFormat::Pcm(output.AudioRate(), output.AudioChannels(), output.AudioBits());
}

} // namespace

Playback::Repeater::Repeater(std::int32_t direction, const char* name) : repeat(direction) {
  timer.setObjectName(name);
}

Playback::Playback(MainFormWidgets& widgets, VideoProject& project, Refresh refresh)
    : QObject(widgets.central), w_(widgets), project_(project), refresh_(std::move(refresh)),
      feeder_(sink_, project.Messages()) {
  setObjectName("Playback");
  playTimer_.setObjectName("TimerPlay");
  playTimer_.setSingleShot(true);
  playTimer_.setTimerType(Qt::PreciseTimer);
  connect(&playTimer_, &QTimer::timeout, this, &Playback::Tick);

  connect(w_.buttonPlay, &QToolButton::clicked, this, [this] { Start(1); });
  connect(w_.buttonPlayback, &QToolButton::clicked, this, [this] { Start(2); });
  connect(w_.buttonFF, &QToolButton::clicked, this, [this] { Start(3); });
  connect(w_.buttonRew, &QToolButton::clicked, this, [this] { Start(4); });
  connect(w_.buttonStop, &QToolButton::clicked, this, [this] { Stop(); });
  connect(w_.buttonShow, &QToolButton::clicked, this, [this] { Stop(); });
  connect(w_.buttonPrevClip, &QToolButton::clicked, this, &Playback::PrevCut);
  connect(w_.buttonNextClip, &QToolButton::clicked, this, &Playback::NextCut);
  for (auto [button, r] : {std::pair{w_.buttonPrev, &prev_}, std::pair{w_.buttonNext, &next_}}) {
    connect(button, &QToolButton::pressed, this, [this, r = r] { Press(*r); });
    connect(button, &QToolButton::released, this, [this, r = r] { Release(*r); });
    connect(&r->timer, &QTimer::timeout, this, [this, r = r] { RepeatStep(*r); });
  }
}

Playback::~Playback() = default;

PlayClock::Ms Playback::SteadyNow() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void Playback::Start(int mode) {
  if (mode < 1 || mode > 4)
    return;
  const PlayClock::Started s = clock_.Start(static_cast<Mode>(mode), view::PlayTimeline::Of(project_),
                                            project_.List().Output().VideoRate(), Now());
  if (s.ignored)
    return;
  if (s.moved)
    project_.SetCurrentFrame(s.from);
  CloseSound();
  if (s.sound)
    StartSound(s.from);
  if (s.switched)
    return;
  // The pacing counts from the moment the sound is queued and playing.
  clock_.Restarted(Now());
  Schedule();
}

bool Playback::Stop() {
  if (!clock_.Playing())
    return false;
  clock_.Stop();
  aheadFrame_ = -1;
  playTimer_.stop();
  CloseSound();
  refresh_(-1, true);
  return true;
}

void Playback::Schedule() {
  playTimer_.start(static_cast<int>(std::clamp<PlayClock::Ms>(clock_.SleepBefore(Now()), 0, 1000)));
}

void Playback::Tick() {
  if (!clock_.Playing())
    return;
  // A modal dialog holds the window: play waits for it, as the window's own commands do.
  if (QApplication::activeModalWidget()) {
    playTimer_.start(kModalPollMs);
    return;
  }
  ++ticks_;
  const view::PlayTimeline timeline = view::PlayTimeline::Of(project_);
  const PlayClock::Tick tick = clock_.Advance(timeline, Now());
  switch (tick.action) {
  case PlayClock::Tick::Action::Finish:
    if (tick.endLine)
      w_.label17->setText(QString::fromStdString(
          PlayClock::EndLine(timeline.total, clock_.ShownCount(), clock_.AdjustCount())));
    project_.SetCurrentFrame(tick.frame);
    Stop();
    return;
  case PlayClock::Tick::Action::Show:
    if (tick.resync) {
      if (tick.sound)
        StartSound(tick.frame);
      clock_.Restarted(Now());
    }
    ShowFrame(tick.frame);
    if (tick.sound)
      TopUp();
    if (frameShown_)
      frameShown_(tick.frame);
    break;
  case PlayClock::Tick::Action::None:
    break;
  }
  RenderAhead(timeline);
  Schedule();
}

void Playback::RenderAhead(const view::PlayTimeline& timeline) {
  // Late already: the next tick comes at once and may well skip the frame.
  if (clock_.SleepBefore(Now()) <= 0)
    return;
  const auto next = clock_.NextFrame(timeline, project_.CurrentFrame());
  const pVideoClipList& list = project_.List();
  if (!next || (aheadFrame_ == *next && aheadList_ == &list))
    return;
  const PictureBox* preview = w_.paintNow;
  if (ahead_.Width() != preview->width() || ahead_.Height() != preview->height())
    ahead_.Create(preview->width(), preview->height());
  renderer_.QuickFrame(list, ahead_, list.PosAt(*next));
  aheadFrame_ = *next;
  aheadList_ = &list;
}

void Playback::ShowFrame(std::int32_t f) {
  project_.SetCurrentFrame(f);
  const pVideoClipList& list = project_.List();
  w_.imageProject->SetLayer(
      1, view::OverviewSketch::Marker(view::WindowLayout::kImageProject.w, list.TotalFrames(), f));
  w_.labelTimeNow->setText(QString::fromStdString(view::TimeText::Long(f)));
  PictureBox* preview = w_.paintNow;
  if (aheadFrame_ == f && aheadList_ == &list && ahead_.Width() == preview->width() &&
      ahead_.Height() == preview->height()) {
    std::swap(frame_, ahead_);
  } else {
    if (frame_.Width() != preview->width() || frame_.Height() != preview->height())
      frame_.Create(preview->width(), preview->height());
    renderer_.QuickFrame(list, frame_, project_.CurrentPos());
  }
  aheadFrame_ = -1;
  preview->SetPicture(frame_);
  // Drawn now, not when the event loop comes round: the frame is due now.
  preview->repaint();
}

bool Playback::StartSound(std::int32_t from) {
  const pVideoClipList& list = project_.List();
  const WaveFormat format = OutputFormat(list.Output());
  if (!(out_.IsOpen() && out_.Format() == format)) {
    out_ = WaveOut(list.Output().AudioRate(), list.Output().AudioChannels(), list.Output().AudioBits());
    out_.SetAutoClose(false);
  }
  soundOn_ = feeder_.Start(list, from, list.TotalFrames());
  if (soundOn_) {
    soundFrom_ = from;
    soundSince_ = Now();
  } else {
    CloseSound();
  }
  if (const auto notice = out_.TakeUnavailableNotice())
    project_.Context().Prompt().Ask(PlayClock::NoSoundText(*notice), std::string(view::WindowTexts::kCaption),
                                    UserPrompt::Buttons::Ok);
  return soundOn_;
}

void Playback::CloseSound() {
  soundOn_ = false;
  if (out_.IsOpen()) {
    out_.Reset();
    out_.Drain();
  }
  out_.Close();
}

void Playback::TopUp() {
  if (!soundOn_)
    return;
  // The output format changed while playing (a dialog confirmed meanwhile): the device must
  // play the new one.
  const pVideoClipList& list = project_.List();
  if (!(out_.Format() == OutputFormat(list.Output()))) {
    StartSound(project_.CurrentFrame());
    return;
  }
  if (!feeder_.TopUp(list))
    CloseSound();
}

void Playback::MoveTo(std::int32_t f) {
  if (f >= 0 && f <= project_.List().TotalFrames() && f != project_.CurrentFrame())
    refresh_(f, false);
}

void Playback::StepBack() {
  if (const auto f = prev_.repeat.Step(project_.CurrentFrame(), project_.List().TotalFrames()))
    MoveTo(*f);
}

void Playback::StepForward() {
  if (const auto f = next_.repeat.Step(project_.CurrentFrame(), project_.List().TotalFrames()))
    MoveTo(*f);
}

void Playback::PrevCut() {
  Stop();
  const std::int32_t f = project_.PrevCutTarget();
  if (f >= 0)
    MoveTo(f);
}

void Playback::NextCut() {
  Stop();
  const std::int32_t f = project_.NextCutTarget();
  if (f >= 0)
    MoveTo(f);
}

void Playback::Press(Repeater& r) {
  Stop();
  const auto f = r.repeat.Press(Now(), project_.CurrentFrame(), project_.List().TotalFrames());
  r.timer.start(static_cast<int>(r.repeat.Interval()));
  if (f)
    MoveTo(*f);
}

void Playback::Release(Repeater& r) {
  r.repeat.Release();
  r.timer.stop();
}

void Playback::RepeatStep(Repeater& r) {
  if (!r.repeat.Held()) {
    r.timer.stop();
    return;
  }
  const std::int32_t target = r.repeat.Direction() < 0 ? project_.PrevCutTarget() : project_.NextCutTarget();
  const auto f = r.repeat.Repeat(Now(), project_.CurrentFrame(), project_.List().TotalFrames(), target);
  // The interval counts from here, the step's drawing included.
  r.timer.start(static_cast<int>(r.repeat.Interval()));
  if (f)
    MoveTo(*f);
}

} // namespace rw::app
