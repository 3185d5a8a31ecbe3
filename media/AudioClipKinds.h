#pragma once

#include "media/AudioClip.h"
#include "media/ClipKindTable.h"

#include <span>
#include <string_view>

namespace rw {

using AudioClipKind = ClipKind<AudioClip>;

// The kinds of audio clip (WAV, AVI audio, in this order) and the operations over all of them
// (see ClipKindTable).
class AudioClipKinds : public ClipKindTable<AudioClip, AudioClipKinds> {
public:
  static constexpr std::string_view kUnknownKind = "不明な音声クリップの種類です: ";
  static std::span<const AudioClipKind> Table();
};

} // namespace rw
