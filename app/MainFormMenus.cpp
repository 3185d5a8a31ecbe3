#include "app/MainFormMenus.h"

#include "view/WindowHints.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace rw::app {

namespace {

struct Item {
  const char* name;
  const char* caption; // empty: a separator
  QKeySequence shortcut;
};

struct Menu {
  const char* name;
  const char* caption;
  std::initializer_list<Item> items;
};

QString Text(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

} // namespace

void MainFormMenus::Build(QMainWindow& window, MainFormWidgets& w) {
  const Menu menus[] = {
      {"File1",
       "ファイル(&F)",
       {{"MenuNew", "新規作成(&N)", QKeySequence(Qt::CTRL | Qt::Key_N)},
        {"MenuOpenProject", "プロジェクトを開く(&O)...", QKeySequence(Qt::CTRL | Qt::Key_O)},
        {"MenuSaveProject", "プロジェクトを上書き保存(&S)", QKeySequence(Qt::CTRL | Qt::Key_S)},
        {"MenuSaveAsProject", "プロジェクトに名前を付けて保存(&A)...", QKeySequence(Qt::CTRL | Qt::Key_A)},
        {"N1", "", {}},
        {"MenuInsertClip", "クリップを追加(&I)...", QKeySequence(Qt::Key_Insert)},
        {"MenuInsertAudio", "音声を追加(&V)...", {}},
        {"MenuInsertProject", "プロジェクトを挿入読込(&I)...", QKeySequence(Qt::CTRL | Qt::Key_I)},
        {"MenuRelink", "見つからないファイルを探す(&L)...", {}},
        {"N3", "", {}},
        {"MenuExit", "終了(&X)", QKeySequence(Qt::ALT | Qt::Key_X)}}},
      {"Edit1",
       "編集(&E)",
       {{"MenuUndo", "アンドゥ(&U)", QKeySequence(Qt::CTRL | Qt::Key_Z)},
        {"MenuRedo", "リドゥ(&R)", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)},
        {"N4", "", {}},
        {"MenuSelCut", "選択範囲の切り取り(&C)", QKeySequence(Qt::Key_F7)},
        {"MenuSelCopy", "選択範囲のコピー(&C)", QKeySequence(Qt::Key_F8)},
        {"MenuSelPaste", "張り付け(&P)", QKeySequence(Qt::Key_F9)},
        {"N5", "", {}},
        {"MenuFrameDelete", "現在のフレームを削除", QKeySequence(Qt::SHIFT | Qt::Key_Delete)},
        {"MenuCutDelete", "現在のカットを削除", QKeySequence(Qt::Key_Delete)},
        {"MenuSeparate", "現在のフレームでカットを分割(&S)", QKeySequence(Qt::CTRL | Qt::Key_D)}}},
      {"S1",
       "選択(&S)",
       {{"MenuSelStart", "現在のフレームから範囲選択開始", QKeySequence(Qt::SHIFT | Qt::Key_F6)},
        {"MenuSelStartCut", "現在のカットから範囲選択開始", QKeySequence(Qt::Key_F6)},
        {"MenuSelect", "選択範囲決定", QKeySequence(Qt::Key_Return)},
        {"MenuSelectCancel", "選択解除", QKeySequence(Qt::Key_Escape)},
        {"N6", "", {}},
        {"MenuSelCurrentFrame", "現在のフレームだけ選択", {}},
        {"MenuSelCurrentCut", "現在のカットだけ選択", {}},
        {"MenuSelAfterCurrent", "現在のフレーム以降選択", {}},
        {"MenuSelBeforeFrame", "現在のフレーム以前を選択", {}}}},
      {"J1",
       "ジャンプ(&J)",
       {{"MenuPrevFrame", "1フレーム戻る", QKeySequence(Qt::Key_Left)},
        {"MenuNextFrame", "1フレーム進む", QKeySequence(Qt::Key_Right)},
        {"MenuPrevClip", "1カット戻る", QKeySequence(Qt::Key_Up)},
        {"MenuNextClip", "1カット進む", QKeySequence(Qt::Key_Down)},
        {"N7", "", {}},
        {"MenuJumpFirst", "作品の頭へ", {}},
        {"MenuJumpLast", "作品の最後へ", {}}}},
      {"P1",
       "プレビュー(&P)",
       {{"MenuMCIPlay", "MCI再生", {}}, {"MenuMCIShow", "MCI表示", {}}, {"MenuVFWShow", "VFW表示", {}}}},
      {"N2",
       "ムービー(&M)",
       {{"MenuMovieType", "ムービー出力形式(&V)...", {}},
        {"MenuCompressType", "画像圧縮形式(&C)...", {}},
        {"N8", "", {}},
        {"MenuMovieCompile", "ムービー作成(&M)", {}}}},
      {"Help1",
       "ヘルプ(&H)",
       {{"MenuHelpContents", "目次(&C)", {}}, {"MenuHelpAbout", "バージョン情報(&A)...", {}}}},
  };

  QMenuBar* bar = window.menuBar();
  bar->setObjectName("MainMenu1");
  for (const Menu& m : menus) {
    QMenu* menu = bar->addMenu(QString::fromUtf8(m.caption));
    menu->setObjectName(m.name);
    w.menus[m.name] = menu;
    for (const Item& item : m.items) {
      if (*item.caption == '\0') {
        menu->addSeparator()->setObjectName(item.name);
        continue;
      }
      auto* action = new QAction(QString::fromUtf8(item.caption), &window);
      action->setObjectName(item.name);
      action->setShortcut(item.shortcut);
      // The window's shortcuts act wherever the focus is inside it.
      action->setShortcutContext(Qt::WindowShortcut);
      const std::string_view hint = view::WindowHints::Of(item.name);
      action->setToolTip(Text(view::WindowHints::ShortPart(hint)));
      action->setStatusTip(Text(view::WindowHints::LongPart(hint)));
      menu->addAction(action);
      w.actions[item.name] = action;
    }
  }
  // The media-player preview is not part of this program; its menu stays hidden.
  w.menus["P1"]->menuAction()->setVisible(false);
}

} // namespace rw::app
