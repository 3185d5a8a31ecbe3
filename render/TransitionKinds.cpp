#include "render/TransitionKinds.h"

#include "base/MessageText.h"
#include "base/RecordGrammar.h"
#include "base/RecordReader.h"
#include "render/pTransOverlap.h"
#include "render/pTransWipeD2U.h"
#include "render/pTransWipeE2I.h"
#include "render/pTransWipeI2E.h"
#include "render/pTransWipeL2R.h"
#include "render/pTransWipeR2L.h"
#include "render/pTransWipeU2D.h"

#include <array>
#include <string>

namespace rw {
namespace {

struct KindRow {
  Handle<pVideoTransition> (*make)();
  std::string_view keyword;
  std::string_view displayName;
};

template <class Kind> Handle<pVideoTransition> MakeKind() {
  return Handle<pVideoTransition>::Make<Kind>();
}

template <class Kind> constexpr KindRow Row() {
  return {&MakeKind<Kind>, Kind::kKeyword, Kind::kDisplayName};
}

constexpr std::array<KindRow, TransitionKinds::kCount> kRows = {
    Row<pTransWipeL2R>(), Row<pTransWipeR2L>(), Row<pTransWipeU2D>(), Row<pTransWipeD2U>(),
    Row<pTransWipeI2E>(), Row<pTransWipeE2I>(), Row<pTransOverlap>(),
};

bool InRange(int index) {
  return index >= 0 && index < TransitionKinds::kCount;
}

} // namespace

VideoTransition TransitionKinds::MakeByIndex(int index) {
  return InRange(index) ? VideoTransition(kRows[index].make()) : MakeEmpty();
}

VideoTransition TransitionKinds::MakeByKeyword(std::string_view keyword) {
  return MakeByIndex(IndexOf(keyword));
}

VideoTransition TransitionKinds::MakeEmpty() {
  return VideoTransition();
}

VideoTransition TransitionKinds::Load(std::string_view keyword, RecordReader& in, MessageText* messages) {
  const int index = IndexOf(keyword);
  if (index < 0) {
    if (messages)
      messages->Append("映像効果 " + std::string(keyword) + " は使えません\n");
    return MakeEmpty();
  }
  VideoTransition made(kRows[index].make());
  if (!made->ReadBlock(in, messages))
    return MakeEmpty();
  if (!made->AfterLoad()) {
    if (messages)
      messages->Append("映像効果 " + std::string(keyword) + " を読み込めません\n");
    return MakeEmpty();
  }
  return made;
}

int TransitionKinds::IndexOf(std::string_view keyword) {
  for (int i = 0; i < kCount; ++i)
    if (SameWord(kRows[i].keyword, keyword))
      return i;
  return -1;
}

std::string_view TransitionKinds::Keyword(int index) {
  return InRange(index) ? kRows[index].keyword : "";
}

std::string_view TransitionKinds::DisplayName(int index) {
  return InRange(index) ? kRows[index].displayName : "";
}

} // namespace rw
