#pragma once

#include "project/AudioRef.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace rw {
class pVideoClipList;
}

namespace rw::view {

// The group "音声": the audio clips that sound in the current frame, one line each, and the
// fields of the selected one — its start on the timeline, its offset into its source and its
// duration (frames), and its volume.
class AudioPanel {
public:
  struct Fields {
    bool enabled = false;
    std::string begin = "--:--"; // 再生時刻
    std::string start = "--:--"; // 開始位置
    std::string total = "--:--"; // 再生時間
    std::int32_t beginValue = 0;
    std::int32_t startValue = 0;
    std::int32_t totalValue = 0;
    std::int32_t beginMax = 0;      // the timeline's length
    std::int32_t sourceMax = 0;     // the source's length
    std::int32_t trackPosition = 0; // minus the volume in decibels
    std::string volumeLabel = "-";
    friend bool operator==(const Fields&, const Fields&) = default;
  };

  // At the end position the panel is cleared and adding is off; elsewhere the lines are rebuilt
  // when forced or when other clips sound than before, keeping the selected clip when it is
  // still there. Answers whether the lines were rebuilt.
  bool Refresh(const pVideoClipList& list, std::int32_t current, bool atEnd, bool full);
  // A line chosen in the combo box (-1 for none): its fields.
  void Select(const pVideoClipList& list, int line);

  const std::vector<std::string>& Lines() const { return lines_; }
  const std::vector<AudioRef>& Refs() const { return refs_; }
  int SelectedLine() const { return selected_; }
  std::optional<AudioRef> SelectedRef() const;
  const Fields& Current() const { return fields_; }
  bool InsertEnabled() const { return insertEnabled_; }

  // The line of a clip: "映像付属" for a cut's own sound, else its file's name.
  static std::string LineText(const pVideoClipList& list, const AudioRef& ref);
  static Fields FieldsOf(const pVideoClipList& list, const AudioRef& ref);

private:
  std::vector<AudioRef> refs_;
  std::vector<std::string> lines_;
  int selected_ = -1;
  Fields fields_;
  bool insertEnabled_ = false;
};

} // namespace rw::view
