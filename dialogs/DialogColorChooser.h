#pragma once

#include "base/ColorChooser.h"

namespace rw::dialogs {

class TColorSelectDialog;

// The core's colour question answered with the colour picker: the colour is loaded into the
// dialog, shown modally and taken back when the user confirms. Components are handed over as
// 32-bit patterns both ways, so that a colour read from a project file with out-of-range values
// comes back unchanged when the user confirms without touching it.
class DialogColorChooser : public ColorChooser {
public:
  explicit DialogColorChooser(TColorSelectDialog& dialog) : dialog_(dialog) {}
  bool Choose(std::uint32_t& red, std::uint32_t& green, std::uint32_t& blue) override;

private:
  TColorSelectDialog& dialog_;
};

} // namespace rw::dialogs
