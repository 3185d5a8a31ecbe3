#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace rw::view {

// A rectangle in the coordinates of the main window's client area (below the menu bar).
struct Rect {
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t w = 0;
  std::int32_t h = 0;

  std::int32_t Right() const { return x + w; } // one past the last column
  std::int32_t Bottom() const { return y + h; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

// The main window's fixed layout: a client area of 800 x 540 (the status bar included, the menu
// bar above it), every component at a fixed place. The strip of slots and the row of frame images
// have nine places each, numbered -4 .. 4 from left to right; 0 is "Now".
class WindowLayout {
public:
  static constexpr std::int32_t kClientWidth = 800;
  static constexpr std::int32_t kClientHeight = 540;
  static constexpr std::int32_t kStatusHeight = 20;
  static constexpr std::int32_t kSlots = 9;
  static constexpr std::int32_t kThumbWidth = 80;
  static constexpr std::int32_t kThumbHeight = 60;
  static constexpr std::int32_t kPreviewWidth = 160;
  static constexpr std::int32_t kPreviewHeight = 120;
  static constexpr std::int32_t kFontPixels = 12;

  // Overview bar and connector strip.
  static constexpr Rect kImageProject{32, 2, 737, 24};
  static constexpr Rect kImageLine{0, 26, 801, 41};

  // Slot frames (the raised frame around each slot) and their parts.
  static constexpr std::int32_t kSlotLeft = 4;
  static constexpr std::int32_t kSlotPitch = 88;
  static constexpr std::int32_t kSlotTop = 67;
  static constexpr std::int32_t kSlotWidth = 86;
  static constexpr std::int32_t kSlotHeight = 175;
  static constexpr Rect SlotFrame(int slot) {
    return {kSlotLeft + (slot + 4) * kSlotPitch, kSlotTop, kSlotWidth, kSlotHeight};
  }
  static constexpr Rect SlotName(int slot) { return Inside(SlotFrame(slot), 3, 1, 80, 15); }
  static constexpr Rect SlotBeginFrame(int slot) { return Inside(SlotFrame(slot), 2, 16, 82, 62); }
  static constexpr Rect SlotBeginImage(int slot) { return Inside(SlotFrame(slot), 3, 17, 80, 60); }
  static constexpr Rect SlotBeginLabel(int slot) { return Inside(SlotFrame(slot), 3, 78, 44, 15); }
  static constexpr Rect SlotLength(int slot) { return Inside(SlotFrame(slot), 43, 78, 40, 15); }
  static constexpr Rect SlotEndFrame(int slot) { return Inside(SlotFrame(slot), 2, 94, 82, 62); }
  static constexpr Rect SlotEndImage(int slot) { return Inside(SlotFrame(slot), 3, 95, 80, 60); }
  static constexpr Rect SlotEndLabel(int slot) { return Inside(SlotFrame(slot), 3, 157, 80, 15); }

  // The cut bar of the selection runs under the slots.
  static constexpr std::int32_t kCutBarTop = 243;
  static constexpr std::int32_t kBarHeight = 4;

  // Transport row: ten buttons, then the time labels and Label17.
  static constexpr std::int32_t kTransportTop = 249;
  static constexpr std::int32_t kButtonSize = 26;
  static constexpr Rect TransportButton(int i) {
    return {4 + i * 28, kTransportTop, kButtonSize, kButtonSize};
  }
  static constexpr Rect kLabelTimeNow{288, kTransportTop, 62, kButtonSize};
  static constexpr Rect kLabelTimeTotal{354, kTransportTop, 62, kButtonSize};
  static constexpr Rect kLabelClipRelativeTime{420, kTransportTop, 62, kButtonSize};
  // Wide enough for the end-of-play line with five-digit counts.
  static constexpr Rect kLabel17{488, kTransportTop, 308, kButtonSize};

  // Middle band: the cut and transition pages, the preview with the large audio image, the
  // audio group.
  static constexpr Rect kPageControl{4, 280, 306, 146};
  static constexpr Rect kPanelNow{319, 280, 162, 122};
  static constexpr Rect kPaintNow{320, 281, kPreviewWidth, kPreviewHeight};
  static constexpr Rect kImageAudioNowLarge{320, 405, kPreviewWidth, 20};
  static constexpr Rect kGroupAudio{490, 276, 306, 150};

  // The row of frame images under the slots they belong to, the frame bar, the audio images.
  static constexpr Rect FrameImage(int slot) {
    return {7 + (slot + 4) * kSlotPitch, 430, kThumbWidth, kThumbHeight};
  }
  static constexpr std::int32_t kFrameBarTop = 491;
  static constexpr Rect AudioImage(int slot) { return {7 + (slot + 4) * kSlotPitch, 496, kThumbWidth, 22}; }
  // ImagePrev4, ImageNow and ImageNext4 (and their audio images) are part of the tables but not
  // shown: the preview stands for the current frame.
  static constexpr bool FrameImageShown(int slot) { return slot != -4 && slot != 0 && slot != 4; }

  // Component names: the group names of the nine places, and the names built from them.
  static constexpr std::array<const char*, kSlots> kGroupNames{"Prev4", "Prev3", "Prev2", "Prev1", "Now",
                                                               "Next1", "Next2", "Next3", "Next4"};
  static std::string Named(const char* prefix, int slot, const char* suffix = "") {
    return std::string(prefix) + kGroupNames[static_cast<std::size_t>(slot + 4)] + suffix;
  }

private:
  static constexpr Rect Inside(const Rect& outer, std::int32_t x, std::int32_t y, std::int32_t w,
                               std::int32_t h) {
    return {outer.x + x, outer.y + y, w, h};
  }
};

} // namespace rw::view
