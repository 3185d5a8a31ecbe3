#pragma once

namespace rw {

class OutputInfo;

// The dialogs that two edits of the project need. The editor implements them with its output
// format dialog and its compressor choice; tests script them. Each works on the settings it is
// given and answers true when the user confirmed (the settings then hold the choice); on cancel
// it answers false and the caller drops the settings.
class EditDialogs {
public:
  virtual ~EditDialogs() = default;
  virtual bool EditOutputFormat(OutputInfo& settings) = 0;
  virtual bool ChooseCompressor(OutputInfo& settings) = 0;
};

} // namespace rw
