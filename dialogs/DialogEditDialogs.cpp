#include "dialogs/DialogEditDialogs.h"

#include "dialogs/TCompressorDialog.h"
#include "dialogs/TVideoTypeDialog.h"

namespace rw::dialogs {

bool DialogEditDialogs::EditOutputFormat(OutputInfo& settings) {
  return format_.Edit(settings);
}

bool DialogEditDialogs::ChooseCompressor(OutputInfo& settings) {
  return compressor_.Choose(settings);
}

} // namespace rw::dialogs
