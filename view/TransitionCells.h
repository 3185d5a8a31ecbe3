#pragma once

#include "render/DIB.h"
#include "render/VideoTransition.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace rw::view {

// What the transition picker shows and decides, without a toolkit: a page of twelve cells (three
// rows of four) over the kinds of the transition registry, the selected kind, and the animation
// that plays each cell's transition between two sample pictures. A page at scroll position p
// shows the kinds 4p .. 4p + 11; each cell's transition is 15 frames long, as on the timeline.
class TransitionCells {
public:
  static constexpr std::int32_t kSlots = 12;
  static constexpr std::int32_t kColumns = 4;
  static constexpr std::int32_t kVisibleRows = 3;
  static constexpr std::int32_t kCellWidth = 80;
  static constexpr std::int32_t kCellHeight = 60;
  static constexpr std::int32_t kLength = 15;
  // The animation counter runs from kFirstTick to kLastTick: ticks below 0 show the outgoing
  // picture, 0 .. kLength - 1 the frames of the transition, the rest the incoming picture.
  static constexpr std::int32_t kFirstTick = -5;
  static constexpr std::int32_t kLastTick = 20;
  static constexpr std::int32_t kTickMilliseconds = 33;

  // Over the first `kindCount` kinds of the registry (all of them by default); kinds the registry
  // does not have stay empty.
  explicit TransitionCells(std::int32_t kindCount);
  TransitionCells();

  std::int32_t KindCount() const { return kindCount_; }
  // Rows of four the kinds fill, and whether they need the scroll bar (more than three rows);
  // its maximum is the first row of the last page.
  std::int32_t Rows() const { return (kindCount_ + 3) / kColumns; }
  bool ScrollBarShown() const { return kindCount_ + 3 >= 16; }
  std::int32_t ScrollMaximum() const { return ScrollBarShown() ? Rows() - kVisibleRows : 0; }

  // Fills the cells with the kinds of the page at scroll position p (kept within the scroll bar's
  // range).
  void ShowPage(std::int32_t p);
  std::int32_t ScrollPosition() const { return scroll_; }
  // A cell is shown when its transition is present; its label is the kind's display name.
  bool CellShown(std::int32_t slot) const;
  std::string_view Label(std::int32_t slot) const;
  const VideoTransition& Transition(std::int32_t slot) const;

  // The registry index of the selected kind, -1 for none. A click on a shown cell selects its
  // kind and answers whether the selection changed; clicks elsewhere change nothing.
  std::int32_t Selected() const { return selected_; }
  bool Click(std::int32_t slot);
  // The cell that carries the selection frame on this page, -1 when the selected kind is not on it.
  std::int32_t FrameSlot() const;

  // The animation: the picture of a shown cell at the present tick (an empty buffer for a hidden
  // cell), then Advance to the next tick.
  std::int32_t Tick() const { return tick_; }
  const DIB& Picture(std::int32_t slot);
  void Advance() { tick_ = tick_ >= kLastTick ? kFirstTick : tick_ + 1; }

  // The two sample pictures the transitions play between (80 x 60, made once).
  const DIB& Outgoing() const { return outgoing_; }
  const DIB& Incoming() const { return incoming_; }
  static DIB MakeOutgoingSample();
  static DIB MakeIncomingSample();

private:
  bool InSlots(std::int32_t slot) const { return slot >= 0 && slot < kSlots; }

  std::int32_t kindCount_;
  std::int32_t scroll_ = 0;
  std::int32_t selected_ = -1;
  std::int32_t tick_ = 0;
  std::array<VideoTransition, kSlots> slots_;
  DIB outgoing_;
  DIB incoming_;
  DIB frame_; // the rendered frame handed out during the transition
  DIB empty_;
};

} // namespace rw::view
