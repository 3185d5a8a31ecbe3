#include "app/ReelwrightApplication.h"
#include "app/TMainForm.h"
#include "dialogs/WindowFont.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTranslator>
#include <cstdio>
#include <exception>

namespace {

// Shows what escaped from an event handler and goes on, as the framework's own handling would.
class Application : public QApplication {
public:
  using QApplication::QApplication;

  bool notify(QObject* receiver, QEvent* event) override {
    try {
      return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
      Report(e.what());
    } catch (...) {
      Report("unknown error");
    }
    return false;
  }

  static void Report(const char* what) {
    std::fprintf(stderr, "reelwright: %s\n", what);
    QMessageBox::critical(nullptr, "Reelwright", QString::fromLocal8Bit(what));
  }
};

} // namespace

int main(int argc, char** argv) {
  Application app(argc, argv);
  QApplication::setApplicationName("Reelwright");
  // No display name: Qt would append it to every window title, after the window's own caption.
  rw::dialogs::WindowFont::Apply();
  // The interface is Japanese whatever the locale: Qt's own dialogs and buttons too.
  QTranslator qtTexts;
  if (qtTexts.load("qtbase_ja", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QApplication::installTranslator(&qtTexts);
  try {
    std::vector<std::string> args;
    for (const QString& arg : QApplication::arguments().mid(1))
      args.push_back(arg.toStdString());
    rw::app::ReelwrightApplication program(args);
    program.MainForm().show();
    return QApplication::exec();
  } catch (const std::exception& e) {
    // A program that ends on an error does not say it succeeded.
    Application::Report(e.what());
  } catch (...) {
    Application::Report("unknown error");
  }
  return 1;
}
