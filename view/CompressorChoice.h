#pragma once

#include "output/settings/OutputInfo.h"

#include <cstdint>
#include <string>
#include <vector>

namespace rw {
struct CompressorInfo;
}

namespace rw::view {

// What the compressor dialog lists and decides, without a toolkit: the compressors that work
// here, the one chosen, and its quality, key-frame interval and data rate, each usable only for
// compressors that honour it. Loads from and gives back the stored compressor choice.
class CompressorChoice {
public:
  static constexpr std::uint32_t kVideoType = 0x73646976; // "vids"
  static constexpr std::uint32_t kFlagDataRate = 0x2;
  static constexpr std::uint32_t kFlagKeyFrames = 0x4;
  static constexpr std::uint32_t kFlagValid = 0x8;
  static constexpr std::int32_t kDefaultQuality = 75; // percent
  static constexpr std::int32_t kDefaultKeyFrameEvery = 30;
  static constexpr std::int32_t kMaxKeyFrameEvery = 1 << 20;
  static constexpr std::int32_t kDefaultKilobytesPerSecond = 1000;
  static constexpr std::int32_t kMaxKilobytesPerSecond = 1 << 20;

  struct Row {
    std::uint32_t code = 0;
    std::string text; // description and code, for the list
    bool quality = false;
    bool keyFrames = false;
    bool dataRate = false;
  };

  // The values of the dialog's controls.
  struct Controls {
    std::int32_t quality = kDefaultQuality; // 0..100
    bool keyFramesOn = false;
    std::int32_t keyFrameEvery = kDefaultKeyFrameEvery; // 1..kMaxKeyFrameEvery
    bool dataRateOn = false;
    std::int32_t kilobytesPerSecond = kDefaultKilobytesPerSecond; // 1..kMaxKilobytesPerSecond
    friend bool operator==(const Controls&, const Controls&) = default;
  };

  // Over the catalogue's working entries, in their order.
  explicit CompressorChoice(const std::vector<const CompressorInfo*>& entries);

  const std::vector<Row>& Rows() const { return rows_; }

  // Selects the row of the stored code (letter case ignored; the first row when the code is not
  // among them) and sets the controls from the stored values. Without a stored code nothing has
  // been chosen yet: the controls start from the defaults instead.
  void Load(const CompressOptions& options);
  std::int32_t Selected() const { return selected_; }
  // -1 (none) or a row index; other values are ignored.
  void Select(std::int32_t row);
  bool QualityEnabled() const;
  bool KeyFramesEnabled() const;
  bool DataRateEnabled() const;
  Controls& Values() { return controls_; }
  const Controls& Values() const { return controls_; }
  // A note for the user when the stored code is set but not among the rows.
  const std::string& Notice() const { return notice_; }
  // A code as the list shows it: its four letters without trailing spaces ("DIB"), or the
  // stored backslash form when a byte is not printable.
  static std::string CodeLabel(std::uint32_t code);

  // The stored choice after confirmation: the selected code (the stored one when no row is
  // selected) and the values of the controls its compressor honours. The values of the others,
  // and values the user left as they were shown, stay as stored (a first choice writes the
  // shown quality and data rate all the same).
  CompressOptions Apply(const CompressOptions& stored) const;

private:
  const Row* Current() const;

  std::vector<Row> rows_;
  std::int32_t selected_ = -1;
  Controls controls_;
  Controls loaded_;
  bool firstChoice_ = false; // no code was stored
  std::string notice_;
};

} // namespace rw::view
