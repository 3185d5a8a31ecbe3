#pragma once

#include "render/VideoTransition.h"

#include <cstdint>
#include <string_view>

namespace rw {

class MessageText;
class RecordReader;

// The registry of transition kinds: seven constant rows, in this order:
//   0 WipeL2R, 1 WipeR2L, 2 WipeU2D, 3 WipeD2U, 4 WipeI2E, 5 WipeE2I, 6 Overlap.
// Keywords are compared without regard to ASCII letter case.
class TransitionKinds {
public:
  static constexpr int kCount = 7;
  enum Index : int {
    kWipeL2R = 0,
    kWipeR2L = 1,
    kWipeU2D = 2,
    kWipeD2U = 3,
    kWipeI2E = 4,
    kWipeE2I = 5,
    kOverlap = 6,
  };

  static int Count() { return kCount; }
  // A new default object of kind `index` (length 0); an empty transition for any other index.
  static VideoTransition MakeByIndex(int index);
  // A new default object of the kind with this keyword; an empty transition when none has it.
  static VideoTransition MakeByKeyword(std::string_view keyword);
  // A new empty transition.
  static VideoTransition MakeEmpty();
  // Makes the kind named on a project line and reads its block from `in`. An unknown keyword,
  // a failed block or a failed AfterLoad give an empty transition (with a message appended to
  // `messages` when given).
  static VideoTransition Load(std::string_view keyword, RecordReader& in, MessageText* messages = nullptr);

  // Index of the kind with this keyword, -1 when none.
  static int IndexOf(std::string_view keyword);
  // Keyword and display name of row `index`; empty outside 0..6.
  static std::string_view Keyword(int index);
  static std::string_view DisplayName(int index);
};

} // namespace rw
