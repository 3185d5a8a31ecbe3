#include "dialogs/WindowFont.h"

#include "view/WindowLayout.h"

#include <QApplication>
#include <QStringList>

namespace rw::dialogs {

QFont WindowFont::Make() {
  QFont font;
  font.setFamilies(QStringList{"IPAPGothic", "Noto Sans CJK JP", "Noto Sans CJK", "sans-serif"});
  font.setPixelSize(view::WindowLayout::kFontPixels);
  font.setStyleHint(QFont::SansSerif);
  return font;
}

void WindowFont::Apply() {
  QApplication::setFont(Make());
}

} // namespace rw::dialogs
