#include "view/WindowHints.h"

#include <array>
#include <utility>

namespace rw::view {

namespace {

constexpr std::array<std::pair<std::string_view, std::string_view>, 55> kHints{{
    {"ButtonRew", "巻き戻し再生|巻き戻し再生を始めます"},
    {"ButtonPrev", "コマ戻し|現在時刻を1フレーム前に戻します"},
    {"ButtonStop", "停止|再生を中止します"},
    {"ButtonNext", "コマ送り|現在時刻を1フレーム次に進めます"},
    {"ButtonFF", "早送り|早送り再生を始めます"},
    {"ButtonPlay", "再生|アニメーション再生を開始します"},
    {"ButtonPrevClip", "カット戻し|カットの先頭に現在時刻を戻します"},
    {"ButtonNextClip", "カット進め|カットの末尾に現在時刻を進めます"},
    {"ButtonShow", "現在時刻の画像を拡大表示します"},
    {"ButtonPlayback", "プレイバック|選択範囲(選択して無ければ全体)を再生し、またもとの時刻に戻ってきます"},
    {"ButtonInsertVideo",
     "カットを追加|動画(AVI)、静止画(BMP他)ファイルを指定して、カットを現在時刻に追加します。"},
    {"ButtonDeleteVideo", "現在時刻のカットを削除|現在時刻にあるカットを削除します。"},
    {"ButtonInsertColormat", "単色静止画カットを追加|一面に色が一色だけの静止画カットを追加します"},
    {"ButtonConfigVideo", "カット固有の設定|カットに固有の設定が可能であれば、その設定を行います"},
    {"ButtonOLPrev",
     "|前のカットと現在時刻のカットとの間にトランジション(ワイプ、オーバーラップなど)を設けます"},
    {"ButtonOLNext",
     "現在時刻のカットとその次のカットとの間にトランジション(ワイプ、オーバーラップなど)を設けます"},
    {"ButtonOLDelete", "|現在時刻に行っているトランジションを削除します"},
    {"ButtonDeleteAudio", "現在選択している音声クリップを削除します"},
    {"ButtonInsertAudio", "WAVファイルを指定し、現在時刻から再生が始まる音声クリップを追加します"},
    {"MenuNew", "|現在編集中のプロジェクトを破棄し、新規にプロジェクトを作成します"},
    {"MenuOpenProject", "|現在編集中のプロジェクトを破棄し、ファイルからプロジェクト読み込みます"},
    {"MenuSaveProject", "|現在編集中のプロジェクトを保存します"},
    {"MenuSaveAsProject", "|現在編集中のプロジェクトに新たなファイル名を付けて保存します"},
    {"MenuInsertClip", "映像"},
    {"MenuInsertAudio", "|WAVファイルを指定し、現在時刻から再生が始まる音声クリップを追加します"},
    {"MenuInsertProject", "|プロジェクトの内容を現在時刻に挿入します"},
    {"MenuRelink",
     "|開けなかったファイルを指定したフォルダとそのサブフォルダから探し、見つかったファイルにつなぎ直します"},
    {"MenuExit", "|Reelwrightを終了します"},
    {"MenuUndo", "|最後に行った編集操作を取り消します"},
    {"MenuRedo", "|アンドゥで取り消した操作を再び実行します"},
    {"MenuSelCut", "|現在選択している範囲を切り取ってクリップボードに入れます"},
    {"MenuSelCopy", "|現在選択している範囲をクリップボードに入れます"},
    {"MenuSelPaste", "クリップボードの内容を現在時刻に挿入します"},
    {"MenuFrameDelete", "現在時刻の1フレームを切り取ります"},
    {"MenuCutDelete", "現在時刻にあるカットを削除します"},
    {"MenuSeparate", "現在時刻を境目にして、カットを2つに分割します"},
    {"MenuSelStart", "現在時刻を起点として、選択操作を始めます"},
    {"MenuSelStartCut", "現在カットを起点として、選択操作を始めます"},
    {"MenuSelect", "現在選択している範囲で選択範囲を決定します"},
    {"MenuSelectCancel", "範囲選択を解除します"},
    {"MenuSelCurrentFrame", "現在時刻のフレームを選択した状態にします"},
    {"MenuSelCurrentCut", "現在時刻のカットを選択した状態にします"},
    {"MenuSelAfterCurrent", "現在のフレームから現カットの末尾までを選択状態にします"},
    {"MenuSelBeforeFrame", "現カットの先頭から現在のフレームまでを選択状態にします"},
    {"MenuPrevFrame", "1フレーム前の時刻に戻ります"},
    {"MenuNextFrame", "1フレーム後ろの時刻に進みます"},
    {"MenuPrevClip", "1カット前の時刻に戻ります"},
    {"MenuNextClip", "1カット後ろの時刻に進みます"},
    {"MenuJumpFirst", "作品の先頭時刻に戻ります"},
    {"MenuJumpLast", "作品末尾にまで現在時刻を進めます"},
    {"MenuMovieType", "解像度や音声形式などのムービー出力形式を設定します"},
    {"MenuCompressType", "AVIで動画を圧縮する形式を設定します"},
    {"MenuMovieCompile", "AVIムービーを作成します"},
    {"MenuHelpContents", "Reelwrightの使い方を表示します"},
    {"MenuHelpAbout", "Reelwrightのバージョン情報などを表示します"},
}};

} // namespace

std::string_view WindowHints::Of(std::string_view objectName) {
  for (const auto& [name, hint] : kHints) {
    if (name == objectName)
      return hint;
  }
  return {};
}

std::string_view WindowHints::ShortPart(std::string_view hint) {
  const auto bar = hint.find('|');
  return bar == std::string_view::npos ? hint : hint.substr(0, bar);
}

std::string_view WindowHints::LongPart(std::string_view hint) {
  const auto bar = hint.find('|');
  return bar == std::string_view::npos ? hint : hint.substr(bar + 1);
}

} // namespace rw::view
