#include "view/TransitionCells.h"

#include "render/TransitionKinds.h"

#include <algorithm>

namespace rw::view {
namespace {

void SetPixel(DIB& dib, std::int32_t x, std::int32_t yTop, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  std::uint8_t* p = dib.Bits() + static_cast<std::ptrdiff_t>(dib.Height() - 1 - yTop) * dib.Stride() + x * 3;
  p[0] = b;
  p[1] = g;
  p[2] = r;
}

} // namespace

TransitionCells::TransitionCells() : TransitionCells(TransitionKinds::Count()) {}

TransitionCells::TransitionCells(std::int32_t kindCount)
    : kindCount_(std::max(kindCount, 0)), outgoing_(MakeOutgoingSample()), incoming_(MakeIncomingSample()) {
  frame_.Create(kCellWidth, kCellHeight);
  ShowPage(0);
}

void TransitionCells::ShowPage(std::int32_t p) {
  scroll_ = std::clamp(p, 0, ScrollMaximum());
  for (std::int32_t s = 0; s < kSlots; ++s) {
    const std::int32_t kind = s + kColumns * scroll_;
    slots_[s] = kind < kindCount_ ? TransitionKinds::MakeByIndex(kind) : TransitionKinds::MakeEmpty();
    slots_[s].SetLength(kLength);
  }
}

bool TransitionCells::CellShown(std::int32_t slot) const {
  return InSlots(slot) && slots_[slot].IsPresent();
}

std::string_view TransitionCells::Label(std::int32_t slot) const {
  return CellShown(slot) ? slots_[slot].DisplayName() : std::string_view();
}

const VideoTransition& TransitionCells::Transition(std::int32_t slot) const {
  static const VideoTransition kNone;
  return InSlots(slot) ? slots_[slot] : kNone;
}

bool TransitionCells::Click(std::int32_t slot) {
  if (!CellShown(slot))
    return false;
  const std::int32_t kind = slot + kColumns * scroll_;
  if (kind == selected_)
    return false;
  selected_ = kind;
  return true;
}

std::int32_t TransitionCells::FrameSlot() const {
  if (selected_ < 0)
    return -1;
  const std::int32_t slot = selected_ - kColumns * scroll_;
  return InSlots(slot) ? slot : -1;
}

const DIB& TransitionCells::Picture(std::int32_t slot) {
  if (!CellShown(slot))
    return empty_;
  if (tick_ < 0)
    return outgoing_;
  if (tick_ >= kLength)
    return incoming_;
  if (!slots_[slot].RenderQuick(frame_, outgoing_, incoming_, tick_))
    return outgoing_;
  return frame_;
}

// A warm evening: an orange sky darkening towards the top, a pale sun and a dark ground line.
// Its red channel never falls below 150, so it differs from the incoming sample everywhere.
DIB TransitionCells::MakeOutgoingSample() {
  DIB dib;
  dib.Create(kCellWidth, kCellHeight);
  dib.Clear();
  for (std::int32_t y = 0; y < kCellHeight; ++y) {
    for (std::int32_t x = 0; x < kCellWidth; ++x) {
      const std::int32_t dx = x - 52, dy = y - 26;
      auto r = static_cast<std::uint8_t>(200 + y * 55 / kCellHeight);
      auto g = static_cast<std::uint8_t>(70 + y * 90 / kCellHeight);
      auto b = static_cast<std::uint8_t>(40 + y / 3);
      if (dx * dx + dy * dy <= 12 * 12) {
        r = 255;
        g = 236;
        b = 150;
      } else if (y >= 46) {
        r = 150;
        g = 60 + (x % 8 < 4 ? 10 : 0);
        b = 30;
      }
      SetPixel(dib, x, y, r, g, b);
    }
  }
  return dib;
}

// A cool day: a blue sky with white cloud bands over green hills. Its red channel never rises
// above 120.
DIB TransitionCells::MakeIncomingSample() {
  DIB dib;
  dib.Create(kCellWidth, kCellHeight);
  dib.Clear();
  for (std::int32_t y = 0; y < kCellHeight; ++y) {
    for (std::int32_t x = 0; x < kCellWidth; ++x) {
      const std::int32_t hill = 40 + ((x - 40) * (x - 40)) / 160 - (x > 50 ? (x - 50) / 3 : 0);
      std::uint8_t r = 40, g = 110 + static_cast<std::uint8_t>(y * 2), b = 230;
      if (y >= hill) {
        r = 30;
        g = static_cast<std::uint8_t>(150 - (y - hill) * 3);
        b = 60;
      } else if ((x + 2 * y) % 26 < 5 && y < 24) {
        r = 120;
        g = 200;
        b = 250;
      }
      SetPixel(dib, x, y, r, g, b);
    }
  }
  return dib;
}

} // namespace rw::view
