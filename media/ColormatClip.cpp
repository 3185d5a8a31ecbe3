#include "media/ColormatClip.h"

#include "base/ColorChooser.h"
#include "base/RecordGrammar.h"
#include "base/RecordWriter.h"

#include <algorithm>

namespace rw {
namespace {

// Colour values come unchecked from records (they are kept as read so that the record is
// written back unchanged); painting clamps them to a byte.
std::uint8_t Channel(std::uint32_t value) {
  return static_cast<std::uint8_t>(std::clamp(static_cast<std::int32_t>(value), 0, 255));
}

} // namespace

ColormatClip::ColormatClip() {
  SetColor(255, 255, 255);
}

ColormatClip::ColormatClip(std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
  SetColor(red, green, blue);
  length_ = kNewLength;
}

pVideoClip* ColormatClip::Clone() const {
  return new ColormatClip(*this);
}

std::int32_t ColormatClip::GetWidth() const {
  return mat_.IsPresent() ? mat_.Width() : 1;
}

std::int32_t ColormatClip::GetHeight() const {
  return mat_.IsPresent() ? mat_.Height() : 1;
}

void ColormatClip::Paint(DIB& dib) const {
  dib.FillColor(Channel(red_), Channel(green_), Channel(blue_));
}

void ColormatClip::SetColor(std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
  red_ = red;
  green_ = green;
  blue_ = blue;
  if (!swatch_.IsPresent())
    swatch_.Create(1, 1);
  if (swatch_.IsPresent())
    Paint(swatch_);
  if (mat_.IsPresent())
    Paint(mat_);
}

bool ColormatClip::SetSize(std::int32_t w, std::int32_t h) {
  if (w < 1 || h < 1)
    return false;
  if ((w == swatch_.Width() && h == swatch_.Height()) || (w == mat_.Width() && h == mat_.Height()))
    return true;
  if (!mat_.Create(w, h)) // too large: the clip stays as it was
    return false;
  SetColor(red_, green_, blue_);
  return true;
}

bool ColormatClip::SetLength(std::int32_t n) {
  if (n < 0 || n > kMaxLength)
    return false;
  length_ = n;
  return true;
}

bool ColormatClip::Configure(ColorChooser& chooser) {
  std::uint32_t red = red_, green = green_, blue = blue_;
  if (!chooser.Choose(red, green, blue))
    return false;
  SetColor(red, green, blue);
  return true;
}

bool ColormatClip::SaveExtra(RecordWriter& writer, int level) const {
  // Written as signed numbers, so that a negative value read from a record comes back as read.
  writer.Key(level, "ColorRed", static_cast<std::int32_t>(red_));
  writer.Key(level, "ColorGreen", static_cast<std::int32_t>(green_));
  writer.Key(level, "ColorBlue", static_cast<std::int32_t>(blue_));
  return true;
}

bool ColormatClip::LoadExtra(std::string_view key, std::string_view value) {
  std::uint32_t* target = nullptr;
  if (SameWord(key, "ColorRed"))
    target = &red_;
  else if (SameWord(key, "ColorGreen"))
    target = &green_;
  else if (SameWord(key, "ColorBlue"))
    target = &blue_;
  else
    return false;
  *target = static_cast<std::uint32_t>(ReadNumber(value));
  return true;
}

VideoClip ColormatClip::Rebuild() {
  SetColor(red_, green_, blue_);
  SetLength(length_);
  return VideoClip::Share(this);
}

} // namespace rw
