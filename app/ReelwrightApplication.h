#pragma once

#include "app/MessagePrompt.h"
#include "app/QtFileChooser.h"
#include "base/MessageText.h"
#include "media/MediaContext.h"
#include "output/CompressorCatalogue.h"

#include <memory>
#include <string>
#include <vector>

namespace rw::dialogs {
class DialogColorChooser;
class DialogEditDialogs;
} // namespace rw::dialogs

namespace rw::app {

class TMainForm;

// Everything the program holds for its run: the messages and the media registries, the main
// window with the files of the command line, and the dialogs made once after it and reused.
// Nothing of it is global: a test can make one after the other.
class ReelwrightApplication {
public:
  explicit ReelwrightApplication(const std::vector<std::string>& args);
  ~ReelwrightApplication();
  ReelwrightApplication(const ReelwrightApplication&) = delete;
  ReelwrightApplication& operator=(const ReelwrightApplication&) = delete;

  TMainForm& MainForm() { return *mainForm_; }

private:
  MessageText messages_;
  MessagePrompt prompt_;
  MediaContext context_{messages_, prompt_};
  CompressorCatalogue catalogue_;
  QtFileChooser files_;
  std::unique_ptr<dialogs::DialogEditDialogs> editDialogs_;
  std::unique_ptr<dialogs::DialogColorChooser> colours_;
  std::unique_ptr<TMainForm> mainForm_; // owns the dialogs: goes before the adapters over them
};

} // namespace rw::app
