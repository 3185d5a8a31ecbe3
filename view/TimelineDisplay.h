#pragma once

#include "project/TimelineRenderer.h"
#include "view/AudioPanel.h"
#include "view/CutPage.h"
#include "view/Placeholder.h"
#include "view/SelectionDisplay.h"
#include "view/Sketch.h"
#include "view/StripModel.h"
#include "view/TimelineImages.h"
#include "view/TransitionPage.h"

#include <cstdint>
#include <string>

namespace rw {
class VideoProject;
}

namespace rw::view {

// Everything the main window shows of the project around the current time, worked out without
// a display: the overview bar and its marker, the connector strip, the nine slots, the frame
// images and the preview, the audio images, the time labels, the pages "カット" and "ワイプ", the
// audio panel and the selection. Every command ends with one Refresh; the window then draws what
// changed.
//
// Stepping by a few frames draws one new frame image and one new audio image and moves the rest;
// the strip is rebuilt only when "Now" comes to show another entry or kind, and then moves the
// slots still in view; the overview bar is redrawn only by full refreshes.
class TimelineDisplay {
public:
  // What a refresh changed, for the window to redraw.
  struct Changes {
    bool overview = false;         // the bar and LabelTimeTotal
    bool marker = false;           // the position marker and LabelTimeNow, LabelClipRelativeTime
    std::uint32_t frameImages = 0; // bits slot + 4, TimelineImages::kPreviewChanged
    std::uint32_t audioImages = 0; // bits slot + 4, TimelineImages::kLargeAudioChanged
    std::uint32_t slotBits = 0;    // bits slot + 4
    bool connector = false;
    bool cutPage = false;
    bool transitionPage = false;
    bool audioLines = false;  // the combo box's lines were rebuilt
    bool audioFields = false; // the fields of the selected clip
    bool selection = false;
  };

  explicit TimelineDisplay(VideoProject& project);
  TimelineDisplay(const TimelineDisplay&) = delete;
  TimelineDisplay& operator=(const TimelineDisplay&) = delete;

  // Frame -1 keeps the current time, any other frame becomes it first. `full` redraws every
  // element; otherwise what depends on the current frame is redrawn when it differs from the
  // frame shown last.
  Changes Refresh(std::int32_t frame, bool full);
  // Refresh(f, false) when 0 <= f <= total and f is not the current time; else nothing.
  Changes MoveTo(std::int32_t f);
  // MoveTo(current + d) limited to 0 .. total.
  Changes JumpRelative(std::int32_t d);
  // The audio images and the audio panel alone (after an audio command), rebuilt fully.
  Changes RefreshAudio();
  // The selection display alone (after a selection command).
  Changes RefreshSelection();
  // A line chosen in the audio combo box.
  void SelectAudioLine(int line);

  VideoProject& Project() const { return project_; }
  std::int32_t LastShownFrame() const { return lastShown_; }

  const Sketch& OverviewBar() const { return overview_; }
  const Sketch& Marker() const { return marker_; }
  const Sketch& Connector() const { return connector_; }
  const std::string& TimeNow() const { return timeNow_; }
  const std::string& TimeTotal() const { return timeTotal_; }
  const std::string& ClipRelativeTime() const { return clipRelative_; }
  const StripModel& Strip() const { return strip_; }
  const TimelineImages& Images() const { return images_; }
  const AudioPanel& Audio() const { return audio_; }
  const CutPage& Cut() const { return cutPage_; }
  const TransitionPage& Transition() const { return transitionPage_; }
  const SelectionDisplay& Selection() const { return selection_; }
  const Placeholder& Placeholders() const { return placeholder_; }

private:
  VideoProject& project_;
  TimelineRenderer renderer_;
  Placeholder placeholder_;
  StripModel strip_{placeholder_};
  TimelineImages images_{placeholder_, renderer_};
  AudioPanel audio_;
  CutPage cutPage_;
  TransitionPage transitionPage_;
  SelectionDisplay selection_;
  Sketch overview_;
  Sketch marker_;
  Sketch connector_;
  std::string timeNow_;
  std::string timeTotal_;
  std::string clipRelative_;
  std::int32_t lastShown_ = -1;
};

} // namespace rw::view
