#pragma once

#include "project/EditDialogs.h"

namespace rw::dialogs {

class TCompressorDialog;
class TVideoTypeDialog;

// The project's settings dialogs answered with the editor's output format dialog and compressor
// dialog; each runs modally on the settings it is given.
class DialogEditDialogs : public EditDialogs {
public:
  DialogEditDialogs(TVideoTypeDialog& format, TCompressorDialog& compressor)
      : format_(format), compressor_(compressor) {}
  bool EditOutputFormat(OutputInfo& settings) override;
  bool ChooseCompressor(OutputInfo& settings) override;

private:
  TVideoTypeDialog& format_;
  TCompressorDialog& compressor_;
};

} // namespace rw::dialogs
