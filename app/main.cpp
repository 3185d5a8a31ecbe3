#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Reelwright");
  QMainWindow window;
  window.setObjectName("TMainForm");
  window.show();
  return QApplication::exec();
}
