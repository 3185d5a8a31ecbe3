#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace rw {
class OutputInfo;
}

namespace rw::view {

// What the output format dialog shows of the settings and what a confirmation makes of it,
// without a toolkit.
class OutputFormatForm {
public:
  // The audio rates of the five rate buttons, in the order of the buttons.
  static constexpr std::array<std::int32_t, 5> kRates = {44100, 22050, 11025, 48000, 32000};

  // The dialog's controls: the two size edits as text, the rest as values (0 for no checked
  // button of a group).
  struct Fields {
    std::string width;
    std::string height;
    bool audioOut = true;
    std::int32_t audioRate = 0;
    std::int32_t audioBits = 0;
    std::int32_t audioChannels = 0;
    bool recompress = false;
    friend bool operator==(const Fields&, const Fields&) = default;
  };

  enum class Field { None, Width, Height };
  struct Outcome {
    Field bad = Field::None; // the size edit whose text is not a whole number
    std::string message;     // what to tell the user about it
    bool Accepted() const { return bad == Field::None; }
  };

  static Fields Fill(const OutputInfo& settings);
  // The rate buttons (and the bit and channel buttons) can be used only while audio is written.
  static bool AudioButtonsEnabled(const Fields& fields) { return fields.audioOut; }
  // Takes the fields into `settings` through its setters, which keep the old value for a size
  // outside 1..4096 or a group without a checked button. When a size edit does not hold a whole
  // number nothing is taken and the outcome names that edit.
  static Outcome Apply(const Fields& fields, OutputInfo& settings);
};

} // namespace rw::view
