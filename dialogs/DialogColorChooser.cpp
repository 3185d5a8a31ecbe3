#include "dialogs/DialogColorChooser.h"

#include "dialogs/TColorSelectDialog.h"

namespace rw::dialogs {

bool DialogColorChooser::Choose(std::uint32_t& red, std::uint32_t& green, std::uint32_t& blue) {
  dialog_.SetColor(static_cast<std::int32_t>(red), static_cast<std::int32_t>(green),
                   static_cast<std::int32_t>(blue));
  if (dialog_.exec() != QDialog::Accepted)
    return false;
  red = static_cast<std::uint32_t>(dialog_.Red());
  green = static_cast<std::uint32_t>(dialog_.Green());
  blue = static_cast<std::uint32_t>(dialog_.Blue());
  return true;
}

} // namespace rw::dialogs
