#include "app/ReelwrightApplication.h"

#include "app/TMainForm.h"
#include "dialogs/DialogColorChooser.h"
#include "dialogs/DialogEditDialogs.h"
#include "dialogs/TColorSelectDialog.h"
#include "dialogs/TCompressorDialog.h"
#include "dialogs/THelpAboutDialog.h"
#include "dialogs/TProgressDialog.h"
#include "dialogs/TShowPictureDialog.h"
#include "dialogs/TTransTypeDialog.h"
#include "dialogs/TVideoTypeDialog.h"

#include <QDesktopServices>
#include <QUrl>

namespace rw::app {

ReelwrightApplication::ReelwrightApplication(const std::vector<std::string>& args) {
  WindowServices services{context_, prompt_, files_, [](const std::filesystem::path& file) {
                            return QDesktopServices::openUrl(
                                QUrl::fromLocalFile(QString::fromStdString(file.string())));
                          }};
  mainForm_ = std::make_unique<TMainForm>(services, args);
  TMainForm* form = mainForm_.get();
  prompt_.SetOwner(form);
  files_.SetOwner(form);

  // The dialogs, in the order the program has always made them, owned by the main window.
  auto* videoType = new dialogs::TVideoTypeDialog(form);
  auto* showPicture = new dialogs::TShowPictureDialog(form);
  auto* transType = new dialogs::TTransTypeDialog(form);
  auto* about = new dialogs::THelpAboutDialog(form);
  auto* colorSelect = new dialogs::TColorSelectDialog(form);
  auto* progress = new dialogs::TProgressDialog(form);
  auto* compressor = new dialogs::TCompressorDialog(catalogue_, form);
  editDialogs_ = std::make_unique<dialogs::DialogEditDialogs>(*videoType, *compressor);
  colours_ = std::make_unique<dialogs::DialogColorChooser>(*colorSelect);
  form->AttachDialogs({showPicture, progress, about, transType, editDialogs_.get(), colours_.get()});
}

ReelwrightApplication::~ReelwrightApplication() = default;

} // namespace rw::app
