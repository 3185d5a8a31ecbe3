#pragma once

#include <QString>
#include <array>
#include <map>

class QAction;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QSlider;
class QStatusBar;
class QTabWidget;
class QToolButton;
class QWidget;

namespace rw::app {

class PictureBox;
class SketchBox;
class UpDown;

// The components of one slot of the strip (for slot "Now": BevelClipNow, ImageClipNowBegin ...).
struct SlotWidgets {
  QFrame* bevel = nullptr;
  QFrame* beginBevel = nullptr;
  QFrame* endBevel = nullptr;
  PictureBox* begin = nullptr;
  PictureBox* end = nullptr;
  QLabel* beginLabel = nullptr;
  QLabel* endLabel = nullptr;
  QLabel* length = nullptr;
  QLabel* name = nullptr;
};

// Every component of the main window, made by MainFormLayout; each carries its design name as
// its objectName. Slots, frame images and audio images are indexed slot + 4.
struct MainFormWidgets {
  QWidget* central = nullptr;
  SketchBox* imageProject = nullptr;
  SketchBox* imageLine = nullptr;
  std::array<SlotWidgets, 9> strip{};
  QFrame* shapeSelectClip = nullptr;
  QFrame* shapeSelectFrame = nullptr;

  QToolButton* buttonRew = nullptr;
  QToolButton* buttonPrev = nullptr;
  QToolButton* buttonStop = nullptr;
  QToolButton* buttonNext = nullptr;
  QToolButton* buttonFF = nullptr;
  QToolButton* buttonPlay = nullptr;
  QToolButton* buttonPlayback = nullptr;
  QToolButton* buttonPrevClip = nullptr;
  QToolButton* buttonNextClip = nullptr;
  QToolButton* buttonShow = nullptr;
  QLabel* labelTimeNow = nullptr;
  QLabel* labelTimeTotal = nullptr;
  QLabel* labelClipRelativeTime = nullptr;
  QLabel* label17 = nullptr;

  QFrame* panelNow = nullptr;
  PictureBox* paintNow = nullptr;
  PictureBox* imageAudioNowLarge = nullptr;

  QTabWidget* pageControl = nullptr;
  QWidget* tabSheetCut = nullptr;
  QLineEdit* editClipBeginFrame = nullptr;
  QLineEdit* editClipEndFrame = nullptr;
  QLineEdit* editClipTotalFrame = nullptr;
  UpDown* upDownClipBeginFrame = nullptr;
  UpDown* upDownClipEndFrame = nullptr;
  UpDown* upDownClipTotalFrame = nullptr;
  QPushButton* buttonInsertVideo = nullptr;
  QPushButton* buttonInsertColormat = nullptr;
  QPushButton* buttonConfigVideo = nullptr;
  QPushButton* buttonDeleteVideo = nullptr;
  QWidget* tabSheetOL = nullptr;
  QLineEdit* editOverlapTotal = nullptr;
  UpDown* upDownOverlapTotal = nullptr;
  QLineEdit* editOverlapName = nullptr;
  QPushButton* buttonOLPrev = nullptr;
  QPushButton* buttonOLNext = nullptr;
  QPushButton* buttonOLDelete = nullptr;

  QGroupBox* groupBox1 = nullptr;
  QComboBox* comboBoxAudioName = nullptr;
  QPushButton* buttonInsertAudio = nullptr;
  QPushButton* buttonDeleteAudio = nullptr;
  QLineEdit* editAudioBegin = nullptr;
  QLineEdit* editAudioStartPosition = nullptr;
  QLineEdit* editAudioTotal = nullptr;
  UpDown* upDownAudioBegin = nullptr;
  UpDown* upDownAudioStartPosition = nullptr;
  UpDown* upDownAudioTotal = nullptr;
  QSlider* trackBarAudioVolume = nullptr;
  QLabel* labelAudioVolume = nullptr;

  std::array<PictureBox*, 9> frameImages{};
  std::array<PictureBox*, 9> audioImages{};

  QStatusBar* statusBar = nullptr;
  std::array<QLabel*, 3> statusPanels{};
  QProgressBar* statusProgressBar = nullptr;

  // The menus (File1, Edit1, S1, J1, P1, N2, Help1) and every menu item, by name.
  std::map<QString, QMenu*> menus;
  std::map<QString, QAction*> actions;

  SlotWidgets& Slot(int slot) { return strip[static_cast<std::size_t>(slot + 4)]; }
  PictureBox* FrameImage(int slot) const { return frameImages[static_cast<std::size_t>(slot + 4)]; }
  PictureBox* AudioImage(int slot) const { return audioImages[static_cast<std::size_t>(slot + 4)]; }
  QAction* Action(const char* name) const { return actions.at(name); }
};

} // namespace rw::app
