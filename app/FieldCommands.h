#pragma once

#include <QObject>
#include <cstdint>

class QLineEdit;

namespace rw {
class VideoProject;
}

namespace rw::app {

class TMainForm;
class UpDown;
struct MainFormWidgets;

// The time fields of the pages "カット" and "ワイプ" and of the group "音声", their up-downs, the
// volume track bar and the button that removes a sound. A field applies its value (read with the
// time parser) when Enter or Tab is pressed in it or when it is left; Enter then hands the keys
// back to the timeline, so that the arrows and the menu shortcuts step and edit again.
class FieldCommands : public QObject {
  Q_OBJECT
public:
  enum class Field { ClipBegin, ClipEnd, ClipTotal, OverlapTotal, AudioBegin, AudioStart, AudioTotal };

  FieldCommands(TMainForm& form, VideoProject& project, MainFormWidgets& widgets);

  void Bind();
  // Applies a value to a field's setting.
  void Apply(Field field, std::int32_t value);
  // The field's text read with the time parser, applied.
  void ApplyText(Field field);
  // One frame more or less: for the cut's fields from the cut's present value, for the others
  // from the field's text.
  void Step(Field field, int d);
  // The gain of a track bar position (minus decibels), when it differs from the sound's.
  void ApplyVolume(int position);
  void DeleteSound();

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  QLineEdit* EditOf(Field field) const;
  // Shows the messages when `ok` is false; answers `ok`.
  bool Report(bool ok);

  TMainForm& form_;
  VideoProject& project_;
  MainFormWidgets& w_;
};

} // namespace rw::app
