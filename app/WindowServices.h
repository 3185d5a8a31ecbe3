#pragma once

#include <filesystem>
#include <functional>

namespace rw {
class ColorChooser;
class EditDialogs;
class MediaContext;
class UserPrompt;
} // namespace rw

namespace rw::dialogs {
class THelpAboutDialog;
class TProgressDialog;
class TShowPictureDialog;
class TTransTypeDialog;
} // namespace rw::dialogs

namespace rw::app {

class FileChooser;

// What the main window uses of the program around it. The program gives it message boxes, Qt's
// file dialogs and its dialogs; tests give it scripted answers. The dialogs are made after the
// window (they are its children) and attached afterwards; a missing one leaves its command
// without effect.
struct WindowServices {
  MediaContext& context; // the project's media, MessageText and questions about changed files
  UserPrompt& prompt;    // the window's own messages and questions
  FileChooser& files;
  // Opens a document (the user guide) with the desktop's default program.
  std::function<bool(const std::filesystem::path&)> openDocument;
};

struct WindowDialogs {
  dialogs::TShowPictureDialog* showPicture = nullptr;
  dialogs::TProgressDialog* progress = nullptr;
  dialogs::THelpAboutDialog* about = nullptr;
  dialogs::TTransTypeDialog* transType = nullptr;
  EditDialogs* editDialogs = nullptr; // output format and compressor choice
  ColorChooser* colours = nullptr;    // a colour mat's settings
};

} // namespace rw::app
