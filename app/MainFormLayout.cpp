#include "app/MainFormLayout.h"

#include "app/MainFormMenus.h"
#include "app/PictureBox.h"
#include "app/SketchBox.h"
#include "app/TransportIcons.h"
#include "app/UpDown.h"
#include "view/WindowHints.h"
#include "view/WindowLayout.h"

#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolButton>

namespace rw::app {

namespace {

using view::Rect;
using view::WindowLayout;

// Names a component, places it and gives it its hint.
template <class W> W* Place(W* widget, const QString& name, const Rect& r) {
  widget->setObjectName(name);
  widget->setGeometry(r.x, r.y, r.w, r.h);
  const std::string_view hint = view::WindowHints::Of(name.toStdString());
  if (!hint.empty()) {
    const std::string_view shortPart = view::WindowHints::ShortPart(hint);
    const std::string_view longPart = view::WindowHints::LongPart(hint);
    widget->setToolTip(QString::fromUtf8(shortPart.data(), static_cast<qsizetype>(shortPart.size())));
    widget->setStatusTip(QString::fromUtf8(longPart.data(), static_cast<qsizetype>(longPart.size())));
  }
  return widget;
}

template <class W> W* Make(QWidget* parent, const QString& name, const Rect& r) {
  return Place(new W(parent), name, r);
}

QLabel* Caption(QWidget* parent, const QString& text, const Rect& r) {
  auto* label = new QLabel(text, parent);
  label->setGeometry(r.x, r.y, r.w, r.h);
  return label;
}

QPushButton* Button(QWidget* parent, const QString& name, const QString& text, const Rect& r) {
  auto* button = Make<QPushButton>(parent, name, r);
  button->setText(text);
  return button;
}

QFrame* Bevel(QWidget* parent, const QString& name, const Rect& r, QFrame::Shadow shadow) {
  auto* frame = Make<QFrame>(parent, name, r);
  frame->setFrameShape(QFrame::Panel);
  frame->setFrameShadow(shadow);
  frame->setLineWidth(1);
  return frame;
}

// A time field with its up-down: the edit, then the arrows right of it.
void TimeField(QWidget* parent, const QString& caption, const QString& edit, const QString& upDown, int y,
               QLineEdit*& editOut, UpDown*& upDownOut) {
  Caption(parent, caption, {6, y + 3, 58, 17});
  editOut = Make<QLineEdit>(parent, edit, {66, y, 72, 22});
  upDownOut = Make<UpDown>(parent, upDown, {138, y, 16, 22});
}

QLabel* Small(QWidget* parent, const QString& name, const Rect& r, Qt::Alignment align = Qt::AlignLeft) {
  auto* label = Make<QLabel>(parent, name, r);
  label->setAlignment(align | Qt::AlignVCenter);
  return label;
}

} // namespace

MainFormWidgets MainFormLayout::Build(QMainWindow& window) {
  MainFormWidgets w;
  w.central = new QWidget(&window);
  w.central->setObjectName("ClientArea");
  w.central->setFixedSize(WindowLayout::kClientWidth,
                          WindowLayout::kClientHeight - WindowLayout::kStatusHeight);
  window.setCentralWidget(w.central);

  w.imageProject = Make<SketchBox>(w.central, "ImageProject", WindowLayout::kImageProject);
  w.imageLine = Make<SketchBox>(w.central, "ImageLine", WindowLayout::kImageLine);
  BuildStrip(w);
  BuildTransport(w);

  w.panelNow = Bevel(w.central, "PanelNow", WindowLayout::kPanelNow, QFrame::Sunken);
  w.paintNow = Make<PictureBox>(w.central, "PaintNow", WindowLayout::kPaintNow);
  w.imageAudioNowLarge = Make<PictureBox>(w.central, "ImageAudioNowLarge", WindowLayout::kImageAudioNowLarge);

  w.pageControl = Make<QTabWidget>(w.central, "PageControl1", WindowLayout::kPageControl);
  BuildCutPage(w);
  BuildTransitionPage(w);
  BuildAudioGroup(w);

  for (int slot = -4; slot <= 4; ++slot) {
    const auto k = static_cast<std::size_t>(slot + 4);
    w.frameImages[k] = Make<PictureBox>(w.central, QString::fromStdString(WindowLayout::Named("Image", slot)),
                                        WindowLayout::FrameImage(slot));
    w.audioImages[k] =
        Make<PictureBox>(w.central, QString::fromStdString(WindowLayout::Named("ImageAudio", slot)),
                         WindowLayout::AudioImage(slot));
    w.frameImages[k]->setVisible(WindowLayout::FrameImageShown(slot));
    w.audioImages[k]->setVisible(WindowLayout::FrameImageShown(slot));
  }
  w.shapeSelectFrame = Make<QFrame>(w.central, "ShapeSelectFrame",
                                    {0, WindowLayout::kFrameBarTop, 0, WindowLayout::kBarHeight});
  for (QFrame* bar : {w.shapeSelectClip, w.shapeSelectFrame}) {
    bar->setAutoFillBackground(true);
    bar->setStyleSheet("background-color: #0000a0;");
    bar->hide();
  }

  BuildStatusBar(window, w);
  MainFormMenus::Build(window, w);
  window.layout()->setSizeConstraint(QLayout::SetFixedSize);
  return w;
}

void MainFormLayout::BuildStrip(MainFormWidgets& w) {
  for (int slot = -4; slot <= 4; ++slot) {
    SlotWidgets& s = w.Slot(slot);
    const auto name = [slot](const char* prefix, const char* suffix = "") {
      return QString::fromStdString(WindowLayout::Named(prefix, slot, suffix));
    };
    s.bevel = Bevel(w.central, name("BevelClip"), WindowLayout::SlotFrame(slot), QFrame::Raised);
    // The parts sit on the window beside the frame, as the frame is only drawn around them.
    s.name = Small(w.central, name("LabelName"), WindowLayout::SlotName(slot));
    s.beginBevel =
        Bevel(w.central, name("BevelClip", "Begin"), WindowLayout::SlotBeginFrame(slot), QFrame::Sunken);
    s.begin = Make<PictureBox>(w.central, name("ImageClip", "Begin"), WindowLayout::SlotBeginImage(slot));
    s.beginLabel = Small(w.central, name("LabelFrame", "Begin"), WindowLayout::SlotBeginLabel(slot));
    s.length = Small(w.central, name("LabelLength"), WindowLayout::SlotLength(slot), Qt::AlignRight);
    s.endBevel = Bevel(w.central, name("BevelClip", "End"), WindowLayout::SlotEndFrame(slot), QFrame::Sunken);
    s.end = Make<PictureBox>(w.central, name("ImageClip", "End"), WindowLayout::SlotEndImage(slot));
    s.endLabel = Small(w.central, name("LabelFrame", "End"), WindowLayout::SlotEndLabel(slot));
  }
  w.shapeSelectClip =
      Make<QFrame>(w.central, "ShapeSelectClip", {0, WindowLayout::kCutBarTop, 0, WindowLayout::kBarHeight});
}

void MainFormLayout::BuildTransport(MainFormWidgets& w) {
  using Kind = TransportIcons::Kind;
  const struct {
    const char* name;
    Kind icon;
    QToolButton* MainFormWidgets::*field;
  } buttons[] = {
      {"ButtonRew", Kind::Rewind, &MainFormWidgets::buttonRew},
      {"ButtonPrev", Kind::StepBack, &MainFormWidgets::buttonPrev},
      {"ButtonStop", Kind::Stop, &MainFormWidgets::buttonStop},
      {"ButtonNext", Kind::StepForward, &MainFormWidgets::buttonNext},
      {"ButtonFF", Kind::FastForward, &MainFormWidgets::buttonFF},
      {"ButtonPlay", Kind::Play, &MainFormWidgets::buttonPlay},
      {"ButtonPlayback", Kind::Playback, &MainFormWidgets::buttonPlayback},
      {"ButtonPrevClip", Kind::PrevCut, &MainFormWidgets::buttonPrevClip},
      {"ButtonNextClip", Kind::NextCut, &MainFormWidgets::buttonNextClip},
      {"ButtonShow", Kind::Show, &MainFormWidgets::buttonShow},
  };
  int i = 0;
  for (const auto& b : buttons) {
    QToolButton* button = Make<QToolButton>(w.central, b.name, WindowLayout::TransportButton(i++));
    button->setIcon(TransportIcons::Make(b.icon));
    button->setFocusPolicy(Qt::NoFocus);
    w.*b.field = button;
  }
  w.labelTimeNow = Small(w.central, "LabelTimeNow", WindowLayout::kLabelTimeNow, Qt::AlignHCenter);
  w.labelTimeTotal = Small(w.central, "LabelTimeTotal", WindowLayout::kLabelTimeTotal, Qt::AlignHCenter);
  w.labelClipRelativeTime =
      Small(w.central, "LabelClipRelativeTime", WindowLayout::kLabelClipRelativeTime, Qt::AlignHCenter);
  w.label17 = Small(w.central, "Label17", WindowLayout::kLabel17);
  for (QLabel* time : {w.labelTimeNow, w.labelTimeTotal, w.labelClipRelativeTime})
    time->setFrameStyle(QFrame::Panel | QFrame::Sunken);
}

void MainFormLayout::BuildCutPage(MainFormWidgets& w) {
  w.tabSheetCut = new QWidget();
  w.tabSheetCut->setObjectName("TabSheetCut");
  w.pageControl->addTab(w.tabSheetCut, "カット");
  QWidget* page = w.tabSheetCut;
  TimeField(page, "カット開始", "EditClipBeginFrame", "UpDownClipBeginFrame", 6, w.editClipBeginFrame,
            w.upDownClipBeginFrame);
  TimeField(page, "カット終了", "EditClipEndFrame", "UpDownClipEndFrame", 34, w.editClipEndFrame,
            w.upDownClipEndFrame);
  TimeField(page, "継続時間", "EditClipTotalFrame", "UpDownClipTotalFrame", 62, w.editClipTotalFrame,
            w.upDownClipTotalFrame);
  w.buttonInsertVideo = Button(page, "ButtonInsertVideo", "ファイルから追加", {166, 5, 128, 24});
  w.buttonInsertColormat = Button(page, "ButtonInsertColormat", "単色マット追加", {166, 33, 128, 24});
  w.buttonConfigVideo = Button(page, "ButtonConfigVideo", "設定", {166, 61, 62, 24});
  w.buttonDeleteVideo = Button(page, "ButtonDeleteVideo", "削除", {232, 61, 62, 24});
}

void MainFormLayout::BuildTransitionPage(MainFormWidgets& w) {
  w.tabSheetOL = new QWidget();
  w.tabSheetOL->setObjectName("TabSheetOL");
  w.pageControl->addTab(w.tabSheetOL, "ワイプ");
  QWidget* page = w.tabSheetOL;
  TimeField(page, "継続時間", "EditOverlapTotal", "UpDownOverlapTotal", 6, w.editOverlapTotal,
            w.upDownOverlapTotal);
  Caption(page, "形式", {6, 37, 58, 17});
  w.editOverlapName = Make<QLineEdit>(page, "EditOverlapName", {66, 34, 140, 22});
  w.editOverlapName->setReadOnly(true);
  w.buttonOLPrev = Button(page, "ButtonOLPrev", "前のカットと", {6, 64, 94, 24});
  w.buttonOLNext = Button(page, "ButtonOLNext", "後ろのカットと", {104, 64, 94, 24});
  w.buttonOLDelete = Button(page, "ButtonOLDelete", "削除", {232, 64, 62, 24});
}

void MainFormLayout::BuildAudioGroup(MainFormWidgets& w) {
  w.groupBox1 = Make<QGroupBox>(w.central, "GroupBox1", WindowLayout::kGroupAudio);
  w.groupBox1->setTitle("音声");
  QWidget* g = w.groupBox1;
  w.comboBoxAudioName = Make<QComboBox>(g, "ComboBoxAudioName", {8, 20, 222, 22});
  TimeField(g, "再生時刻", "EditAudioBegin", "UpDownAudioBegin", 48, w.editAudioBegin, w.upDownAudioBegin);
  TimeField(g, "開始位置", "EditAudioStartPosition", "UpDownAudioStartPosition", 76, w.editAudioStartPosition,
            w.upDownAudioStartPosition);
  TimeField(g, "再生時間", "EditAudioTotal", "UpDownAudioTotal", 104, w.editAudioTotal, w.upDownAudioTotal);
  w.buttonInsertAudio = Button(g, "ButtonInsertAudio", "追加", {164, 47, 66, 24});
  w.buttonDeleteAudio = Button(g, "ButtonDeleteAudio", "削除", {164, 75, 66, 24});
  w.trackBarAudioVolume = Make<QSlider>(g, "TrackBarAudioVolume", {252, 16, 26, 108});
  w.trackBarAudioVolume->setOrientation(Qt::Vertical);
  w.trackBarAudioVolume->setRange(-30, 40);
  w.trackBarAudioVolume->setInvertedAppearance(true); // -30 (+30 dB) at the top
  w.trackBarAudioVolume->setTickPosition(QSlider::TicksRight);
  w.trackBarAudioVolume->setTickInterval(10);
  w.labelAudioVolume = Small(g, "LabelAudioVolume", {234, 126, 66, 17}, Qt::AlignHCenter);
}

void MainFormLayout::BuildStatusBar(QMainWindow& window, MainFormWidgets& w) {
  w.statusBar = new QStatusBar(&window);
  w.statusBar->setObjectName("StatusBar");
  w.statusBar->setFixedHeight(WindowLayout::kStatusHeight);
  w.statusBar->setSizeGripEnabled(false);
  window.setStatusBar(w.statusBar);
  const int widths[] = {240, 100, 100};
  for (std::size_t i = 0; i < w.statusPanels.size(); ++i) {
    auto* panel = new QLabel(w.statusBar);
    panel->setObjectName(QString("StatusPanel%1").arg(i + 1));
    panel->setFixedWidth(widths[i]);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    if (i == 2)
      panel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    w.statusBar->addWidget(panel);
    w.statusPanels[i] = panel;
  }
  w.statusProgressBar = new QProgressBar(w.statusBar);
  w.statusProgressBar->setObjectName("StatusProgressBar");
  w.statusProgressBar->setRange(0, 100);
  w.statusProgressBar->setFixedWidth(200);
  w.statusBar->addWidget(w.statusProgressBar);
  w.statusProgressBar->hide();
}

} // namespace rw::app
